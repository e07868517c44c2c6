#include "controls/button/accesskey.h"

#include <QTest>

class TestAccessKey : public QObject {
    Q_OBJECT

private slots:
    void accessKeyFromCaption_data();
    void accessKeyFromCaption();
};

void TestAccessKey::accessKeyFromCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");

    QTest::newRow("&Save") << QStringLiteral("&Save") << QStringLiteral("s");
    QTest::newRow("E&xit") << QStringLiteral("E&xit") << QStringLiteral("x");
    QTest::newRow("Save && Exit") << QStringLiteral("Save && Exit") << QString();
    QTest::newRow("&&Save &Now") << QStringLiteral("&&Save &Now") << QStringLiteral("n");
    QTest::newRow("&&&b") << QStringLiteral("&&&b") << QStringLiteral("b");
    QTest::newRow("only & last") << QStringLiteral("Save&") << QString();
    QTest::newRow("lone &") << QStringLiteral("&") << QString();
    QTest::newRow("&&") << QStringLiteral("&&") << QString();
    QTest::newRow("second & last") << QStringLiteral("&&Save&") << QString();
    QTest::newRow("two escaped pairs") << QStringLiteral("&&&&x") << QString();
    QTest::newRow("third & not examined") << QStringLiteral("a && b && &c") << QString();
    QTest::newRow("digit") << QStringLiteral("Step &2") << QStringLiteral("2");
    QTest::newRow("non-ASCII letter") << QStringLiteral("&Ärger") << QStringLiteral("ä");
    QTest::newRow("no &") << QStringLiteral("Save") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestAccessKey::accessKeyFromCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    QCOMPARE(AccessKeyFromCaption(caption), key);
}

QTEST_GUILESS_MAIN(TestAccessKey)
#include "tst_accesskey.moc"
