// A search value: which stored values equal it, and the stretches of a case-blind index
// that must hold every one of them.

#include "app/records/searchkey.h"

#include <QTest>

class TestSearchKey : public QObject {
    Q_OBJECT

private slots:
    void equalValuesAreFoundInTheStretches_data();
    void equalValuesAreFoundInTheStretches();
};

void TestSearchKey::equalValuesAreFoundInTheStretches_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("equal");
    QTest::addColumn<QStringList>("different");
    QTest::addColumn<int>("stretches");
    using L = QStringList;
    QTest::newRow("ASCII, blanks") << "Acetone  " << L{"aCETONE", "acetone   "}
                                   << L{" acetone", "acetone\t", "acetone\u00A0", "aceton"} << 1;
    QTest::newRow("empty") << "" << L{"", "   "} << L{"a"} << 1;
    QTest::newRow("quotes") << "N,N'-DIMETHYLUREA" << L{"n,n'-dimethylurea"} << L{"N,N-"} << 1;
    QTest::newRow("Latin") << "ÉTHER" << L{"éther", "Éther  "} << L{"ether"} << 2;
    QTest::newRow("Greek") << "Α-TOCOPHEROL" << L{"α-tocopherol"} << L{"β-tocopherol"} << 2;
    QTest::newRow("sigmas") << "ΟΣ" << L{"ος", "Οσ", "ΟΣ "} << L{"οξ"} << 6;
    QTest::newRow("long s, Kelvin sign")
        << "SK" << L{"sk", "\u017Fk", "s\u212A", "\u017F\u212A"} << L{"st"} << 4;
    QTest::newRow("micro sign") << "μ" << L{"\u00B5", "\u039C"} << L{"m"} << 3;
    QTest::newRow("title case") << "\u01C5" << L{"\u01C4", "\u01C6"} << L{"dz"} << 3;
    QTest::newRow("Cherokee") << "\u13A0" << L{"\uAB70"} << L{"\u13A1"} << 2;
    QTest::newRow("Deseret") << "\U00010400" << L{"\U00010428"} << L{"\U00010429"} << 2;
    QTest::newRow("Adlam") << "\U0001E900" << L{"\U0001E922"} << L{"\U0001E923"} << 2;
    // Past 64 spellings only a start is looked up.
    QTest::newRow("many spellings")
        << "ssssssss"
        << L{"SSSSSSSS", "\u017F\u017F\u017F\u017F\u017F\u017F\u017F\u017F",
             "s\u017Fs\u017Fs\u017Fs\u017F  "}
        << L{"sssssss"} << 64;
}

void TestSearchKey::equalValuesAreFoundInTheStretches()
{
    QFETCH(QString, value);
    QFETCH(QStringList, equal);
    QFETCH(QStringList, different);
    QFETCH(int, stretches);
    const SearchKey key(value);
    QCOMPARE(int(key.ranges().size()), stretches);
    // A NOCASE index orders text as bytes with the ASCII letters in one case.
    const auto held = [&key](const QString& stored) {
        const QByteArray text = stored.toUtf8().toLower();
        for (const SearchKey::Range& range : key.ranges()) {
            if (range.from.toLower() <= text && text < range.to.toLower())
                return true;
        }
        return false;
    };
    for (const QString& stored : equal)
        QVERIFY2(key.matches(stored) && SearchKey(stored).matches(value) && held(stored),
                 qPrintable(stored));
    for (const QString& stored : different)
        QVERIFY2(!key.matches(stored) && !SearchKey(stored).matches(value), qPrintable(stored));
}

QTEST_GUILESS_MAIN(TestSearchKey)
#include "tst_searchkey.moc"
