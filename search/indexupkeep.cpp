#include "search/indexupkeep.h"

#include "app/records/structuretables.h"
#include "chem/substructure.h"
#include "search/indexconnection.h"

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace {

constexpr int kBatchRows = 2000;
// Rows of DATA1 compared with their index entries each time the index is opened.
constexpr int kSampledRows = 16;

struct WaitingRow {
    long long id = 0;
    long long mark = 0;
    bool recordExists = false;
    QString structure;
    IndexedStructure entry;
    bool indexed = false;
};

bool tablesInPlace(IndexConnection& db)
{
    const long long objects = db.integer(
        "SELECT count(*) FROM sqlite_master WHERE name IN ('DATA1_structure_about', "
        "'DATA1_structure_index', 'DATA1_structure_screen', 'DATA1_structure_waiting', "
        "'DATA1_structure_added', 'DATA1_structure_changed', 'DATA1_structure_removed')");
    return objects == 7 &&
           db.integer("SELECT format FROM DATA1_structure_about", -1) == kStructureIndexFormat;
}

// The index names every row of DATA1 (indexed or waiting) and nothing else, and the entries
// of a few rows spread over the table still belong to them. A renumbering VACUUM or a writer
// that dropped our triggers shows here.
bool inStepWithRecords(IndexConnection& db)
{
    const long long lastRecord = db.integer("SELECT max(rowid) FROM DATA1");
    const long long lastKnown = std::max(db.integer("SELECT max(id) FROM DATA1_structure_index"),
                                         db.integer("SELECT max(id) FROM DATA1_structure_waiting"));
    if (lastRecord != lastKnown)
        return false;
    IndexStatement record(db.handle(), "SELECT rowid, Structure FROM DATA1 WHERE rowid >= ? "
                                       "ORDER BY rowid LIMIT 1");
    IndexStatement waiting(db.handle(), "SELECT 1 FROM DATA1_structure_waiting WHERE id = ?");
    IndexStatement entry(db.handle(),
                         "SELECT structure_hash FROM DATA1_structure_index WHERE id = ?");
    if (!record.ok() || !waiting.ok() || !entry.ok())
        return false;
    for (int i = 0; i < kSampledRows; ++i) {
        record.reset();
        record.bind(1, 1 + lastRecord * i / kSampledRows);
        if (record.step() != SQLITE_ROW)
            return lastRecord == 0;
        const long long id = record.integer(0);
        waiting.reset();
        waiting.bind(1, id);
        if (waiting.step() == SQLITE_ROW)
            continue;
        entry.reset();
        entry.bind(1, id);
        if (entry.step() != SQLITE_ROW || entry.integer(0) != structureHash(record.text(1)))
            return false;
    }
    return true;
}

Status rebuildTables(IndexConnection& db)
{
    return db.exec("BEGIN IMMEDIATE;" + dropStructureIndexSql() + createStructureIndexSql() +
                       "INSERT INTO DATA1_structure_waiting(id, mark) SELECT rowid, 0 FROM DATA1;"
                       "COMMIT;",
                   QStringLiteral("The structure index cannot be made"));
}

// Brings missing, stale or old tables back to an index that waits for every row.
Status checkTables(IndexConnection& db)
{
    if (Status s = db.exec("BEGIN", QStringLiteral("The structure index cannot be read")); !s.ok())
        return s;
    const bool sound = tablesInPlace(db) && inStepWithRecords(db);
    db.exec("COMMIT", {});
    return sound ? Status() : rebuildTables(db);
}

Status readWaiting(IndexConnection& db, long long after, std::vector<WaitingRow>& rows)
{
    rows.clear();
    IndexStatement read(db.handle(),
                        "SELECT w.id, w.mark, d.rowid IS NOT NULL, d.Structure "
                        "FROM DATA1_structure_waiting w "
                        "LEFT JOIN DATA1 d ON d.rowid = w.id WHERE w.id > ? ORDER BY w.id LIMIT ?");
    if (!read.ok())
        return db.failure(QStringLiteral("The structure index cannot be read"));
    read.bind(1, after);
    read.bind(2, kBatchRows);
    int rc;
    while ((rc = read.step()) == SQLITE_ROW)
        rows.push_back(
            {read.integer(0), read.integer(1), read.integer(2) != 0, read.text(3), {}, false});
    if (rc != SQLITE_DONE)
        return db.failure(QStringLiteral("The structure index cannot be read"));
    return {};
}

// Writes the entries of rows whose structure is still the one indexed: a row changed meanwhile
// has a new mark and stays waiting.
Status writeEntries(IndexConnection& db, std::vector<WaitingRow>& rows, int& skipped)
{
    if (rows.empty())
        return {};
    const QString what = QStringLiteral("The structure index cannot be written");
    if (Status s = db.exec("BEGIN IMMEDIATE", what); !s.ok())
        return s;
    IndexStatement unmark(db.handle(),
                          "DELETE FROM DATA1_structure_waiting WHERE id = ? AND mark = ?");
    IndexStatement entry(db.handle(), "INSERT OR REPLACE INTO DATA1_structure_index(id, "
                                      "structure_hash, pickle) VALUES(?, ?, ?)");
    IndexStatement screen(db.handle(), "INSERT OR REPLACE INTO DATA1_structure_screen(id, "
                                       "fingerprint) VALUES(?, ?)");
    bool failed = !unmark.ok() || !entry.ok() || !screen.ok();
    for (WaitingRow& row : rows) {
        if (failed)
            break;
        unmark.reset();
        unmark.bind(1, row.id);
        unmark.bind(2, row.mark);
        failed = unmark.step() != SQLITE_DONE;
        if (failed || !row.recordExists)
            continue;
        if (sqlite3_changes(db.handle()) == 0) {
            ++skipped;
            continue;
        }
        entry.reset();
        entry.bind(1, row.id);
        entry.bind(2, structureHash(row.structure));
        if (row.indexed) {
            entry.bindBlob(3, row.entry.pickle);
            screen.reset();
            screen.bind(1, row.id);
            screen.bindBlob(2, row.entry.fingerprint);
            failed = screen.step() != SQLITE_DONE;
        }
        failed = failed || entry.step() != SQLITE_DONE;
    }
    if (failed) {
        const Status failure = db.failure(what);
        db.exec("ROLLBACK", {});
        return failure;
    }
    if (Status s = db.exec("COMMIT", what); !s.ok()) {
        db.exec("ROLLBACK", {});
        return s;
    }
    return {};
}

void indexRows(std::vector<WaitingRow>& rows)
{
    runInParallel(int(rows.size()), [&rows](int i) {
        WaitingRow& row = rows[size_t(i)];
        row.indexed = row.recordExists && !row.structure.trimmed().isEmpty() &&
                      indexStructure(row.structure, row.entry).ok();
    });
}

// One pass over the waiting rows, in batches. While one batch is indexed, the one before is
// written and the next read on another thread. A stop ends it after the batch in hand, which is
// written like the others.
Status indexWaitingRows(IndexConnection& db, JobProgress& progress,
                        const std::function<bool()>& stopped, int& skipped)
{
    std::vector<WaitingRow> indexing, written, next;
    if (Status s = readWaiting(db, 0, indexing); !s.ok())
        return s;
    while (!indexing.empty()) {
        const long long after = indexing.back().id;
        const bool last = stopped();
        std::future<Status> io = std::async(std::launch::async, [&, after, last] {
            if (Status s = writeEntries(db, written, skipped); !s.ok())
                return s;
            return last ? Status() : readWaiting(db, after, next);
        });
        indexRows(indexing);
        if (Status s = io.get(); !s.ok())
            return s;
        progress.done += static_cast<long long>(written.size());
        written = std::move(indexing);
        indexing = std::move(next);
        next.clear();
    }
    const Status s = writeEntries(db, written, skipped);
    if (s.ok())
        progress.done += static_cast<long long>(written.size());
    return s;
}

} // namespace

void runInParallel(int count, const std::function<void(int)>& work)
{
    std::atomic<int> next{0};
    const auto drain = [&] {
        for (int i = next++; i < count; i = next++)
            work(i);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < kIndexThreads && t < count; ++t)
        helpers.emplace_back(drain);
    drain();
    for (std::thread& helper : helpers)
        helper.join();
}

Status bringIndexUpToDate(IndexConnection& db, JobProgress& progress,
                          const std::function<bool()>& stopped, bool& hasStructures)
{
    hasStructures = IndexStatement(db.handle(), "SELECT Structure FROM DATA1 LIMIT 0").ok();
    if (!hasStructures) {
        if (!IndexStatement(db.handle(), "SELECT rowid FROM DATA1 LIMIT 0").ok())
            return Status::failure(QStringLiteral("The file holds no table DATA1."));
        return {};
    }
    if (Status s = checkTables(db); !s.ok())
        return s;

    // A row changed while its batch was being indexed is left waiting; a few passes catch it.
    for (int pass = 0; pass < 3; ++pass) {
        progress.done = 0;
        progress.total = db.integer("SELECT count(*) FROM DATA1_structure_waiting");
        if (progress.total == 0)
            return {};
        int skipped = 0;
        if (Status s = indexWaitingRows(db, progress, stopped, skipped); !s.ok())
            return s;
        if (skipped == 0 || stopped())
            return {};
    }
    return {};
}
