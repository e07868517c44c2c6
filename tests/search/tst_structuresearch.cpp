#include "app/records/database.h"
#include "chem/molecule.h"
#include "chem/substructure.h"
#include "search/structureindex.h"
#include "tests/support/testdatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

// Records 1 to 14, in this order; the last has no structure.
const QStringList kMolecules = {
    QStringLiteral("c1ccccc1"),             //  1 benzene
    QStringLiteral("Cc1ccccc1"),            //  2 toluene
    QStringLiteral("OC(=O)c1ccccc1"),       //  3 benzoic acid
    QStringLiteral("CC(=O)O"),              //  4 acetic acid
    QStringLiteral("N[C@@H](C)C(=O)O"),     //  5 L-alanine
    QStringLiteral("N[C@H](C)C(=O)O"),      //  6 D-alanine
    QStringLiteral("C1CCCCC1"),             //  7 cyclohexane
    QStringLiteral("CCO"),                  //  8 ethanol
    QStringLiteral("CC(=O)[O-].[Na+]"),     //  9 sodium acetate
    QStringLiteral("[NH4+].[Cl-]"),         // 10 ammonium chloride
    QStringLiteral("[O-][N+](=O)c1ccccc1"), // 11 nitrobenzene
    QStringLiteral("c1ccncc1"),             // 12 pyridine
    QStringLiteral("CC(=O)OC"),             // 13 methyl acetate
    QString(),                              // 14 no structure
};

using Rowids = std::vector<long long>;

QString molBlockOf(const QString& smiles)
{
    Molecule molecule;
    if (!Molecule::fromText(smiles, molecule).ok())
        return {};
    return molecule.molBlock();
}

void setStructure(sqlite3* db, long long rowid, const QString& structure)
{
    sqlite3_stmt* st = nullptr;
    QCOMPARE(
        sqlite3_prepare_v2(db, "UPDATE DATA1 SET Structure = ? WHERE rowid = ?", -1, &st, nullptr),
        SQLITE_OK);
    const QByteArray text = structure.toUtf8();
    if (!structure.isEmpty())
        sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_STATIC);
    sqlite3_bind_int64(st, 2, rowid);
    QCOMPARE(sqlite3_step(st), SQLITE_DONE);
    sqlite3_finalize(st);
}

// A database whose record n holds structures[n - 1] (as the window stores it, a MOL block).
void createStructureDatabase(const QString& path, const QStringList& structures)
{
    QStringList names;
    for (int i = 0; i < structures.size(); ++i)
        names.append(QStringLiteral("record %1").arg(i + 1));
    createTestDatabase(path, names);
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < structures.size(); ++i)
        setStructure(db, i + 1, structures[i]);
    QCOMPARE(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

Status searchAll(const QString& path, const QString& text, StructureQuery::Kind kind, Rowids& hits)
{
    hits.clear();
    StructureQuery query;
    if (Status s = StructureQuery::parse(text, kind, query); !s.ok())
        return s;
    std::atomic<bool> cancel{false};
    long long last = 0;
    bool ascending = true;
    const Status s = StructureIndex::search(
        path, query,
        [&](const Rowids& batch) {
            for (const long long id : batch) {
                ascending = ascending && id > last;
                last = id;
                hits.push_back(id);
            }
            return true;
        },
        cancel);
    if (!ascending)
        return Status::failure(QStringLiteral("hits out of rowid order"));
    return s;
}

// The SD file's records, each up to its "M  END" line.
QStringList sampleMolBlocks()
{
    QFile file(QStringLiteral(RDKIT_SAMPLES));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList blocks;
    for (const QString& record :
         QString::fromUtf8(file.readAll()).split(QStringLiteral("$$$$\n"))) {
        const qsizetype end = record.indexOf(QStringLiteral("M  END"));
        if (end >= 0)
            blocks.append(record.left(end + 6) + QLatin1Char('\n'));
    }
    return blocks;
}

} // namespace

class TestStructureSearch : public QObject {
    Q_OBJECT

private slots:
    void init();
    void hits_data();
    void hits();
    void badQueries_data();
    void badQueries();
    void sampleMoleculesAgreeWithPlainMatching();
    void followsChangesByAnotherProgram();
    void survivesRenumberingAndClearing();
    void cancelledBuildKeepsWhatWasDone();

private:
    QTemporaryDir dir_;
    QString path_;
};

void TestStructureSearch::init()
{
    path_ = dir_.filePath(QStringLiteral("structures.mdb"));
    QStringList blocks;
    for (const QString& smiles : kMolecules)
        blocks.append(smiles.isEmpty() ? QString() : molBlockOf(smiles));
    createStructureDatabase(path_, blocks);
}

void TestStructureSearch::hits_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<Rowids>("expected");

    QTest::newRow("benzene ring") << "c1ccccc1" << false << Rowids{1, 2, 3, 11};
    QTest::newRow("benzene ring, Kekule") << "C1=CC=CC=C1" << false << Rowids{1, 2, 3, 11};
    QTest::newRow("carboxylic acid, SMARTS") << "C(=O)[OX2H1]" << false << Rowids{3, 4, 5, 6};
    // As a molecule, C(=O)O leaves its hydrogen and charge open: esters and salts too.
    QTest::newRow("carboxyl as SMILES") << "C(=O)O" << false << Rowids{3, 4, 5, 6, 9, 13};
    QTest::newRow("chiral centre, either hand") << "N[C@@H](C)C(=O)O" << false << Rowids{5, 6};
    QTest::newRow("cation") << "[N+]" << false << Rowids{10, 11};
    QTest::newRow("anion") << "[O-]" << false << Rowids{9, 11};
    QTest::newRow("six-ring, SMARTS")
        << "[R]1[R][R][R][R][R]1" << false << Rowids{1, 2, 3, 7, 11, 12};
    QTest::newRow("no record") << "c1ccc2ccccc2c1" << false << Rowids{};

    QTest::newRow("exact benzene") << "c1ccccc1" << true << Rowids{1};
    QTest::newRow("exact benzene, Kekule") << "C1=CC=CC=C1" << true << Rowids{1};
    QTest::newRow("exact L-alanine") << "C[C@H](N)C(=O)O" << true << Rowids{5};
    QTest::newRow("exact D-alanine") << "OC(=O)[C@@H](C)N" << true << Rowids{6};
    QTest::newRow("exact alanine, no hand") << "CC(N)C(=O)O" << true << Rowids{};
    QTest::newRow("exact salt") << "[Na+].[O-]C(C)=O" << true << Rowids{9};
    QTest::newRow("exact ethanol as MOL block")
        << molBlockOf(QStringLiteral("OCC")) << true << Rowids{8};
}

void TestStructureSearch::hits()
{
    QFETCH(QString, query);
    QFETCH(bool, exact);
    QFETCH(Rowids, expected);
    Rowids found;
    const Status s =
        searchAll(path_, query,
                  exact ? StructureQuery::Kind::Exact : StructureQuery::Kind::Substructure, found);
    QVERIFY2(s.ok(), qPrintable(s.message()));
    QCOMPARE(found, expected);
}

void TestStructureSearch::badQueries_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<QString>("reason");

    QTest::newRow("empty") << "  " << false << "empty";
    QTest::newRow("open ring") << "C1CC" << false << "ring";
    QTest::newRow("open branch") << "CC(C" << false << "SMARTS";
    QTest::newRow("valence") << "C(C)(C)(C)(C)C" << true << "Valence";
    QTest::newRow("SMARTS is no molecule") << "[C,N]" << true << "SMILES";
    QTest::newRow("binary") << QStringLiteral("C\x01") << false << "binary";
}

void TestStructureSearch::badQueries()
{
    QFETCH(QString, query);
    QFETCH(bool, exact);
    QFETCH(QString, reason);
    Rowids found;
    const Status s =
        searchAll(path_, query,
                  exact ? StructureQuery::Kind::Exact : StructureQuery::Kind::Substructure, found);
    QVERIFY(!s.ok());
    QVERIFY2(s.message().contains(reason), qPrintable(s.message()));
    QVERIFY(found.empty());
}

void TestStructureSearch::sampleMoleculesAgreeWithPlainMatching()
{
    const QStringList blocks = sampleMolBlocks();
    QCOMPARE(blocks.size(), 200);
    createStructureDatabase(path_, blocks);
    const QList<std::pair<QString, bool>> queries = {
        {QStringLiteral("c1ccccc1"), false},
        {QStringLiteral("C(=O)[OX2H1]"), false},
        {QStringLiteral("N[C@@H](C)C(=O)O"), false},
        {QStringLiteral("[N+]"), false},
        {QStringLiteral("[O-]"), false},
        {QStringLiteral("[N+](=O)[O-]"), false},
        {QStringLiteral("c1ccc2ncccc2c1"), false},
        {QStringLiteral("NC1CCCCC1"), false},
        {QStringLiteral("[#7;R]@[#6]"), false},
        {QStringLiteral("Cl"), false},
        {QStringLiteral("[$(C=O)]~[#8,#7]"), false},
        // Rings and chains at and past the screen's six atoms.
        {QStringLiteral("O=C1CCCCC1"), false},
        {QStringLiteral("C1CC1"), false},
        {QStringLiteral("CCCCCCC"), false},
        {QStringLiteral("c1ccc2ccccc2c1"), false},
        {QStringLiteral("C#N"), false},
        {blocks[17], true},
    };
    int queriesWithHits = 0;
    for (const auto& [text, exact] : queries) {
        const auto kind = exact ? StructureQuery::Kind::Exact : StructureQuery::Kind::Substructure;
        SubstructureQuery plain;
        QVERIFY(SubstructureQuery::parse(text,
                                         exact ? SubstructureQuery::Mode::Exact
                                               : SubstructureQuery::Mode::Substructure,
                                         plain)
                    .ok());
        Rowids expected;
        for (int i = 0; i < blocks.size(); ++i)
            if (plain.matchesText(blocks[i]))
                expected.push_back(i + 1);
        Rowids found;
        const Status s = searchAll(path_, text, kind, found);
        QVERIFY2(s.ok(), qPrintable(s.message()));
        QVERIFY2(found == expected, qPrintable(text.left(40)));
        queriesWithHits += expected.empty() ? 0 : 1;
    }
    // Agreement on nothing would prove little.
    QVERIFY(queriesWithHits >= 10);
}

void TestStructureSearch::followsChangesByAnotherProgram()
{
    Rowids found;
    QVERIFY(searchAll(path_, QStringLiteral("c1ccccc1"), StructureQuery::Kind::Substructure, found)
                .ok());
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path_).constData(), &db), SQLITE_OK);
    runAsAnotherProgram(path_, "INSERT INTO DATA1(Name) VALUES('record 15')");
    setStructure(db, 15, molBlockOf(QStringLiteral("Oc1ccccc1"))); // phenol added
    setStructure(db, 1, molBlockOf(QStringLiteral("C1CCCCC1")));   // benzene becomes cyclohexane
    setStructure(db, 8, molBlockOf(QStringLiteral("c1ccccc1CO"))); // ethanol becomes benzyl alcohol
    setStructure(db, 14, QStringLiteral("c1ccccc1C#N")); // SMILES stored by another program
    setStructure(db, 3, QStringLiteral("not a structure"));
    sqlite3_close(db);
    runAsAnotherProgram(path_, "DELETE FROM DATA1 WHERE rowid = 2");
    QVERIFY(searchAll(path_, QStringLiteral("c1ccccc1"), StructureQuery::Kind::Substructure, found)
                .ok());
    QCOMPARE(found, (Rowids{8, 11, 14, 15}));
}

void TestStructureSearch::survivesRenumberingAndClearing()
{
    // Without an index on DATA1, VACUUM gives the rows after a gap new rowids.
    runAsAnotherProgram(path_, "DELETE FROM DATA1 WHERE rowid IN (1, 2)");
    Rowids found;
    QVERIFY(searchAll(path_, QStringLiteral("c1ccccc1"), StructureQuery::Kind::Substructure, found)
                .ok());
    QCOMPARE(found, (Rowids{3, 11}));
    runAsAnotherProgram(path_,
                        "DROP INDEX DATA1_Name; DROP INDEX DATA1_IUPAC; DROP INDEX DATA1_CAS; "
                        "DROP INDEX DATA1_MolFormula; DROP INDEX DATA1_MolWeight; "
                        "DROP INDEX DATA1_EqWeight; DROP INDEX DATA1_Spgr; VACUUM");
    QCOMPARE(readNames(path_).value(0), QStringLiteral("record 3"));
    QVERIFY(searchAll(path_, QStringLiteral("c1ccccc1"), StructureQuery::Kind::Substructure, found)
                .ok());
    QCOMPARE(found, (Rowids{1, 9}));

    // Clear DB, then a new record: the index holds only it.
    Database database;
    QVERIFY(database.OpenDatabase(path_).ok());
    QVERIFY(database.Execute(QStringLiteral("delete * from DATA1 ")).ok());
    QVERIFY(database.InsertRecords({sampleRecord(QStringLiteral("new"))}).ok());
    QVERIFY(database.Close().ok());
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path_).constData(), &db), SQLITE_OK);
    setStructure(db, 1, molBlockOf(QStringLiteral("Cc1ccccc1")));
    sqlite3_close(db);
    QVERIFY(searchAll(path_, QStringLiteral("c1ccccc1"), StructureQuery::Kind::Substructure, found)
                .ok());
    QCOMPARE(found, (Rowids{1}));
}

void TestStructureSearch::cancelledBuildKeepsWhatWasDone()
{
    // 5,000 records: several batches, so a cancel falls between two of them.
    const QStringList blocks = sampleMolBlocks();
    QStringList structures;
    while (structures.size() < 5000)
        structures += blocks;
    createStructureDatabase(path_, structures.mid(0, 5000));
    // Cancelled at once, the build still keeps the batch it had in hand.
    JobProgress progress;
    progress.cancelRequested = true;
    const Status cancelled = StructureIndex::bringUpToDate(path_, progress);
    QVERIFY2(cancelled.ok(), qPrintable(cancelled.message()));
    const long long doneBeforeCancel = progress.done;
    QVERIFY(doneBeforeCancel > 0 && doneBeforeCancel < 5000);

    JobProgress again;
    QVERIFY(StructureIndex::bringUpToDate(path_, again).ok());
    QCOMPARE(again.total.load(), 5000 - doneBeforeCancel);
    Rowids found;
    QVERIFY(searchAll(path_, QStringLiteral("c1ccc2ncccc2c1"), StructureQuery::Kind::Substructure,
                      found)
                .ok());
    // The 200 molecules over and over: every stretch of 200 records has the first one's hits.
    Rowids firstStretch, expected;
    for (const long long id : found)
        if (id <= 200)
            firstStretch.push_back(id);
    for (long long start = 0; start < 5000; start += 200)
        for (const long long id : firstStretch)
            expected.push_back(start + id);
    QVERIFY(!firstStretch.empty());
    QCOMPARE(found, expected);
}

QTEST_GUILESS_MAIN(TestStructureSearch)
#include "tst_structuresearch.moc"
