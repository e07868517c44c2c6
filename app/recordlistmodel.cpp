#include "app/recordlistmodel.h"

#include "app/records/datacontrol.h"
#include "app/records/textfilter.h"
#include "chem/molecule.h"

#include <QGuiApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPainter>

#include <algorithm>

#include <sqlite3.h>

namespace {

// Rows and drawings kept: a few screens of the list.
constexpr int kCachedRows = 600;
constexpr int kCachedDrawings = 200;
// How often the file is asked whether another program changed it.
constexpr int kWatchMs = 300;

QString grouped(long long number)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(number);
}

} // namespace

RecordListModel::RecordListModel(DataControl& data, QObject* parent)
    : QAbstractTableModel(parent), data_(data), rows_(kCachedRows), drawings_(kCachedDrawings)
{
    allRows_ = int(data_.Recordset().keyset().size());
    seenChanges_ = data_.Recordset().changeCount();
    // A filter, a cancelled filter finishing, and the index build.
    pool_.setMaxThreadCount(3);
    drawPool_.setMaxThreadCount(1);
    // The filter's first use asks the engine how it folds letters; asked now, not then.
    pool_.start([] { TextNeedle(QStringLiteral("abc")).indexFindsAll(); });
    watch_.setInterval(kWatchMs);
    connect(&watch_, &QTimer::timeout, this, [this] {
        // Another program's commit shows in the record set only once it is asked.
        if (data_.Database().isOpen())
            data_.Recordset().catchUpWithTable();
        followChanges();
        if (indexProgress_ || isIndexingStructures())
            emit statusChanged();
    });
}

RecordListModel::~RecordListModel()
{
    if (job_)
        job_->stop();
    if (indexProgress_)
        indexProgress_->cancelRequested = true;
    drawPool_.clear();
    drawPool_.waitForDone();
    pool_.waitForDone();
}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return filtered_ ? int(rowIds_.size()) : allRows_;
}

int RecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

long long RecordListModel::recordIdOfRow(int row) const
{
    if (row < 0)
        return -1;
    if (filtered_)
        return row < int(rowIds_.size()) ? rowIds_[size_t(row)] : -1;
    const std::vector<long long>& keyset = data_.Recordset().keyset();
    return row < int(keyset.size()) ? keyset[size_t(row)] : -1;
}

int RecordListModel::positionOfRow(int row) const
{
    const long long id = recordIdOfRow(row);
    if (id < 0)
        return -1;
    return filtered_ ? data_.Recordset().positionOfRecord(id) : row;
}

int RecordListModel::rowOfRecordId(long long id) const
{
    if (!filtered_)
        return data_.Recordset().positionOfRecord(id);
    const auto found = std::find(rowIds_.begin(), rowIds_.end(), id);
    return found == rowIds_.end() ? -1 : int(found - rowIds_.begin());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    // The record set changed since the rows were counted: count them again soon.
    if (seenChanges_ != data_.Recordset().changeCount())
        QTimer::singleShot(0, const_cast<RecordListModel*>(this), &RecordListModel::followChanges);
    const long long id = recordIdOfRow(index.row());
    if (id < 0)
        return {};
    if (role == Qt::UserRole)
        return id;
    if (role == Qt::TextAlignmentRole &&
        (index.column() == NumberColumn || index.column() == WeightColumn))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ToolTipRole &&
        role != Qt::AccessibleTextRole)
        return {};
    if (index.column() == NumberColumn)
        return role == Qt::DisplayRole ? QVariant(positionOfRow(index.row()) + 1) : QVariant();
    const Row* row = rowOf(id);
    if (!row)
        return {};
    switch (index.column()) {
    case NameColumn:
        return role == Qt::DisplayRole || role == Qt::ToolTipRole ? row->name : QVariant();
    case CasColumn:
        return role == Qt::DisplayRole ? row->cas : QVariant();
    case FormulaColumn:
        return role == Qt::DisplayRole ? row->formula : QVariant();
    case WeightColumn:
        return role == Qt::DisplayRole ? row->weight : QVariant();
    case StructureColumn:
        if (row->structure.isEmpty())
            return role == Qt::AccessibleTextRole ? tr("No structure") : QVariant();
        if (role == Qt::DecorationRole)
            return drawingOf(id, *row);
        if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
            return tr("Structure of %1").arg(row->name);
        return {};
    default:
        return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NumberColumn:
        return tr("No.");
    case NameColumn:
        return tr("Chemical Name");
    case CasColumn:
        return tr("CAS Number");
    case FormulaColumn:
        return tr("Molecular Formula");
    case WeightColumn:
        return tr("Molecular Weight");
    case StructureColumn:
        return tr("Structure");
    default:
        return {};
    }
}

// Read through the window's own connection: one row by its rowid costs microseconds.
const RecordListModel::Row* RecordListModel::rowOf(long long id) const
{
    if (const Row* cached = rows_.object(id))
        return cached;
    Database& db = data_.Database();
    if (!db.isOpen())
        return nullptr;
    const QByteArray sql =
        db.hasStructureColumn()
            ? "SELECT Name,CAS,MolFormula,MolWeight,Structure FROM DATA1 "
              "WHERE rowid=?1"
            : "SELECT Name,CAS,MolFormula,MolWeight,'' FROM DATA1 WHERE rowid=?1";
    Statement select;
    if (!select.prepare(db.handle(), sql.constData()).ok())
        return nullptr;
    select.bindInt64(1, id);
    auto row = std::make_unique<Row>();
    if (select.step() == SQLITE_ROW) {
        row->name = select.columnText(0);
        row->cas = select.columnText(1);
        row->formula = select.columnText(2);
        row->weight = select.columnText(3);
        row->structure = select.columnText(4);
        row->found = true;
    }
    select.finalize();
    Row* kept = row.release();
    rows_.insert(id, kept);
    return kept;
}

QVariant RecordListModel::drawingOf(long long id, const Row& row) const
{
    if (const QPixmap* cached = drawings_.object(id))
        return *cached;
    if (drawing_.contains(id))
        return {};
    drawing_.insert(id);
    const qreal ratio = qGuiApp->devicePixelRatio();
    auto* self = const_cast<RecordListModel*>(this);
    drawPool_.start([self, id, ratio, text = row.structure] {
        QImage image;
        Molecule molecule;
        if (Molecule::fromText(text, molecule).ok()) {
            const QSize size(kStructureWidth, kStructureHeight);
            image = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            QPainter painter(&image);
            molecule.draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        QMetaObject::invokeMethod(
            self, [self, id, image] { self->takeDrawing(id, image); }, Qt::QueuedConnection);
    });
    return {};
}

void RecordListModel::takeDrawing(long long id, const QImage& image)
{
    drawing_.remove(id);
    drawings_.insert(id, new QPixmap(QPixmap::fromImage(image)));
    if (const int row = rowOfRecordId(id); row >= 0 && row < rowCount())
        emit dataChanged(index(row, StructureColumn), index(row, StructureColumn),
                         {Qt::DecorationRole});
}

void RecordListModel::setFilter(const QString& text, Mode mode)
{
    text_ = text;
    mode_ = mode;
    problem_.clear();
    resumeWhenShown_ = false;
    if (job_)
        job_->stop();
    job_.reset();
    if (text.isEmpty()) {
        resetKeepingSelection([this] {
            filtered_ = false;
            rowIds_.clear();
            allRows_ = int(data_.Recordset().keyset().size());
        });
        emit statusChanged();
        return;
    }
    if (mode != Mode::Text) {
        const bool exact = mode == Mode::ExactStructure;
        if (!structureSearch_.check || !structureSearch_.find)
            problem_ = tr("Searching by structure is not available in this version.");
        else if (const Status checked = structureSearch_.check(text, exact); !checked.ok())
            problem_ = checked.message();
        if (!problem_.isEmpty()) {
            resetKeepingSelection([this] {
                filtered_ = true;
                rowIds_.clear();
            });
            emit statusChanged();
            return;
        }
    }
    startFilter(false);
}

void RecordListModel::startFilter(bool replaceAtEnd)
{
    resumeWhenShown_ = false;
    if (job_)
        job_->stop();
    job_ = std::make_shared<Job>();
    job_->generation = ++generation_;
    job_->replaceAtEnd = replaceAtEnd;
    if (!replaceAtEnd) {
        resetKeepingSelection([this] {
            filtered_ = true;
            rowIds_.clear();
        });
    }
    emit statusChanged();

    const std::shared_ptr<Job> job = job_;
    const QString path = data_.DatabaseName();
    const QString text = text_;
    const Mode mode = mode_;
    const auto findStructures = structureSearch_.find;
    const auto prepareStructures = structureSearch_.prepare;
    pool_.start([this, job, path, text, mode, findStructures, prepareStructures] {
        const int generation = job->generation;
        const auto batch = [this, job, generation](const std::vector<long long>& ids) {
            if (job->cancel)
                return false;
            QMetaObject::invokeMethod(
                this, [this, generation, ids] { takeBatch(generation, ids); },
                Qt::QueuedConnection);
            return !job->cancel;
        };
        const TextFilterReceiver receiver{
            batch,
            [this, generation] {
                QMetaObject::invokeMethod(
                    this, [this, generation] { takeAllFound(generation); }, Qt::QueuedConnection);
            },
            [this, generation](const std::vector<long long>& ids) {
                QMetaObject::invokeMethod(
                    this, [this, generation, ids] { takeWithdrawn(generation, ids); },
                    Qt::QueuedConnection);
            }};
        Status status;
        if (mode == Mode::Text) {
            status = findRecordsContaining(path, text, receiver, job->cancel);
        } else {
            // A failed build is left to the search, which tries again and says why.
            if (prepareStructures) {
                job->indexingStructures = true;
                prepareStructures(path, job->structureIndex);
                job->indexingStructures = false;
                QMetaObject::invokeMethod(
                    this, [this] { emit statusChanged(); }, Qt::QueuedConnection);
            }
            if (!job->cancel)
                status =
                    findStructures(path, text, mode == Mode::ExactStructure, batch, job->cancel);
        }
        QMetaObject::invokeMethod(
            this, [this, generation, status] { finishJob(generation, status); },
            Qt::QueuedConnection);
    });
}

void RecordListModel::takeBatch(int generation, const std::vector<long long>& ids)
{
    if (!job_ || job_->generation != generation)
        return;
    if (job_->replaceAtEnd) {
        job_->found.insert(job_->found.end(), ids.begin(), ids.end());
        return;
    }
    // In table order a batch follows the rows shown; in a name order it is sorted in.
    const Recordset& rs = data_.Recordset();
    std::vector<long long> added;
    added.reserve(ids.size());
    int last = rowIds_.empty() ? -1 : rs.positionOfRecord(rowIds_.back());
    bool follows = true;
    for (const long long id : ids) {
        const int position = rs.positionOfRecord(id);
        if (position < 0)
            continue;
        follows = follows && position > last;
        last = position;
        added.push_back(id);
    }
    if (added.empty())
        return;
    if (follows) {
        beginInsertRows({}, int(rowIds_.size()), int(rowIds_.size() + added.size()) - 1);
        rowIds_.insert(rowIds_.end(), added.begin(), added.end());
        endInsertRows();
    } else {
        resetKeepingSelection([this, &added] {
            rowIds_.insert(rowIds_.end(), added.begin(), added.end());
            sortByPosition(rowIds_);
        });
    }
    emit statusChanged();
}

void RecordListModel::takeAllFound(int generation)
{
    if (!job_ || job_->generation != generation)
        return;
    job_->allFound = true;
    if (job_->replaceAtEnd) {
        job_->replaceAtEnd = false;
        std::vector<long long> found = std::move(job_->found);
        sortByPosition(found);
        resetKeepingSelection([this, &found] { rowIds_ = std::move(found); });
    }
    emit statusChanged();
}

void RecordListModel::takeWithdrawn(int generation, const std::vector<long long>& ids)
{
    if (!job_ || job_->generation != generation)
        return;
    std::vector<long long>& from = job_->replaceAtEnd ? job_->found : rowIds_;
    const auto withdrawn = [&ids](long long id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    if (job_->replaceAtEnd)
        from.erase(std::remove_if(from.begin(), from.end(), withdrawn), from.end());
    else
        resetKeepingSelection(
            [&] { from.erase(std::remove_if(from.begin(), from.end(), withdrawn), from.end()); });
    emit statusChanged();
}

void RecordListModel::finishJob(int generation, const Status& status)
{
    if (!job_ || job_->generation != generation)
        return;
    if (!job_->allFound)
        takeAllFound(generation);
    if (!status.ok())
        problem_ = status.message();
    job_.reset();
    emit statusChanged();
}

void RecordListModel::sortByPosition(std::vector<long long>& ids) const
{
    const Recordset& rs = data_.Recordset();
    std::vector<std::pair<int, long long>> placed;
    placed.reserve(ids.size());
    for (const long long id : ids) {
        if (const int position = rs.positionOfRecord(id); position >= 0)
            placed.emplace_back(position, id);
    }
    std::sort(placed.begin(), placed.end());
    ids.clear();
    for (const auto& [position, id] : placed)
        ids.push_back(id);
}

void RecordListModel::resetKeepingSelection(const std::function<void()>& change)
{
    const QModelIndex current = selection_ ? selection_->currentIndex() : QModelIndex();
    // The record shown in the selected row, as the rows were before the change.
    const long long selectedId = current.isValid() ? current.data(Qt::UserRole).toLongLong() : -1;
    beginResetModel();
    change();
    endResetModel();
    if (!selection_ || selectedId < 0)
        return;
    if (const int row = rowOfRecordId(selectedId); row >= 0) {
        restoringSelection_ = true;
        selection_->setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
        restoringSelection_ = false;
    }
}

void RecordListModel::followChanges()
{
    const Recordset& rs = data_.Recordset();
    if (rs.changeCount() == seenChanges_)
        return;
    seenChanges_ = rs.changeCount();
    rows_.clear();
    drawings_.clear();
    if (filtered_) {
        // Ids stay valid; their places and their text may not: find them again.
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        if (problem_.isEmpty() && !text_.isEmpty())
            startFilter(true);
        return;
    }
    resetKeepingSelection([this] { allRows_ = int(data_.Recordset().keyset().size()); });
    emit statusChanged();
}

void RecordListModel::setWatching(bool watching)
{
    if (watching) {
        watch_.start();
        if (resumeWhenShown_)
            startFilter(false);
        return;
    }
    watch_.stop();
    // Nobody waits for the structure index now; the batches done stay in the file.
    if (isIndexingStructures()) {
        job_->stop();
        job_.reset();
        resumeWhenShown_ = true;
        emit statusChanged();
    }
}

void RecordListModel::prepareIndex()
{
    Database& db = data_.Database();
    bool present = false;
    if (indexProgress_ || !db.isOpen() || !TextFilterIndex::isPresent(db.handle(), present).ok() ||
        present)
        return;
    indexProgress_ = std::make_shared<JobProgress>();
    const std::shared_ptr<JobProgress> progress = indexProgress_;
    const QString path = data_.DatabaseName();
    pool_.start([this, progress, path] {
        const Status built = TextFilterIndex::build(path, *progress);
        QMetaObject::invokeMethod(
            this,
            [this, built] {
                indexProgress_.reset();
                // A file that cannot be written keeps being read record by record.
                if (!built.ok())
                    qInfo("record list: %s", qPrintable(built.message()));
                if (filtered_ && mode_ == Mode::Text && !text_.isEmpty())
                    startFilter(true);
                emit statusChanged();
            },
            Qt::QueuedConnection);
    });
    emit statusChanged();
}

QString RecordListModel::countText() const
{
    QString text =
        tr("%1 of %2")
            .arg(grouped(rowCount()), grouped(qsizetype(data_.Recordset().keyset().size())));
    if (isIndexingStructures() && job_->structureIndex.total > 0)
        text = tr("Indexing structures: %1 of %2")
                   .arg(grouped(job_->structureIndex.done), grouped(job_->structureIndex.total));
    else if (isSearching())
        text += tr(" (searching)");
    else if (isChecking())
        text += tr(" (checking)");
    if (indexProgress_) {
        const long long total = indexProgress_->total;
        text += tr(" - preparing the filter: %1%")
                    .arg(total > 0 ? indexProgress_->done * 100 / total : 0);
    }
    return text;
}
