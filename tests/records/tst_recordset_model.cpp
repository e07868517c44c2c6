// Random sequences of record-set operations, checked after every step against what the
// record set promises its user: the values shown, the record count and number, BOF and EOF,
// the edit mode, NoMatch and the rows in the file. FLASKBOOK_MODEL_SECONDS runs it longer,
// and FLASKBOOK_MODEL_SEED repeats the run a failure names.

#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/testdatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include <sqlite3.h>

namespace {

// Values that differ in case (also the Kelvin sign and final sigma), in blanks before or
// after, by a suffix, or that hold quotes.
const QStringList kValues = QStringLiteral("ACETONE|acetone |ÉTHER|éther|Α-TOCOPHEROL|α-tocopherol|"
                                           "N,N'-DIMETHYLUREA|X' OR '1'='1|ΟΞΥΣ|οξυς|| |ZINC|"
                                           "46.07|46.07  |ETHANOL|ETHANOLAMINE|ETHAN| ETHANOL|"
                                           "\u212AELVIN|KELVIN|kelvin")
                                .split(QLatin1Char('|'));

constexpr qint64 kLargestId = std::numeric_limits<qint64>::max();

// The rows of table DATA1 by record id.
using Rows = QMap<qint64, QStringList>;

QStringList blank()
{
    return QStringList(11, QString(""));
}

QString seenState(int count, int position, bool bof, bool eof, int editMode, bool noMatch,
                  const QStringList& shown)
{
    return QString::asprintf("%d records, number %d, BOF %d, EOF %d, edit mode %d, NoMatch %d, ",
                             count, position, bof, eof, editMode, noMatch) +
           shown.join('|');
}

// The record set as its user sees it. A deleted record keeps its place in the record set
// until the cursor leaves it; there is no current record meanwhile.
struct Model {
    Rows file;
    std::function<Rows()> readFile;
    RecordOrder order = RecordOrder::Table;
    QList<qint64> records;
    // The cursor: -1 before the first record, records.size() after the last.
    int at = -1;
    bool atDeleted = false;
    bool othersWrote = false;
    int editMode = 0;
    QStringList typedFrom;
    QStringList shown = blank();
    // The current record as the record set last read it, which a Delete checks the file against.
    QStringList asRead = blank();
    bool noMatch = false;
    QString broken;

    int count() const { return int(records.size()) - atDeleted; }
    bool onRecord() const { return at >= 0 && at < records.size() && !atDeleted; }
    QStringList current() const { return onRecord() ? file[records[at]] : blank(); }
    void showStored() { shown = asRead = current(); }

    void readRecords()
    {
        records = file.keys();
        // NOCASE puts the ASCII letters in one case and compares bytes; ties go by id.
        const auto byName = [this](qint64 a, qint64 b) {
            return file[a][0].toUtf8().toLower() < file[b][0].toUtf8().toLower();
        };
        if (order != RecordOrder::Table)
            std::stable_sort(records.begin(), records.end(), byName);
        if (order == RecordOrder::NameDescending)
            std::reverse(records.begin(), records.end());
    }
    bool moveTo(int to)
    {
        if (std::exchange(atDeleted, false))
            records.removeAt(at);
        at = std::clamp(to, -1, int(records.size()));
        showStored();
        return true;
    }
    // What others wrote is noticed at the next operation: the current record stays current
    // while it exists and is shown as stored, unless the user is typing into it.
    void catchUp()
    {
        if (!std::exchange(othersWrote, false))
            return;
        const bool wasOn = onRecord(), hadPlace = wasOn || atDeleted;
        const qint64 id = hadPlace ? records[at] : 0;
        const bool afterLast = at >= records.size();
        readRecords();
        if (wasOn && records.contains(id)) {
            at = int(records.indexOf(id));
        } else if (hadPlace) {
            // A place without a record keeps its number.
            at = std::min(at, int(records.size()));
            records.insert(at, id);
            atDeleted = true;
        } else {
            at = afterLast ? int(records.size()) : -1;
        }
        if (wasOn && editMode == 0)
            showStored();
    }
    // A pending record is saved, or dropped when nothing changed; saved in place, a new
    // record becomes current.
    bool settle(bool inPlace)
    {
        catchUp();
        const int mode = std::exchange(editMode, 0);
        if (mode == 0 || shown == typedFrom) {
            if (mode != 0 && inPlace)
                showStored();
            return true;
        }
        // An edited record another program deleted waits as a new record with what was typed.
        // One whose name it changed, or a field both changed apart, is another record: nothing
        // is written. Otherwise only the fields typed are written.
        if (mode == 1) {
            if (!file.contains(records[at])) {
                editMode = 2;
                typedFrom = blank();
                return false;
            }
            QStringList& row = file[records[at]];
            bool another = row[0] != typedFrom[0] && shown[0] != row[0];
            for (int i = 0; i < row.size(); ++i)
                another = another || (row[i] != typedFrom[i] && shown[i] != typedFrom[i] &&
                                      shown[i] != row[i]);
            for (int i = 0; i < row.size() && !another; ++i)
                row[i] = shown[i] != typedFrom[i] ? shown[i] : row[i];
            showStored();
            return !another;
        }
        // A new record follows every other in table order; its id is read from the file.
        QList<qint64> added = readFile().keys();
        added.removeIf([this](qint64 id) { return file.contains(id); });
        if (file.contains(kLargestId)) {
            editMode = 2;
            return false;
        }
        if (added.size() != 1 || (!file.isEmpty() && added[0] <= file.lastKey()))
            broken = QStringLiteral("a new record is not saved, or not after every other");
        file.insert(added.value(0), shown);
        records.append(added.value(0));
        at += at == records.size() - 1;
        return !inPlace || moveTo(int(records.size()) - 1 - atDeleted);
    }
    bool move(const QString& which)
    {
        if (!settle(false) || count() == 0)
            return false;
        if (which == "First" || which == "Last")
            return moveTo(which == "First" ? 0 : count() - 1);
        // From a deleted record, Next goes to the one that followed it.
        if (which == "Next")
            return at < records.size() && moveTo(atDeleted ? at : at + 1);
        return at >= 0 && moveTo(at - 1);
    }
    // FindFirst looks from the first record on, FindNext (step 1) and FindPrevious (step -1)
    // from the record after or before the current place; after a delete, the record that
    // followed the deleted one is the next.
    bool find(int column, QString text, bool fromFirst, int step)
    {
        if (column < 0 || !settle(true))
            return false;
        static const QRegularExpression trailingBlanks(QStringLiteral(" +$"));
        const auto trimmed = [](QString s) { return s.remove(trailingBlanks); };
        QList<qint64> live = records;
        if (atDeleted)
            live.removeAt(at);
        int from = fromFirst ? 0 : at + step;
        if (!fromFirst && atDeleted && step > 0)
            from = at;
        noMatch = true;
        for (int i = from; i >= 0 && i < live.size() && noMatch; i += step) {
            noMatch =
                trimmed(file[live[i]][column]).compare(trimmed(text), Qt::CaseInsensitive) != 0;
            if (!noMatch)
                moveTo(i);
        }
        return true;
    }
    // AddNew (2) starts from blank boxes, Edit (1) from the current record as stored.
    bool startEditing(int mode)
    {
        if (!settle(false) || (mode == 1 && !onRecord()))
            return false;
        if (mode == 1)
            showStored();
        shown = typedFrom = mode == 2 ? blank() : current();
        editMode = mode;
        return true;
    }
    bool cancel()
    {
        editMode = 0;
        catchUp();
        showStored();
        return true;
    }
    // The window blanks the boxes first; no pending values are saved.
    bool remove()
    {
        editMode = 0;
        shown = blank();
        const QStringList seen = asRead;
        catchUp();
        if (!onRecord())
            return false;
        // A record another program changed since it was read is not the one the user saw.
        if (file[records[at]] != seen) {
            showStored();
            return false;
        }
        file.remove(records[at]);
        atDeleted = true;
        return true;
    }
    bool load(RecordOrder newOrder)
    {
        if (!settle(false))
            return false;
        order = newOrder;
        readRecords();
        atDeleted = noMatch = false;
        return moveTo(0);
    }
};

} // namespace

class TestRecordsetModel : public QObject {
    Q_OBJECT

private slots:
    void randomSequencesKeepTheContract();

private:
    QStringList randomRow();
    Rows readRows() const;
    void otherConnection(const QString& sql, const QString& step);
    void check(const QString& step, const Status& status, const std::function<bool()>& expect);

    QRandomGenerator random_;
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<DataControl> data_;
    std::array<TextHolder, 11> holders_;
    Model model_;
    QString context_;
    QStringList trace_;
};

QStringList TestRecordsetModel::randomRow()
{
    QStringList row;
    for (int i = 0; i < 11; ++i)
        row.append(kValues[random_.bounded(int(kValues.size()))]);
    return row;
}

Rows TestRecordsetModel::readRows() const
{
    Rows rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path_).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray sql = "SELECT rowid," + recordColumns().join(',').toUtf8() + " FROM DATA1";
    Statement select;
    if (select.prepare(db, sql.constData()).ok()) {
        while (select.step() == SQLITE_ROW) {
            QStringList& row = rows[select.columnInt64(0)];
            for (int i = 1; i <= 11; ++i)
                row.append(select.columnText(i));
        }
    }
    select.finalize();
    sqlite3_close(db);
    return rows;
}

void TestRecordsetModel::otherConnection(const QString& sql, const QString& step)
{
    Database other;
    QVERIFY(other.OpenDatabase(path_).ok());
    QVERIFY(other.Execute(sql).ok());
    model_.othersWrote = true;
    trace_.append(step);
}

// The model takes its step after the record set's; then both must agree on what the user sees.
void TestRecordsetModel::check(const QString& step, const Status& status,
                               const std::function<bool()>& expect)
{
    trace_.append(step);
    const bool ok = expect();
    const Model& m = model_;
    Recordset& rs = data_->Recordset();
    const QString where =
        context_ + trace_.mid(std::max<qsizetype>(0, trace_.size() - 12)).join(", ") + ": ";
    QVERIFY2(m.broken.isEmpty() && status.ok() == ok,
             qPrintable(where + m.broken + " status " + status.message()));
    QVERIFY2(readRows() == m.file, qPrintable(where + "file"));
    QStringList shown;
    for (const TextHolder& holder : holders_)
        shown.append(holder.text);
    const QString seen = seenState(rs.RecordCount(), rs.AbsolutePosition(), rs.IsBOF(), rs.IsEOF(),
                                   rs.EditMode(), rs.NoMatch(), shown);
    const QString promised =
        seenState(m.count(), m.onRecord() ? m.at : -1, m.count() == 0 || m.at < 0,
                  m.count() == 0 || m.at >= m.records.size(), m.editMode, m.noMatch, m.shown);
    QVERIFY2(!rs.isOpen() || seen == promised, qPrintable(where + seen + ", not " + promised));
}

void TestRecordsetModel::randomSequencesKeepTheContract()
{
    const quint32 seed = qEnvironmentVariableIsSet("FLASKBOOK_MODEL_SEED")
                             ? qgetenv("FLASKBOOK_MODEL_SEED").toUInt()
                             : QRandomGenerator::global()->generate();
    // Whatever step fails, the run can be repeated.
    qInfo("FLASKBOOK_MODEL_SEED=%u repeats this run", seed);
    const int seconds = qEnvironmentVariableIsSet("FLASKBOOK_MODEL_SECONDS")
                            ? qEnvironmentVariableIntValue("FLASKBOOK_MODEL_SECONDS")
                            : 20;
    random_.seed(seed);
    path_ = dir_.filePath(QStringLiteral("Flaskbook.mdb"));
    const std::array<std::pair<const char*, RecordOrder>, 3> sources{
        {{"DATA1", RecordOrder::Table},
         {"SELECT * FROM DATA1 ORDER BY [Name] asc", RecordOrder::NameAscending},
         {"SELECT * FROM DATA1 ORDER BY [Name] desc", RecordOrder::NameDescending}}};
    const std::array<std::pair<QString, Status (Recordset::*)()>, 4> moves{
        {{"First", &Recordset::MoveFirst},
         {"Last", &Recordset::MoveLast},
         {"Next", &Recordset::MoveNext},
         {"Previous", &Recordset::MovePrevious}}};
    const std::array<std::pair<QString, Status (Recordset::*)(const QString&, const QString&)>, 3>
        finds{{{"FindFirst", &Recordset::FindFirst},
               {"FindNext", &Recordset::FindNext},
               {"FindPrevious", &Recordset::FindPrevious}}};
    QElapsedTimer clock;
    clock.start();
    int steps = 0;
    // The budget is checked at every step, so a loaded machine runs fewer steps, not longer.
    for (int run = 0; clock.elapsed() < seconds * 1000; ++run) {
        context_ = QStringLiteral("seed %1, run %2, opening: ").arg(seed).arg(run);
        model_ = Model();
        model_.readFile = [this] { return readRows(); };
        QList<QStringList> rows;
        // Now and then a longer table, where a search sees its match in the index before
        // its walk through the record set reaches it.
        for (int i = random_.bounded(run % 4 == 3 ? 40 : 7); i > 0; --i) {
            rows.append(randomRow());
            model_.file.insert(rows.size(), rows.last());
        }
        data_.reset();
        createTestDatabase(path_, rows);
        data_ = std::make_unique<DataControl>();
        for (int i = 0; i < 11; ++i)
            data_->bind(recordColumns()[i], &holders_[size_t(i)]);
        data_->setDatabaseName(path_);
        size_t source = random_.bounded(3);
        const auto refresh = [&](const QString& step) {
            data_->setRecordSource(sources[source].first);
            check(step, data_->Refresh(), [&] { return model_.load(sources[source].second); });
        };
        refresh("open");
        // Another program's change falls most often on the record on screen.
        const auto mostlyTheShownRecord = [this] {
            const QList<qint64> ids = model_.file.keys();
            return model_.onRecord() && random_.bounded(2) ? model_.records[model_.at]
                                                           : ids[random_.bounded(int(ids.size()))];
        };

        for (int step = 0; step < 200 && clock.elapsed() < seconds * 1000; ++step, ++steps) {
            context_ = QStringLiteral("seed %1, run %2, step %3: ").arg(seed).arg(run).arg(step);
            if (QTest::currentTestFailed())
                return;
            Model& model = model_;
            Recordset& rs = data_->Recordset();
            const int column = random_.bounded(11);
            const QString value = kValues[random_.bounded(int(kValues.size()))];
            switch (random_.bounded(17)) {
            case 0:
            case 1: {
                const auto [name, move] = moves[random_.bounded(4)];
                check(name, (rs.*move)(), [&] { return model.move(name); });
                break;
            }
            case 2:
                check("AddNew", rs.AddNew(), [&] { return model.startEditing(2); });
                break;
            case 3:
                check("Edit", rs.Edit(), [&] { return model.startEditing(1); });
                break;
            case 4:
            case 5:
                if (model.editMode != 0) {
                    trace_.append(QStringLiteral("type %1 in %2").arg(value).arg(column));
                    holders_[size_t(column)].text = model.shown[column] = value;
                }
                break;
            case 6:
                check("Update", rs.Update(), [&] { return model.settle(true); });
                break;
            case 7:
                check("CancelUpdate", rs.CancelUpdate(), [&] { return model.cancel(); });
                break;
            case 8:
                for (TextHolder& holder : holders_)
                    holder.text = QString("");
                check("Delete", rs.Delete(), [&] { return model.remove(); });
                break;
            case 9:
            case 10: {
                // Now and then by a column that is no column, but a condition.
                const int searched = columnIndex(searchableColumns().value(random_.bounded(8)));
                QString text = value;
                if (random_.bounded(2))
                    text = random_.bounded(2) ? text.toLower() : text.toUpper() + "  ";
                const QString name = recordColumns().value(searched, "Name='X' OR 1=1 OR Name");
                const int way = random_.bounded(3);
                const auto [findName, find] = finds[size_t(way)];
                check(findName + " " + name + " " + text, (rs.*find)(name, text),
                      [&] { return model.find(searched, text, way == 0, way == 2 ? -1 : 1); });
                break;
            }
            case 11:
                source = random_.bounded(3);
                refresh("Refresh");
                break;
            case 12:
                // Closing through the connection saves the pending record first. The closed
                // record set fails every call, then reopens from the record source the data
                // control holds, which a failed Refresh has changed all the same.
                check("Close", data_->Database().Close(), [&] { return model.settle(false); });
                if (rs.isOpen())
                    break;
                for (const Status& s : {rs.MoveNext(), rs.Edit(), rs.Update(), rs.Delete(),
                                        rs.AddNew(), rs.FindFirst(QStringLiteral("Name"), value)})
                    QVERIFY2(!s.ok(), qPrintable(context_ + "a call after Close"));
                refresh("reopen");
                break;
            case 13: {
                // Now and then at an odd id: negative, past 2^40, or the largest there is.
                const qint64 odd[] = {-5, qint64(1) << 40, kLargestId};
                const qint64 largest = model.file.isEmpty() ? 0 : model.file.lastKey();
                const qint64 id = random_.bounded(4) == 0 || largest == kLargestId
                                      ? odd[random_.bounded(3)]
                                      : largest + 1;
                if (model.file.contains(id))
                    break;
                const QStringList row = randomRow();
                QStringList quoted;
                for (const QString& field : row)
                    quoted.append("'" + QString(field).replace("'", "''") + "'");
                otherConnection(
                    QStringLiteral("INSERT INTO DATA1(rowid,%1) VALUES(%2,%3)")
                        .arg(recordColumns().join(','), QString::number(id), quoted.join(',')),
                    QStringLiteral("other inserts %1").arg(id));
                model.file.insert(id, row);
                break;
            }
            case 14:
                if (random_.bounded(8) == 0) {
                    // Clear DB's statement, from another connection.
                    otherConnection(QStringLiteral("delete * from DATA1 "), "other clears");
                    model.file.clear();
                } else if (!model.file.isEmpty()) {
                    const qint64 id = model.file.keys()[random_.bounded(int(model.file.size()))];
                    otherConnection("DELETE FROM DATA1 WHERE rowid=" + QString::number(id),
                                    QStringLiteral("other deletes %1").arg(id));
                    model.file.remove(id);
                }
                break;
            case 15: {
                // Another program edits a field, most often of the record on screen.
                if (model.file.isEmpty())
                    break;
                const qint64 id = mostlyTheShownRecord();
                // The record on screen may be gone already; a write that changes no byte is
                // no commit SQLite counts.
                if (!model.file.contains(id) || model.file[id][column] == value)
                    break;
                otherConnection(
                    QStringLiteral("UPDATE DATA1 SET %1='%2' WHERE rowid=%3")
                        .arg(recordColumns()[column], QString(value).replace("'", "''"))
                        .arg(id),
                    QStringLiteral("other sets %1 of %2 to %3").arg(column).arg(id).arg(value));
                model.file[id][column] = value;
                break;
            }
            case 16: {
                // Another program deletes a record and saves another under its id.
                if (model.file.isEmpty())
                    break;
                const qint64 id = mostlyTheShownRecord();
                const QStringList row = randomRow();
                QStringList quoted;
                for (const QString& field : row)
                    quoted.append("'" + QString(field).replace("'", "''") + "'");
                otherConnection("DELETE FROM DATA1 WHERE rowid=" + QString::number(id),
                                QStringLiteral("other deletes %1").arg(id));
                otherConnection(
                    QStringLiteral("INSERT INTO DATA1(rowid,%1) VALUES(%2,%3)")
                        .arg(recordColumns().join(','), QString::number(id), quoted.join(',')),
                    QStringLiteral("other reuses %1").arg(id));
                model.file.insert(id, row);
                break;
            }
            }
        }
    }
    qInfo("%d steps", steps);
}

int main(int argc, char** argv)
{
    // A long run must not be cut short by QtTest's five-minute limit on a test function.
    const int seconds = qEnvironmentVariableIntValue("FLASKBOOK_MODEL_SECONDS");
    if (seconds > 0 && !qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number((qint64(seconds) + 120) * 1000));
    QCoreApplication application(argc, argv);
    TestRecordsetModel test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_recordset_model.moc"
