// Times search by structure over a large database beside Open Babel's fastsearch on the same
// molecules: building the index, then for each query the first batch of hits and the whole
// result, with the hits of both and the peak memory. The database is the record benchmark's
// (bench/ builds it with --structures: RDKit's NCI sample of first_5K.smi, molecules of up to
// 100 heavy atoms as MOL blocks, repeated to the record count); it is copied first, as the
// index adds its tables to the file.
//
// Usage: flaskbook_bench_search [--db FILE] [--dir DIR] [--no-obabel] [--keep-index]

#include "chem/molecule.h"
#include "search/structureindex.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

constexpr double kFirstBatchTargetMs = 200;
constexpr double kPeakTargetMb = 250;

struct Query {
    const char* name;
    const char* text;
};

const Query kQueries[] = {
    {"benzene ring", "c1ccccc1"},
    {"quinoline", "c1ccc2ncccc2c1"},
    {"nitro", "[N+](=O)[O-]"},
    {"cyclohexylamine", "NC1CCCCC1"},
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "bench_search: %s\n", qPrintable(message));
    std::exit(1);
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

long long countRecords(const QString& path)
{
    sqlite3* db = nullptr;
    long long count = -1;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT max(rowid) FROM DATA1", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            count = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return count;
}

void dropIndex(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db,
                 "DROP TRIGGER IF EXISTS DATA1_structure_added;"
                 "DROP TRIGGER IF EXISTS DATA1_structure_changed;"
                 "DROP TRIGGER IF EXISTS DATA1_structure_removed;"
                 "DROP TABLE IF EXISTS DATA1_structure_about;"
                 "DROP TABLE IF EXISTS DATA1_structure_index;"
                 "DROP TABLE IF EXISTS DATA1_structure_screen;"
                 "DROP TABLE IF EXISTS DATA1_structure_waiting;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The SMILES lines the database's structures were made from, in record order: the sample
// lines that read as molecules of up to 100 heavy atoms, repeated to `count` lines.
void writeSmilesFile(const QString& path, long long count)
{
    QFile sample(QStringLiteral("/usr/share/RDKit/Data/NCI/first_5K.smi"));
    if (!sample.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read RDKit's sample molecules (Debian package rdkit-data)"));
    QByteArray used;
    while (!sample.atEnd()) {
        const QString line = QString::fromUtf8(sample.readLine()).trimmed();
        Molecule molecule;
        if (Molecule::fromText(line, molecule).ok() && molecule.heavyAtomCount() <= 100)
            used += line.toUtf8() + '\n';
    }
    const QList<QByteArray> lines = used.split('\n');
    const long long distinct = lines.size() - 1;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("cannot write ") + path);
    QByteArray chunk;
    for (long long i = 0; i < count; ++i) {
        chunk += lines[int(i % distinct)] + '\n';
        if (chunk.size() > (1 << 20)) {
            out.write(chunk);
            chunk.clear();
        }
    }
    out.write(chunk);
}

struct Run {
    double seconds = 0;
    double peakMb = 0;
    long long lines = 0;
};

// Runs a program under /usr/bin/time, its output counted in lines.
Run runTimed(const QStringList& arguments, const QString& outputFile)
{
    const QString timing = outputFile + QStringLiteral(".time");
    QProcess process;
    process.setStandardOutputFile(outputFile);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(
        QStringLiteral("/usr/bin/time"),
        QStringList{QStringLiteral("-f"), QStringLiteral("%e %M"), QStringLiteral("-o"), timing} +
            arguments);
    process.waitForFinished(-1);
    Run run;
    QFile times(timing);
    if (times.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = times.readAll().trimmed().split('\n').last().split(' ');
        run.seconds = fields.value(0).toDouble();
        run.peakMb = fields.value(1).toDouble() / 1024.0;
    }
    QFile output(outputFile);
    if (output.open(QIODevice::ReadOnly))
        while (!output.atEnd())
            run.lines += output.readLine().isEmpty() ? 0 : 1;
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString source = QStringLiteral("/work/benchdata/flaskbook-bench-v2-structures-1000000.db");
    QString dir = QDir::temp().filePath(QStringLiteral("flaskbook-bench-search"));
    bool withObabel = true, keepIndex = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--db") && i + 1 < args.size())
            source = args[++i];
        else if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            dir = args[++i];
        else if (args[i] == QLatin1String("--no-obabel"))
            withObabel = false;
        else if (args[i] == QLatin1String("--keep-index"))
            keepIndex = true;
        else
            fail(QStringLiteral("usage: flaskbook_bench_search [--db FILE] [--dir DIR] "
                                "[--no-obabel] [--keep-index]"));
    }
    if (QStandardPaths::findExecutable(QStringLiteral("obabel")).isEmpty())
        withObabel = false;
    QDir().mkpath(dir);
    const long long records = countRecords(source);
    if (records <= 0)
        fail(QStringLiteral("no records in ") + source);
    const QString path = QDir(dir).filePath(QStringLiteral("search.db"));
    if (countRecords(path) != records) {
        std::printf("copying %s ...\n", qPrintable(source));
        std::fflush(stdout);
        QFile::remove(path);
        if (!QFile::copy(source, path))
            fail(QStringLiteral("cannot copy the database to ") + path);
    }
    std::printf("%lld records, %u hardware threads\n", records,
                std::thread::hardware_concurrency());

    // Index build.
    if (!keepIndex)
        dropIndex(path);
    JobProgress progress;
    QElapsedTimer timer;
    timer.start();
    std::atomic<bool> built{false};
    std::thread build([&] {
        const Status s = StructureIndex::bringUpToDate(path, progress);
        if (!s.ok())
            fail(s.message());
        built = true;
    });
    for (int tick = 1; !built; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (tick % 200 == 0) {
            std::printf("  indexed %lld of %lld after %.0f s\n", progress.done.load(),
                        progress.total.load(), double(timer.elapsed()) / 1000);
            std::fflush(stdout);
        }
    }
    build.join();
    const double buildSeconds = double(timer.elapsed()) / 1000;

    Run obabelBuild;
    double obabelPeakMb = 0;
    const QString smiles = QDir(dir).filePath(QStringLiteral("search.smi"));
    const QString fastsearch = QDir(dir).filePath(QStringLiteral("search.fs"));
    if (withObabel) {
        writeSmilesFile(smiles, records);
        QFile::remove(fastsearch);
        obabelBuild = runTimed({QStringLiteral("obabel"), smiles, QStringLiteral("-ofs"),
                                QStringLiteral("-O"), fastsearch},
                               QDir(dir).filePath(QStringLiteral("build.out")));
    }
    std::printf("\n%-28s %12s %12s\n", "", "Flaskbook", "Open Babel");
    std::printf("%-28s %11.1fs %11.1fs  %s\n", "index build", buildSeconds, obabelBuild.seconds,
                !withObabel                           ? ""
                : buildSeconds <= obabelBuild.seconds ? "ok"
                                                      : "MISSED");

    for (const Query& query : kQueries) {
        StructureQuery parsed;
        if (Status s = StructureQuery::parse(QString::fromLatin1(query.text),
                                             StructureQuery::Kind::Substructure, parsed);
            !s.ok())
            fail(s.message());
        std::atomic<bool> cancel{false};
        long long hits = 0;
        double firstMs = -1;
        timer.restart();
        const Status s = StructureIndex::search(
            path, parsed,
            [&](const std::vector<long long>& batch) {
                if (firstMs < 0)
                    firstMs = double(timer.nsecsElapsed()) / 1e6;
                hits += static_cast<long long>(batch.size());
                return true;
            },
            cancel);
        const double allSeconds = double(timer.nsecsElapsed()) / 1e9;
        if (!s.ok())
            fail(s.message());
        Run obabel;
        if (withObabel)
            obabel = runTimed({QStringLiteral("obabel"), fastsearch, QStringLiteral("-osmi"),
                               QStringLiteral("-s"), QString::fromLatin1(query.text),
                               QStringLiteral("-al"), QStringLiteral("10000000")},
                              QDir(dir).filePath(QStringLiteral("hits.out")));
        obabelPeakMb = std::max({obabelPeakMb, obabelBuild.peakMb, obabel.peakMb});
        std::printf("%-28s %10.0fms %12s  %s\n",
                    qPrintable(QStringLiteral("%1: first batch").arg(query.name)), firstMs, "",
                    firstMs >= 0 && firstMs < kFirstBatchTargetMs ? "ok" : "MISSED");
        std::printf("%-28s %11.1fs %11.1fs  %s\n",
                    qPrintable(QStringLiteral("%1: all").arg(query.name)), allSeconds,
                    obabel.seconds,
                    !withObabel                    ? ""
                    : allSeconds <= obabel.seconds ? "ok"
                                                   : "MISSED");
        std::printf("%-28s %12lld %12lld\n", qPrintable(QStringLiteral("%1: hits").arg(query.name)),
                    hits, obabel.lines);
        std::fflush(stdout);
    }
    const double peak = peakMegabytes();
    std::printf("%-28s %10.0fMB %10.0fMB  %s\n", "peak memory", peak, obabelPeakMb,
                peak < kPeakTargetMb ? "ok" : "MISSED");
    return 0;
}
