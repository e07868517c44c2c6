#pragma once

#include "app/records/recordset.h"
#include "core/jobprogress.h"
#include "core/status.h"
#include "transfer/collectionfile.h"
#include "transfer/fieldmapping.h"

#include <QList>
#include <QString>

// A record of the file that was not taken, and why.
struct SkippedRecord {
    long long number = 0; // record number (SD) or line number (SMILES, CSV)
    QString reason;
};

struct ImportResult {
    long long added = 0;
    QList<SkippedRecord> skipped;
    double seconds = 0;
};

// Counts the records of a collection file without parsing molecules, for the limit check
// before an import starts and for the progress total. progress.done follows the bytes read.
Status countCollectionRecords(const QString& path, CollectionFormat format, JobProgress& progress,
                              long long& count);

// Appends the records of `path` to table DATA1 of the database at `databasePath` through a
// connection of its own, in one transaction: all of them or, on cancel or any failure, none,
// the file left exactly as it was. Molecules are parsed on worker threads; a record that
// cannot be read is skipped and listed. Names are stored in upper case, as the window stores
// typed names; formula and weight are worked out from the molecule where nothing maps to
// them. At most `room` records are added. Runs on the caller's thread (not the window's):
// progress.done counts records read, a cancel ends with a failure saying it was cancelled.
Status importCollection(const QString& databasePath, const QString& path, CollectionFormat format,
                        const FieldMapping& mapping, long long room, JobProgress& progress,
                        ImportResult& result);

// Writes every record of the database at `databasePath`, in `order`, to `target` as CSV/TSV
// (a header of column names and a SMILES column for the structure) or as an SD file (each
// record's MOL block, an empty molecule where it has none, every field a data item).
// Written to a temporary file beside `target` and renamed over it at the end: a cancel or a
// failure leaves no half file and an existing file untouched.
Status exportCollection(const QString& databasePath, RecordOrder order, const QString& target,
                        CollectionFormat format, JobProgress& progress, long long& written);

// The skipped records as a text file, one "record N: reason" line each.
Status saveSkippedList(const QList<SkippedRecord>& skipped, const QString& path);
