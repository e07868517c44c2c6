#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/testdatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <functional>
#include <memory>

class TestRecordset : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { data_.reset(); }

    void movesStopAtBothEndsAndRepositionEachTime();
    void lockedFileKeepsTheTypedValues();
    void settlingWithoutAMoveShowsTheCurrentRecord();
    void rowsChangedBehindTheRecordSetAreSeenAtTheNextOperation();
    void closingTheDatabaseClosesTheRecordSet();
    void oddIdsWorkAndAnUnavailableIdFailsCleanly();
    void findFirstComparesTheTextAsAValue_data();
    void findFirstComparesTheTextAsAValue();

private:
    void open(const QList<QStringList>& records, const QString& source = QStringLiteral("DATA1"));
    void open(const QStringList& names) { open(sampleRecords(names)); }
    static QList<QStringList> sampleRecords(const QStringList& names)
    {
        QList<QStringList> records;
        for (const QString& name : names)
            records.append(sampleRecord(name));
        return records;
    }
    QString shownName() const { return holders_[0].text; }
    Recordset& rs() { return data_->Recordset(); }

    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<DataControl> data_;
    std::array<TextHolder, 11> holders_;
    QList<int> repositions_;
};

void TestRecordset::init()
{
    path_ = dir_.filePath(QStringLiteral("Flaskbook.mdb"));
    repositions_.clear();
    for (TextHolder& holder : holders_)
        holder.text.clear();
}

void TestRecordset::open(const QList<QStringList>& records, const QString& source)
{
    createTestDatabase(path_, records);
    data_ = std::make_unique<DataControl>();
    for (int i = 0; i < 11; ++i)
        data_->bind(recordColumns()[i], &holders_[i]);
    data_->setRepositionHandler([this] { repositions_.append(rs().AbsolutePosition()); });
    data_->setDatabaseName(path_);
    data_->setRecordSource(source);
    const Status opened = data_->Refresh();
    QVERIFY2(opened.ok(), qPrintable(opened.message()));
    data_->Database().setBusyTimeout(50);
}

void TestRecordset::movesStopAtBothEndsAndRepositionEachTime()
{
    open(QStringList{"ONE", "TWO", "THREE"});
    QVERIFY(rs().MovePrevious().ok());
    QVERIFY(!rs().MovePrevious().ok());
    QVERIFY(rs().MoveLast().ok());
    QVERIFY(rs().MoveNext().ok());
    QVERIFY(!rs().MoveNext().ok());
    QVERIFY(rs().MovePrevious().ok());
    QVERIFY(rs().FindFirst(QStringLiteral("Name"), QStringLiteral("TWO")).ok());
    QVERIFY(data_->Refresh().ok());
    // The handler runs inside each move and already sees the new position.
    QCOMPARE(repositions_, (QList<int>{0, -1, 2, -1, 2, 1, 0}));
}

void TestRecordset::lockedFileKeepsTheTypedValues()
{
    open(QStringList{"ONE", "TWO"});
    QVERIFY(rs().AddNew().ok());
    holders_[0].text = QStringLiteral("TYPED");
    {
        WriteLock lock(path_);
        QVERIFY(lock.locked());
        const Status update = rs().Update();
        QVERIFY2(update.message().contains(QLatin1String("locked")), qPrintable(update.message()));
        // A move must not throw the typed record away either.
        QVERIFY(!rs().MoveNext().ok());
        QCOMPARE(rs().AbsolutePosition(), 0);
        QCOMPARE(holders_[0].text, QStringLiteral("TYPED"));
    }
    QVERIFY(rs().Update().ok());
    QCOMPARE(readNames(path_), (QStringList{"ONE", "TWO", "TYPED"}));

    // The window blanks the boxes before a Delete; one that fails must not save them.
    QVERIFY(rs().MoveFirst().ok());
    QVERIFY(rs().Edit().ok());
    for (TextHolder& holder : holders_)
        holder.text.clear();
    {
        WriteLock lock(path_);
        QVERIFY(!rs().Delete().ok());
    }
    QVERIFY(rs().MoveNext().ok());
    QCOMPARE(readTable(path_).first(), sampleRecord("ONE"));
}

void TestRecordset::settlingWithoutAMoveShowsTheCurrentRecord()
{
    open(QStringList{"ACETONE", "BENZENE"});
    QVERIFY(rs().MoveNext().ok());
    // An untouched new record is dropped: the record before it is shown again.
    QVERIFY(rs().AddNew().ok());
    QVERIFY(rs().Update().ok());
    QCOMPARE(shownName(), QStringLiteral("BENZENE"));
    QCOMPARE(repositions_.last(), 1);

    // A record saved by a search that misses stays current, so Delete removes that one.
    QVERIFY(rs().AddNew().ok());
    holders_[0].text = QStringLiteral("NEWCHEM");
    QVERIFY(rs().FindFirst(QStringLiteral("Name"), QStringLiteral("ABSENT")).ok());
    QVERIFY(rs().NoMatch());
    QCOMPARE(shownName(), QStringLiteral("NEWCHEM"));
    QCOMPARE(repositions_.last(), 2);
    QVERIFY(rs().Delete().ok());
    QCOMPARE(readNames(path_), (QStringList{"ACETONE", "BENZENE"}));

    QVERIFY(rs().MoveFirst().ok());
    QVERIFY(rs().AddNew().ok());
    holders_[0].text = QStringLiteral("DROPPED");
    QVERIFY(rs().CancelUpdate().ok());
    QCOMPARE(shownName(), QStringLiteral("ACETONE"));
    QCOMPARE(repositions_.last(), 0);
}

void TestRecordset::rowsChangedBehindTheRecordSetAreSeenAtTheNextOperation()
{
    open(QStringList{"ONE", "TWO", "THREE"});
    QVERIFY(rs().MoveNext().ok());
    Database second;
    QVERIFY(second.OpenDatabase(path_).ok());

    // After a clear, the record set is empty: nothing blank is shown as if it existed.
    QVERIFY(rs().Edit().ok());
    holders_[0].text = QStringLiteral("CHANGED");
    QVERIFY(second.Execute(QStringLiteral("delete * from DATA1 ")).ok());
    QVERIFY(!rs().MoveFirst().ok());
    QCOMPARE(rs().EditMode(), 0);
    QCOMPARE(rs().RecordCount(), 0);
    QVERIFY(rs().IsBOF() && rs().IsEOF());
    QCOMPARE(repositions_.last(), -1);
    QVERIFY(!rs().MoveNext().ok());
    QVERIFY(!rs().Edit().ok());
    QCOMPARE(readTable(path_).size(), 0);

    // Ids are never handed out twice, whoever adds the rows.
    QVERIFY(rs().AddNew().ok());
    holders_[0].text = QStringLiteral("FRESH");
    QVERIFY(rs().Update().ok());
    QVERIFY(second.Execute(QStringLiteral("INSERT INTO DATA1(Name) VALUES('OTHER')")).ok());
    QVERIFY(rs().Edit().ok());
    holders_[3].text = QStringLiteral("H2O");
    QVERIFY(rs().Update().ok());
    QCOMPARE(readNames(path_), (QStringList{"FRESH", "OTHER"}));
    QCOMPARE(readTable(path_)[0][3], QStringLiteral("H2O"));
    QCOMPARE(rs().RecordCount(), 2);
}

void TestRecordset::closingTheDatabaseClosesTheRecordSet()
{
    open(QStringList{"ONE", "TWO"});
    QVERIFY(rs().Edit().ok());
    holders_[0].text = QStringLiteral("SAVED");
    QVERIFY(data_->Database().Close().ok());
    QCOMPARE(readNames(path_), (QStringList{"SAVED", "TWO"}));
    for (const Status& s : {rs().MoveNext(), rs().Edit(), rs().Update(), rs().Delete(),
                            rs().AddNew(), rs().FindFirst(QStringLiteral("Name"), "TWO")})
        QVERIFY(!s.ok());
    QCOMPARE(rs().RecordCount(), 0);
    QVERIFY(data_->Refresh().ok());
    QCOMPARE(shownName(), QStringLiteral("SAVED"));
}

void TestRecordset::oddIdsWorkAndAnUnavailableIdFailsCleanly()
{
    open(sampleRecords({"MIDDLE"}), QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] asc"));
    Database other;
    QVERIFY(other.OpenDatabase(path_).ok());
    QVERIFY(other
                .Execute(QStringLiteral("INSERT INTO DATA1(rowid, Name) VALUES "
                                        "(1099511627776, 'LARGE'), (-5, 'NEGATIVE')"))
                .ok());
    // A new id past 2^40 in a name order: the memory it takes follows the record count.
    QVERIFY(rs().AddNew().ok());
    holders_[0].text = QStringLiteral("ADDED");
    QVERIFY(rs().Update().ok());
    QCOMPARE(rs().AbsolutePosition(), 3);
    QVERIFY(rs().FindFirst(QStringLiteral("Name"), QStringLiteral("negative")).ok());
    QCOMPARE(rs().AbsolutePosition(), 2);
    data_->setRecordSource(QStringLiteral("DATA1"));
    QVERIFY(data_->Refresh().ok());
    QCOMPARE(shownName(), QStringLiteral("NEGATIVE"));
    QVERIFY(rs().FindFirst(QStringLiteral("Name"), QStringLiteral("added")).ok());
    QCOMPARE(rs().AbsolutePosition(), 3);

    // No id follows the largest there is: a clear failure, then the record can be dropped.
    QVERIFY(other
                .Execute(QStringLiteral(
                    "INSERT INTO DATA1(rowid, Name) VALUES (9223372036854775807, 'LAST')"))
                .ok());
    QVERIFY(rs().AddNew().ok());
    holders_[0].text = QStringLiteral("NO ROOM");
    const Status update = rs().Update();
    QVERIFY(!update.ok());
    QVERIFY2(update.message().contains(QLatin1String("not saved")), qPrintable(update.message()));
    QCOMPARE(rs().EditMode(), 2);
    QVERIFY(rs().CancelUpdate().ok());
    QVERIFY(rs().MoveLast().ok());
    QCOMPARE(shownName(), QStringLiteral("LAST"));
    QVERIFY(rs().MoveFirst().ok());
    QCOMPARE(shownName(), QStringLiteral("NEGATIVE"));
    QCOMPARE(readTable(path_).size(), 5);
}

void TestRecordset::findFirstComparesTheTextAsAValue_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found");
    const char* const rows[][4] = {{"case ignored", "Name", "ethanol", "ETHANOL"},
                                   {"accented letter", "Name", "éther", "ÉTHER"},
                                   {"Greek letters", "Name", "α-tocopherol", "Α-TOCOPHEROL"},
                                   {"final sigma", "Name", "οξυσ", "ΟΞΥΣ"},
                                   {"Kelvin sign", "Name", "kelvin", "\u212AELVIN"},
                                   {"trailing blanks searched", "Name", "ETHANOL  ", "ETHANOL"},
                                   {"trailing blank stored", "Name", "acetone", "ACETONE "},
                                   {"no partial match", "Name", "ETHAN", ""},
                                   {"leading blank matters", "Name", " ETHANOL", ""},
                                   {"unknown column", "Nonsense", "ETHANOL", "<fails>"}};
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2])
                              << QString::fromUtf8(row[3]);
}

void TestRecordset::findFirstComparesTheTextAsAValue()
{
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(QString, found);
    for (const char* source : {"DATA1", "SELECT * FROM DATA1 ORDER BY [Name] desc"}) {
        open(sampleRecords({"ACETONE ", "ETHANOL", "N,N'-DIMETHYLUREA", "ÉTHER", "Α-TOCOPHEROL",
                            "ΟΞΥΣ", "ETHANOLAMINE", "\u212AELVIN"}),
             QString::fromLatin1(source));
        QVERIFY(rs().MoveLast().ok());
        const QString before = shownName();
        const Status s = rs().FindFirst(column, text);
        QCOMPARE(s.ok(), found != QLatin1String("<fails>"));
        if (!s.ok())
            continue;
        QCOMPARE(rs().NoMatch(), found.isEmpty());
        // A miss leaves the current record where it was.
        QCOMPARE(shownName(), found.isEmpty() ? before : found);
    }
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
