// Random sequences of record-set operations, checked after every step against a small
// model of what the record set promises. FLASKBOOK_MODEL_SECONDS runs it longer, and
// FLASKBOOK_MODEL_SEED repeats the run a failure names.

#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/testdatabase.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <limits>

namespace {

// Values that differ in case (also the Kelvin sign and final sigma), in blanks before or
// after, by a suffix, or that hold quotes.
const QStringList kValues = QStringLiteral("ACETONE|acetone |ÉTHER|éther|Α-TOCOPHEROL|α-tocopherol|"
                                           "N,N'-DIMETHYLUREA|X' OR '1'='1|ΟΞΥΣ|οξυς|| |ZINC|"
                                           "46.07|46.07  |ETHANOL|ETHANOLAMINE|ETHAN| ETHANOL|"
                                           "\u212AELVIN|KELVIN|kelvin")
                                .split(QLatin1Char('|'));

constexpr qint64 kLargestId = std::numeric_limits<qint64>::max();

// What the record set promises, kept as plainly as it can be said.
struct Model {
    enum Place { OnRecord, BeforeFirst, AfterLast, AfterDelete };

    QMap<qint64, QStringList> table;
    RecordOrder order = RecordOrder::Table;
    QList<qint64> keyset;
    Place place = AfterLast;
    int position = 0;
    int editMode = 0;
    qint64 pendingId = 0;
    QStringList pendingOriginal;
    bool noMatch = false;
    bool stale = false;
    qint64 largestSeen = 0;
    QStringList shown = blank();

    static QStringList blank() { return QStringList(11, QString("")); }
    static QByteArray nocase(const QString& text) { return text.toUtf8().toLower(); }

    QStringList current() const
    {
        return place == OnRecord ? table.value(keyset[position], blank()) : blank();
    }
    qint64 tableMax() const { return table.isEmpty() ? 0 : table.lastKey(); }

    void readKeyset()
    {
        keyset = table.keys();
        if (order != RecordOrder::Table) {
            std::stable_sort(keyset.begin(), keyset.end(), [this](qint64 a, qint64 b) {
                return nocase(table[a][0]) < nocase(table[b][0]);
            });
            if (order == RecordOrder::NameDescending)
                std::reverse(keyset.begin(), keyset.end());
        }
        largestSeen = keyset.isEmpty() ? 0 : *std::max_element(keyset.begin(), keyset.end());
    }
    bool moveTo(int to)
    {
        if (to < 0) {
            place = BeforeFirst;
            position = -1;
        } else if (to >= keyset.size()) {
            place = AfterLast;
            position = int(keyset.size());
        } else {
            place = OnRecord;
            position = to;
        }
        shown = current();
        return true;
    }
    void sync()
    {
        if (!stale)
            return;
        stale = false;
        const bool wasOn = place == OnRecord;
        const qint64 id = wasOn ? keyset[position] : 0;
        readKeyset();
        if (wasOn && keyset.contains(id)) {
            position = int(keyset.indexOf(id));
            if (editMode == 0)
                moveTo(position);
            return;
        }
        if (wasOn)
            place = AfterDelete;
        if (place == AfterLast)
            position = int(keyset.size());
        else if (place == AfterDelete)
            position = std::min(position, int(keyset.size()));
        if (wasOn && editMode == 0)
            shown = blank();
    }
    bool commit(bool inPlace)
    {
        if (editMode == 0)
            return true;
        const int mode = editMode;
        editMode = 0;
        if (shown == pendingOriginal) {
            if (inPlace)
                shown = current();
            return true;
        }
        if (mode == 2) {
            // No id follows the largest there is: the new record stays pending.
            const qint64 largest = std::max(tableMax(), largestSeen);
            if (largest == kLargestId) {
                editMode = 2;
                return false;
            }
            const qint64 id = largest + 1;
            table.insert(id, shown);
            keyset.append(id);
            largestSeen = id;
            return inPlace ? moveTo(int(keyset.size()) - 1) : true;
        }
        if (!table.contains(pendingId)) {
            shown = current();
            return false;
        }
        table[pendingId] = shown;
        return true;
    }
    bool move(const QString& which)
    {
        sync();
        if (!commit(false) || keyset.isEmpty())
            return false;
        const int count = int(keyset.size());
        if (which == "First")
            return moveTo(0);
        if (which == "Last")
            return moveTo(count - 1);
        if (which == "Next")
            return place == AfterLast ? false
                                      : moveTo(place == OnRecord      ? position + 1
                                               : place == AfterDelete ? position
                                                                      : 0);
        return place == BeforeFirst ? false : moveTo(place == AfterLast ? count - 1 : position - 1);
    }
    bool findFirst(int column, const QString& text)
    {
        sync();
        if (!commit(true))
            return false;
        auto trimmed = [](QString s) {
            while (s.endsWith(QLatin1Char(' ')))
                s.chop(1);
            return s;
        };
        int found = -1;
        for (int p = 0; p < keyset.size() && found < 0; ++p) {
            if (trimmed(table[keyset[p]][column]).compare(trimmed(text), Qt::CaseInsensitive) == 0)
                found = p;
        }
        noMatch = found < 0;
        return noMatch || moveTo(found);
    }
    bool addNew()
    {
        sync();
        if (!commit(false))
            return false;
        editMode = 2;
        pendingOriginal = blank();
        shown = blank();
        return true;
    }
    bool edit()
    {
        sync();
        if (!commit(false) || place != OnRecord)
            return false;
        shown = pendingOriginal = current();
        pendingId = keyset[position];
        editMode = 1;
        return true;
    }
    bool remove()
    {
        editMode = 0;
        sync();
        if (place != OnRecord)
            return false;
        table.remove(keyset[position]);
        keyset.removeAt(position);
        place = AfterDelete;
        return true;
    }
    bool load(RecordOrder newOrder)
    {
        sync();
        if (!commit(false))
            return false;
        order = newOrder;
        stale = false;
        readKeyset();
        noMatch = false;
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
    void compare(const Model& model, bool modelOk, const Status& status, const QString& step);
    void otherConnection(const QString& sql);

    QRandomGenerator random_;
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<DataControl> data_;
    std::array<TextHolder, 11> holders_;
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

void TestRecordsetModel::otherConnection(const QString& sql)
{
    Database other;
    QVERIFY(other.OpenDatabase(path_).ok());
    QVERIFY(other.Execute(sql).ok());
}

void TestRecordsetModel::compare(const Model& model, bool modelOk, const Status& status,
                                 const QString& step)
{
    trace_.append(step);
    const QString where =
        context_ + trace_.mid(std::max<qsizetype>(0, trace_.size() - 12)).join(", ");
    Recordset& rs = data_->Recordset();
    QVERIFY2(status.ok() == modelOk, qPrintable(where + ": " + status.message()));
    QVERIFY2(rs.RecordCount() == model.keyset.size(), qPrintable(where + ": count"));
    const int position = model.place == Model::OnRecord ? model.position : -1;
    QVERIFY2(rs.AbsolutePosition() == position, qPrintable(where + ": position"));
    const bool empty = model.keyset.isEmpty();
    QVERIFY2(rs.IsBOF() == (empty || model.place == Model::BeforeFirst), qPrintable(where));
    QVERIFY2(rs.IsEOF() == (empty || model.place == Model::AfterLast), qPrintable(where));
    QVERIFY2(rs.EditMode() == model.editMode, qPrintable(where + ": edit mode"));
    QVERIFY2(rs.NoMatch() == model.noMatch, qPrintable(where + ": NoMatch"));
    QStringList shown;
    for (const TextHolder& holder : holders_)
        shown.append(holder.text);
    QVERIFY2(shown == model.shown,
             qPrintable(where + ": shows " + shown.join('|') + ", not " + model.shown.join('|')));
    QVERIFY2(readTable(path_) == model.table.values(), qPrintable(where + ": table"));
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
    QElapsedTimer clock;
    clock.start();
    int steps = 0;
    // The budget is checked at every step, so a loaded machine runs fewer steps, not longer.
    for (int run = 0; clock.elapsed() < seconds * 1000; ++run) {
        context_ = QStringLiteral("seed %1, run %2, opening: ").arg(seed).arg(run);
        Model model;
        QList<QStringList> rows;
        for (int i = random_.bounded(7); i > 0; --i) {
            rows.append(randomRow());
            model.table.insert(model.table.size() + 1, rows.last());
        }
        data_.reset();
        createTestDatabase(path_, rows);
        data_ = std::make_unique<DataControl>();
        for (int i = 0; i < 11; ++i)
            data_->bind(recordColumns()[i], &holders_[size_t(i)]);
        data_->setDatabaseName(path_);
        size_t source = random_.bounded(3);
        data_->setRecordSource(sources[source].first);
        compare(model, model.load(sources[source].second), data_->Refresh(), "open");

        for (int step = 0; step < 200 && clock.elapsed() < seconds * 1000; ++step, ++steps) {
            context_ = QStringLiteral("seed %1, run %2, step %3: ").arg(seed).arg(run).arg(step);
            if (QTest::currentTestFailed())
                return;
            Recordset& rs = data_->Recordset();
            const int column = random_.bounded(11);
            const QString value = kValues[random_.bounded(int(kValues.size()))];
            switch (random_.bounded(15)) {
            case 0:
            case 1: {
                const char* which[] = {"First", "Last", "Next", "Previous"};
                const QString move = which[random_.bounded(4)];
                const Status s = move == "First"  ? rs.MoveFirst()
                                 : move == "Last" ? rs.MoveLast()
                                 : move == "Next" ? rs.MoveNext()
                                                  : rs.MovePrevious();
                compare(model, model.move(move), s, move);
                break;
            }
            case 2:
                compare(model, model.addNew(), rs.AddNew(), "AddNew");
                break;
            case 3:
                compare(model, model.edit(), rs.Edit(), "Edit");
                break;
            case 4:
            case 5:
                if (model.editMode != 0) {
                    trace_.append(QStringLiteral("type %1 in %2").arg(value).arg(column));
                    holders_[size_t(column)].text = value;
                    model.shown[column] = value;
                }
                break;
            case 6: {
                model.sync();
                compare(model, model.commit(true), rs.Update(), "Update");
                break;
            }
            case 7:
                model.editMode = 0;
                model.sync();
                model.shown = model.current();
                compare(model, true, rs.CancelUpdate(), "CancelUpdate");
                break;
            case 8:
                // The window blanks the boxes before it deletes.
                for (TextHolder& holder : holders_)
                    holder.text = QString("");
                model.shown = Model::blank();
                compare(model, model.remove(), rs.Delete(), "Delete");
                break;
            case 9:
            case 10: {
                const int searched = columnIndex(searchableColumns()[random_.bounded(7)]);
                QString text = value;
                if (random_.bounded(2))
                    text = random_.bounded(2) ? text.toLower() : text.toUpper() + "  ";
                compare(model, model.findFirst(searched, text),
                        rs.FindFirst(recordColumns()[searched], text), "FindFirst " + text);
                break;
            }
            case 11:
                source = random_.bounded(3);
                data_->setRecordSource(sources[source].first);
                compare(model, model.load(sources[source].second), data_->Refresh(), "Refresh");
                break;
            case 12: {
                model.sync();
                const bool closedOk = model.commit(false);
                const Status closed = data_->Database().Close();
                if (!closed.ok() || !closedOk) {
                    compare(model, closedOk, closed, "Close");
                    break;
                }
                // The closed record set fails every call, then reopens from the record source
                // the data control holds, which a failed Refresh has changed all the same.
                for (const Status& s : {rs.MoveNext(), rs.Edit(), rs.Update(), rs.Delete(),
                                        rs.AddNew(), rs.FindFirst(QStringLiteral("Name"), value)})
                    QVERIFY2(!s.ok(), qPrintable(context_ + "a call after Close"));
                compare(model, model.load(sources[source].second), data_->Refresh(),
                        "Close, reopen");
                break;
            }
            case 13: {
                // Now and then at an odd id: negative, past 2^40, or the largest there is.
                const qint64 odd[] = {-5, qint64(1) << 40, kLargestId};
                const qint64 largest = model.tableMax();
                const qint64 id = random_.bounded(4) == 0 || largest == kLargestId
                                      ? odd[random_.bounded(3)]
                                      : largest + 1;
                if (model.table.contains(id))
                    break;
                const QStringList row = randomRow();
                QStringList quoted;
                for (const QString& field : row)
                    quoted.append("'" + QString(field).replace("'", "''") + "'");
                otherConnection(
                    QStringLiteral("INSERT INTO DATA1(rowid,%1) VALUES(%2,%3)")
                        .arg(recordColumns().join(','), QString::number(id), quoted.join(',')));
                model.table.insert(id, row);
                trace_.append(QStringLiteral("other inserts %1").arg(id));
                model.stale = true;
                break;
            }
            case 14:
                if (random_.bounded(8) == 0) {
                    // Clear DB's statement, from another connection.
                    otherConnection(QStringLiteral("delete * from DATA1 "));
                    model.table.clear();
                    trace_.append(QStringLiteral("other clears"));
                    model.stale = true;
                } else if (!model.table.isEmpty()) {
                    const qint64 id = model.table.keys()[random_.bounded(int(model.table.size()))];
                    otherConnection("DELETE FROM DATA1 WHERE rowid=" + QString::number(id));
                    model.table.remove(id);
                    trace_.append(QStringLiteral("other deletes %1").arg(id));
                    model.stale = true;
                }
                break;
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
