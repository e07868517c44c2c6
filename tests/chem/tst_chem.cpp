#include "chem/molecule.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

// Ethanol with every coordinate zero, as some programs write MOL files.
const QString ethanolWithoutCoordinates =
    QStringLiteral("ethanol\n"
                   "     handmade\n"
                   "\n"
                   "  3  2  0  0  0  0  0  0  0  0999 V2000\n"
                   "    0.0000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0\n"
                   "    0.0000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0\n"
                   "    0.0000    0.0000    0.0000 O   0  0  0  0  0  0  0  0  0  0  0  0\n"
                   "  1  2  1  0\n"
                   "  2  3  1  0\n"
                   "M  END\n");

const QString aceticAcidV3000 = QStringLiteral("acetic acid\n"
                                               "     handmade\n"
                                               "\n"
                                               "  0  0  0     0  0            999 V3000\n"
                                               "M  V30 BEGIN CTAB\n"
                                               "M  V30 COUNTS 4 3 0 0 0\n"
                                               "M  V30 BEGIN ATOM\n"
                                               "M  V30 1 C 0 0 0 0\n"
                                               "M  V30 2 C 1.299 0.75 0 0\n"
                                               "M  V30 3 O 1.299 2.25 0 0\n"
                                               "M  V30 4 O 2.598 0 0 0\n"
                                               "M  V30 END ATOM\n"
                                               "M  V30 BEGIN BOND\n"
                                               "M  V30 1 1 1 2\n"
                                               "M  V30 2 2 2 3\n"
                                               "M  V30 3 1 2 4\n"
                                               "M  V30 END BOND\n"
                                               "M  V30 END CTAB\n"
                                               "M  END\n");

// `count` methane molecules: many heavy atoms that lay out quickly.
QString methanes(int count)
{
    QStringList parts(count, QStringLiteral("C"));
    return parts.join(QLatin1Char('.'));
}

// True when some atom line of a V2000 block is off the origin.
bool hasCoordinates(const QString& molBlock)
{
    const QStringList lines = molBlock.split(QLatin1Char('\n'));
    const int atoms = lines.value(3).left(3).trimmed().toInt();
    for (int i = 4; i < 4 + atoms && i < lines.size(); ++i)
        if (lines[i].left(10).toDouble() != 0 || lines[i].mid(10, 10).toDouble() != 0)
            return true;
    return false;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int inkedPixels(const QImage& image)
{
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixel(x, y) != qRgb(255, 255, 255);
    return inked;
}

// How many 2 x 2 blocks of `image` hold more than one colour.
int mixedBlocks(const QImage& image)
{
    int mixed = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
                image.pixel(x + 1, y + 1) != p)
                ++mixed;
        }
    return mixed;
}

} // namespace

class TestChem : public QObject {
    Q_OBJECT

private slots:
    void readsStructures_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<int>("heavyAtoms");
        QTest::addColumn<QString>("smiles"); // canonical, where it is worth pinning down
        const auto row = [](const char* name, const QString& text, const char* formula,
                            const char* weight, int heavyAtoms, const char* smiles = "") {
            QTest::newRow(name) << text << QString(formula) << QString(weight) << heavyAtoms
                                << QString(smiles);
        };
        const QString ethanol = ethanolWithoutCoordinates;

        row("aspirin", "CC(=O)Oc1ccccc1C(=O)O", "C9H8O4", "180.16", 13);
        row("caffeine", "Cn1cnc2c1c(=O)n(C)c(=O)n2C", "C8H10N4O2", "194.19", 14);
        row("ammonium", "[NH4+]", "H4N+", "18.04", 1, "[NH4+]");
        row("sodium chloride", "[Na+].[Cl-]", "ClNa", "58.44", 2, "[Cl-].[Na+]");
        row("sodium acetate", "CC(=O)[O-].[Na+]", "C2H3NaO2", "82.03", 5);
        row("L-alanine", "C[C@@H](C(=O)O)N", "C3H7NO2", "89.09", 6, "C[C@H](N)C(=O)O");
        row("stereo SMILES with a Greek name",
            QStringLiteral("OC[C@H]1O[C@H](O)[C@H](O)[C@@H](O)[C@@H]1O α-D-glucopyranose"),
            "C6H12O6", "180.16", 12);
        row("SMILES with a name", "  CCO ethanol\n", "C2H6O", "46.07", 3, "CCO");
        row("MOL without coordinates", ethanol, "C2H6O", "46.07", 3, "CCO");
        row("MOL with Windows line ends", QString(ethanol).replace("\n", "\r\n"), "C2H6O", "46.07",
            3);
        row("MOL V3000", aceticAcidV3000, "C2H4O2", "60.05", 4, "CC(=O)O");
        row("1,000 heavy atoms", methanes(1000), "C1000H4000", "16043.00", 1000);
    }

    void readsStructures()
    {
        QFETCH(QString, text);
        QFETCH(QString, formula);
        QFETCH(QString, weight);
        QFETCH(int, heavyAtoms);
        QFETCH(QString, smiles);

        Molecule molecule;
        const Status status = Molecule::fromText(text, molecule);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(molecule.formula(), formula);
        QCOMPARE(molecule.weightText(), weight);
        QCOMPARE(molecule.heavyAtomCount(), heavyAtoms);
        if (!smiles.isEmpty())
            QCOMPARE(molecule.smiles(), smiles);

        // The stored MOL block carries coordinates and reads back as the same molecule.
        const QString stored = molecule.molBlock();
        if (heavyAtoms > 1 && heavyAtoms < 1000)
            QVERIFY(hasCoordinates(stored));
        Molecule reread;
        QVERIFY(Molecule::fromText(stored, reread).ok());
        QCOMPARE(reread.formula(), formula);
        QCOMPARE(reread.smiles(), molecule.smiles());
    }

    void refusesBadText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");

        QString brokenCounts = ethanolWithoutCoordinates;
        brokenCounts.replace("  3  2  0", "  3 x2  0");
        QString noEnd = ethanolWithoutCoordinates;
        noEnd.remove("M  END\n");
        QString bondToNowhere = ethanolWithoutCoordinates;
        bondToNowhere.replace("  2  3  1  0", "  2  7  1  0");
        QString noAtoms = ethanolWithoutCoordinates.section('\n', 0, 2) +
                          "\n  0  0  0  0  0  0  0  0  0  0999 V2000\nM  END\n";
        QString overfullOxygen = ethanolWithoutCoordinates;
        overfullOxygen.replace("  2  3  1  0", "  2  3  3  0");
        const QString aromaticFiveRing =
            QStringLiteral("\n     handmade\n\n  5  5  0  0  0  0  0  0  0  0999 V2000\n") +
            QStringLiteral(
                "    0.0000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0\n")
                .repeated(5) +
            QStringLiteral("  1  2  4  0\n  2  3  4  0\n  3  4  4  0\n  4  5  4  0\n  5  1  4  0\n"
                           "M  END\n");
        QString hugeCounts = aceticAcidV3000;
        hugeCounts.replace("COUNTS 4 3", "COUNTS 4000000000 3");

        const auto row = [](const char* name, const QString& text, const char* message) {
            QTest::newRow(name) << text << QString(message);
        };
        row("unclosed branch", "CC(C", "position 3");
        row("unclosed ring", "C1CC", "position 2");
        row("ring bond doubling a bond", "CC1C1", "position 5");
        row("element outside brackets", "CCNaCl", "position 4");
        row("unknown bracket atom", "C[Xx]", "position 2");
        row("valence", "CN(C)(C)(C)C", "atom 2 (N)");
        row("quadruple bond, which a MOL block cannot store", "P$P", "cannot be stored");
        row("aromatic ring of five carbons", "c1cccc1", "atoms 1, 2, 3, 4, 5");
        row("MOL with a broken counts line", brokenCounts, "line 4");
        row("MOL without M  END", noEnd, "M  END");
        row("MOL with a bond to a missing atom", bondToNowhere, "line 9");
        row("MOL without atoms", noAtoms, "no atoms");
        row("MOL with a triply bonded oxygen", overfullOxygen, "atom 3 (O)");
        row("MOL with an aromatic ring of five carbons", aromaticFiveRing, "atoms 1, 2, 3, 4, 5");
        row("MOL promising 4e9 atoms", hugeCounts, "promises");
        row("empty", "", "empty");
        row("blanks", " \n\t \n", "empty");
        row("binary", QString::fromLatin1("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "binary");
        row("1,001 heavy atoms", methanes(1001), "more than 1,000 heavy atoms");
    }

    void refusesBadText()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);

        Molecule molecule;
        QVERIFY(Molecule::fromText("CCO", molecule).ok());
        const Status status = Molecule::fromText(text, molecule);
        QVERIFY(!status.ok());
        QVERIFY2(status.message().contains(message), qPrintable(status.message()));
        // No molecule from an earlier read stays behind.
        QVERIFY(molecule.isEmpty());
        // The import's cheaper reading of a MOL block refuses it for the same reason.
        if (text.contains(QLatin1String("M  END")) || text.contains(QLatin1String("V2000"))) {
            QString formula, weight;
            QCOMPARE(Molecule::weighMolBlock(text, formula, weight).message(), status.message());
        }
    }

    // The import weighs stored MOL blocks without perceiving stereo or removing hydrogens; the
    // formula and weight are the full reading's, for every molecule of RDKit's sample and for
    // charges, isotopes and explicit hydrogens.
    void weighsMolBlocksAsTheFullReadingDoes()
    {
        const QByteArray sample =
            readFile(QStringLiteral("/usr/share/RDKit/Data/NCI/first_200.props.sdf"));
        QStringList blocks;
        for (const QString& record : QString::fromUtf8(sample).split(QStringLiteral("$$$$\n")))
            if (record.contains(QLatin1String("M  END")))
                blocks.append(record.left(record.indexOf(QLatin1String("M  END")) + 7));
        QCOMPARE(blocks.size(), 200);
        for (const char* smiles : {"[NH4+].[Cl-]", "[2H]C([2H])([2H])O", "[H]OC([H])([H])[H]",
                                   "C[C@H](N)C(=O)O", "c1ccc2[nH]ccc2c1"}) {
            Molecule molecule;
            QVERIFY(Molecule::fromText(QString::fromLatin1(smiles), molecule).ok());
            blocks.append(molecule.molBlock());
        }
        for (const QString& block : blocks) {
            Molecule full;
            QVERIFY(Molecule::fromText(block, full).ok());
            QString formula, weight;
            QVERIFY(Molecule::weighMolBlock(block, formula, weight).ok());
            QCOMPARE(formula, full.formula());
            QCOMPARE(weight, full.weightText());
        }
    }

    void readsFiles_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("expected"); // formula and weight, or part of the message
        const auto row = [](const char* name, const char* fileName, const QByteArray& contents,
                            bool readable, const char* expected) {
            QTest::newRow(name) << QString(fileName) << contents << readable << QString(expected);
        };
        const QByteArray ethanol = ethanolWithoutCoordinates.toUtf8();

        row("SMILES file: first line", "two.smi", "CC(=O)Oc1ccccc1C(=O)O aspirin\nCCO ethanol\n",
            true, "C9H8O4 180.16");
        row("upper-case suffix", "ETHANOL.MOL", ethanol, true, "C2H6O 46.07");
        // 2-methyl-1,4-benzoquinone; the record's own AMW item says 122.12344.
        row("SD file: first record", "nci.sdf", readFile(RDKIT_SAMPLES), true, "C7H6O2 122.12");
        row("Latin-1 title", "title.mol", QByteArray(ethanol).replace("ethanol", "\xe9thanol"),
            true, "C2H6O 46.07");
        row("empty", "empty.mol", "\n\n", false, "empty.mol: the file is empty");
        row("SMILES file with a blank first line", "blank.smiles", "\nCCO\n", false,
            "first line is empty");
        row("binary", "picture.sdf", QByteArray("GIF89a\x01\0\x01\0\0\0", 12), false,
            "not a text file");
        row("other suffix", "notes.txt", "CCO", false, ".mol, .sdf");
    }

    void readsFiles()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QFETCH(bool, readable);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        QFile file(dir.filePath(fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();

        Molecule molecule;
        const Status status = Molecule::fromFile(file.fileName(), molecule);
        QCOMPARE(status.ok(), readable);
        if (readable)
            QCOMPARE(molecule.formula() + ' ' + molecule.weightText(), expected);
        else
            QVERIFY2(status.message().contains(expected), qPrintable(status.message()));
        QCOMPARE(isStructureFile(file.fileName()), !fileName.endsWith(".txt"));
    }

    void drawsSharplyAtRatio2()
    {
        Molecule aspirin;
        QVERIFY(Molecule::fromText("CC(=O)Oc1ccccc1C(=O)O", aspirin).ok());
        const QRectF pictureBox(0, 0, 321, 257);
        QImage images[2];
        for (const int ratio : {1, 2}) {
            QImage& image = images[ratio - 1];
            image = QImage(pictureBox.size().toSize() * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            QPainter painter(&image);
            aspirin.draw(painter, pictureBox);
            painter.end();
            QVERIFY2(inkedPixels(image) > 500 * ratio * ratio, "blank or nearly so");
        }
        // The ratio-2 drawing is not the ratio-1 one scaled up, which would have no mixed block.
        QVERIFY(mixedBlocks(images[1]) > 200);
    }

    void readsFromSeveralThreads()
    {
        Molecule shared; // drawn and written out by every thread at once
        QVERIFY(Molecule::fromText("Cn1cnc2c1c(=O)n(C)c(=O)n2C", shared).ok());
        QStringList faults[4];
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&shared, &faults, t] {
                const auto expect = [&faults, t](bool good, const QString& what) {
                    if (!good)
                        faults[t].append(what);
                };
                for (int round = 0; round < 20; ++round) {
                    Molecule molecule;
                    expect(Molecule::fromText("CC(=O)Oc1ccccc1C(=O)O", molecule).ok() &&
                               molecule.formula() == "C9H8O4" &&
                               molecule.svg(QSizeF(60, 40)).contains("<svg"),
                           "aspirin");
                    const Status bad = Molecule::fromText("CN(C)(C)(C)C", molecule);
                    expect(bad.message().contains("atom 2 (N)"), bad.message());
                    const Status unreadable = Molecule::fromText("CC(C", molecule);
                    expect(unreadable.message().contains("position 3"), unreadable.message());
                    expect(shared.svg(QSizeF(100 + t, 100)).contains("<svg"), "drawing");
                    expect(shared.smiles() == "Cn1c(=O)c2c(ncn2C)n(C)c1=O", shared.smiles());
                }
            });
        for (std::thread& thread : threads)
            thread.join();
        for (const QStringList& seen : faults)
            QCOMPARE(seen, QStringList());
    }
};

QTEST_MAIN(TestChem)
#include "tst_chem.moc"
