#include "app/records/recordset.h"

#include "app/records/boundfield.h"
#include "app/records/schema.h"
#include "app/records/searchkey.h"

#include <algorithm>
#include <limits>

#include <sqlite3.h>

namespace {

// A walk's lookup of one record seeks through an index, a visit reads the next entry: the
// visit takes this many steps per lookup and value.
constexpr int kVisitsPerLookup = 8;

// Every column of a record, the structure last; a file without the structure column
// reads it as empty.
const QStringList& allColumns()
{
    static const QStringList columns = recordColumns() + QStringList{structureColumn()};
    return columns;
}

const QStringList& blankRow()
{
    static const QStringList blanks(allColumns().size(), QString(""));
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
    // Unordered, SQLite reads the ids from the smallest index, far less than the table;
    // they are sorted in memory.
    return "SELECT rowid FROM DATA1";
}

Status noCurrentRecord()
{
    return Status::failure(QStringLiteral("There is no current record."));
}

// A read transaction for the length of one operation, when one is wanted and none is open.
class ReadTransaction {
public:
    ReadTransaction(Statement& begin, Statement& end, sqlite3* db, bool wanted) : end_(end), db_(db)
    {
        if (wanted && sqlite3_get_autocommit(db)) {
            active_ = begin.step() == SQLITE_DONE;
            begin.reset();
        }
    }
    ~ReadTransaction() { end(); }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

    void end()
    {
        if (!active_)
            return;
        active_ = false;
        const int rc = end_.step();
        end_.reset();
        if (rc != SQLITE_DONE)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }

private:
    Statement& end_;
    sqlite3* db_;
    bool active_ = false;
};

} // namespace

Status Recordset::load(Database* db, RecordOrder order)
{
    if (!db || !db->isOpen())
        return Status::failure(QStringLiteral("The database is not open."));
    if (isOpen()) {
        if (Status s = settleBeforeClosing(); !s.ok())
            return s;
    }

    // A file that could not take the structure column when it was opened may take it now.
    if (!db->hasStructureColumn())
        db->ensureStructureColumn();
    const int storedCount =
        int(db->hasStructureColumn() ? allColumns().size() : recordColumns().size());
    const QByteArray columns = allColumns().mid(0, storedCount).join(QLatin1Char(',')).toUtf8();
    const QByteArray select = "SELECT " + columns + " FROM DATA1 WHERE rowid=?1";
    QByteArray insert = "INSERT INTO DATA1(rowid," + columns + ") VALUES(?1";
    for (int i = 0; i < storedCount; ++i)
        insert += ",?" + QByteArray::number(i + 2);
    insert += ")";
    for (auto [statement, sql] :
         {std::pair{&selectRow_, select.constData()}, std::pair{&insertRow_, insert.constData()},
          std::pair{&deleteRow_, "DELETE FROM DATA1 WHERE rowid=?1"},
          std::pair{&largestId_, "SELECT max(rowid) FROM DATA1"},
          std::pair{&dataVersionQuery_, "PRAGMA data_version"}, std::pair{&beginRead_, "BEGIN"},
          std::pair{&endRead_, "COMMIT"}}) {
        if (Status s = statement->prepare(db->handle(), sql); !s.ok())
            return s;
    }

    // The version is read first, so a change made while the keyset is read is noticed later.
    long long version = 0;
    if (Status s = readDataVersion(db, version); !s.ok())
        return s;
    std::vector<long long> ids;
    if (Status s = readKeyset(db, order, ids); !s.ok())
        return s;

    db_ = db;
    storedColumnCount_ = storedCount;
    order_ = order;
    dataVersion_ = version;
    adoptKeyset(std::move(ids));
    noMatch_ = false;
    dropPending();
    return moveTo(0);
}

Status Recordset::close()
{
    if (!isOpen())
        return {};
    if (Status s = settleBeforeClosing(); !s.ok())
        return s;
    for (Statement* statement : {&selectRow_, &insertRow_, &deleteRow_, &largestId_,
                                 &dataVersionQuery_, &beginRead_, &endRead_})
        statement->finalize();
    db_ = nullptr;
    std::vector<long long>().swap(keyset_);
    ++changeCount_;
    positions_.clear();
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
    return move([] { return 0; });
}

Status Recordset::MoveLast()
{
    return move([this] { return int(keyset_.size()) - 1; });
}

Status Recordset::MoveNext()
{
    return move([this] {
        return place_ == Place::AfterLast ? kNoMove : neighbourPosition(Direction::Forward);
    });
}

Status Recordset::MovePrevious()
{
    return move([this] {
        return place_ == Place::BeforeFirst ? kNoMove : neighbourPosition(Direction::Backward);
    });
}

// The place next to the current one, possibly just outside the record set. After a
// delete, the record that followed the deleted one sits at its place.
int Recordset::neighbourPosition(Direction direction) const
{
    switch (place_) {
    case Place::OnRecord:
        return position_ + int(direction);
    case Place::AfterDelete:
        return direction == Direction::Forward ? position_ : position_ - 1;
    case Place::BeforeFirst:
        return direction == Direction::Forward ? 0 : -1;
    case Place::AfterLast:
        break;
    }
    return direction == Direction::Forward ? int(keyset_.size()) : int(keyset_.size()) - 1;
}

// Every move catches up with the table, saves the pending record and needs a record to
// move to. While browsing, the version check and the row read share one read transaction,
// so the file is locked and checked once per move.
Status Recordset::move(const std::function<int()>& target)
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    ReadTransaction transaction(beginRead_, endRead_, db_->handle(), editMode_ == EditNone);
    if (Status s = syncWithTable(); !s.ok())
        return s;
    if (Status s = commitPending(Settle::BeforeMove); !s.ok())
        return s;
    const int to = keyset_.empty() ? kNoMove : target();
    if (to == kNoMove)
        return noCurrentRecord();
    const Status read = readCurrent(to);
    transaction.end();
    showCurrent();
    return read;
}

Status Recordset::MoveTo(int position)
{
    return move([this, position] {
        return position >= 0 && position < int(keyset_.size()) ? position : kNoMove;
    });
}

Status Recordset::FindFirst(const QString& column, const QString& value)
{
    return find(column, value, true, Direction::Forward);
}

Status Recordset::FindNext(const QString& column, const QString& value)
{
    return find(column, value, false, Direction::Forward);
}

Status Recordset::FindPrevious(const QString& column, const QString& value)
{
    return find(column, value, false, Direction::Backward);
}

// The pending record is settled where it stands first, so a saved new record is the one
// the search starts from.
Status Recordset::find(const QString& column, const QString& value, bool fromFirst,
                       Direction direction)
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    const int index = columnIndex(column);
    if (index < 0 || index >= recordColumns().size())
        return Status::failure(QStringLiteral("There is no field named %1.").arg(column));
    ReadTransaction transaction(beginRead_, endRead_, db_->handle(), editMode_ == EditNone);
    if (Status s = beginOperation(); !s.ok())
        return s;
    if (Status s = commitPending(Settle::InPlace); !s.ok())
        return s;

    const SearchKey key(value);
    const QByteArray name = recordColumns()[index].toUtf8();
    const int start = fromFirst ? 0 : neighbourPosition(direction);
    int found = -1;
    const bool inside = start >= 0 && start < int(keyset_.size());
    const Status searched = inside ? searchFrom(start, direction, name, key, found) : Status();
    transaction.end();
    if (!searched.ok())
        return searched;
    noMatch_ = found < 0;
    if (noMatch_)
        return {};
    return moveTo(found);
}

// The position of the record nearest `start`, from it on in `direction`, whose `column`
// matches `key`; -1 when there is none.
Status Recordset::searchFrom(int start, Direction direction, const QByteArray& column,
                             const SearchKey& key, int& found)
{
    ValueQueries queries;
    if (Status s = prepareValueQueries(column, direction, queries); !s.ok())
        return s;
    std::vector<QByteArray> values;
    if (Status s = matchingValues(queries, key, values); !s.ok() || values.empty())
        return s;
    return order_ == RecordOrder::Table ? findInTableOrder(queries, values, start, direction, found)
                                        : findInNameOrder(queries, values, start, direction, found);
}

// Every query a search asks of the column's NOCASE index, which lists equal values by id.
Status Recordset::prepareValueQueries(const QByteArray& column, Direction direction,
                                      ValueQueries& queries)
{
    const QByteArray firstSql = "SELECT " + column + " FROM DATA1 WHERE " + column +
                                ">=?1 COLLATE NOCASE AND " + column +
                                "<?2 COLLATE NOCASE ORDER BY " + column + " COLLATE NOCASE LIMIT 1";
    const QByteArray afterSql = QByteArray(firstSql).replace(">=?1", ">?1");
    const QByteArray equalSql = "SELECT rowid FROM DATA1 WHERE " + column + "=?1 COLLATE NOCASE";
    const bool forward = direction == Direction::Forward;
    const QByteArray nearestSql = equalSql + " AND rowid" + (forward ? ">=" : "<=") +
                                  "?2 ORDER BY rowid" + (forward ? "" : " DESC");
    // Written as a range, so the lookup stays in the index and never reads the row.
    const QByteArray holdsSql = equalSql + " AND rowid>=?2 AND rowid<=?2";
    for (auto [statement, sql] :
         {std::pair{&queries.firstValue, &firstSql}, std::pair{&queries.nextValue, &afterSql},
          std::pair{&queries.idsOfValue, &equalSql}, std::pair{&queries.nearestId, &nearestSql},
          std::pair{&queries.holdsValue, &holdsSql}}) {
        if (Status s = statement->prepare(db_->handle(), sql->constData()); !s.ok())
            return s;
    }
    return {};
}

// The stretches of the index that can hold a match are read a value at a time: each value
// is checked once, and the entries equal to it are skipped.
Status Recordset::matchingValues(ValueQueries& queries, const SearchKey& key,
                                 std::vector<QByteArray>& values)
{
    for (const SearchKey::Range& range : key.ranges()) {
        Statement* query = &queries.firstValue;
        QByteArray from = range.from;
        for (;;) {
            query->bindUtf8(1, from);
            query->bindUtf8(2, range.to);
            const int rc = query->step();
            const QByteArray text = rc == SQLITE_ROW ? query->columnUtf8(0) : QByteArray();
            query->reset();
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                return db_->engineFailure(QStringLiteral("The search failed"));
            if (key.matches(QString::fromUtf8(text)))
                values.push_back(text);
            query = &queries.nextValue;
            from = text;
        }
    }
    return {};
}

// Table order is id order: each matching value is asked for its id nearest the start.
Status Recordset::findInTableOrder(ValueQueries& queries, const std::vector<QByteArray>& values,
                                   int start, Direction direction, int& found)
{
    Statement& nearest = queries.nearestId;
    for (const QByteArray& value : values) {
        nearest.bindUtf8(1, value);
        nearest.bindInt64(2, keyset_[size_t(start)]);
        int rc;
        while ((rc = nearest.step()) == SQLITE_ROW) {
            // A row another program added since the keyset was read is not in it.
            const int position = positionOf(nearest.columnInt64(0));
            if (position < 0)
                continue;
            if (found < 0 ||
                (direction == Direction::Forward ? position < found : position > found))
                found = position;
            break;
        }
        nearest.reset();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return db_->engineFailure(QStringLiteral("The search failed"));
    }
    return {};
}

// In a name order the ids of the matching values are visited through the index while the
// record set is walked in its own order from the start, each walked record looked up in the
// index: the walk ends at the first match it meets, the visit once every match is seen. Few
// matches or a near one, either way it is quick.
Status Recordset::findInNameOrder(ValueQueries& queries, const std::vector<QByteArray>& values,
                                  int start, Direction direction, int& found)
{
    const int step = int(direction);
    const int count = int(keyset_.size());
    // A lookup seeks through the index; reading the next entry of a visit is far cheaper.
    const int visitsPerLookup = kVisitsPerLookup * int(values.size());
    Statement& visit = queries.idsOfValue;
    Statement& holds = queries.holdsValue;
    size_t visiting = 0;
    visit.bindUtf8(1, values[0]);
    for (int walked = start;; walked += step) {
        for (int visited = 0; visited < visitsPerLookup; ++visited) {
            const int rc = visit.step();
            if (rc == SQLITE_ROW) {
                // Only a position on the search's side of the start, nearer than the one found.
                const int position = positionOf(visit.columnInt64(0));
                if (position >= 0 && (position - start) * step >= 0 &&
                    (found < 0 || (found - position) * step > 0))
                    found = position;
                continue;
            }
            visit.reset();
            if (rc != SQLITE_DONE)
                return db_->engineFailure(QStringLiteral("The search failed"));
            if (++visiting == values.size())
                return {};
            visit.bindUtf8(1, values[visiting]);
        }

        // Every record between the start and the match the visit knows has been walked:
        // that one is nearest.
        if ((found >= 0 && (walked - found) * step >= 0) || walked < 0 || walked >= count)
            return {};
        for (const QByteArray& value : values) {
            holds.bindUtf8(1, value);
            holds.bindInt64(2, keyset_[size_t(walked)]);
            const int rc = holds.step();
            holds.reset();
            if (rc != SQLITE_ROW && rc != SQLITE_DONE)
                return db_->engineFailure(QStringLiteral("The search failed"));
            if (rc == SQLITE_ROW) {
                found = walked;
                return {};
            }
        }
    }
}

Status Recordset::AddNew()
{
    if (Status s = beginOperation(); !s.ok())
        return s;
    if (Status s = commitPending(Settle::BeforeMove); !s.ok())
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
    if (Status s = beginOperation(); !s.ok())
        return s;
    if (Status s = commitPending(Settle::BeforeMove); !s.ok())
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
    if (Status s = beginOperation(); !s.ok())
        return s;
    return commitPending(Settle::InPlace);
}

Status Recordset::CancelUpdate()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    dropPending();
    if (Status s = syncWithTable(); !s.ok()) {
        showCurrent();
        return s;
    }
    return showCurrentAsStored();
}

// A pending record is saved against the table as it is now, so a row deleted behind the
// record set is never shown again.
Status Recordset::settleBeforeClosing()
{
    if (editMode_ == EditNone)
        return {};
    if (Status s = syncWithTable(); !s.ok())
        return s;
    return commitPending(Settle::BeforeMove);
}

Status Recordset::Delete()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    // Dropped before anything can fail, so the blanked boxes are never saved.
    dropPending();
    // The record as the user last saw it; another program may have changed it since.
    const QStringList seen = currentValues_;
    if (Status s = syncWithTable(); !s.ok())
        return s;
    if (place_ != Place::OnRecord)
        return noCurrentRecord();
    QStringList stored;
    bool found = false;
    if (Status s = readRow(keyset_[size_t(position_)], stored, found); !s.ok())
        return s;
    if (found && stored != seen) {
        if (Status s = moveTo(position_); !s.ok())
            return s;
        return anotherProgramChanged(QStringLiteral("nothing was deleted"));
    }

    deleteRow_.bindInt64(1, keyset_[position_]);
    const int rc = deleteRow_.step();
    deleteRow_.reset();
    if (rc != SQLITE_DONE)
        return db_->engineFailure(QStringLiteral("The record could not be deleted"));
    if (sqlite3_changes(db_->handle()) == 0)
        return Status::failure(QStringLiteral("The record no longer exists in the database."));

    const long long deletedId = keyset_[size_t(position_)];
    keyset_.erase(keyset_.begin() + position_);
    ++changeCount_;
    if (order_ != RecordOrder::Table)
        positions_.erased(deletedId, position_);
    // The largest id follows the deletion, or a new record would be refused for an id gone.
    if (deletedId == largestIdSeen_)
        largestIdSeen_ = keyset_.empty() ? 0 : *std::max_element(keyset_.begin(), keyset_.end());
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

// Every operation needs a record set that has caught up with the table.
Status Recordset::beginOperation()
{
    if (Status s = requireOpen(); !s.ok())
        return s;
    return syncWithTable();
}

Status Recordset::requireOpen() const
{
    if (!db_ || !db_->isOpen())
        return Status::failure(QStringLiteral("There is no record set: the database is not open."));
    return {};
}

Status Recordset::readDataVersion(Database* db, long long& version)
{
    const int rc = dataVersionQuery_.step();
    version = dataVersionQuery_.columnInt64(0);
    dataVersionQuery_.reset();
    if (rc != SQLITE_ROW)
        return db->engineFailure(QStringLiteral("The database cannot be read"));
    return {};
}

// Rows another connection deleted or added are seen at once, and no id held for a row
// that is gone can show another program's new row at a stale place.
Status Recordset::syncWithTable()
{
    long long version = 0;
    if (Status s = readDataVersion(db_, version); !s.ok())
        return s;
    if (version == dataVersion_)
        return {};
    std::vector<long long> ids;
    if (Status s = readKeyset(db_, order_, ids); !s.ok())
        return s;
    dataVersion_ = version;

    const bool wasOnRecord = place_ == Place::OnRecord;
    const long long currentId = wasOnRecord ? keyset_[size_t(position_)] : 0;
    adoptKeyset(std::move(ids));
    const int count = int(keyset_.size());
    if (wasOnRecord) {
        if (const int position = positionOf(currentId); position >= 0) {
            position_ = position;
            // Show the record as it is stored now, unless the user is typing into it.
            return editMode_ == EditNone ? moveTo(position) : Status();
        }
        place_ = Place::AfterDelete;
    }
    if (place_ == Place::AfterLast)
        position_ = count;
    else if (place_ == Place::AfterDelete)
        position_ = std::min(position_, count);
    if (wasOnRecord) {
        currentValues_ = blankRow();
        if (editMode_ == EditNone)
            showCurrent();
    }
    return {};
}

Status Recordset::readKeyset(Database* db, RecordOrder order, std::vector<long long>& ids) const
{
    Statement query;
    if (Status s = query.prepare(db->handle(), keysetQuery(order)); !s.ok())
        return s;
    int rc;
    while ((rc = query.step()) == SQLITE_ROW)
        ids.push_back(query.columnInt64(0));
    if (rc != SQLITE_DONE)
        return db->engineFailure(QStringLiteral("The records cannot be read"));
    if (order == RecordOrder::Table)
        sortIds(ids);
    return {};
}

void Recordset::adoptKeyset(std::vector<long long> ids)
{
    keyset_ = std::move(ids);
    ++changeCount_;
    largestIdSeen_ = keyset_.empty() ? 0 : *std::max_element(keyset_.begin(), keyset_.end());
    if (order_ == RecordOrder::Table)
        positions_.clear();
    else
        positions_.build(keyset_);
}

Status Recordset::commitPending(Settle settle)
{
    if (editMode_ == EditNone)
        return {};
    const QStringList values = boundValues();
    if (values == pendingOriginal_) {
        dropPending();
        return settle == Settle::InPlace ? showCurrentAsStored() : Status();
    }

    if (storedColumnCount_ < values.size() && !values.last().isEmpty())
        return Status::failure(QStringLiteral(
            "The record was not saved: this database file cannot be written to, so it cannot "
            "take structures."));

    if (editMode_ == EditAdd) {
        long long id = 0;
        if (Status s = nextFreeId(id); !s.ok())
            return s;
        insertRow_.bindInt64(1, id);
        for (int i = 0; i < storedColumnCount_; ++i)
            insertRow_.bindText(i + 2, values[i]);
        const int rc = insertRow_.step();
        insertRow_.reset();
        if (rc != SQLITE_DONE)
            return db_->engineFailure(QStringLiteral("The record was not saved"));
        dropPending();
        keyset_.push_back(id);
        ++changeCount_;
        largestIdSeen_ = id;
        if (order_ != RecordOrder::Table)
            positions_.appended(id, int(keyset_.size()) - 1);
        if (settle == Settle::InPlace)
            return moveTo(int(keyset_.size()) - 1);
        return {};
    }

    // The row is checked as stored now: another program may have deleted it, given its id
    // to another record, or changed fields the user left alone.
    QStringList stored;
    bool found = false;
    if (Status s = readRow(pendingId_, stored, found); !s.ok())
        return s;
    if (!found)
        return keepAsNewRecord();
    if (isAnotherRecord(pendingOriginal_, stored, values)) {
        dropPending();
        if (Status s = showCurrentAsStored(); !s.ok())
            return s;
        return anotherProgramChanged(QStringLiteral("nothing was saved"));
    }

    // Only the fields the user changed are written; the rest stay as stored, byte for byte.
    QByteArray sql = "UPDATE DATA1 SET ";
    QList<int> changed;
    for (int i = 0; i < storedColumnCount_; ++i) {
        if (values[i] == pendingOriginal_[i])
            continue;
        changed.append(i);
        sql += allColumns()[i].toUtf8() + "=?" + QByteArray::number(changed.size()) + ",";
    }
    if (changed.isEmpty()) {
        dropPending();
        return {};
    }
    sql.chop(1);
    sql += " WHERE rowid=?" + QByteArray::number(changed.size() + 1);
    Statement update;
    if (Status s = update.prepare(db_->handle(), sql.constData()); !s.ok())
        return s;
    for (int i = 0; i < changed.size(); ++i)
        update.bindText(i + 1, values[changed[i]]);
    update.bindInt64(int(changed.size()) + 1, pendingId_);
    const int rc = update.step();
    update.reset();
    if (rc != SQLITE_DONE)
        return db_->engineFailure(QStringLiteral("The record was not saved"));
    if (sqlite3_changes(db_->handle()) == 0)
        return keepAsNewRecord();
    ++changeCount_;
    dropPending();
    for (int i : changed)
        stored[i] = values[i];
    if (place_ == Place::OnRecord && keyset_[size_t(position_)] == pendingId_) {
        currentValues_ = stored;
        showCurrent();
    }
    return {};
}

// The edit of a record another program deleted becomes a new record holding what was
// typed, so the user can save it again or drop it.
Status Recordset::keepAsNewRecord()
{
    editMode_ = EditAdd;
    pendingId_ = 0;
    pendingOriginal_ = blankRow();
    return Status::failure(QStringLiteral(
        "The record was not saved: another program has deleted it from the database. What you "
        "typed is kept as a new record."));
}

Status Recordset::anotherProgramChanged(const QString& outcome)
{
    return Status::failure(
        QStringLiteral("Another program changed this record, so %1. The record is shown as the "
                       "database holds it now.")
            .arg(outcome));
}

// Taken for another record (a reused id, say): a name changed that the user did not type, or
// a field both changed to different values.
bool Recordset::isAnotherRecord(const QStringList& original, const QStringList& stored,
                                const QStringList& typed)
{
    const int name = columnIndex(QStringLiteral("Name"));
    if (stored[name] != original[name] && typed[name] != stored[name])
        return true;
    for (int i = 0; i < stored.size(); ++i) {
        if (stored[i] != original[i] && typed[i] != original[i] && typed[i] != stored[i])
            return true;
    }
    return false;
}

Status Recordset::moveTo(int position)
{
    const Status read = readCurrent(position);
    showCurrent();
    return read;
}

Status Recordset::readCurrent(int position)
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
    return result;
}

Status Recordset::showCurrentAsStored()
{
    if (place_ == Place::OnRecord)
        return moveTo(position_);
    showCurrent();
    return {};
}

void Recordset::showCurrent()
{
    for (const Binding& binding : bindings_)
        binding.holder->setBoundText(currentValues_[binding.column]);
    if (onReposition_)
        onReposition_();
}

Status Recordset::readRow(long long id, QStringList& values, bool& found)
{
    selectRow_.bindInt64(1, id);
    const int rc = selectRow_.step();
    found = rc == SQLITE_ROW;
    if (found) {
        values = blankRow();
        for (int i = 0; i < storedColumnCount_; ++i)
            values[i] = selectRow_.columnText(i);
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

int Recordset::positionOf(long long id) const
{
    if (order_ == RecordOrder::Table) {
        // Table order is id order, and new records get the largest id.
        const auto found = std::lower_bound(keyset_.begin(), keyset_.end(), id);
        return found != keyset_.end() && *found == id ? int(found - keyset_.begin()) : -1;
    }
    return positions_.find(id);
}

Status Recordset::nextFreeId(long long& id)
{
    const int rc = largestId_.step();
    const long long largestInTable = rc == SQLITE_ROW ? largestId_.columnInt64(0) : 0;
    largestId_.reset();
    if (rc != SQLITE_ROW)
        return db_->engineFailure(QStringLiteral("The record was not saved"));
    const long long largest = std::max(largestInTable, largestIdSeen_);
    // A new record must follow every other in table order, so it needs a larger id.
    if (largest == std::numeric_limits<long long>::max())
        return Status::failure(QStringLiteral(
            "The record was not saved: the table holds a record with the largest record "
            "number there is, so no new record can follow it."));
    id = largest + 1;
    return {};
}
