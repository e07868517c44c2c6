#pragma once

#include "core/jobprogress.h"
#include "core/status.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

// A structure query: a SMILES or SMARTS pattern, looked for as a part of each record's
// molecule, or a molecule looked for as a whole.
class StructureQuery {
public:
    enum class Kind { Substructure, Exact };
    // A failure says why the text cannot be read as a query.
    static Status parse(const QString& text, Kind kind, StructureQuery& out);
    bool isEmpty() const { return !data_; }

    struct Data;
    std::shared_ptr<const Data> data_;
};

// The structure index of one database file: a screening fingerprint and a quickly read form
// of every record's molecule, kept in the file beside table DATA1 and brought up to date by
// the file's own triggers whoever writes it. Searching never gives another result than
// matching every record's molecule one by one would; the index only makes it faster.
class StructureIndex {
public:
    // Builds the index where the file lacks it, or brings it up to date with the records
    // changed since (progress and cancel through `progress`; a cancel leaves what was done
    // kept and sound). Runs on a worker thread.
    static Status bringUpToDate(const QString& databasePath, JobProgress& progress);

    // Every record of the database whose molecule matches `query`, by rowid, ascending,
    // handed over in batches as they are found (the first batch soon, for the first screen).
    // `batch` returns false to stop; `cancel` stops it from another thread. Brings the index
    // up to date first where it must. Runs on a worker thread.
    static Status search(const QString& databasePath, const StructureQuery& query,
                         const std::function<bool(const std::vector<long long>& rowids)>& batch,
                         const std::atomic<bool>& cancel);
};
