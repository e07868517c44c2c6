#include "chem/molecule.h"
#include "transfer/collectionfile.h"
#include "transfer/fieldmapping.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Items = QList<QPair<QString, QString>>;

const char kUreaV3000[] = "N,N'-dimethylurea\n"
                          "  Flaskbook\n"
                          "\n"
                          "  0  0  0     0  0            999 V3000\n"
                          "M  V30 BEGIN CTAB\n"
                          "M  V30 COUNTS 6 5 0 0 0\n"
                          "M  V30 BEGIN ATOM\n"
                          "M  V30 1 C 0 0 0 0\n"
                          "M  V30 2 N 1.299 0.75 0 0\n"
                          "M  V30 3 C 2.598 0 0 0\n"
                          "M  V30 4 O 2.598 -1.5 0 0\n"
                          "M  V30 5 N 3.897 0.75 0 0\n"
                          "M  V30 6 C 5.196 0 0 0\n"
                          "M  V30 END ATOM\n"
                          "M  V30 BEGIN BOND\n"
                          "M  V30 1 1 1 2\n"
                          "M  V30 2 1 2 3\n"
                          "M  V30 3 2 3 4\n"
                          "M  V30 4 1 3 5\n"
                          "M  V30 5 1 5 6\n"
                          "M  V30 END BOND\n"
                          "M  V30 END CTAB\n"
                          "M  END\n";

const char kEthanolV2000[] =
    "ethanol\n"
    "  Flaskbook\n"
    "\n"
    "  3  2  0  0  0  0  0  0  0  0999 V2000\n"
    "    0.0000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0\n"
    "    1.2990    0.7500    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0\n"
    "    2.5981    0.0000    0.0000 O   0  0  0  0  0  0  0  0  0  0  0  0\n"
    "  1  2  1  0\n"
    "  2  3  1  0\n"
    "M  END\n";

QByteArray sdRecord(const QByteArray& molBlock, const QList<QByteArray>& items)
{
    QByteArray record = molBlock;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2)
        record += ">  <" + items[i] + ">  (1)\n" + items[i + 1] + "\n\n";
    return record + "$$$$\n";
}

// Reads every record of a file; fails the test on a file failure.
QList<SourceRecord> readAll(const QString& path, CollectionFormat format,
                            QStringList* names = nullptr)
{
    std::unique_ptr<CollectionReader> reader;
    const Status opened = CollectionReader::open(path, format, reader);
    if (!opened.ok())
        qWarning("%s", qPrintable(opened.message()));
    QList<SourceRecord> records;
    bool atEnd = false;
    while (reader) {
        SourceRecord record;
        const Status read = reader->next(record, atEnd);
        if (!read.ok())
            qWarning("%s", qPrintable(read.message()));
        if (!read.ok() || atEnd)
            break;
        records.append(record);
    }
    if (names && reader)
        *names = reader->itemNames();
    return records;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeGzip(const QString& path, const QByteArray& bytes)
{
    gzFile file = gzopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    const bool written = gzwrite(file, bytes.constData(), unsigned(bytes.size())) == bytes.size();
    return gzclose(file) == Z_OK && written;
}

} // namespace

class TestCollectionFile : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void formatOfName_data();
    void formatOfName();
    void sdRecords_data();
    void sdRecords();
    void rdkitSample();
    void smilesLines();
    void csvRows_data();
    void csvRows();
    void recordFaults_data();
    void recordFaults();
    void fileFailures_data();
    void fileFailures();
    void defaultMapping_data();
    void defaultMapping();
    void mappingText_data();
    void mappingText();

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

void TestCollectionFile::formatOfName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format"); // -1: not a collection file
    QTest::newRow("sdf") << "a/b.sdf" << int(CollectionFormat::Sd);
    QTest::newRow("SD upper case") << "B.SD" << int(CollectionFormat::Sd);
    QTest::newRow("sdf.gz") << "pubchem.sdf.gz" << int(CollectionFormat::Sd);
    QTest::newRow("smi") << "x.smi" << int(CollectionFormat::Smiles);
    QTest::newRow("smiles") << "x.Smiles" << int(CollectionFormat::Smiles);
    QTest::newRow("csv") << "x.csv" << int(CollectionFormat::Csv);
    QTest::newRow("tsv") << "x.TSV" << int(CollectionFormat::Tsv);
    QTest::newRow("mol") << "x.mol" << -1;
    QTest::newRow("gz alone") << "x.csv.gz" << -1;
    QTest::newRow("no suffix") << "sdf" << -1;
}

void TestCollectionFile::formatOfName()
{
    QFETCH(QString, name);
    QFETCH(int, format);
    CollectionFormat found = CollectionFormat::Tsv;
    QCOMPARE(collectionFormatOf(name, found) ? int(found) : -1, format);
}

void TestCollectionFile::sdRecords_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("plain") << false << QByteArray("\n");
    QTest::newRow("gzip") << true << QByteArray("\n");
    QTest::newRow("CRLF") << false << QByteArray("\r\n");
}

void TestCollectionFile::sdRecords()
{
    QFETCH(bool, compressed);
    QFETCH(QByteArray, lineEnd);
    QByteArray text = sdRecord(kEthanolV2000, {"CAS", "64-17-5", "Note", "two\nlines"}) +
                      sdRecord(kUreaV3000, {"IUPAC Name", "1,3-dimethylurea"}) +
                      // The last record may lack its "$$$$".
                      sdRecord(kEthanolV2000, {"Name", "(2R,3S)-2,3-dihydroxybutanedioic acid",
                                               "Other", "α-D-glucopyranose"})
                          .chopped(5);
    text.replace("\n", lineEnd);
    const QString file = path(compressed ? "set.sdf.gz" : "set.sdf");
    QVERIFY(compressed ? writeGzip(file, text) : writeFile(file, text));

    QStringList names;
    const QList<SourceRecord> records = readAll(file, CollectionFormat::Sd, &names);
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0].number, 1);
    QCOMPARE(records[2].number, 3);
    QCOMPARE(records[0].items,
             (Items{{titleLineItem(), "ethanol"}, {"CAS", "64-17-5"}, {"Note", "two\nlines"}}));
    QCOMPARE(records[1].item(titleLineItem()), "N,N'-dimethylurea");
    QCOMPARE(records[1].item("IUPAC Name"), "1,3-dimethylurea");
    QCOMPARE(records[2].item("Name"), "(2R,3S)-2,3-dihydroxybutanedioic acid");
    QCOMPARE(records[2].item("Other"), "α-D-glucopyranose");
    QCOMPARE(names, (QStringList{titleLineItem(), "CAS", "Note", "IUPAC Name", "Name", "Other"}));
    for (const SourceRecord& record : records)
        QVERIFY2(record.fault.isEmpty(), qPrintable(record.fault));
    // The structure is the whole MOL block, title line to "M  END", as the molecule reader takes
    // it.
    QCOMPARE(records[1].structure, QString::fromUtf8(kUreaV3000));
    Molecule urea;
    QVERIFY(Molecule::fromText(records[1].structure, urea).ok());
    QCOMPARE(urea.formula(), "C3H8N2O");
    Molecule ethanol;
    QVERIFY(Molecule::fromText(records[0].structure, ethanol).ok());
    QCOMPARE(ethanol.formula(), "C2H6O");
}

void TestCollectionFile::rdkitSample()
{
    QStringList names;
    const QList<SourceRecord> records =
        readAll("/usr/share/RDKit/Data/NCI/first_200.props.sdf", CollectionFormat::Sd, &names);
    QCOMPARE(records.size(), 200);
    QCOMPARE(records.last().number, 200);
    for (const SourceRecord& record : records)
        QVERIFY2(record.fault.isEmpty(), qPrintable(record.fault));
    for (const char* name : {"AMW", "CLOGP", "SMILES", "NUM_ROTATABLEBONDS", "P1"})
        QVERIFY2(names.contains(name), name);
    QCOMPARE(records[0].item("AMW"), "122.12344");
    QCOMPARE(records[0].item("SMILES"), "CC1=CC(=O)C=CC1=O");
    QVERIFY(records[0].structure.endsWith("M  END\n"));
    QCOMPARE(::defaultMapping(names, CollectionFormat::Sd).itemForColumn.value("MolWeight"), "AMW");
}

void TestCollectionFile::smilesLines()
{
    const QString file = path("names.smi");
    QVERIFY(writeFile(file, "# SMILES and names\n"
                            "O=C(O)[C@H](O)[C@@H](O)C(=O)O (2R,3S)-2,3-dihydroxybutanedioic acid\n"
                            "\n"
                            "CNC(=O)NC\tN,N'-dimethylurea\r\n"
                            "OC[C@H]1O[C@H](O)[C@H](O)[C@@H](O)[C@@H]1O   α-D-glucopyranose  \n"
                            "c1ccccc1"));
    QStringList names;
    const QList<SourceRecord> records = readAll(file, CollectionFormat::Smiles, &names);
    QCOMPARE(names, QStringList{smilesNameItem()});
    QCOMPARE(records.size(), 4);
    const QList<long long> lines = {2, 4, 5, 6};
    const QStringList expected = {"(2R,3S)-2,3-dihydroxybutanedioic acid", "N,N'-dimethylurea",
                                  "α-D-glucopyranose", ""};
    for (int i = 0; i < records.size(); ++i) {
        QCOMPARE(records[i].number, lines[i]);
        QCOMPARE(records[i].item(smilesNameItem()), expected[i]);
        QVERIFY(records[i].fault.isEmpty());
    }
    QCOMPARE(records[1].structure, "CNC(=O)NC");
    QCOMPARE(records[3].structure, "c1ccccc1");
}

void TestCollectionFile::csvRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QList<long long>>("numbers");
    QTest::addColumn<QList<QStringList>>("rows");

    QTest::newRow("plain, BOM, CRLF")
        << "a.csv" << QByteArray("\xEF\xBB\xBFName,CAS\r\nethanol,64-17-5\r\n")
        << QStringList{"Name", "CAS"} << QList<long long>{2}
        << QList<QStringList>{{"ethanol", "64-17-5"}};
    QTest::newRow("quotes, commas, doubled quotes")
        << "a.csv"
        << QByteArray("Name,Note\n\"N,N'-dimethylurea\",\"say \"\"urea\"\"\"\n\"\",x\"y\n")
        << QStringList{"Name", "Note"} << QList<long long>{2, 3}
        << QList<QStringList>{{"N,N'-dimethylurea", "say \"urea\""}, {"", "x\"y"}};
    QTest::newRow("line breaks inside quotes keep line numbers")
        << "a.csv" << QByteArray("Name,Note\nα-D-glucopyranose,\"one\r\ntwo\n\nthree\"\nb,c\n")
        << QStringList{"Name", "Note"} << QList<long long>{2, 6}
        << QList<QStringList>{{"α-D-glucopyranose", "one\ntwo\n\nthree"}, {"b", "c"}};
    QTest::newRow("short rows, empty fields, blank lines, no last line end")
        << "a.csv" << QByteArray("Name,CAS,Note\n\na,,\n\nb\nc,\"\"")
        << QStringList{"Name", "CAS", "Note"} << QList<long long>{3, 5, 6}
        << QList<QStringList>{{"a", "", ""}, {"b", "", ""}, {"c", "", ""}};
    QTest::newRow("header names: blank, quoted line break")
        << "a.csv" << QByteArray("Name,,\"CAS\nnumber\"\nx,y,z\n")
        << QStringList{"Name", "Column 2", "CAS number"} << QList<long long>{3}
        << QList<QStringList>{{"x", "y", "z"}};
    QTest::newRow("TSV takes quotes and commas as text")
        << "a.tsv" << QByteArray("Name\tCAS\n\"a,b\"\t50-00-0\n") << QStringList{"Name", "CAS"}
        << QList<long long>{2} << QList<QStringList>{{"\"a,b\"", "50-00-0"}};
    QTest::newRow("empty file") << "a.csv" << QByteArray() << QStringList{} << QList<long long>{}
                                << QList<QStringList>{};
}

void TestCollectionFile::csvRows()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, text);
    QFETCH(QStringList, header);
    QFETCH(QList<long long>, numbers);
    QFETCH(QList<QStringList>, rows);
    QVERIFY(writeFile(path(name), text));
    CollectionFormat format;
    QVERIFY(collectionFormatOf(name, format));
    QStringList names;
    const QList<SourceRecord> records = readAll(path(name), format, &names);
    QCOMPARE(names, header);
    QCOMPARE(records.size(), rows.size());
    for (int i = 0; i < records.size(); ++i) {
        QVERIFY2(records[i].fault.isEmpty(), qPrintable(records[i].fault));
        QCOMPARE(records[i].number, numbers[i]);
        QVERIFY(records[i].structure.isEmpty());
        QStringList values;
        for (const auto& item : records[i].items)
            values.append(item.second);
        QCOMPARE(values, rows[i]);
    }
}

void TestCollectionFile::recordFaults_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<long long>("number");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("count");

    const QByteArray good = sdRecord(kEthanolV2000, {"CAS", "64-17-5"});
    const QByteArray longText(65537, 'x');
    const QString tooLong = "a field is longer than 65,536 characters";
    const QString notUtf8 = "the text is not UTF-8";
    const QString nul = "the text holds a NUL byte";

    QTest::newRow("SD long item") << "a.sdf"
                                  << good + sdRecord(kEthanolV2000, {"Note", longText}) + good
                                  << 2LL << tooLong << 3;
    QTest::newRow("SD 65,536 characters is fine")
        << "a.sdf" << sdRecord(kEthanolV2000, {"Note", QByteArray(65536, 'x')}) << 0LL << "" << 1;
    QTest::newRow("SD Greek letters count as characters")
        << "a.sdf" << sdRecord(kEthanolV2000, {"Note", QByteArray("α").repeated(40000)}) << 0LL
        << "" << 1;
    // A file without line or record ends must not fill the memory.
    QTest::newRow("SD record over 16 MB")
        << "a.sdf" << good + sdRecord(kEthanolV2000, {"Note", QByteArray(17 << 20, 'x')}) + good
        << 2LL << "the record is longer than 16 MB" << 3;
    QTest::newRow("SD NUL") << "a.sdf"
                            << good + sdRecord(kEthanolV2000, {"CAS", QByteArray("64-\0", 4)})
                            << 2LL << nul << 2;
    QTest::newRow("SD Latin-1 title")
        << "a.sdf" << good + good + sdRecord("\xE9thanol" + QByteArray(kEthanolV2000).sliced(7), {})
        << 3LL << notUtf8 << 3;
    QTest::newRow("SD no M  END, next record still read")
        << "a.sdf" << sdRecord("broken\n  x\n\n  3  2  0\n", {"CAS", "1"}) + good << 1LL
        << "the record has no \"M  END\" line" << 2;
    QTest::newRow("SD cut off in its molecule")
        << "a.sdf" << good + QByteArray(kEthanolV2000).first(120) << 2LL
        << "the record ends without an \"M  END\" line" << 2;
    QTest::newRow("SMILES long name") << "a.smi"
                                      << "CCO ethanol\nC " + longText + "\n"
                                      << 2LL << tooLong << 2;
    QTest::newRow("SMILES overlong UTF-8")
        << "a.smi" << QByteArray("CCO ethanol\n\nO \xC0\xAF\n") << 3LL << notUtf8 << 2;
    QTest::newRow("SMILES UTF-16 surrogate")
        << "a.smi" << QByteArray("O \xED\xA0\x80\n") << 1LL << notUtf8 << 1;
    QTest::newRow("CSV long field") << "a.csv"
                                    << "Name,Note\na,\"" + longText + "\"\n"
                                    << 2LL << tooLong << 1;
    QTest::newRow("CSV NUL") << "a.csv" << QByteArray("Name\na\nb\0c\n", 11) << 3LL << nul << 2;
    QTest::newRow("CSV quote not closed")
        << "a.csv" << QByteArray("Name,Note\na,b\nc,\"d\ne\n") << 3LL
        << "a quoted field is not closed at the end of the file" << 2;
    QTest::newRow("CSV more fields than header")
        << "a.csv" << QByteArray("Name,CAS\na,b\n\"c,d\",e,f\n") << 3LL
        << "the row has 3 fields, the header only 2" << 2;
    QTest::newRow("TSV not UTF-8")
        << "a.tsv" << QByteArray("Name\tCAS\nx\xFF\t1\n") << 2LL << notUtf8 << 1;
}

void TestCollectionFile::recordFaults()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, text);
    QFETCH(long long, number);
    QFETCH(QString, fault);
    QFETCH(int, count);
    QVERIFY(writeFile(path(name), text));
    CollectionFormat format;
    QVERIFY(collectionFormatOf(name, format));
    const QList<SourceRecord> records = readAll(path(name), format);
    QCOMPARE(records.size(), count);
    for (const SourceRecord& record : records)
        QCOMPARE(record.fault, record.number == number ? fault : QString());
}

void TestCollectionFile::fileFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing.sdf"
                             << "It does not exist.";
    QTest::newRow("folder") << "folder.sdf"
                            << "It is a folder, not a regular file.";
    QTest::newRow("FIFO") << "fifo.smi"
                          << "It is a FIFO (named pipe), not a regular file.";
    QTest::newRow("unreadable") << "locked.csv"
                                << "You are not allowed to read it.";
    QTest::newRow("damaged gzip") << "damaged.sdf.gz"
                                  << "the compressed data is damaged";
    QTest::newRow("cut-off gzip") << "cut.sdf.gz"
                                  << "the compressed file ends too early.";
    QTest::newRow("CSV header not UTF-8") << "header.csv"
                                          << "The header row of";
}

void TestCollectionFile::fileFailures()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    const QString file = path(name);
    QByteArray many;
    for (int i = 0; i < 2000; ++i)
        many += sdRecord(kEthanolV2000, {"Number", QByteArray::number(i)});
    if (name == "folder.sdf")
        QVERIFY(QDir(dir_.path()).mkdir(name));
    if (name == "fifo.smi")
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    if (name == "locked.csv") {
        if (::geteuid() == 0)
            QSKIP("root reads any file");
        QVERIFY(writeFile(file, "Name\n"));
        QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
    }
    if (name == "header.csv")
        QVERIFY(writeFile(file, "Na\xFFme\n"));
    if (name.endsWith(".gz")) {
        QVERIFY(writeGzip(file, many));
        QFile gz(file);
        QVERIFY(gz.open(QIODevice::ReadWrite));
        if (name == "cut.sdf.gz") {
            QVERIFY(gz.resize(gz.size() / 2));
        } else {
            QVERIFY(gz.seek(gz.size() / 2));
            QVERIFY(gz.write(QByteArray(64, '\x55')) == 64);
        }
    }

    std::unique_ptr<CollectionReader> reader;
    CollectionFormat format;
    QVERIFY(collectionFormatOf(name, format));
    Status status = CollectionReader::open(file, format, reader);
    // A damaged stream shows only on reading.
    for (bool atEnd = false; status.ok() && !atEnd;) {
        SourceRecord record;
        status = reader->next(record, atEnd);
    }
    QVERIFY(!status.ok());
    QVERIFY2(status.message().contains(reason), qPrintable(status.message()));
    QVERIFY2(status.message().contains(QDir::toNativeSeparators(file)),
             qPrintable(status.message()));
}

void TestCollectionFile::defaultMapping_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("expected"); // "Column=Item" in table order

    QTest::newRow("PubChem SD") << int(CollectionFormat::Sd)
                                << QStringList{titleLineItem(),
                                               "PUBCHEM_COMPOUND_CID",
                                               "PUBCHEM_IUPAC_OPENEYE_NAME",
                                               "PUBCHEM_IUPAC_NAME",
                                               "PUBCHEM_MOLECULAR_FORMULA",
                                               "PUBCHEM_MOLECULAR_WEIGHT",
                                               "PUBCHEM_SMILES"}
                                << QStringList{"Name=Title line", "IUPAC=PUBCHEM_IUPAC_NAME",
                                               "MolFormula=PUBCHEM_MOLECULAR_FORMULA",
                                               "MolWeight=PUBCHEM_MOLECULAR_WEIGHT"};
    QTest::newRow("SD with a name item beats the title line")
        << int(CollectionFormat::Sd)
        << QStringList{titleLineItem(), "ChEBI Name", "CAS Registry Numbers"}
        << QStringList{"Name=ChEBI Name", "CAS=CAS Registry Numbers"};
    QTest::newRow("SMILES") << int(CollectionFormat::Smiles) << QStringList{smilesNameItem()}
                            << QStringList{"Name=Name"};
    QTest::newRow("spreadsheet, any case and spelling")
        << int(CollectionFormat::Csv)
        << QStringList{"chemical name", "IUPAC Name", "cas_rn", "Molecular Formula", "MW",
                       "Density",       "smiles",     "Remarks"}
        << QStringList{"Name=chemical name",           "IUPAC=IUPAC Name", "CAS=cas_rn",
                       "MolFormula=Molecular Formula", "MolWeight=MW",     "Spgr=Density",
                       "SpecialNote=Remarks",          "Structure=smiles"};
    QTest::newRow("file Flaskbook wrote")
        << int(CollectionFormat::Tsv)
        << QStringList{"Name",       "IUPAC", "CAS", "MolFormula",  "MolWeight", "EqWeight",
                       "Appearance", "Spgr",  "pH",  "SpecialNote", "Image",     "Structure"}
        << QStringList{"Name=Name",
                       "IUPAC=IUPAC",
                       "CAS=CAS",
                       "MolFormula=MolFormula",
                       "MolWeight=MolWeight",
                       "EqWeight=EqWeight",
                       "Appearance=Appearance",
                       "Spgr=Spgr",
                       "pH=pH",
                       "SpecialNote=SpecialNote",
                       "Image=Image",
                       "Structure=Structure"};
    QTest::newRow("SD SMILES item is not the structure")
        << int(CollectionFormat::Sd) << QStringList{titleLineItem(), "SMILES", "Cas"}
        << QStringList{"Name=Title line", "CAS=Cas"};
}

void TestCollectionFile::defaultMapping()
{
    QFETCH(int, format);
    QFETCH(QStringList, items);
    QFETCH(QStringList, expected);
    const FieldMapping mapping = ::defaultMapping(items, CollectionFormat(format));
    QCOMPARE(mapping.toText(), expected.join('\n') + '\n');
}

void TestCollectionFile::mappingText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written"); // toText of the result, or the failure
    QTest::newRow("comments, blanks, case, CRLF, '=' in an item")
        << "# mine\r\nmolweight=AMW\r\n\r\nname= Title = line\r\nCAS=\r\n"
        << "Name= Title = line\nMolWeight=AMW\n";
    QTest::newRow("not Field=Item") << "Name=x\nCAS"
                                    << "Line 2 of the mapping is not \"Field=Item\": CAS";
    QTest::newRow("unknown field") << "\nBoiling point=bp"
                                   << "Line 2 of the mapping names no record field: Boiling point";
    QTest::newRow("field twice") << "Name=a\nNAME=b"
                                 << "Line 2 of the mapping names the field Name a second time.";
}

void TestCollectionFile::mappingText()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    FieldMapping mapping;
    mapping.itemForColumn.insert("pH", "kept on failure");
    const Status status = FieldMapping::fromText(text, mapping);
    QCOMPARE(status.ok() ? mapping.toText() : status.message(), written);
    if (!status.ok())
        QCOMPARE(mapping.itemForColumn.value("pH"), "kept on failure");
}

QTEST_GUILESS_MAIN(TestCollectionFile)
#include "tst_collectionfile.moc"
