#include "search/structureindex.h"

#include "chem/substructure.h"
#include "search/indexconnection.h"
#include "search/indexupkeep.h"

#include <algorithm>
#include <future>
#include <vector>

struct StructureQuery::Data {
    SubstructureQuery query;
};

namespace {

// The first chunk is small so the first hits come at once; later ones amortize the reads.
constexpr int kFirstChunkRows = 4096;
constexpr int kLargestChunkRows = 65536;

struct Candidate {
    long long id = 0;
    QByteArray pickle;
    bool hit = false;
};

// The rows of one chunk of the screen (ids above `after`) whose fingerprint holds the query's.
Status screenChunk(IndexConnection& db, const QByteArray& screen, long long after, int rows,
                   std::vector<Candidate>& candidates, long long& last, bool& finished)
{
    candidates.clear();
    IndexStatement read(db.handle(), "SELECT id, fingerprint FROM DATA1_structure_screen "
                                     "WHERE id > ? ORDER BY id LIMIT ?");
    if (!read.ok())
        return db.failure(QStringLiteral("The structure index cannot be read"));
    read.bind(1, after);
    read.bind(2, rows);
    int count = 0, rc;
    while ((rc = read.step()) == SQLITE_ROW) {
        ++count;
        last = read.integer(0);
        const auto* fingerprint = static_cast<const char*>(sqlite3_column_blob(read.get(), 1));
        if (sqlite3_column_bytes(read.get(), 1) == kScreenBytes &&
            passesScreen(screen.constData(), fingerprint))
            candidates.push_back({last, {}, false});
    }
    if (rc != SQLITE_DONE)
        return db.failure(QStringLiteral("The structure index cannot be read"));
    finished = count < rows;
    return {};
}

Status readCandidates(IndexConnection& db, std::vector<Candidate>& candidates)
{
    IndexStatement read(db.handle(), "SELECT pickle FROM DATA1_structure_index WHERE id = ?");
    if (!read.ok())
        return db.failure(QStringLiteral("The structure index cannot be read"));
    for (Candidate& candidate : candidates) {
        read.reset();
        read.bind(1, candidate.id);
        const int rc = read.step();
        if (rc == SQLITE_ROW)
            candidate.pickle = read.blob(0);
        else if (rc != SQLITE_DONE) {
            return db.failure(QStringLiteral("The structure index cannot be read"));
        }
    }
    return {};
}

struct Chunk {
    std::vector<Candidate> candidates;
    long long last = 0;
    bool finished = false;
};

Status readChunk(IndexConnection& db, const QByteArray& screen, long long after, int rows,
                 Chunk& chunk)
{
    chunk.last = after;
    if (Status s =
            screenChunk(db, screen, after, rows, chunk.candidates, chunk.last, chunk.finished);
        !s.ok())
        return s;
    return readCandidates(db, chunk.candidates);
}

} // namespace

Status StructureQuery::parse(const QString& text, Kind kind, StructureQuery& out)
{
    out = StructureQuery();
    SubstructureQuery query;
    const auto mode = kind == Kind::Exact ? SubstructureQuery::Mode::Exact
                                          : SubstructureQuery::Mode::Substructure;
    if (Status s = SubstructureQuery::parse(text, mode, query); !s.ok())
        return s;
    auto data = std::make_shared<Data>();
    data->query = query;
    out.data_ = std::move(data);
    return {};
}

Status StructureIndex::bringUpToDate(const QString& databasePath, JobProgress& progress)
{
    IndexConnection db;
    if (Status s = db.open(databasePath); !s.ok())
        return s;
    bool hasStructures = false;
    return bringIndexUpToDate(
        db, progress, [&progress] { return progress.cancelRequested.load(); }, hasStructures);
}

Status StructureIndex::search(const QString& databasePath, const StructureQuery& query,
                              const std::function<bool(const std::vector<long long>&)>& batch,
                              const std::atomic<bool>& cancel)
{
    if (query.isEmpty())
        return Status::failure(QStringLiteral("There is no structure query to search for."));
    IndexConnection db;
    if (Status s = db.open(databasePath); !s.ok())
        return s;
    JobProgress progress;
    bool hasStructures = false;
    if (Status s = bringIndexUpToDate(
            db, progress, [&cancel] { return cancel.load(); }, hasStructures);
        !s.ok())
        return s;
    if (!hasStructures)
        return {};

    // The next chunk is read from the file while the molecules of this one are matched.
    const SubstructureQuery& pattern = query.data_->query;
    const QByteArray screen = pattern.fingerprint();
    Chunk current, next;
    int rows = kFirstChunkRows;
    const auto readAfter = [&](long long after) {
        return std::async(std::launch::async, [&db, &screen, &next, after, rows] {
            return readChunk(db, screen, after, rows, next);
        });
    };
    std::future<Status> reading = readAfter(0);
    std::vector<long long> hits;
    for (;;) {
        if (Status s = reading.get(); !s.ok())
            return s;
        std::swap(current, next);
        rows = std::min(rows * 2, kLargestChunkRows);
        if (!current.finished && !cancel.load())
            reading = readAfter(current.last);
        runInParallel(int(current.candidates.size()), [&](int i) {
            Candidate& candidate = current.candidates[size_t(i)];
            if (!cancel.load())
                candidate.hit = pattern.matchesIndexed(candidate.pickle);
        });
        hits.clear();
        for (const Candidate& candidate : current.candidates)
            if (candidate.hit)
                hits.push_back(candidate.id);
        if (cancel.load() || (!hits.empty() && !batch(hits)) || current.finished) {
            if (reading.valid())
                reading.wait();
            return {};
        }
    }
}
