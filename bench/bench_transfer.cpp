// Times the import and export of whole collections. Import of an SD file of 100,000 molecules
// beside Open Babel converting the same file to SMILES in the same run (may take 0.75x its
// time), import of a SMILES file of 1,000,000 records (5 minutes), export of 1,000,000 records
// to CSV (60 s) and SD (3 minutes). Each import runs in a child process, so its peak memory
// (300 MB) is its own. The input files repeat RDKit's NCI sample (rdkit-data), the SD file made
// from it with our own chemistry code; they are kept in DIR for later runs.
//
// Usage: flaskbook_bench_transfer [--dir /work/benchdata] [--sd 100000] [--smiles 1000000]
//        [--skip-smiles] [--skip-export]

#include "app/records/database.h"
#include "app/records/schema.h"
#include "chem/molecule.h"
#include "transfer/transferjobs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

const QString kSample = QStringLiteral("/usr/share/RDKit/Data/NCI/first_5K.smi");

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "flaskbook_bench_transfer: %s\n", qPrintable(message));
    std::exit(1);
}

QStringList sampleLines()
{
    QFile file(kSample);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read %1 (Debian package rdkit-data)").arg(kSample));
    QStringList lines;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

// The sample repeated until `count` lines, kept for later runs.
QString smilesFile(const QString& dir, long long count)
{
    const QString path =
        QDir(dir).filePath(QStringLiteral("flaskbook-bench-transfer-v1-%1.smi").arg(count));
    if (QFileInfo(path).size() > 0)
        return path;
    const QStringList lines = sampleLines();
    QFile file(path + QStringLiteral(".part"));
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1").arg(file.fileName()));
    for (long long i = 0; i < count; ++i)
        file.write(lines[i % lines.size()].toUtf8() + '\n');
    file.close();
    QFile::rename(file.fileName(), path);
    return path;
}

// The sample as SD records written by our own code, each with a data item for every field.
QString sdFile(const QString& dir, long long count)
{
    const QString path =
        QDir(dir).filePath(QStringLiteral("flaskbook-bench-transfer-v2-%1.sdf").arg(count));
    if (QFileInfo(path).size() > 0)
        return path;
    std::printf("making %s ...\n", qPrintable(path));
    std::fflush(stdout);
    QList<QByteArray> records;
    for (const QString& line : sampleLines()) {
        const QString smiles = line.section(QLatin1Char('\t'), 0, 0);
        const QString number = line.section(QLatin1Char('\t'), 1, 1);
        Molecule molecule;
        if (!Molecule::fromText(smiles, molecule).ok())
            continue;
        QString record = QStringLiteral("NSC ") + number + QLatin1Char('\n') +
                         molecule.molBlock().section(QLatin1Char('\n'), 1);
        const QStringList values = {QStringLiteral("NSC ") + number,
                                    QStringLiteral("compound %1 of the NCI set").arg(number),
                                    QStringLiteral("%1-00-0").arg(number),
                                    molecule.formula(),
                                    molecule.weightText(),
                                    molecule.weightText(),
                                    QStringLiteral("white powder"),
                                    QStringLiteral("1.1"),
                                    QStringLiteral("7"),
                                    QStringLiteral("from RDKit's NCI sample")};
        for (int c = 0; c < values.size(); ++c)
            record += QStringLiteral("> <%1>\n%2\n\n").arg(recordColumns()[c], values[c]);
        records.append((record + QStringLiteral("$$$$\n")).toUtf8());
    }
    QFile file(path + QStringLiteral(".part"));
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1").arg(file.fileName()));
    for (long long i = 0; i < count; ++i)
        file.write(records[i % records.size()]);
    file.close();
    QFile::rename(file.fileName(), path);
    return path;
}

double cpuSeconds(const rusage& usage)
{
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ownCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpuSeconds(usage);
}

struct Run {
    double seconds = 0;
    double cpuSeconds = 0; // all threads: what the run costs whatever else the machine does
    double peakMB = 0;
    long long added = 0;
    long long skipped = 0;
};

// Imports `source` into a new database in a child process; its wall time and peak memory.
Run importInChild(const QString& source, CollectionFormat format, const FieldMapping& mapping,
                  const QString& database)
{
    QFile::remove(database);
    if (const Status s = Database::CreateDatabase(database); !s.ok())
        fail(s.message());
    int channel[2];
    if (pipe(channel) != 0)
        fail(QStringLiteral("no pipe"));
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        JobProgress progress;
        ImportResult result;
        const Status s =
            importCollection(database, source, format, mapping, 1000000, progress, result);
        if (!s.ok())
            std::fprintf(stderr, "import failed: %s\n", qPrintable(s.message()));
        const long long counts[2] = {result.added, result.skipped.size()};
        (void)!write(channel[1], counts, sizeof counts);
        _exit(s.ok() ? 0 : 1);
    }
    close(channel[1]);
    long long counts[2] = {0, 0};
    (void)!read(channel[0], counts, sizeof counts);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Run run;
    run.seconds = clock.elapsed() / 1000.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(QStringLiteral("the import of %1 failed").arg(source));
    run.peakMB = usage.ru_maxrss / 1024.0;
    run.cpuSeconds = cpuSeconds(usage);
    run.added = counts[0];
    run.skipped = counts[1];
    return run;
}

double obabelSeconds(const QString& source, const QString& out)
{
    if (QStandardPaths::findExecutable(QStringLiteral("obabel")).isEmpty())
        return 0;
    QElapsedTimer clock;
    clock.start();
    QProcess obabel;
    obabel.start(QStringLiteral("obabel"),
                 {source, QStringLiteral("-osmi"), QStringLiteral("-O"), out});
    obabel.waitForFinished(-1);
    return clock.elapsed() / 1000.0;
}

Run exportTimed(const QString& database, const QString& target, CollectionFormat format)
{
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = ownCpuSeconds();
    JobProgress progress;
    long long written = 0;
    if (const Status s =
            exportCollection(database, RecordOrder::Table, target, format, progress, written);
        !s.ok())
        fail(QStringLiteral("export failed: %1").arg(s.message()));
    Run run;
    run.seconds = clock.elapsed() / 1000.0;
    run.cpuSeconds = ownCpuSeconds() - cpuBefore;
    run.added = written;
    return run;
}

void row(const char* what, const QString& figure, const QString& target, bool ok)
{
    std::printf("%-52s %22s   target %-22s %s\n", what, qPrintable(figure), qPrintable(target),
                ok ? "ok" : "MISSED");
    std::fflush(stdout);
}

FieldMapping byColumnName()
{
    FieldMapping mapping;
    for (const QString& column : recordColumns())
        mapping.itemForColumn.insert(column, column);
    return mapping;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString dir = QStringLiteral("/work/benchdata");
    long long sdCount = 100000, smilesCount = 1000000;
    bool skipSmiles = false, skipExport = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            dir = args[++i];
        else if (args[i] == QLatin1String("--sd") && i + 1 < args.size())
            sdCount = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--smiles") && i + 1 < args.size())
            smilesCount = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--skip-smiles"))
            skipSmiles = true;
        else if (args[i] == QLatin1String("--skip-export"))
            skipExport = true;
        else
            fail(QStringLiteral("usage: flaskbook_bench_transfer [--dir DIR] [--sd N] "
                                "[--smiles N] [--skip-smiles] [--skip-export]"));
    }
    QDir().mkpath(dir);
    double load[3] = {0, 0, 0};
    const QString work = QDir(dir).filePath(QStringLiteral("flaskbook-bench-transfer-work"));
    QDir().mkpath(work);

    if (getloadavg(load, 3) == 3)
        std::printf("machine load average at the start: %.2f %.2f %.2f\n", load[0], load[1],
                    load[2]);
    const QString sd = sdFile(dir, sdCount);
    const double babel = obabelSeconds(sd, QDir(work).filePath(QStringLiteral("obabel.smi")));
    const Run sdRun = importInChild(sd, CollectionFormat::Sd, byColumnName(),
                                    QDir(work).filePath(QStringLiteral("sd.db")));
    std::printf("SD import: %lld added, %lld skipped\n", sdRun.added, sdRun.skipped);
    row("import SD, seconds (Open Babel to SMILES beside)",
        QStringLiteral("%1 s / %2 s").arg(sdRun.seconds, 0, 'f', 1).arg(babel, 0, 'f', 1),
        QStringLiteral("<= 0.75x"), babel > 0 && sdRun.seconds <= 0.75 * babel);
    row("import SD, ratio to Open Babel",
        QString::number(babel > 0 ? sdRun.seconds / babel : 0, 'f', 2), QStringLiteral("<= 0.75"),
        babel > 0 && sdRun.seconds <= 0.75 * babel);
    row("import SD, CPU seconds of all threads", QString::number(sdRun.cpuSeconds, 'f', 1),
        QStringLiteral("-"), true);
    row("import SD, peak memory", QStringLiteral("%1 MB").arg(sdRun.peakMB, 0, 'f', 0),
        QStringLiteral("< 300 MB"), sdRun.peakMB < 300);

    QString exportSource = QDir(work).filePath(QStringLiteral("sd.db"));
    if (!skipSmiles) {
        const QString smi = smilesFile(dir, smilesCount);
        FieldMapping mapping;
        mapping.itemForColumn.insert(QStringLiteral("Name"), smilesNameItem());
        exportSource = QDir(work).filePath(QStringLiteral("smiles.db"));
        const Run run = importInChild(smi, CollectionFormat::Smiles, mapping, exportSource);
        std::printf("SMILES import: %lld added, %lld skipped\n", run.added, run.skipped);
        row("import SMILES, seconds", QStringLiteral("%1 s").arg(run.seconds, 0, 'f', 1),
            QStringLiteral("< 300 s"), run.seconds < 300);
        row("import SMILES, records per second",
            QString::number(qRound64(run.added / std::max(run.seconds, 0.001))),
            QStringLiteral("-"), true);
        row("import SMILES, CPU seconds of all threads", QString::number(run.cpuSeconds, 'f', 1),
            QStringLiteral("-"), true);
        row("import SMILES, peak memory", QStringLiteral("%1 MB").arg(run.peakMB, 0, 'f', 0),
            QStringLiteral("< 300 MB"), run.peakMB < 300);
    }
    if (!skipExport) {
        const Run csv = exportTimed(exportSource, QDir(work).filePath(QStringLiteral("out.csv")),
                                    CollectionFormat::Csv);
        row(qPrintable(QStringLiteral("export %1 records to CSV, seconds").arg(csv.added)),
            QStringLiteral("%1 s").arg(csv.seconds, 0, 'f', 1), QStringLiteral("< 60 s"),
            csv.seconds < 60);
        row("export to CSV, CPU seconds of all threads", QString::number(csv.cpuSeconds, 'f', 1),
            QStringLiteral("-"), true);
        const Run sdOut = exportTimed(exportSource, QDir(work).filePath(QStringLiteral("out.sdf")),
                                      CollectionFormat::Sd);
        row(qPrintable(QStringLiteral("export %1 records to SD, seconds").arg(sdOut.added)),
            QStringLiteral("%1 s").arg(sdOut.seconds, 0, 'f', 1), QStringLiteral("< 180 s"),
            sdOut.seconds < 180);
        row("export to SD, CPU seconds of all threads", QString::number(sdOut.cpuSeconds, 'f', 1),
            QStringLiteral("-"), true);
    }
    // Above the number of cores, other programs shared them and the seconds are longer.
    if (getloadavg(load, 3) == 3)
        std::printf("machine load average at the end: %.2f %.2f %.2f (%d cores)\n", load[0],
                    load[1], load[2], int(sysconf(_SC_NPROCESSORS_ONLN)));
    return 0;
}
