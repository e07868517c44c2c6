// The list's text filter: which records hold a text in a name, CAS number or formula, by the
// index and by reading every record alike, and the index staying in step with every writer.

#include "app/records/database.h"
#include "app/records/textfilter.h"
#include "tests/support/testdatabase.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

QStringList record(const QString& name, const QString& iupac, const QString& cas,
                   const QString& formula)
{
    return {name, iupac, cas, formula, "", "", "", "", "", "", ""};
}

// Rowid n is the n-th record here.
const QList<QStringList>& records()
{
    static const QList<QStringList> table{
        record("Éthanol", "ethanol", "64-17-5", "C2H6O"),
        record("α-D-Glucose", "(2S,3R,4S,5S,6R)-6-(hydroxymethyl)oxane-2,3,4,5-tetrol", "492-62-6",
               "C6H12O6"),
        record("N,N'-Dimethylurea", "1,3-dimethylurea", "96-31-1", "C3H8N2O"),
        record("ΑΙΘΑΝΟΛΗ", "", "", ""),
        record("Caffeine", "1,3,7-trimethylpurine-2,6-dione", "58-08-2", "C8H10N4O2"),
        record("[2.2.2]Cryptand", "4,7,13,16,21,24-hexaoxa-1,10-diazabicyclo[8.8.8]hexacosane",
               "23978-09-8", "C18H36N2O6"),
        record("οδος test", "", "", ""),
        record("Sodium chloride", "", "7647-14-5", "ClNa"),
    };
    return table;
}

QList<long long> find(const QString& path, const QString& text)
{
    QList<long long> found;
    std::atomic<bool> cancel{false};
    const TextFilterReceiver receiver{[&found](const std::vector<long long>& ids) {
                                          found.append(QList<long long>(ids.begin(), ids.end()));
                                          return true;
                                      },
                                      [] {},
                                      [&found](const std::vector<long long>& ids) {
                                          for (const long long id : ids)
                                              found.removeAll(id);
                                      }};
    const Status s = findRecordsContaining(path, text, receiver, cancel);
    if (!s.ok())
        qWarning("%s", qPrintable(s.message()));
    return found;
}

// The engine's own check of an index that reads its text from DATA1.
bool indexInStep(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const int rc = sqlite3_exec(
        db, "INSERT INTO DATA1_filter(DATA1_filter, rank) VALUES('integrity-check', 1)", nullptr,
        nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

bool hasIndex(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    bool present = false;
    const Status s = TextFilterIndex::isPresent(db, present);
    sqlite3_close(db);
    return s.ok() && present;
}

} // namespace

class TestTextFilter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void recordsHoldingTheText_data();
    void recordsHoldingTheText();
    void indexFollowsEveryWriter();
    void indexOutOfStepIsCaught();
    void clearEmptiesTheIndex_data();
    void clearEmptiesTheIndex();
    void buildOnAFileWithoutTheIndex();

private:
    QTemporaryDir dir_;
    QString path_;
};

void TestTextFilter::init()
{
    path_ = dir_.filePath(QStringLiteral("filter.db"));
    createTestDatabase(path_, records());
}

void TestTextFilter::recordsHoldingTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<long long>>("rowids");
    using R = QList<long long>;
    QTest::newRow("part of several names") << "methyl" << R{2, 3, 5};
    QTest::newRow("any case") << "CAFF" << R{5};
    QTest::newRow("accent kept apart") << "ÉTH" << R{1};
    QTest::newRow("accented whole name") << "éthanol" << R{1};
    QTest::newRow("Greek, another case") << "θανολη" << R{4};
    QTest::newRow("final sigma") << "ΟΔΟΣ" << R{7};
    QTest::newRow("Greek letter in a name") << "Α-d-" << R{2};
    QTest::newRow("prime") << "N'-D" << R{3};
    QTest::newRow("brackets") << "[8.8.8]" << R{6};
    QTest::newRow("CAS part") << "17-5" << R{1};
    QTest::newRow("formula part") << "h12o6" << R{2};
    QTest::newRow("in no record") << "xyzzy" << R{};
    QTest::newRow("quote") << "a\"b" << R{};
    QTest::newRow("wildcards are text") << "%e_" << R{};
    // Shorter than three characters, every record is read.
    QTest::newRow("two letters") << "ΟΣ" << R{7};
    QTest::newRow("one letter") << "k" << R{};
    QTest::newRow("one digit") << "9" << R{2, 3, 6};
}

// The same records, through the index and by reading every record.
void TestTextFilter::recordsHoldingTheText()
{
    QFETCH(QString, text);
    QFETCH(QList<long long>, rowids);
    QVERIFY(hasIndex(path_));
    QCOMPARE(TextNeedle(text).indexFindsAll(), text.size() >= 3);
    QCOMPARE(find(path_, text), rowids);
    runAsAnotherProgram(path_, "DROP TABLE DATA1_filter");
    QVERIFY(!hasIndex(path_));
    QCOMPARE(find(path_, text), rowids);
}

void TestTextFilter::indexFollowsEveryWriter()
{
    runAsAnotherProgram(path_, "INSERT INTO DATA1(Name, CAS) VALUES('Ethyl acetate', '141-78-6')");
    runAsAnotherProgram(path_, "UPDATE DATA1 SET Name='Coffein' WHERE Name='Caffeine'");
    runAsAnotherProgram(path_, "UPDATE DATA1 SET Appearance='white' WHERE rowid=3");
    runAsAnotherProgram(path_, "DELETE FROM DATA1 WHERE rowid=1");
    runAsAnotherProgram(path_, "UPDATE DATA1 SET rowid=100 WHERE rowid=6");
    QVERIFY(indexInStep(path_));
    QCOMPARE(find(path_, QStringLiteral("acetat")), QList<long long>{9});
    QCOMPARE(find(path_, QStringLiteral("caff")), QList<long long>{});
    QCOMPARE(find(path_, QStringLiteral("coffe")), QList<long long>{5});
    QCOMPARE(find(path_, QStringLiteral("17-5")), QList<long long>{});
    QCOMPARE(find(path_, QStringLiteral("crypt")), QList<long long>{100});

    Database db;
    QVERIFY(db.OpenDatabase(path_).ok());
    QVERIFY(db.InsertRecords({record("Ethanal", "", "", "C2H4O")}).ok());
    QVERIFY(db.Close().ok());
    QCOMPARE(find(path_, QStringLiteral("ethan")), QList<long long>{101});
    QVERIFY(indexInStep(path_));
}

// An entry no trigger made (another program writing the index itself) names a record that
// does not hold the text: it is read again and withdrawn, among the first records or later.
void TestTextFilter::indexOutOfStepIsCaught()
{
    runAsAnotherProgram(path_, "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n "
                               "WHERE x<150) INSERT INTO DATA1(Name) SELECT 'zzzqq '||x FROM n");
    runAsAnotherProgram(path_, "INSERT INTO DATA1_filter(rowid, Name) VALUES(5, 'zzzqq');"
                               "INSERT INTO DATA1_filter(rowid, Name) VALUES(1000, 'zzzqq')");
    QList<long long> holding;
    for (long long id = 9; id <= 158; ++id)
        holding.append(id);
    QCOMPARE(find(path_, QStringLiteral("zzzqq")), holding);
}

void TestTextFilter::clearEmptiesTheIndex_data()
{
    QTest::addColumn<QByteArray>("otherTable");
    QTest::newRow("only our tables") << QByteArray();
    QTest::newRow("beside another table") << QByteArray("CREATE TABLE notes(x); "
                                                        "INSERT INTO notes VALUES('kept')");
}

void TestTextFilter::clearEmptiesTheIndex()
{
    QFETCH(QByteArray, otherTable);
    if (!otherTable.isEmpty())
        runAsAnotherProgram(path_, otherTable.constData());
    Database db;
    QVERIFY(db.OpenDatabase(path_).ok());
    const Status cleared = db.Execute(QStringLiteral("delete * from DATA1 "));
    QVERIFY2(cleared.ok(), qPrintable(cleared.message()));
    QVERIFY(db.InsertRecords({record("Methanol", "", "67-56-1", "CH4O")}).ok());
    QVERIFY(db.Close().ok());
    QVERIFY(hasIndex(path_));
    QVERIFY(indexInStep(path_));
    QCOMPARE(find(path_, QStringLiteral("methyl")), QList<long long>{});
    QCOMPARE(find(path_, QStringLiteral("thanol")), QList<long long>{1});
    if (!otherTable.isEmpty())
        runAsAnotherProgram(path_, "SELECT 1 FROM notes WHERE x='kept'");
}

void TestTextFilter::buildOnAFileWithoutTheIndex()
{
    runAsAnotherProgram(path_, "DROP TABLE DATA1_filter; DROP TRIGGER DATA1_filter_insert");
    QVERIFY(!hasIndex(path_));

    JobProgress cancelled;
    cancelled.cancelRequested = true;
    QVERIFY(!TextFilterIndex::build(path_, cancelled).ok());
    QVERIFY(!hasIndex(path_));

    JobProgress progress;
    const Status built = TextFilterIndex::build(path_, progress);
    QVERIFY2(built.ok(), qPrintable(built.message()));
    QCOMPARE(progress.done.load(), 8);
    QCOMPARE(progress.total.load(), 8);
    QVERIFY(hasIndex(path_));
    QVERIFY(indexInStep(path_));
    QCOMPARE(find(path_, QStringLiteral("chlor")), QList<long long>{8});
    runAsAnotherProgram(path_, "DELETE FROM DATA1 WHERE rowid=8");
    QVERIFY(indexInStep(path_));
}

QTEST_GUILESS_MAIN(TestTextFilter)
#include "tst_textfilter.moc"
