// A search value: which stored values it equals, and which stretches of a case-blind index
// it reads to find them.

#include "app/records/searchkey.h"

#include <QTest>

class TestSearchKey : public QObject {
    Q_OBJECT

private slots:
    void matchesIgnoringCaseAndTrailingBlanks_data();
    void matchesIgnoringCaseAndTrailingBlanks();
    void rangesHoldEveryMatchAndLittleElse_data();
    void rangesHoldEveryMatchAndLittleElse();
};

void TestSearchKey::matchesIgnoringCaseAndTrailingBlanks_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("match");
    QTest::newRow("ASCII") << "Acetone"
                           << "aCETONE" << true;
    QTest::newRow("Latin") << "ÉTHER"
                           << "éther" << true;
    QTest::newRow("Greek") << "Α-TOCOPHEROL"
                           << "α-tocopherol" << true;
    QTest::newRow("final sigma") << "ΟΞΥΣ"
                                 << "οξυς" << true;
    QTest::newRow("Cyrillic") << "ЭТАНОЛ"
                              << "этанол" << true;
    QTest::newRow("Cherokee") << "\u13A0"
                              << "\uAB70" << true;
    QTest::newRow("Deseret") << "\U00010400"
                             << "\U00010428" << true;
    QTest::newRow("Adlam") << "\U0001E900"
                           << "\U0001E922" << true;
    QTest::newRow("Kelvin sign") << "\u212AELVIN"
                                 << "kelvin" << true;
    QTest::newRow("long s") << "\u017FULFUR"
                            << "SULFUR" << true;
    QTest::newRow("micro sign") << "\u00B5"
                                << "\u039C" << true;
    QTest::newRow("title case") << "\u01C5"
                                << "\u01C6" << true;
    QTest::newRow("blanks after value") << "46.07  "
                                        << "46.07" << true;
    QTest::newRow("blanks after stored") << "46.07"
                                         << "46.07   " << true;
    QTest::newRow("empty and blanks") << ""
                                      << "  " << true;
    QTest::newRow("quotes") << "N,N'-DIMETHYLUREA"
                            << "n,n'-dimethylurea" << true;
    QTest::newRow("blank before") << " ETHANOL"
                                  << "ETHANOL" << false;
    QTest::newRow("tab after") << "ETHANOL"
                               << "ETHANOL\t" << false;
    QTest::newRow("no-break space after") << "ETHANOL\u00A0"
                                          << "ETHANOL" << false;
    QTest::newRow("longer stored") << "ETHANOL"
                                   << "ETHANOLAMINE" << false;
    QTest::newRow("shorter stored") << "ETHANOL"
                                    << "ETHAN" << false;
    QTest::newRow("other letter") << "α"
                                  << "β" << false;
}

void TestSearchKey::matchesIgnoringCaseAndTrailingBlanks()
{
    QFETCH(QString, value);
    QFETCH(QString, stored);
    QFETCH(bool, match);
    QCOMPARE(SearchKey(value).matches(stored), match);
    QCOMPARE(SearchKey(stored).matches(value), match);
}

void TestSearchKey::rangesHoldEveryMatchAndLittleElse_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("inside");
    QTest::addColumn<QStringList>("outside");
    QTest::addColumn<int>("stretches");
    QTest::newRow("ASCII") << "abc" << QStringList{"ABC", "aBc  ", "abc"}
                           << QStringList{"abd", "abcd", "ab", "abc!"} << 1;
    QTest::newRow("empty") << "" << QStringList{"", "   "} << QStringList{"a", "!"} << 1;
    QTest::newRow("trailing blanks")
        << "abc   " << QStringList{"ABC", "abc "} << QStringList{"abcd"} << 1;
    QTest::newRow("long s, Kelvin sign")
        << "sk" << QStringList{"SK", "\u017Fk", "s\u212A", "\u017F\u212A"} << QStringList{"st"}
        << 4;
    QTest::newRow("Latin") << "ÉTHER" << QStringList{"éther", "Éther  "} << QStringList{"ether"}
                           << 2;
    QTest::newRow("sigmas") << "ΟΣ" << QStringList{"ος", "Οσ", "ΟΣ"} << QStringList{"οξ"} << 6;
    QTest::newRow("micro sign") << "μ" << QStringList{"\u00B5", "\u039C", "\u03BC"}
                                << QStringList{"m"} << 3;
    QTest::newRow("Adlam") << "\U0001E900" << QStringList{"\U0001E922"} << QStringList{} << 2;
    // Past 64 spellings only a start is looked up.
    QTest::newRow("many spellings")
        << "ssssssss"
        << QStringList{"SSSSSSSS", "\u017F\u017F\u017F\u017F\u017F\u017F\u017F\u017F",
                       "s\u017Fs\u017Fs\u017Fs\u017F", "ssssssss  "}
        << QStringList{"sssst", "ssss"} << 64;
}

void TestSearchKey::rangesHoldEveryMatchAndLittleElse()
{
    QFETCH(QString, value);
    QFETCH(QStringList, inside);
    QFETCH(QStringList, outside);
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
    for (const QString& stored : inside)
        QVERIFY2(key.matches(stored) && held(stored), qPrintable(stored));
    for (const QString& stored : outside)
        QVERIFY2(!held(stored), qPrintable(stored));
}

QTEST_GUILESS_MAIN(TestSearchKey)
#include "tst_searchkey.moc"
