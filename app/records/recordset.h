#pragma once

#include "app/records/database.h"
#include "app/records/keypositions.h"
#include "core/status.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class BoundField;
class SearchKey;

enum class RecordOrder { Table, NameAscending, NameDescending };

// The bound record set: a keyset cursor over table DATA1. It keeps only the record
// ids in record-set order and the current row; every other row is read on demand.
//
// Automatic saving: a pending new or edited record is committed, with the values of
// the bound fields, before the current record changes (every move, FindFirst, a
// reload), before a further AddNew or Edit, and by Update and close. A pending record
// whose values did not change is dropped. When Update or FindFirst settles a pending
// record, a saved new record becomes current, and the bound fields show the record
// current afterwards. Every operation reports failure as a status; on a closed record
// set every operation fails.
//
// Changes another connection makes to the table are noticed at the next operation:
// the keyset is read again, and the current record stays current while it exists.
//
// Update writes only the fields the user changed; the others stay as stored, byte for
// byte, with another program's changes to them. Before writing, the row is read again:
// if another program deleted it, nothing is written and what was typed becomes a pending
// new record (Update saves it, CancelUpdate drops it); if its name changed to one the user
// did not type, or a field both changed holds different values, it is taken for another
// record (a reused id): nothing is written, the edit is dropped and the row is shown as
// stored. Delete acts only on a row that still holds what the user was last shown;
// otherwise it deletes nothing and shows the row as stored. Deleting the record with the
// largest id lets a new record take the ids after the largest left.
class Recordset {
public:
    enum EditModeValue { EditNone = 0, EditInProgress = 1, EditAdd = 2 };

    Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Reads the record ids of `db` in `order`; the first record becomes current.
    // A pending record is committed first; if that fails the old record set stays.
    Status load(Database* db, RecordOrder order);
    // Commits a pending record, then lets go of the connection.
    Status close();
    bool isOpen() const { return db_ != nullptr; }

    int RecordCount() const;
    // Zero-based place of the current record, -1 when there is none.
    int AbsolutePosition() const;
    // BOF and EOF are taken by the C library, hence the prefix.
    bool IsBOF() const;
    bool IsEOF() const;
    int EditMode() const { return editMode_; }
    bool NoMatch() const { return noMatch_; }

    Status MoveFirst();
    Status MoveLast();
    Status MoveNext();
    Status MovePrevious();
    // Makes current the first record, in record-set order, whose `column` equals
    // `value`, ignoring the case of every letter and trailing blanks on both sides; on a
    // miss NoMatch is true and nothing moves.
    Status FindFirst(const QString& column, const QString& value);
    // The same search from the current record towards the end (FindNext) or the start
    // (FindPrevious) of the record set; after a Delete, the record that took the deleted
    // one's place counts as the next.
    Status FindNext(const QString& column, const QString& value);
    Status FindPrevious(const QString& column, const QString& value);

    Status AddNew();
    Status Edit();
    // Commits the pending record now; a new record joins the end and becomes current.
    Status Update();
    // Drops the pending record and shows the current record again.
    Status CancelUpdate();
    // Removes the current record from the table; there is no current record until the
    // next move. A pending record is dropped first, so values blanked on screen
    // before the delete never reach any record.
    Status Delete();

    // Value of `column` in the current record; empty with no current record.
    QString field(const QString& column) const;

    // Makes the record at zero-based `position` current, as any move does.
    Status MoveTo(int position);
    // Notices what another connection changed in the table now, not at the next operation.
    Status catchUpWithTable() { return beginOperation(); }
    // The record ids in record-set order, for a list of the records; good until the next
    // operation, which may change it.
    const std::vector<long long>& keyset() const { return keyset_; }
    // The place of record `id` in the keyset, or -1.
    int positionOfRecord(long long id) const { return positionOf(id); }
    // Grows with every change of the keyset or of a stored record that this record set
    // made or noticed, so a list of the records knows when to read them again.
    unsigned long long changeCount() const { return changeCount_; }

    void bind(const QString& column, BoundField* holder);
    // Called after every change of the current record, before the move returns.
    void setRepositionHandler(std::function<void()> handler);

private:
    enum class Place { OnRecord, BeforeFirst, AfterLast, AfterDelete };
    // A pending record settled before a move, or where it stands (Update, FindFirst).
    enum class Settle { BeforeMove, InPlace };
    // Which way a move or a search steps through the record set.
    enum class Direction { Forward = 1, Backward = -1 };

    Status requireOpen() const;
    Status beginOperation();
    static constexpr int kNoMove = -2;
    Status move(const std::function<int()>& target);
    int neighbourPosition(Direction direction) const;
    Status find(const QString& column, const QString& value, bool fromFirst, Direction direction);
    Status syncWithTable();
    Status settleBeforeClosing();
    Status readDataVersion(Database* db, long long& version);
    Status readKeyset(Database* db, RecordOrder order, std::vector<long long>& ids) const;
    void adoptKeyset(std::vector<long long> ids);
    Status commitPending(Settle settle);
    Status keepAsNewRecord();
    static Status anotherProgramChanged(const QString& outcome);
    static bool isAnotherRecord(const QStringList& original, const QStringList& stored,
                                const QStringList& typed);
    void dropPending() { editMode_ = EditNone; }
    Status moveTo(int position);
    Status readCurrent(int position);
    void showCurrent();
    Status showCurrentAsStored();
    Status readRow(long long id, QStringList& values, bool& found);
    QStringList boundValues() const;
    int positionOf(long long id) const;
    Status nextFreeId(long long& id);
    Status searchFrom(int start, Direction direction, const QByteArray& column,
                      const SearchKey& key, int& found);
    struct ValueQueries {
        Statement firstValue, nextValue, idsOfValue, nearestId, holdsValue;
    };
    Status prepareValueQueries(const QByteArray& column, Direction direction,
                               ValueQueries& queries);
    // The distinct values of the column that match `key`, as the index holds them.
    Status matchingValues(ValueQueries& queries, const SearchKey& key,
                          std::vector<QByteArray>& values);
    Status findInTableOrder(ValueQueries& queries, const std::vector<QByteArray>& values, int start,
                            Direction direction, int& found);
    Status findInNameOrder(ValueQueries& queries, const std::vector<QByteArray>& values, int start,
                           Direction direction, int& found);

    Database* db_ = nullptr;
    // The columns the file holds: every record column, and the structure where it can.
    int storedColumnCount_ = 0;
    RecordOrder order_ = RecordOrder::Table;
    std::vector<long long> keyset_;
    // Kept for the name orders; table order is sorted by id and searched by bisection.
    KeyPositions positions_;
    // At least every id the record set holds, so a new record follows them all in table order.
    long long largestIdSeen_ = 0;
    // SQLite's count of commits by other connections, when the keyset was last read.
    long long dataVersion_ = 0;
    unsigned long long changeCount_ = 0;

    Place place_ = Place::BeforeFirst;
    int position_ = -1;
    QStringList currentValues_;
    bool noMatch_ = false;

    int editMode_ = EditNone;
    long long pendingId_ = 0;
    QStringList pendingOriginal_;

    struct Binding {
        int column;
        BoundField* holder;
    };
    std::vector<Binding> bindings_;
    std::function<void()> onReposition_;

    Statement selectRow_;
    Statement insertRow_;
    Statement deleteRow_;
    Statement largestId_;
    Statement dataVersionQuery_;
    Statement beginRead_;
    Statement endRead_;
};
