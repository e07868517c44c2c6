#pragma once

#include "core/jobprogress.h"
#include "core/status.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QItemSelectionModel>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class DataControl;
class QItemSelectionModel;

// The records of the window's record set, in its order, as a table for the record list:
// number, name, CAS number, formula, weight and a small drawing of the structure. Rows are
// read when the view asks for them and only a few hundred are kept. A filter narrows the
// rows to the records holding a text, or a structure; it runs on a worker thread and a newer
// filter cancels it. The list follows every change of the record set and of the file.
class RecordListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        NumberColumn,
        NameColumn,
        CasColumn,
        FormulaColumn,
        WeightColumn,
        StructureColumn,
        ColumnCount
    };
    enum class Mode { Text, Substructure, ExactStructure };

    // Says why a structure query cannot be read (on the window's thread), finds the records
    // whose structure matches it, by rowid, in batches, and beforehand brings the file's
    // structure index up to date, with progress and cancel (both on a worker thread).
    struct StructureSearch {
        std::function<Status(const QString& query, bool exact)> check;
        std::function<Status(const QString& databasePath, const QString& query, bool exact,
                             const std::function<bool(const std::vector<long long>&)>& batch,
                             const std::atomic<bool>& cancel)>
            find;
        std::function<Status(const QString& databasePath, JobProgress& progress)> prepare;
    };

    explicit RecordListModel(DataControl& data, QObject* parent = nullptr);
    ~RecordListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setStructureSearch(StructureSearch search) { structureSearch_ = std::move(search); }
    const StructureSearch& structureSearch() const { return structureSearch_; }
    // Lists the records holding `text` (all of them for an empty text).
    void setFilter(const QString& text, Mode mode);
    // "1,234 of 1,000,000", and whether the filter is still at work.
    QString countText() const;
    bool isSearching() const { return job_ && !job_->allFound; }
    // Still reading again the records the index named, which can only withdraw some.
    bool isChecking() const { return job_ != nullptr; }
    // Bringing the structure index up to date before a structure query can run.
    bool isIndexingStructures() const { return job_ && job_->indexingStructures; }
    // Why the filter lists nothing (a query that cannot be read), or empty.
    const QString& problem() const { return problem_; }
    // The record set's place of the record in `row`, or -1.
    int positionOfRow(int row) const;
    int rowOfRecordId(long long id) const;
    long long recordIdOfRow(int row) const;

    // Keeps the selected record selected when the rows are read again.
    void keepSelection(QItemSelectionModel* selection) { selection_ = selection; }
    // While true, the file is watched for other programs' changes. A structure index build
    // stops while the list is closed and goes on when it is shown again.
    void setWatching(bool watching);
    // Reads the rows again if the record set or the file changed since they were read.
    void followChanges();
    // Builds the text filter index where the file lacks it, on a worker thread.
    void prepareIndex();
    bool isPreparingIndex() const { return indexProgress_ != nullptr; }

    // True while the model selects again the record selected before its rows were read
    // again: that is no choice of the user's.
    bool isRestoringSelection() const { return restoringSelection_; }

    // Structures are drawn on a worker thread; a row shows its drawing once it is ready.
    bool isDrawing() const { return !drawing_.isEmpty(); }

    // The size of a structure's drawing in the list.
    static constexpr int kStructureWidth = 96;
    static constexpr int kStructureHeight = 64;

signals:
    // The count or the problem text changed.
    void statusChanged();

private:
    struct Row {
        QString name, cas, formula, weight, structure;
        bool found = false;
    };
    struct Job {
        std::atomic<bool> cancel{false};
        int generation = 0;
        // False: rows are shown as they come; true: the old rows stay until all are found.
        bool replaceAtEnd = false;
        bool allFound = false;
        std::vector<long long> found;
        std::atomic<bool> indexingStructures{false};
        JobProgress structureIndex;
        void stop()
        {
            cancel = true;
            structureIndex.cancelRequested = true;
        }
    };

    const Row* rowOf(long long id) const;
    // The drawing of the record's structure, or nothing while it is being drawn.
    QVariant drawingOf(long long id, const Row& row) const;
    void takeDrawing(long long id, const QImage& image);
    void startFilter(bool replaceAtEnd);
    void takeBatch(int generation, const std::vector<long long>& ids);
    void takeAllFound(int generation);
    void takeWithdrawn(int generation, const std::vector<long long>& ids);
    void finishJob(int generation, const Status& status);
    // Resets the model around `change`, keeping the current record selected.
    void resetKeepingSelection(const std::function<void()>& change);
    void sortByPosition(std::vector<long long>& ids) const;

    DataControl& data_;
    QString text_;
    Mode mode_ = Mode::Text;
    bool filtered_ = false;
    // The records listed while filtered, in record-set order.
    std::vector<long long> rowIds_;
    // The unfiltered row count, as the view was last told.
    int allRows_ = 0;
    unsigned long long seenChanges_ = 0;
    QString problem_;
    StructureSearch structureSearch_;
    // The structure index build was stopped by closing the list.
    bool resumeWhenShown_ = false;

    std::shared_ptr<Job> job_;
    int generation_ = 0;
    std::shared_ptr<JobProgress> indexProgress_;
    QThreadPool pool_;
    mutable QThreadPool drawPool_;
    mutable QSet<long long> drawing_;
    QTimer watch_;
    QPointer<QItemSelectionModel> selection_;
    bool restoringSelection_ = false;

    mutable QCache<long long, Row> rows_;
    mutable QCache<long long, QPixmap> drawings_;
};
