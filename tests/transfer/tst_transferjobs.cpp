#include "app/records/database.h"
#include "app/records/schema.h"
#include "chem/molecule.h"
#include "tests/support/smallfilesystem.h"
#include "tests/support/testdatabase.h"
#include "transfer/transferjobs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <thread>

namespace {

const QString kNciSample = QStringLiteral("/usr/share/RDKit/Data/NCI/first_200.props.sdf");

QByteArray checksum(const QString& path)
{
    return QCryptographicHash::hash(fileContents(path), QCryptographicHash::Sha256);
}

// The stored molecule of every row, in rowid order, as canonical SMILES ("" for none).
QStringList storedSmiles(const QString& path)
{
    QStringList smiles;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    Statement select;
    if (select.prepare(db, "SELECT Structure FROM DATA1 ORDER BY rowid").ok()) {
        while (select.step() == SQLITE_ROW) {
            Molecule molecule;
            const QString block = select.columnText(0);
            smiles.append(block.isEmpty() || !Molecule::fromText(block, molecule).ok()
                              ? QString()
                              : molecule.smiles());
        }
    }
    select.finalize();
    sqlite3_close(db);
    return smiles;
}

QString canonical(const QString& smiles)
{
    Molecule molecule;
    return Molecule::fromText(smiles, molecule).ok() ? molecule.smiles() : QString();
}

// The same molecule without its stereo marks, as canonical SMILES.
QString withoutStereo(QString smiles)
{
    smiles.remove(QRegularExpression(QStringLiteral("[@/\\\\]")));
    return canonical(smiles);
}

QByteArray molBlockOf(const char* smiles)
{
    Molecule molecule;
    Molecule::fromText(QString::fromLatin1(smiles), molecule);
    return molecule.molBlock().toUtf8();
}

FieldMapping mappingOf(const QList<QPair<QString, QString>>& pairs)
{
    FieldMapping mapping;
    for (const auto& [column, item] : pairs)
        mapping.itemForColumn.insert(column, item);
    return mapping;
}

// Every column from the item of its own name: how an exported file maps back.
FieldMapping columnsByName(CollectionFormat format)
{
    FieldMapping mapping;
    for (const QString& column : recordColumns())
        mapping.itemForColumn.insert(column, column);
    if (format != CollectionFormat::Sd)
        mapping.itemForColumn.insert(structureColumn(), QStringLiteral("SMILES"));
    return mapping;
}

} // namespace

class tst_TransferJobs : public QObject {
    Q_OBJECT

private slots:
    void init();
    void importsEachFormat_data();
    void importsEachFormat();
    void importsTheNciSample();
    void importKeepsTheDerivedTablesInStep();
    void skipsBadRecordsWithTheirReason_data();
    void skipsBadRecordsWithTheirReason();
    void stopsWhereTheRoomEnds();
    void cancelOrFailureLeavesTheDatabaseUnchanged_data();
    void cancelOrFailureLeavesTheDatabaseUnchanged();
    void exportThenImportGivesTheSameRecords_data();
    void exportThenImportGivesTheSameRecords();
    void failedExportLeavesTheTargetUntouched();
    void countsRecords_data();
    void countsRecords();

private:
    QString file(const QString& name) const { return dir_->filePath(name); }
    QString emptyDatabase()
    {
        const QString path = file(QStringLiteral("target.db"));
        createTestDatabase(path, QList<QStringList>());
        return path;
    }

    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_TransferJobs::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void tst_TransferJobs::importsEachFormat_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("nameItem");

    const QByteArray sd =
        QByteArray("beta-Alanine\n  manual\n\n"
                   "  6  5  0  0  0  0  0  0  0  0999 V2000\n"
                   "    0.0000    0.0000    0.0000 N   0  0\n"
                   "    1.2990    0.7500    0.0000 C   0  0\n"
                   "    2.5981    0.0000    0.0000 C   0  0\n"
                   "    3.8971    0.7500    0.0000 C   0  0\n"
                   "    3.8971    2.2500    0.0000 O   0  0\n"
                   "    5.1962    0.0000    0.0000 O   0  0\n"
                   "  1  2  1  0\n  2  3  1  0\n  3  4  1  0\n  4  5  2  0\n  4  6  1  0\n"
                   "M  END\n> <Name>\n\xce\xb2-Alanine\n\n> <CAS>\n107-95-9\n\n$$$$\n") +
        "\n     RDKit          2D\n\n"
        "  0  0  0  0  0  0  0  0  0  0999 V2000\nM  END\n"
        "> <Name>\nN,N'-Dimethylurea\n\n> <CAS>\n96-31-1\n\n$$$$\n"
        "dopamine" +
        molBlockOf("NCCc1ccc(O)c(O)c1") +
        "> <Name>\n4-(2-Aminoethyl)benzene-1,2-diol\n\n> <CAS>\n51-61-6\n\n$$$$\n";
    QTest::newRow("SD") << "in.sdf" << sd << "Name";
    QTest::newRow("SMILES") << "in.smi"
                            << QByteArray(
                                   "NCCC(=O)O \xce\xb2-Alanine\n\nCNC(=O)NC\tN,N'-Dimethylurea\n"
                                   "NCCc1ccc(O)c(O)c1 4-(2-Aminoethyl)benzene-1,2-diol\n")
                            << QString();
    QTest::newRow("CSV") << "in.csv"
                         << QByteArray("Name,CAS,SMILES\r\n\xce\xb2-Alanine,107-95-9,NCCC(=O)O\r\n"
                                       "\"N,N'-Dimethylurea\",96-31-1,\r\n"
                                       "\"4-(2-Aminoethyl)benzene-1,2-diol\",51-61-6,"
                                       "NCCc1ccc(O)c(O)c1\r\n")
                         << "Name";
    QTest::newRow("TSV") << "in.tsv"
                         << QByteArray("Name\tCAS\tSMILES\n\xce\xb2-Alanine\t107-95-9\tNCCC(=O)O\n"
                                       "N,N'-Dimethylurea\t96-31-1\t\n"
                                       "4-(2-Aminoethyl)benzene-1,2-diol\t51-61-6\t"
                                       "NCCc1ccc(O)c(O)c1\n")
                         << "Name";
}

// Three records: beta-alanine with its molecule, N,N'-dimethylurea without one (in the SMILES
// file with one), dopamine's name with brackets.
void tst_TransferJobs::importsEachFormat()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    QFETCH(QString, nameItem);
    writeFile(file(fileName), contents);
    CollectionFormat format;
    QVERIFY(collectionFormatOf(fileName, format));
    FieldMapping mapping = mappingOf(
        {{QStringLiteral("CAS"), QStringLiteral("CAS")}, {QStringLiteral("Name"), nameItem}});
    if (format == CollectionFormat::Smiles)
        mapping = mappingOf({{QStringLiteral("Name"), smilesNameItem()}});
    if (format == CollectionFormat::Csv || format == CollectionFormat::Tsv)
        mapping.itemForColumn.insert(structureColumn(), QStringLiteral("SMILES"));

    const QString db = emptyDatabase();
    JobProgress progress;
    ImportResult result;
    const Status status =
        importCollection(db, file(fileName), format, mapping, 1000000, progress, result);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QCOMPARE(result.added, 3);
    QVERIFY(result.skipped.isEmpty());
    QCOMPARE(progress.done.load(), 3);

    const QList<QStringList> rows = readTable(db);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0][0], QStringLiteral("\u0392-ALANINE"));
    QCOMPARE(rows[1][0], QStringLiteral("N,N'-DIMETHYLUREA"));
    QCOMPARE(rows[2][0], QStringLiteral("4-(2-AMINOETHYL)BENZENE-1,2-DIOL"));
    if (format != CollectionFormat::Smiles) {
        QCOMPARE(rows[0][2], QStringLiteral("107-95-9"));
        QCOMPARE(rows[2][2], QStringLiteral("51-61-6"));
    }
    // Formula and weight come from the molecule where nothing maps to them.
    QCOMPARE(rows[0][3], QStringLiteral("C3H7NO2"));
    QCOMPARE(rows[0][4], QStringLiteral("89.09"));
    QCOMPARE(rows[2][3], QStringLiteral("C8H11NO2"));
    QCOMPARE(rows[2][4], QStringLiteral("153.18"));
    const QStringList smiles = storedSmiles(db);
    QCOMPARE(smiles[0], canonical(QStringLiteral("NCCC(=O)O")));
    QCOMPARE(smiles[1],
             format == CollectionFormat::Smiles ? canonical(QStringLiteral("CNC(=O)NC")) : "");
    QCOMPARE(smiles[2], canonical(QStringLiteral("NCCc1ccc(O)c(O)c1")));
}

void tst_TransferJobs::importsTheNciSample()
{
    const QString db = emptyDatabase();
    JobProgress progress;
    ImportResult result;
    const FieldMapping mapping = mappingOf({{QStringLiteral("IUPAC"), QStringLiteral("ISM")},
                                            {QStringLiteral("MolWeight"), QStringLiteral("AMW")}});
    const Status status =
        importCollection(db, kNciSample, CollectionFormat::Sd, mapping, 1000000, progress, result);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QCOMPARE(result.added, 200);
    QVERIFY(result.skipped.isEmpty());
    const QList<QStringList> rows = readTable(db);
    const QStringList smiles = storedSmiles(db);
    QCOMPARE(rows.size(), 200);
    // The first record: 2-methyl-1,4-benzoquinone.
    QCOMPARE(rows[0][1], QStringLiteral("CC1=CC(=O)C=CC1=O"));
    QCOMPARE(rows[0][3], QStringLiteral("C7H6O2"));
    QCOMPARE(rows[0][4], QStringLiteral("122.12344"));
    // Each stored molecule is the one the record's own SMILES item names (which leaves out
    // the stereo the drawing shows).
    for (qsizetype i = 0; i < rows.size(); ++i)
        QCOMPARE(withoutStereo(smiles[i]), withoutStereo(rows[i][1]));
}

// The import hands its rows to the filter index and the structure index's waiting list in
// batches instead of through their triggers; afterwards both name exactly the table's rows, and
// the triggers are back for the next writer.
void tst_TransferJobs::importKeepsTheDerivedTablesInStep()
{
    const QString db = file(QStringLiteral("target.db"));
    createTestDatabase(db, QStringList{QStringLiteral("ETHANOL"), QStringLiteral("ACETONE")});
    runAsAnotherProgram(db, "DELETE FROM DATA1 WHERE Name = 'ACETONE'");
    JobProgress progress;
    ImportResult result;
    const Status status =
        importCollection(db, kNciSample, CollectionFormat::Sd, {}, 1000000, progress, result);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    runAsAnotherProgram(db, "INSERT INTO DATA1(Name, Structure) VALUES('ANOTHER PROGRAM', 'C')");

    sqlite3* handle = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(db).constData(), &handle), SQLITE_OK);
    const auto number = [handle](const char* sql) {
        Statement query;
        return query.prepare(handle, sql).ok() && query.step() == SQLITE_ROW ? query.columnInt64(0)
                                                                             : -1;
    };
    QCOMPARE(number("SELECT count(*) FROM DATA1"), 202);
    QCOMPARE(number("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"), 6);
    // Filter: one entry per row, the same rows.
    QCOMPARE(number("SELECT count(*) FROM DATA1_filter_docsize"), 202);
    QCOMPARE(number("SELECT count(*) FROM (SELECT rowid FROM DATA1 EXCEPT "
                    "SELECT id FROM DATA1_filter_docsize)"),
             0);
    QCOMPARE(number("SELECT count(*) FROM DATA1_filter('anol')"), 1);
    QCOMPARE(number("SELECT count(*) FROM DATA1_filter('C7H6O2')"),
             number("SELECT count(*) FROM DATA1 WHERE MolFormula = 'C7H6O2'"));
    // Structure index: every row waits (none was indexed yet).
    QCOMPARE(number("SELECT count(*) FROM (SELECT rowid FROM DATA1 EXCEPT "
                    "SELECT id FROM DATA1_structure_waiting)"),
             0);
    sqlite3_close(handle);
}

void tst_TransferJobs::skipsBadRecordsWithTheirReason_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("badRecord");
    QTest::addColumn<QString>("reasonHas");

    QTest::newRow("bad molecule") << "in.smi" << QByteArray("C1CC(=O broken\n") << "SMILES";
    QTest::newRow("valence") << "in.smi" << QByteArray("C(C)(C)(C)(C)C pentavalent\n") << "Valence";
    QTest::newRow("long value") << "in.csv"
                                << "LONG," + QByteArray(65537, 'x') + ",CCO\n"
                                << "65,536";
    QTest::newRow("NUL") << "in.csv" << QByteArray("NUL,a\0b,CCO\n", 12) << "NUL";
    QTest::newRow("not UTF-8") << "in.csv" << QByteArray("LATIN,caf\xe9,CCO\n") << "UTF-8";
    QTest::newRow("empty") << "in.csv" << QByteArray(",,\n") << "no structure and no text";
}

// The bad record stands between two good ones; it alone is skipped, with its number.
void tst_TransferJobs::skipsBadRecordsWithTheirReason()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, badRecord);
    QFETCH(QString, reasonHas);
    const bool csv = fileName.endsWith(QLatin1String(".csv"));
    const QByteArray header = csv ? "Name,SpecialNote,SMILES\n" : "";
    const QByteArray first = csv ? "ETHANOL,,CCO\n" : "CCO ethanol\n";
    const QByteArray last = csv ? "ACETIC ACID,,CC(=O)O\n" : "CC(=O)O acetic acid\n";
    writeFile(file(fileName), header + first + badRecord + last);
    CollectionFormat format;
    QVERIFY(collectionFormatOf(fileName, format));
    const FieldMapping mapping =
        csv ? mappingOf({{QStringLiteral("Name"), QStringLiteral("Name")},
                         {QStringLiteral("SpecialNote"), QStringLiteral("SpecialNote")},
                         {structureColumn(), QStringLiteral("SMILES")}})
            : mappingOf({{QStringLiteral("Name"), smilesNameItem()}});

    const QString db = emptyDatabase();
    JobProgress progress;
    ImportResult result;
    QVERIFY(importCollection(db, file(fileName), format, mapping, 1000000, progress, result).ok());
    QCOMPARE(result.added, 2);
    QCOMPARE(readNames(db), (QStringList{"ETHANOL", "ACETIC ACID"}));
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped[0].number, csv ? 3 : 2);
    QVERIFY2(result.skipped[0].reason.contains(reasonHas, Qt::CaseInsensitive),
             qPrintable(result.skipped[0].reason));

    const QString list = file(QStringLiteral("skipped.txt"));
    QVERIFY(saveSkippedList(result.skipped, list).ok());
    QVERIFY(fileContents(list).startsWith(csv ? "record 3: " : "record 2: "));
}

void tst_TransferJobs::stopsWhereTheRoomEnds()
{
    writeFile(file(QStringLiteral("in.smi")), "CCO ethanol\nC1CC bad\nCC(=O)O acid\nCCN amine\n");
    const QString db = emptyDatabase();
    JobProgress progress;
    ImportResult result;
    QVERIFY(importCollection(db, file(QStringLiteral("in.smi")), CollectionFormat::Smiles,
                             mappingOf({{QStringLiteral("Name"), smilesNameItem()}}), 2, progress,
                             result)
                .ok());
    QCOMPARE(readNames(db), (QStringList{"ETHANOL", "ACID"}));
    QCOMPARE(result.added, 2);
    // The bad line, then the first line that found no room.
    QCOMPARE(result.skipped.size(), 2);
    QCOMPARE(result.skipped[1].number, 4);
    QVERIFY(result.skipped[1].reason.contains(QLatin1String("no room")));
}

void tst_TransferJobs::cancelOrFailureLeavesTheDatabaseUnchanged_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel") << "cancel";
    QTest::newRow("disk full") << "disk full";
    QTest::newRow("file missing") << "file missing";
}

void tst_TransferJobs::cancelOrFailureLeavesTheDatabaseUnchanged()
{
    QFETCH(QString, how);
    std::unique_ptr<SmallFileSystem> disk;
    QString db = file(QStringLiteral("records.db"));
    if (how == QLatin1String("disk full")) {
        const QString folder = file(QStringLiteral("small"));
        QDir().mkpath(folder);
        disk = std::make_unique<SmallFileSystem>(folder, 2048);
        if (!disk->unavailable().isEmpty())
            QSKIP(qPrintable(disk->unavailable()));
        db = folder + QStringLiteral("/records.db");
    }
    createTestDatabase(db, QStringList{"ACETONE", "BENZENE"});
    QByteArray smiles;
    for (int i = 0; i < 20000; ++i)
        smiles += "CC(=O)Oc1ccccc1C(=O)O aspirin with a long name " + QByteArray::number(i) + "\n";
    writeFile(file(QStringLiteral("in.smi")), smiles);
    if (disk)
        SmallFileSystem::fillUp(db + QStringLiteral(".filler"));
    const QByteArray before = checksum(db);

    JobProgress progress;
    ImportResult result;
    std::atomic<bool> finished = false;
    std::thread canceller;
    if (how == QLatin1String("cancel"))
        canceller = std::thread([&progress, &finished] {
            while (progress.done < 1000 && !finished)
                std::this_thread::yield();
            progress.cancelRequested = true;
        });
    const QString source =
        file(how == QLatin1String("file missing") ? QStringLiteral("gone.smi") : "in.smi");
    const Status status = importCollection(db, source, CollectionFormat::Smiles,
                                           mappingOf({{QStringLiteral("Name"), smilesNameItem()}}),
                                           1000000, progress, result);
    finished = true;
    if (canceller.joinable())
        canceller.join();
    QVERIFY(!status.ok());
    if (how == QLatin1String("cancel"))
        QVERIFY2(status.message().contains(QLatin1String("cancelled")),
                 qPrintable(status.message()));
    QCOMPARE(result.added, 0);
    QCOMPARE(checksum(db), before);
    QVERIFY(!QFile::exists(db + QStringLiteral("-journal")));
}

void tst_TransferJobs::exportThenImportGivesTheSameRecords_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("CSV") << "out.csv";
    QTest::newRow("SD") << "out.sdf";
}

void tst_TransferJobs::exportThenImportGivesTheSameRecords()
{
    QFETCH(QString, fileName);
    const QString source = file(QStringLiteral("source.db"));
    QList<QStringList> records = {
        {"(\u00b1)-\u0391-TOCOPHEROL", "2,5,7,8-tetramethyl-2-(4',8',12'-trimethyltridecyl)",
         "10191-41-0", "C29H50O2", "430.72", "", "pale \"yellow\", viscous\toil", "0.95", "",
         "Keep cold.\nLine two; with commas, and \"quotes\".", "/pictures/toc.gif"},
        {"WATER", "oxidane", "7732-18-5", "H2O", "18.02", "", "", "1.00", "7", "", ""},
        {"NO STRUCTURE", "", "", "", "", "", "", "", "", "a note only", ""},
    };
    createTestDatabase(source, records);
    runAsAnotherProgram(source,
                        QByteArray("UPDATE DATA1 SET Structure = '" +
                                   molBlockOf("CC1=C(C)C2=C(CCC(C)(CCCC(C)CCCC(C)CCCC(C)C)O2)"
                                              "C(C)=C1O") +
                                   "' WHERE rowid = 1")
                            .constData());
    runAsAnotherProgram(
        source, QByteArray("UPDATE DATA1 SET Structure = '" + molBlockOf("O") + "' WHERE rowid = 2")
                    .constData());

    CollectionFormat format;
    QVERIFY(collectionFormatOf(fileName, format));
    JobProgress progress;
    long long written = 0;
    const Status exported =
        exportCollection(source, RecordOrder::Table, file(fileName), format, progress, written);
    QVERIFY2(exported.ok(), qPrintable(exported.message()));
    QCOMPARE(written, 3);

    const QString target = emptyDatabase();
    ImportResult result;
    const Status imported = importCollection(target, file(fileName), format, columnsByName(format),
                                             1000000, progress, result);
    QVERIFY2(imported.ok(), qPrintable(imported.message()));
    QCOMPARE(result.added, 3);
    QCOMPARE(readTable(target), readTable(source));
    QCOMPARE(storedSmiles(target), storedSmiles(source));
    QVERIFY(!storedSmiles(target)[0].isEmpty());
}

void tst_TransferJobs::failedExportLeavesTheTargetUntouched()
{
    const QString db = file(QStringLiteral("records.db"));
    createTestDatabase(db, QStringList{"ACETONE", "BENZENE"});
    const QString target = file(QStringLiteral("out.csv"));
    writeFile(target, "the previous export\n");
    const QStringList before = QDir(dir_->path()).entryList(QDir::Files);

    JobProgress cancelled;
    cancelled.cancelRequested = true;
    long long written = 0;
    QVERIFY(
        !exportCollection(db, RecordOrder::Table, target, CollectionFormat::Csv, cancelled, written)
             .ok());
    JobProgress progress;
    QVERIFY(!exportCollection(file(QStringLiteral("missing.db")), RecordOrder::Table, target,
                              CollectionFormat::Csv, progress, written)
                 .ok());
    const QByteArray databaseBefore = checksum(db);
    QVERIFY(!exportCollection(db, RecordOrder::Table, db, CollectionFormat::Sd, progress, written)
                 .ok());
    QCOMPARE(checksum(db), databaseBefore);
    QCOMPARE(fileContents(target), QByteArray("the previous export\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), before);

    // The name orders are the window's: case-blind, equal names by record number.
    createTestDatabase(db, QStringList{"benzene", "Acetone", "BENZENE", "cyclohexane"});
    QVERIFY(exportCollection(db, RecordOrder::NameDescending, target, CollectionFormat::Csv,
                             progress, written)
                .ok());
    const QList<QByteArray> lines = fileContents(target).split('\n');
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[0].startsWith("Name,IUPAC,CAS,"));
    QVERIFY(lines[0].endsWith(",Image,SMILES\r"));
    QVERIFY(lines[1].startsWith("cyclohexane,"));
    QVERIFY(lines[2].startsWith("BENZENE,"));
    QVERIFY(lines[3].startsWith("benzene,"));
    QVERIFY(lines[4].startsWith("Acetone,"));
}

void tst_TransferJobs::countsRecords_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<long long>("count");

    QTest::newRow("SD, last record open")
        << "in.sdf"
        << QByteArray("a\n\n\n  0  0  0  0  0  0  0  0  0  0999 V2000\nM  END\n$$$$\n"
                      "b\n\n\n  0  0  0  0  0  0  0  0  0  0999 V2000\nM  END\n"
                      "> <note>\n$$ in a value\n\n")
        << 2LL;
    QTest::newRow("SMILES, blank lines") << "in.smi" << QByteArray("CCO\n\n  \nCCN x\r\nC") << 3LL;
    QTest::newRow("CSV, quoted line ends")
        << "in.csv" << QByteArray("Name,Note\r\nA,\"one\r\n\r\ntwo\"\r\n\r\nB,\"x\"\"y\"\r\n")
        << 2LL;
}

void tst_TransferJobs::countsRecords()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    QFETCH(long long, count);
    writeFile(file(fileName), contents);
    CollectionFormat format;
    QVERIFY(collectionFormatOf(fileName, format));
    JobProgress progress;
    long long counted = -1;
    QVERIFY(countCollectionRecords(file(fileName), format, progress, counted).ok());
    QCOMPARE(counted, count);
    QCOMPARE(progress.done.load(), contents.size());
}

QTEST_GUILESS_MAIN(tst_TransferJobs)
#include "tst_transferjobs.moc"
