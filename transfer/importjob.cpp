#include "app/records/appendupkeep.h"
#include "app/records/database.h"
#include "app/records/schema.h"
#include "transfer/importrecord.h"
#include "transfer/orderedpipeline.h"
#include "transfer/transferjobs.h"

#include <QElapsedTimer>
#include <QThread>

#include <thread>

#include <sqlite3.h>

#include <vector>

namespace {

constexpr int kBatchRecords = 128;
// Index pages of the table stay in memory while a large file goes in (in KiB).
constexpr int kCacheKiB = 96 * 1024;

struct ImportBatch {
    std::vector<SourceRecord> records; // let go once converted, on the worker
    std::vector<long long> numbers;    // each record's number in the file
    std::vector<RecordConverter::Row> rows;
    std::vector<QString> skipReasons; // empty where the row is taken
};

// One writer connection holding one transaction: all records or none.
class RecordWriter {
public:
    ~RecordWriter()
    {
        sqlite3_finalize(insert_);
        if (inTransaction_)
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Status begin(const QString& path)
    {
        if (Status s = db_.OpenDatabase(path); !s.ok())
            return Status::failure(
                QStringLiteral("The database cannot be opened: %1").arg(s.message()));
        if (!db_.hasStructureColumn())
            return Status::failure(QStringLiteral("The database cannot take structures: it "
                                                  "cannot be written."));
        // The window may be reading the file for a moment.
        db_.setBusyTimeout(10000);
        sqlite3_exec(db_.handle(),
                     QByteArray("PRAGMA cache_size=-" + QByteArray::number(kCacheKiB)).constData(),
                     nullptr, nullptr, nullptr);
        // A statement's undo pages stay in memory instead of going to a file page by page.
        sqlite3_exec(db_.handle(), "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
        if (sqlite3_exec(db_.handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            return db_.engineFailure(QStringLiteral("The database cannot be written"));
        inTransaction_ = true;
        if (Status s = upkeep_.suspend(db_.handle()); !s.ok())
            return s;
        const QByteArray sql =
            "INSERT INTO DATA1(" +
            (recordColumns() + QStringList{structureColumn()}).join(QLatin1Char(',')).toUtf8() +
            ") VALUES(?" + QByteArray(",?").repeated(RecordConverter::kColumns - 1) + ")";
        if (sqlite3_prepare_v2(db_.handle(), sql.constData(), -1, &insert_, nullptr) != SQLITE_OK)
            return db_.engineFailure(QStringLiteral("The database cannot be written"));
        return {};
    }
    Status add(const RecordConverter::Row& row)
    {
        for (int c = 0; c < RecordConverter::kColumns; ++c)
            sqlite3_bind_text(insert_, c + 1, row[c].constData(), int(row[c].size()),
                              SQLITE_STATIC);
        const int rc = sqlite3_step(insert_);
        sqlite3_reset(insert_);
        if (rc != SQLITE_DONE)
            return db_.engineFailure(QStringLiteral("The database cannot be written"));
        const long long rowid = sqlite3_last_insert_rowid(db_.handle());
        if (pendingLast_ > 0 && rowid == pendingLast_ + 1) {
            pendingLast_ = rowid;
            return {};
        }
        Status s = handOnAdded();
        pendingFirst_ = pendingLast_ = rowid;
        return s;
    }
    // Brings the derived tables up to the rows added so far.
    Status handOnAdded()
    {
        Status s;
        if (pendingLast_ > 0)
            s = upkeep_.catchUp(db_.handle(), pendingFirst_, pendingLast_);
        pendingFirst_ = pendingLast_ = 0;
        return s;
    }
    Status commit()
    {
        sqlite3_finalize(insert_);
        insert_ = nullptr;
        if (Status s = handOnAdded(); !s.ok())
            return s;
        if (Status s = upkeep_.resume(db_.handle()); !s.ok())
            return s;
        if (sqlite3_exec(db_.handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            return db_.engineFailure(QStringLiteral("The records cannot be saved"));
        inTransaction_ = false;
        return {};
    }

private:
    Database db_;
    sqlite3_stmt* insert_ = nullptr;
    bool inTransaction_ = false;
    AppendUpkeep upkeep_;
    // Rows added and not yet handed on to the derived tables (rowids, 0 for none).
    long long pendingFirst_ = 0;
    long long pendingLast_ = 0;
};

void convertBatch(const RecordConverter& converter, ImportBatch& batch)
{
    batch.rows.resize(batch.records.size());
    batch.skipReasons.resize(batch.records.size());
    batch.numbers.resize(batch.records.size());
    for (size_t i = 0; i < batch.records.size(); ++i) {
        batch.skipReasons[i] = converter.convert(batch.records[i], batch.rows[i]);
        batch.numbers[i] = batch.records[i].number;
    }
    batch.records = {};
}

} // namespace

Status importCollection(const QString& databasePath, const QString& path, CollectionFormat format,
                        const FieldMapping& mapping, long long room, JobProgress& progress,
                        ImportResult& result)
{
    QElapsedTimer clock;
    clock.start();
    result = ImportResult();
    progress.done = 0;
    if (recordColumns().size() + 1 != RecordConverter::kColumns)
        return Status::failure(QStringLiteral("The table's columns are not the import's."));

    std::unique_ptr<CollectionReader> reader;
    if (Status s = CollectionReader::open(path, format, reader); !s.ok())
        return s;
    RecordWriter writer;
    if (Status s = writer.begin(databasePath); !s.ok())
        return s;

    const RecordConverter converter(mapping);
    const int threads = std::max(1, QThread::idealThreadCount());
    using Pipeline = OrderedPipeline<ImportBatch>;
    Pipeline pipeline(threads, 4 * threads,
                      [&converter](ImportBatch& b) { convertBatch(converter, b); });

    // The file is read on a thread of its own, so this one only writes.
    Status readStatus;
    std::thread readingThread([&] {
        bool atEnd = false;
        long long readCount = 0;
        while (!atEnd && pipeline.waitForRoom()) {
            auto batch = std::make_unique<ImportBatch>();
            batch->records.reserve(kBatchRecords);
            while (!atEnd && int(batch->records.size()) < kBatchRecords) {
                SourceRecord record;
                readStatus = reader->next(record, atEnd);
                if (!readStatus.ok()) {
                    pipeline.finish();
                    return;
                }
                if (!atEnd) {
                    batch->records.push_back(std::move(record));
                    progress.done = ++readCount;
                }
            }
            if (!batch->records.empty())
                pipeline.submit(std::move(batch));
        }
        pipeline.finish();
    });

    Status status;
    for (bool full = false; status.ok() && !full;) {
        if (progress.cancelRequested) {
            status = Status::failure(QStringLiteral("The import was cancelled."));
            break;
        }
        std::unique_ptr<ImportBatch> batch;
        const Pipeline::Taken taken = pipeline.takeOldest(batch);
        if (taken == Pipeline::Taken::Nothing)
            break;
        if (taken == Pipeline::Taken::WorkFailed) {
            status = Status::failure(QStringLiteral("The import ran out of memory."));
            break;
        }
        for (size_t i = 0; status.ok() && i < batch->rows.size(); ++i) {
            const long long number = batch->numbers[i];
            if (!batch->skipReasons[i].isEmpty()) {
                result.skipped.append({number, batch->skipReasons[i]});
            } else if (result.added >= room) {
                result.skipped.append(
                    {number, QStringLiteral("The database has no room for this record and the "
                                            "records after it.")});
                full = true;
                break;
            } else {
                status = writer.add(batch->rows[i]);
                result.added += status.ok();
            }
        }
        if (status.ok())
            status = writer.handOnAdded();
    }
    pipeline.stop();
    readingThread.join();
    if (status.ok())
        status = readStatus;
    if (status.ok())
        status = writer.commit();
    result.seconds = clock.elapsed() / 1000.0;
    if (!status.ok())
        result.added = 0;
    return status;
}
