#include "app/records/recordset.h"

#include "app/records/boundfield.h"
#include "app/records/schema.h"

#include <algorithm>

#include <sqlite3.h>

namespace {

const QStringList& blankRow()
{
    static const QStringList blanks(recordColumns().size(), QString(""));
    return blanks;
}

const char* keysetQuery(RecordOrder order)
{
    switch (order) {
    case RecordOrder::NameAscending:
        return "SELECT rowid FROM DATA1 ORDER BY Name COLLATE NOCASE ASC, rowid ASC";
    case RecordOrder::NameDescending:
        return "SELECT rowid FROM DATA1 ORDER BY Name COLLATE NOCASE DESC, rowid DESC";
    case RecordOrder::Table:
        break;
    }
    return "SELECT rowid FROM DATA1 ORDER BY rowid";
}

QByteArray columnList()
{
    return recordColumns().join(QLatin1Char(',')).toUtf8();
}

Status noCurrentRecord()
{
    return Status::failure(QStringLiteral("There is no current record."));
}

} // namespace

Status Recordset::load(Database* db, RecordOrder order)
{
    if (!db || !db->isOpen())
        return Status::failure(QStringLiteral("The database is not open."));
    if (isOpen()) {
        if (Status s = commitPending(false); !s.ok())
            return s;
    }

    std::vector<long long> ids;
    long long largest = 0;
    {
        Statement query;
        if (Status s = query.prepare(db->handle(), keysetQuery(order)); !s.ok())
            return s;
        int rc;
        while ((rc = query.step()) == SQLITE_ROW) {
            ids.push_back(query.columnInt64(0));
            largest = std::max(largest, ids.back());
        }
        if (rc != SQLITE_DONE)
            return db->engineFailure(QStringLiteral("The records cannot be read"));
    }

    const QByteArray columns = columnList();
    const QByteArray select = "SELECT " + columns + " FROM DATA1 WHERE rowid=?1";
    const QByteArray insert =
        "INSERT INTO DATA1(rowid," + columns + ") VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12)";
    QByteArray update = "UPDATE DATA1 SET ";
    for (int i = 0; i < recordColumns().size(); ++i)
        update += recordColumns()[i].toUtf8() + "=?" + QByteArray::number(i + 1) + ",";
    update.chop(1);
    update += " WHERE rowid=?12";
    for (auto [statement, sql] :
         {std::pair{&selectRow_, select.constData()}, std::pair{&insertRow_, insert.constData()},
          std::pair{&updateRow_, update.constData()},
          std::pair{&deleteRow_, "DELETE FROM DATA1 WHERE rowid=?1"},
          std::pair{&largestId_, "SELECT max(rowid) FROM DATA1"}}) {
        if (Status s = statement->prepare(db->handle(), sql); !s.ok())
            return s;
    }

    db_ = db;
    order_ = order;
    keyset_ = std::move(ids);
    largestIdSeen_ = std::max(largestIdSeen_, largest);
    forgetPositions();
    // Built now, so the first search in a name order is as quick as any other.
    if (order_ != RecordOrder::Table)
        buildPositions();
    noMatch_ = false;
    dropPending();
    return moveTo(0);
}

Status Recordset::close()
{
    if (!isOpen())
        return {};
    if (Status s = commitPending(false); !s.ok())
        return s;
    for (Statement* statement : {&selectRow_, &insertRow_, &updateRow_, &deleteRow_, &largestId_})
        statement->finalize();
    db_ = nullptr;
    std::vector<long long>().swap(keyset_);
    forgetPositions();
    place_ = Place::BeforeFirst;
    position_ = -1;
    currentValues_ = blankRow();
    return {};
}

int Recordset::RecordCount() const
{
    return isOpen() ? int(keyset_.size()) : 0;
}

int Recordset::AbsolutePosition() const
{
    return isOpen() && place_ == Place::OnRecord ? position_ : -1;
}

bool Recordset::IsBOF() const
{
    return RecordCount() == 0 || place_ == Place::BeforeFirst;
}

bool Recordset::IsEOF() const
{
    return RecordCount() == 0 || place_ == Place::AfterLast;
}

Status Recordset::MoveFirst()
{
    if (Status s = beginMove(); !s.ok())
        return s;
    return moveTo(0);
}

Status Recordset::MoveLast()
{
    if (Status s = beginMove(); !s.ok())
        return s;
    return moveTo(int(keyset_.size()) - 1);
}

Status Recordset::MoveNext()
{
    if (Status s = beginMove(); !s.ok())
        return s;
    switch (place_) {
    case Place::OnRecord:
        return moveTo(position_ + 1);
    case Place::BeforeFirst:
        return moveTo(0);
    case Place::AfterDelete:
        // The record that followed the deleted one now sits at its place.
        return moveTo(position_);
    case Place::AfterLast:
        break;
    }
    return noCurrentRecord();
}

Status Recordset::MovePrevious()
{
    if (Status s = beginMove(); !s.ok())
        return s;
    switch (place_) {
    case Place::OnRecord:
    case Place::AfterDelete:
        return moveTo(position_ - 1);
    case Place::AfterLast:
        return moveTo(int(keyset_.size()) - 1);
    case Place::BeforeFirst:
        break;
    }
    return noCurrentRecord();
}

Status Recordset::FindFirst(const QString& column, const QString& value)
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    const int index = columnIndex(column);
    if (index < 0)
        return Status::failure(QStringLiteral("There is no field named %1.").arg(column));
    if (Status s = commitPending(false); !s.ok())
        return s;

    // The NOCASE index gives the matching ids at once; the earliest in record-set order wins.
    const QByteArray sql =
        "SELECT rowid FROM DATA1 WHERE " + recordColumns()[index].toUtf8() + "=?1 COLLATE NOCASE";
    Statement query;
    if (Status s = query.prepare(db_->handle(), sql.constData()); !s.ok())
        return s;
    query.bindText(1, value);
    int best = -1;
    int rc;
    while (best != 0 && (rc = query.step()) == SQLITE_ROW) {
        const int position = positionOf(query.columnInt64(0));
        if (position >= 0 && (best < 0 || position < best))
            best = position;
    }
    if (best != 0 && rc != SQLITE_DONE)
        return db_->engineFailure(QStringLiteral("The search failed"));
    query.finalize();

    noMatch_ = best < 0;
    if (noMatch_)
        return {};
    return moveTo(best);
}

Status Recordset::AddNew()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    if (Status s = commitPending(false); !s.ok())
        return s;
    editMode_ = EditAdd;
    pendingId_ = 0;
    pendingOriginal_ = blankRow();
    for (const Binding& binding : bindings_)
        binding.holder->setBoundText(QString());
    return {};
}

Status Recordset::Edit()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    if (Status s = commitPending(false); !s.ok())
        return s;
    if (place_ != Place::OnRecord)
        return noCurrentRecord();

    // Start from the row as stored now, and show exactly that.
    QStringList values;
    bool found = false;
    const long long id = keyset_[position_];
    if (Status s = readRow(id, values, found); !s.ok())
        return s;
    if (!found)
        return Status::failure(QStringLiteral("The record has been deleted from the database."));
    currentValues_ = values;
    for (const Binding& binding : bindings_)
        binding.holder->setBoundText(values[binding.column]);
    editMode_ = EditInProgress;
    pendingId_ = id;
    pendingOriginal_ = values;
    return {};
}

Status Recordset::Update()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    return commitPending(true);
}

Status Recordset::CancelUpdate()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    dropPending();
    for (const Binding& binding : bindings_)
        binding.holder->setBoundText(currentValues_[binding.column]);
    return {};
}

Status Recordset::Delete()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    dropPending();
    if (place_ != Place::OnRecord)
        return noCurrentRecord();

    deleteRow_.bindInt64(1, keyset_[position_]);
    const int rc = deleteRow_.step();
    deleteRow_.reset();
    if (rc != SQLITE_DONE)
        return db_->engineFailure(QStringLiteral("The record could not be deleted"));
    if (sqlite3_changes(db_->handle()) == 0)
        return Status::failure(QStringLiteral("The record no longer exists in the database."));

    const long long deletedId = keyset_[position_];
    keyset_.erase(keyset_.begin() + position_);
    if (positionsValid_) {
        positionById_[size_t(deletedId)] = -1;
        for (int& position : positionById_)
            position -= position > position_;
    }
    place_ = Place::AfterDelete;
    currentValues_ = blankRow();
    return {};
}

QString Recordset::field(const QString& column) const
{
    const int index = columnIndex(column);
    return index >= 0 && place_ == Place::OnRecord ? currentValues_.value(index) : QString();
}

void Recordset::bind(const QString& column, BoundField* holder)
{
    const int index = columnIndex(column);
    if (index >= 0 && holder)
        bindings_.push_back({index, holder});
}

void Recordset::setRepositionHandler(std::function<void()> handler)
{
    onReposition_ = std::move(handler);
}

// Every move needs a record set, the pending record saved, and a record to move to.
Status Recordset::beginMove()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    if (Status s = commitPending(false); !s.ok())
        return s;
    if (keyset_.empty())
        return noCurrentRecord();
    return {};
}

Status Recordset::requireOpen() const
{
    if (!isOpen())
        return Status::failure(QStringLiteral("There is no record set: the database is not open."));
    return {};
}

Status Recordset::commitPending(bool becomeCurrent)
{
    if (editMode_ == EditNone)
        return {};
    const QStringList values = boundValues();
    if (values == pendingOriginal_) {
        dropPending();
        return {};
    }

    if (editMode_ == EditAdd) {
        long long id = 0;
        if (Status s = nextFreeId(id); !s.ok())
            return s;
        insertRow_.bindInt64(1, id);
        for (int i = 0; i < values.size(); ++i)
            insertRow_.bindText(i + 2, values[i]);
        const int rc = insertRow_.step();
        insertRow_.reset();
        if (rc != SQLITE_DONE)
            return db_->engineFailure(QStringLiteral("The record was not saved"));
        dropPending();
        keyset_.push_back(id);
        largestIdSeen_ = id;
        if (positionsValid_) {
            if (id >= (long long)positionById_.size())
                positionById_.resize(size_t(id + 1), -1);
            positionById_[size_t(id)] = int(keyset_.size()) - 1;
        }
        if (becomeCurrent)
            return moveTo(int(keyset_.size()) - 1);
        return {};
    }

    for (int i = 0; i < values.size(); ++i)
        updateRow_.bindText(i + 1, values[i]);
    updateRow_.bindInt64(12, pendingId_);
    const int rc = updateRow_.step();
    updateRow_.reset();
    if (rc != SQLITE_DONE)
        return db_->engineFailure(QStringLiteral("The record was not saved"));
    dropPending();
    // A row deleted behind the record set is never written back.
    if (sqlite3_changes(db_->handle()) == 0)
        return Status::failure(QStringLiteral("The record was not saved: it has been deleted "
                                              "from the database."));
    if (place_ == Place::OnRecord && keyset_[position_] == pendingId_)
        currentValues_ = values;
    return {};
}

Status Recordset::moveTo(int position)
{
    const int count = int(keyset_.size());
    if (position < 0) {
        place_ = Place::BeforeFirst;
        position_ = -1;
    } else if (position >= count) {
        place_ = Place::AfterLast;
        position_ = count;
    } else {
        place_ = Place::OnRecord;
        position_ = position;
    }

    Status result;
    currentValues_ = blankRow();
    if (place_ == Place::OnRecord) {
        bool found = false;
        QStringList values;
        result = readRow(keyset_[position_], values, found);
        // A row deleted behind the record set shows as empty fields.
        if (result.ok() && found)
            currentValues_ = values;
    }
    for (const Binding& binding : bindings_)
        binding.holder->setBoundText(currentValues_[binding.column]);
    if (onReposition_)
        onReposition_();
    return result;
}

Status Recordset::readRow(long long id, QStringList& values, bool& found)
{
    selectRow_.bindInt64(1, id);
    const int rc = selectRow_.step();
    found = rc == SQLITE_ROW;
    if (found) {
        values.clear();
        for (int i = 0; i < recordColumns().size(); ++i)
            values.append(selectRow_.columnText(i));
    }
    selectRow_.reset();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return db_->engineFailure(QStringLiteral("The record cannot be read"));
    return {};
}

QStringList Recordset::boundValues() const
{
    QStringList values = pendingOriginal_;
    for (const Binding& binding : bindings_)
        values[binding.column] = binding.holder->boundText();
    return values;
}

int Recordset::positionOf(long long id)
{
    if (order_ == RecordOrder::Table) {
        // Table order is rowid order, and new records get the largest id.
        const auto found = std::lower_bound(keyset_.begin(), keyset_.end(), id);
        return found != keyset_.end() && *found == id ? int(found - keyset_.begin()) : -1;
    }
    if (positionsValid_)
        return id >= 0 && id < (long long)positionById_.size() ? positionById_[size_t(id)] : -1;
    // Ids too sparse for a table: look them up one by one.
    const auto found = std::find(keyset_.begin(), keyset_.end(), id);
    return found != keyset_.end() ? int(found - keyset_.begin()) : -1;
}

void Recordset::buildPositions()
{
    const long long limit = 4 * (long long)keyset_.size() + 1000000;
    long long largest = 0;
    for (long long id : keyset_) {
        if (id < 0 || id > limit)
            return;
        largest = std::max(largest, id);
    }
    positionById_.assign(size_t(largest + 1), -1);
    for (size_t i = 0; i < keyset_.size(); ++i)
        positionById_[size_t(keyset_[i])] = int(i);
    positionsValid_ = true;
}

void Recordset::forgetPositions()
{
    positionsValid_ = false;
    std::vector<int>().swap(positionById_);
}

Status Recordset::nextFreeId(long long& id)
{
    // Ids still held by this record set for rows deleted behind it are never reused,
    // so a new record cannot appear at a stale place.
    const int rc = largestId_.step();
    const long long largestInTable = rc == SQLITE_ROW ? largestId_.columnInt64(0) : 0;
    largestId_.reset();
    if (rc != SQLITE_ROW)
        return db_->engineFailure(QStringLiteral("The record was not saved"));
    id = std::max(largestInTable, largestIdSeen_) + 1;
    return {};
}
