#include "platform/commondialog.h"
#include "platform/paths.h"

#include <QDir>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void dialogFiltersMatchBothCases();
    void dataFolderFollowsXdgDataHome();
};

void TestPlatform::dialogFiltersMatchBothCases()
{
    QCOMPARE(qtNameFilters(QStringLiteral("Text Files|*.txt|GIF Images|*.GIF")),
             (QStringList{QStringLiteral("Text Files (*.txt *.TXT)"),
                          QStringLiteral("GIF Images (*.GIF *.gif)")}));
}

void TestPlatform::dataFolderFollowsXdgDataHome()
{
    qputenv("XDG_DATA_HOME", "/tmp/flaskbook-xdg-test");
    const Paths paths = Paths::standard();
    QCOMPARE(paths.databaseFile(),
             QStringLiteral("/tmp/flaskbook-xdg-test/Flaskbook/Flaskbook.mdb"));
    QVERIFY(paths.backupFile().endsWith(QStringLiteral("/BackupFlaskbook/Flaskbook.mdb")));
    // A relative one is ignored, as the base-directory rules say.
    qputenv("XDG_DATA_HOME", "relative/data");
    QCOMPARE(Paths::standard().dataFolder, QDir::homePath() + "/.local/share/Flaskbook");
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
