#include "app/records/database.h"
#include "app/records/schema.h"
#include "chem/molecule.h"
#include "core/filekind.h"
#include "transfer/orderedpipeline.h"
#include "transfer/recordtext.h"
#include "transfer/transferjobs.h"

#include <QSaveFile>
#include <QThread>

#include <sqlite3.h>

namespace {

constexpr int kBatchRecords = 256;

// The rows of one batch as read from the table, and their text once a worker has written it.
struct ExportBatch {
    QList<QStringList> fields;
    QStringList molBlocks;
    QByteArray text;
};

// Same orders as the window's record set (app/records/recordset.cpp).
QByteArray selectInOrder(RecordOrder order, bool withStructure)
{
    QByteArray sql = "SELECT " + recordColumns().join(QLatin1Char(',')).toUtf8();
    sql += withStructure ? "," + structureColumn().toUtf8() : QByteArray(",NULL");
    sql += " FROM DATA1";
    switch (order) {
    case RecordOrder::NameAscending:
        return sql + " ORDER BY Name COLLATE NOCASE ASC, rowid ASC";
    case RecordOrder::NameDescending:
        return sql + " ORDER BY Name COLLATE NOCASE DESC, rowid DESC";
    case RecordOrder::Table:
        break;
    }
    return sql + " ORDER BY rowid";
}

// The SMILES of a stored MOL block, in the block's atom order (a canonical order would cost
// twice the time at a million records); empty for none, or for one that no longer reads.
QString smilesOf(const QString& molBlock)
{
    return molBlock.trimmed().isEmpty() ? QString() : Molecule::smilesInAtomOrder(molBlock);
}

void writeBatchText(ExportBatch& batch, CollectionFormat format)
{
    const int nameColumn = columnIndex(QStringLiteral("Name"));
    for (qsizetype i = 0; i < batch.fields.size(); ++i) {
        const QStringList& fields = batch.fields[i];
        if (format == CollectionFormat::Sd)
            batch.text += sdRecord(batch.molBlocks[i], fields[nameColumn], recordColumns(), fields);
        else
            batch.text += delimitedRow(fields + QStringList{smilesOf(batch.molBlocks[i])},
                                       format == CollectionFormat::Tsv ? '\t' : ',');
    }
}

// Reads the table in one read transaction and hands batches of rows to the writer.
class TableReader {
public:
    ~TableReader()
    {
        query_.finalize();
        if (inTransaction_)
            sqlite3_exec(db_.handle(), "COMMIT", nullptr, nullptr, nullptr);
    }
    Status open(const QString& path, RecordOrder order, long long& count)
    {
        if (Status s = db_.OpenDatabase(path); !s.ok())
            return Status::failure(
                QStringLiteral("The database cannot be opened: %1").arg(s.message()));
        if (sqlite3_exec(db_.handle(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
            return db_.engineFailure(QStringLiteral("The database cannot be read"));
        inTransaction_ = true;
        Statement counting;
        if (Status s = counting.prepare(db_.handle(), "SELECT count(*) FROM DATA1"); !s.ok())
            return s;
        if (counting.step() != SQLITE_ROW)
            return db_.engineFailure(QStringLiteral("The database cannot be read"));
        count = counting.columnInt64(0);
        return query_.prepare(db_.handle(),
                              selectInOrder(order, db_.hasStructureColumn()).constData());
    }
    // Up to kBatchRecords rows; an empty batch at the end.
    Status next(ExportBatch& batch)
    {
        const int columns = int(recordColumns().size());
        while (!finished_ && batch.fields.size() < kBatchRecords) {
            const int rc = query_.step();
            // Stepping on after the end would start the query again.
            finished_ = rc == SQLITE_DONE;
            if (finished_)
                break;
            if (rc != SQLITE_ROW)
                return db_.engineFailure(QStringLiteral("The database cannot be read"));
            QStringList fields;
            fields.reserve(columns);
            for (int c = 0; c < columns; ++c)
                fields.append(query_.columnText(c));
            batch.fields.append(fields);
            batch.molBlocks.append(query_.columnText(columns));
        }
        return {};
    }

private:
    Database db_;
    Statement query_;
    bool inTransaction_ = false;
    bool finished_ = false;
};

Status writeOut(QSaveFile& file, const QByteArray& text)
{
    if (file.write(text) != text.size())
        return Status::failure(
            QStringLiteral("The file cannot be written: %1").arg(file.errorString()));
    return {};
}

} // namespace

Status exportCollection(const QString& databasePath, RecordOrder order, const QString& target,
                        CollectionFormat format, JobProgress& progress, long long& written)
{
    written = 0;
    progress.done = 0;
    if (isSameFile(databasePath, target))
        return Status::failure(QStringLiteral("The records cannot be written over the database "
                                              "file they come from."));
    TableReader reader;
    long long count = 0;
    if (Status s = reader.open(databasePath, order, count); !s.ok())
        return s;
    progress.total = count;

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(
            QStringLiteral("The file cannot be written: %1").arg(file.errorString()));
    if (format != CollectionFormat::Sd) {
        const Status header =
            writeOut(file, delimitedRow(recordColumns() + QStringList{QStringLiteral("SMILES")},
                                        format == CollectionFormat::Tsv ? '\t' : ','));
        if (!header.ok()) {
            file.cancelWriting();
            return header;
        }
    }

    const int threads = std::max(1, QThread::idealThreadCount());
    OrderedPipeline<ExportBatch> pipeline(threads, 4 * threads,
                                          [format](ExportBatch& b) { writeBatchText(b, format); });
    Status result;
    bool atEnd = false;
    while (result.ok() && (!atEnd || !pipeline.empty())) {
        if (progress.cancelRequested) {
            result = Status::failure(QStringLiteral("The export was cancelled."));
            break;
        }
        if (!atEnd && !pipeline.full()) {
            auto batch = std::make_unique<ExportBatch>();
            result = reader.next(*batch);
            atEnd = batch->fields.isEmpty();
            if (result.ok() && !atEnd)
                pipeline.submit(std::move(batch));
            continue;
        }
        std::unique_ptr<ExportBatch> done;
        if (pipeline.takeOldest(done) != OrderedPipeline<ExportBatch>::Taken::Done) {
            result = Status::failure(QStringLiteral("The export ran out of memory."));
            break;
        }
        result = writeOut(file, done->text);
        written += done->fields.size();
        progress.done = written;
    }
    if (!result.ok()) {
        written = 0;
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        written = 0;
        return Status::failure(
            QStringLiteral("The file cannot be written: %1").arg(file.errorString()));
    }
    return {};
}
