#include "app/commandlinejob.h"

#include "app/collectionpreview.h"
#include "app/firststart.h"
#include "app/recordlimit.h"
#include "app/records/database.h"
#include "platform/instancelock.h"
#include "transfer/transferjobs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>

#include <sqlite3.h>

namespace {

constexpr int kFailed = 1;
// Enough records to find the item names of an SD file, whose records may differ in them.
constexpr int kRecordsForItemNames = 100;

QString count(long long n)
{
    return QLocale(QLocale::English).toString(n);
}

CommandLineJobResult failed(const QString& reason)
{
    return {kFailed, {}, QStringLiteral("flaskbook: %1\n").arg(reason)};
}

Status countStoredRecords(const QString& databaseFile, long long& stored)
{
    Database db;
    if (const Status opened = db.OpenDatabase(databaseFile); !opened.ok())
        return opened;
    Statement counting;
    if (const Status prepared = counting.prepare(db.handle(), "SELECT COUNT(*) FROM DATA1");
        !prepared.ok())
        return prepared;
    if (counting.step() != SQLITE_ROW)
        return db.engineFailure(QStringLiteral("Counting the records"));
    stored = counting.columnInt64(0);
    return {};
}

Status readMapping(const CommandLine& line, FieldMapping& mapping)
{
    if (line.mappingFile.isEmpty()) {
        CollectionPreview start;
        if (const Status read =
                readCollectionPreview(line.file, line.format, kRecordsForItemNames, start);
            !read.ok())
            return read;
        mapping = defaultMapping(start.items, line.format);
        return {};
    }
    QFile file(line.mappingFile);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("The mapping file %1 cannot be read: %2.")
                                   .arg(line.mappingFile, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("The mapping file %1 cannot be read: %2.")
                                   .arg(line.mappingFile, file.errorString()));
    if (const Status parsed = FieldMapping::fromText(QString::fromUtf8(bytes), mapping);
        !parsed.ok())
        return Status::failure(
            QStringLiteral("The mapping file %1: %2").arg(line.mappingFile, parsed.message()));
    return {};
}

CommandLineJobResult runImport(const CommandLine& line, const QString& databaseFile)
{
    FieldMapping mapping;
    if (const Status read = readMapping(line, mapping); !read.ok())
        return failed(read.message());
    JobProgress counting;
    long long records = 0;
    if (const Status counted = countCollectionRecords(line.file, line.format, counting, records);
        !counted.ok())
        return failed(counted.message());
    long long stored = 0;
    if (const Status s = countStoredRecords(databaseFile, stored); !s.ok())
        return failed(s.message());
    // A script gets all of its file or nothing: no question to answer, so nothing is cut off.
    if (stored + records > kRecordLimit)
        return failed(QStringLiteral("%1 holds %2 records, but the database (%3 records) has "
                                     "room for only %4 more of Flaskbook's 1,000,000: %5 "
                                     "records would not fit. Nothing was imported.")
                          .arg(line.file, count(records), count(stored),
                               count(std::max(0LL, kRecordLimit - stored)),
                               count(stored + records - kRecordLimit)));

    JobProgress progress;
    progress.total = records;
    ImportResult result;
    if (const Status imported = importCollection(databaseFile, line.file, line.format, mapping,
                                                 kRecordLimit - stored, progress, result);
        !imported.ok())
        return failed(
            QStringLiteral("Nothing was imported from %1: %2").arg(line.file, imported.message()));
    CommandLineJobResult done;
    const QString unit =
        line.format == CollectionFormat::Sd ? QStringLiteral("record") : QStringLiteral("line");
    for (const SkippedRecord& skipped : result.skipped)
        done.errors += QStringLiteral("flaskbook: %1: skipped %2 %3: %4\n")
                           .arg(line.file, unit)
                           .arg(skipped.number)
                           .arg(skipped.reason);
    done.output = QStringLiteral("Added %1 records, skipped %2, in %3 seconds\n")
                      .arg(count(result.added), count(result.skipped.size()))
                      .arg(result.seconds, 0, 'f', 1);
    return done;
}

CommandLineJobResult runExport(const CommandLine& line, const QString& databaseFile)
{
    QElapsedTimer clock;
    clock.start();
    JobProgress progress;
    long long written = 0;
    if (const Status exported = exportCollection(databaseFile, RecordOrder::Table, line.file,
                                                 line.format, progress, written);
        !exported.ok())
        return failed(
            QStringLiteral("Nothing was exported to %1: %2").arg(line.file, exported.message()));
    return {0,
            QStringLiteral("Exported %1 records to %2 in %3 seconds\n")
                .arg(count(written), line.file)
                .arg(clock.elapsed() / 1000.0, 0, 'f', 1),
            {}};
}

} // namespace

CommandLineJobResult runCommandLineJob(const CommandLine& line, const Paths& paths)
{
    // Held for the whole job, so that no window opens on the database while it is written.
    InstanceLock running(paths.dataFolder);
    if (const Status locked = running.tryLock(); !locked.ok())
        return failed(running.heldElsewhere()
                          ? QStringLiteral("Flaskbook is running on %1 (a window, or another "
                                           "import or export); close it and try again.")
                                .arg(QDir::toNativeSeparators(paths.dataFolder))
                          : locked.message());
    if (const Status installed = installShippedDatabase(paths); !installed.ok())
        return failed(installed.message());
    return line.job == CommandLineJob::Import ? runImport(line, paths.databaseFile())
                                              : runExport(line, paths.databaseFile());
}
