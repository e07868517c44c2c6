#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/testdatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <memory>

#include <sqlite3.h>

namespace {

// Holds a write lock on the file through a connection of its own, as another
// program would, until it goes out of scope.
class WriteLock {
public:
    explicit WriteLock(const QString& path)
    {
        sqlite3_open(QFile::encodeName(path).constData(), &db_);
        locked_ = sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~WriteLock()
    {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }
    bool locked() const { return locked_; }

private:
    sqlite3* db_ = nullptr;
    bool locked_ = false;
};

} // namespace

class TestRecordset : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyTableHasNoCurrentRecord();
    void movesStopAtBothEnds();
    void repositionRunsInsideEachMove();

    void pendingRecordIsCommittedBeforeTheCurrentRecordChanges_data();
    void pendingRecordIsCommittedBeforeTheCurrentRecordChanges();
    void unchangedPendingRecordIsDropped();
    void secondAddNewWithNothingTypedAddsNothing();
    void updateCommitsAndKeepsTheRecordCurrent();
    void failedCommitKeepsTheTypedValues();

    void deleteLeavesNoCurrentRecordUntilTheNextMove();
    void blankedValuesAreNeverCommitted();
    void rowsDeletedBehindTheRecordSetNeverComeBack();

    void findFirstComparesTheTextAsAValue_data();
    void findFirstComparesTheTextAsAValue();
    void findFirstTakesTheFirstMatchInRecordSetOrder_data();
    void findFirstTakesTheFirstMatchInRecordSetOrder();
    void missLeavesTheCurrentRecord();

    void nameOrderIgnoresCaseAndBreaksTiesByEntry();
    void newRecordJoinsTheEndOfASortedRecordSet();

private:
    void open(const QStringList& names, const QString& source = QStringLiteral("DATA1"));
    QString shownName() const { return holders_[0].text; }

    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<DataControl> data_;
    std::array<TextHolder, 11> holders_;
    QList<int> repositions_;
};

void TestRecordset::init()
{
    path_ = dir_.filePath(QStringLiteral("Flaskbook.mdb"));
    QFile::remove(path_);
    repositions_.clear();
    for (TextHolder& holder : holders_)
        holder.text.clear();
}

void TestRecordset::cleanup()
{
    data_.reset();
}

void TestRecordset::open(const QStringList& names, const QString& source)
{
    createTestDatabase(path_, names);
    data_ = std::make_unique<DataControl>();
    for (int i = 0; i < 11; ++i)
        data_->bind(recordColumns()[i], &holders_[i]);
    data_->setRepositionHandler(
        [this] { repositions_.append(data_->Recordset().AbsolutePosition()); });
    data_->setDatabaseName(path_);
    data_->setRecordSource(source);
    const Status opened = data_->Refresh();
    QVERIFY2(opened.ok(), qPrintable(opened.message()));
    data_->Database().setBusyTimeout(50);
}

void TestRecordset::emptyTableHasNoCurrentRecord()
{
    open({});
    Recordset& rs = data_->Recordset();
    QCOMPARE(rs.RecordCount(), 0);
    QVERIFY(rs.IsBOF());
    QVERIFY(rs.IsEOF());
    QCOMPARE(rs.AbsolutePosition(), -1);
    QVERIFY(!rs.MoveFirst().ok());
    QVERIFY(!rs.MoveLast().ok());
    QVERIFY(!rs.MoveNext().ok());
    QVERIFY(!rs.MovePrevious().ok());
    QVERIFY(!rs.Edit().ok());
    QVERIFY(!rs.Delete().ok());
    QCOMPARE(rs.EditMode(), 0);
    QCOMPARE(rs.field(QStringLiteral("Name")), QString());
}

void TestRecordset::movesStopAtBothEnds()
{
    open({"ONE", "TWO", "THREE"});
    Recordset& rs = data_->Recordset();
    QCOMPARE(rs.RecordCount(), 3);
    QCOMPARE(rs.AbsolutePosition(), 0);
    QCOMPARE(shownName(), QStringLiteral("ONE"));

    QVERIFY(rs.MovePrevious().ok());
    QVERIFY(rs.IsBOF());
    QVERIFY(!rs.IsEOF());
    QCOMPARE(rs.AbsolutePosition(), -1);
    QCOMPARE(rs.field(QStringLiteral("Name")), QString());
    QVERIFY(!rs.MovePrevious().ok());
    QVERIFY(rs.MoveNext().ok());
    QCOMPARE(rs.AbsolutePosition(), 0);
    QCOMPARE(shownName(), QStringLiteral("ONE"));

    QVERIFY(rs.MoveLast().ok());
    QCOMPARE(rs.AbsolutePosition(), 2);
    QCOMPARE(rs.field(QStringLiteral("cas")), QStringLiteral("cas-THREE"));
    QVERIFY(rs.MoveNext().ok());
    QVERIFY(rs.IsEOF());
    QCOMPARE(rs.AbsolutePosition(), -1);
    QVERIFY(!rs.MoveNext().ok());
    QVERIFY(rs.MovePrevious().ok());
    QCOMPARE(rs.AbsolutePosition(), 2);
    QCOMPARE(shownName(), QStringLiteral("THREE"));
}

void TestRecordset::repositionRunsInsideEachMove()
{
    open({"ONE", "TWO", "THREE"});
    Recordset& rs = data_->Recordset();
    QCOMPARE(repositions_, QList<int>{0});
    QVERIFY(rs.MoveLast().ok());
    QVERIFY(rs.MoveNext().ok());
    QVERIFY(rs.MoveFirst().ok());
    QVERIFY(rs.FindFirst(QStringLiteral("Name"), QStringLiteral("TWO")).ok());
    QVERIFY(data_->Refresh().ok());
    QCOMPARE(repositions_, (QList<int>{0, 2, -1, 0, 1, 0}));
}

void TestRecordset::pendingRecordIsCommittedBeforeTheCurrentRecordChanges_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("adding");
    for (const char* action : {"MoveNext", "MovePrevious", "MoveFirst", "MoveLast", "FindFirst",
                               "Refresh", "AddNew", "Edit", "Close"}) {
        QTest::addRow("edit, %s", action) << QString(action) << false;
        QTest::addRow("new, %s", action) << QString(action) << true;
    }
}

void TestRecordset::pendingRecordIsCommittedBeforeTheCurrentRecordChanges()
{
    QFETCH(QString, action);
    QFETCH(bool, adding);
    open({"ONE", "TWO", "THREE"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.MoveNext().ok());
    QVERIFY(adding ? rs.AddNew().ok() : rs.Edit().ok());
    QCOMPARE(rs.EditMode(), adding ? 2 : 1);
    holders_[0].text = QStringLiteral("TYPED");
    holders_[10].text = QStringLiteral("/pictures/typed.gif");

    Status s;
    if (action == "MoveNext")
        s = rs.MoveNext();
    else if (action == "MovePrevious")
        s = rs.MovePrevious();
    else if (action == "MoveFirst")
        s = rs.MoveFirst();
    else if (action == "MoveLast")
        s = rs.MoveLast();
    else if (action == "FindFirst")
        s = rs.FindFirst(QStringLiteral("Name"), QStringLiteral("ONE"));
    else if (action == "Refresh")
        s = data_->Refresh();
    else if (action == "AddNew")
        s = rs.AddNew();
    else if (action == "Edit")
        s = rs.Edit();
    else
        s = data_->Close();
    QVERIFY2(s.ok(), qPrintable(s.message()));

    const QList<QStringList> rows = readTable(path_);
    QCOMPARE(rows.size(), adding ? 4 : 3);
    const QStringList& saved = adding ? rows[3] : rows[1];
    QCOMPARE(saved[0], QStringLiteral("TYPED"));
    QCOMPARE(saved[1], adding ? QString() : QStringLiteral("iupac TWO"));
    QCOMPARE(saved[10], QStringLiteral("/pictures/typed.gif"));
    if (adding)
        QCOMPARE(rows[1][0], QStringLiteral("TWO"));
    if (action != "Close" && action != "AddNew" && action != "Edit")
        QCOMPARE(rs.EditMode(), 0);
}

void TestRecordset::unchangedPendingRecordIsDropped()
{
    open({"ONE", "TWO"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.Edit().ok());
    QVERIFY(rs.MoveNext().ok());
    QVERIFY(rs.AddNew().ok());
    QVERIFY(rs.MoveFirst().ok());
    QCOMPARE(rs.EditMode(), 0);
    QCOMPARE(readNames(path_), (QStringList{"ONE", "TWO"}));
    QCOMPARE(rs.RecordCount(), 2);
}

void TestRecordset::secondAddNewWithNothingTypedAddsNothing()
{
    open({"ONE"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.AddNew().ok());
    QVERIFY(rs.AddNew().ok());
    QCOMPARE(rs.EditMode(), 2);
    QCOMPARE(readNames(path_), QStringList{"ONE"});
    holders_[0].text = QStringLiteral("SECOND");
    QVERIFY(data_->Close().ok());
    QCOMPARE(readNames(path_), (QStringList{"ONE", "SECOND"}));
}

void TestRecordset::updateCommitsAndKeepsTheRecordCurrent()
{
    open({"ONE", "TWO"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.AddNew().ok());
    holders_[0].text = QStringLiteral("NEW");
    QVERIFY(rs.Update().ok());
    QCOMPARE(readNames(path_), (QStringList{"ONE", "TWO", "NEW"}));
    QCOMPARE(rs.EditMode(), 0);
    QCOMPARE(rs.RecordCount(), 3);
    QCOMPARE(rs.AbsolutePosition(), 2);
    QCOMPARE(rs.field(QStringLiteral("Name")), QStringLiteral("NEW"));
    QCOMPARE(repositions_.last(), 2);

    QVERIFY(rs.MoveFirst().ok());
    QVERIFY(rs.Edit().ok());
    holders_[3].text = QStringLiteral("H2O");
    QVERIFY(rs.Update().ok());
    QCOMPARE(readTable(path_)[0][3], QStringLiteral("H2O"));
    QCOMPARE(rs.AbsolutePosition(), 0);

    // Nothing pending: Update has nothing to do and adds nothing.
    QVERIFY(rs.Update().ok());
    QCOMPARE(readTable(path_).size(), 3);
}

void TestRecordset::failedCommitKeepsTheTypedValues()
{
    open({"ONE", "TWO"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.AddNew().ok());
    holders_[0].text = QStringLiteral("TYPED");
    {
        WriteLock lock(path_);
        QVERIFY(lock.locked());
        const Status update = rs.Update();
        QVERIFY(!update.ok());
        QVERIFY2(update.message().contains(QLatin1String("locked")), qPrintable(update.message()));
        // A move must not throw the typed record away either.
        QVERIFY(!rs.MoveNext().ok());
        QCOMPARE(rs.AbsolutePosition(), 0);
        QCOMPARE(rs.EditMode(), 2);
        QCOMPARE(holders_[0].text, QStringLiteral("TYPED"));
    }
    QVERIFY(rs.Update().ok());
    QCOMPARE(readNames(path_), (QStringList{"ONE", "TWO", "TYPED"}));
}

void TestRecordset::deleteLeavesNoCurrentRecordUntilTheNextMove()
{
    open({"ONE", "TWO", "THREE"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.MoveNext().ok());
    QVERIFY(rs.Delete().ok());
    QCOMPARE(rs.AbsolutePosition(), -1);
    QCOMPARE(rs.RecordCount(), 2);
    QVERIFY(!rs.IsBOF());
    QVERIFY(!rs.IsEOF());
    QVERIFY(!rs.Delete().ok());
    QVERIFY(rs.MoveNext().ok());
    QCOMPARE(shownName(), QStringLiteral("THREE"));
    QCOMPARE(rs.AbsolutePosition(), 1);

    // The last record: the next move runs off the end.
    QVERIFY(rs.Delete().ok());
    QVERIFY(rs.MoveNext().ok());
    QVERIFY(rs.IsEOF());
    QCOMPARE(rs.AbsolutePosition(), -1);

    // The only record: the set is empty.
    QVERIFY(rs.MoveFirst().ok());
    QVERIFY(rs.Delete().ok());
    QVERIFY(rs.IsBOF() && rs.IsEOF());
    QVERIFY(!rs.MoveNext().ok());
    QCOMPARE(readNames(path_), QStringList());
}

void TestRecordset::blankedValuesAreNeverCommitted()
{
    open({"ONE", "TWO"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.Edit().ok());
    for (TextHolder& holder : holders_)
        holder.text.clear();
    {
        WriteLock lock(path_);
        QVERIFY(!rs.Delete().ok());
    }
    QVERIFY(rs.MoveNext().ok());
    QVERIFY(rs.MovePrevious().ok());
    QCOMPARE(readTable(path_)[0], sampleRecord(QStringLiteral("ONE")));
    QCOMPARE(shownName(), QStringLiteral("ONE"));

    // Blanked while browsing, then deleted: the next record is untouched.
    for (TextHolder& holder : holders_)
        holder.text.clear();
    QVERIFY(rs.Delete().ok());
    QVERIFY(rs.MoveNext().ok());
    QCOMPARE(readTable(path_), QList<QStringList>{sampleRecord(QStringLiteral("TWO"))});
}

void TestRecordset::rowsDeletedBehindTheRecordSetNeverComeBack()
{
    open({"ONE", "TWO", "THREE"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.Edit().ok());
    holders_[0].text = QStringLiteral("CHANGED");

    Database second;
    QVERIFY(second.OpenDatabase(path_).ok());
    const Status cleared = second.Execute(QStringLiteral("delete * from DATA1 "));
    QVERIFY2(cleared.ok(), qPrintable(cleared.message()));
    QCOMPARE(readTable(path_).size(), 0);

    // The edit of a deleted row is not written back, and says so.
    QVERIFY(!rs.MoveNext().ok());
    QCOMPARE(rs.EditMode(), 0);
    QCOMPARE(rs.RecordCount(), 3);
    QVERIFY(rs.MoveFirst().ok());
    QCOMPARE(shownName(), QString());
    QVERIFY(!rs.Edit().ok());
    QCOMPARE(readTable(path_).size(), 0);

    // A new record gets an id of its own, so it never shows at a stale place.
    QVERIFY(rs.AddNew().ok());
    holders_[0].text = QStringLiteral("FRESH");
    QVERIFY(rs.Update().ok());
    QCOMPARE(readNames(path_), QStringList{"FRESH"});
    QVERIFY(rs.MoveFirst().ok());
    QCOMPARE(shownName(), QString());
    QVERIFY(rs.MoveLast().ok());
    QCOMPARE(shownName(), QStringLiteral("FRESH"));
}

void TestRecordset::findFirstComparesTheTextAsAValue_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    QTest::newRow("exact") << "Name"
                           << "ETHANOL" << 1;
    QTest::newRow("case ignored") << "Name"
                                  << "ethanol" << 1;
    QTest::newRow("apostrophe") << "Name"
                                << "N,N'-DIMETHYLUREA" << 2;
    QTest::newRow("apostrophe, other case") << "Name"
                                            << "n,n'-dimethylurea" << 2;
    QTest::newRow("quote in a query") << "Name"
                                      << "X' OR '1'='1" << -1;
    QTest::newRow("other column") << "CAS"
                                  << "cas-ETHANOL" << 1;
    QTest::newRow("field name in any case") << "cas"
                                            << "CAS-ACETONE" << 0;
    QTest::newRow("no partial match") << "Name"
                                      << "ETHAN" << -1;
    QTest::newRow("empty text finds an empty field") << "Image"
                                                     << "" << 0;
}

void TestRecordset::findFirstComparesTheTextAsAValue()
{
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(int, found);
    open({"ACETONE", "ETHANOL", "N,N'-DIMETHYLUREA"});
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.MoveLast().ok());
    QVERIFY(rs.FindFirst(column, text).ok());
    QCOMPARE(rs.NoMatch(), found < 0);
    QCOMPARE(rs.AbsolutePosition(), found < 0 ? 2 : found);
}

void TestRecordset::findFirstTakesTheFirstMatchInRecordSetOrder_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("table order") << "DATA1"
                                 << "FORMIC ACID";
    QTest::newRow("ascending") << "SELECT * FROM DATA1 ORDER BY [Name] asc"
                               << "DIMETHYL ETHER";
    QTest::newRow("descending") << "SELECT * FROM DATA1 ORDER BY [Name] desc"
                                << "FORMIC ACID";
}

void TestRecordset::findFirstTakesTheFirstMatchInRecordSetOrder()
{
    QFETCH(QString, source);
    QFETCH(QString, expected);
    // Three records share a molecular weight; the search must pick by record-set order.
    QList<QStringList> records;
    for (const char* name : {"XENON", "FORMIC ACID", "ETHANOL", "DIMETHYL ETHER", "ZINC"}) {
        QStringList record = sampleRecord(name);
        if (QByteArray(name) != "XENON" && QByteArray(name) != "ZINC")
            record[4] = QStringLiteral("46.07");
        records.append(record);
    }
    createTestDatabase(path_, records);
    data_ = std::make_unique<DataControl>();
    data_->bind(QStringLiteral("Name"), &holders_[0]);
    data_->setDatabaseName(path_);
    data_->setRecordSource(source);
    QVERIFY(data_->Refresh().ok());

    QVERIFY(
        data_->Recordset().FindFirst(QStringLiteral("MolWeight"), QStringLiteral("46.07")).ok());
    QVERIFY(!data_->Recordset().NoMatch());
    QCOMPARE(shownName(), expected);
}

void TestRecordset::missLeavesTheCurrentRecord()
{
    open({"ONE", "TWO", "THREE"}, QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] desc"));
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.MoveNext().ok());
    QCOMPARE(shownName(), QStringLiteral("THREE"));
    QVERIFY(rs.FindFirst(QStringLiteral("Name"), QStringLiteral("FOUR")).ok());
    QVERIFY(rs.NoMatch());
    QCOMPARE(shownName(), QStringLiteral("THREE"));
    QCOMPARE(rs.AbsolutePosition(), 1);
    QVERIFY(rs.FindFirst(QStringLiteral("Name"), QStringLiteral("ONE")).ok());
    QVERIFY(!rs.NoMatch());
    QCOMPARE(rs.AbsolutePosition(), 2);
    QVERIFY(!rs.FindFirst(QStringLiteral("Nonsense"), QStringLiteral("ONE")).ok());
}

void TestRecordset::nameOrderIgnoresCaseAndBreaksTiesByEntry()
{
    open({"beta", "ALPHA", "Beta2", "alpha"},
         QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] asc"));
    QStringList seen;
    Recordset& rs = data_->Recordset();
    for (; !rs.IsEOF(); rs.MoveNext())
        seen.append(shownName());
    QCOMPARE(seen, (QStringList{"ALPHA", "alpha", "beta", "Beta2"}));

    data_->setRecordSource(QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] desc"));
    QVERIFY(data_->Refresh().ok());
    seen.clear();
    for (; !rs.IsEOF(); rs.MoveNext())
        seen.append(shownName());
    QCOMPARE(seen, (QStringList{"Beta2", "beta", "alpha", "ALPHA"}));
}

void TestRecordset::newRecordJoinsTheEndOfASortedRecordSet()
{
    open({"MIKE", "ZULU"}, QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] asc"));
    Recordset& rs = data_->Recordset();
    QVERIFY(rs.AddNew().ok());
    holders_[0].text = QStringLiteral("ALPHA");
    QVERIFY(rs.Update().ok());
    QCOMPARE(rs.AbsolutePosition(), 2);
    QVERIFY(rs.FindFirst(QStringLiteral("Name"), QStringLiteral("alpha")).ok());
    QCOMPARE(rs.AbsolutePosition(), 2);
    QVERIFY(rs.FindFirst(QStringLiteral("Name"), QStringLiteral("zulu")).ok());
    QCOMPARE(rs.AbsolutePosition(), 1);
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
