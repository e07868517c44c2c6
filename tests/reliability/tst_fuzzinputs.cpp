#include "fuzz/collectionchecks.h"
#include "fuzz/fuzzchecks.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

// Replays every seed input of the fuzz targets and every input that once found a fault
// through the targets' own checks, which abort on a fault.
class TestFuzzInputs : public QObject {
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
};

void TestFuzzInputs::replay_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("file");
    for (const char* folder : {"corpus", "regressions"}) {
        QDirIterator it(QStringLiteral(FLASKBOOK_FUZZ_INPUTS "/") + QLatin1String(folder),
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = it.fileInfo().dir().dirName();
            QTest::newRow(qPrintable(QStringLiteral("%1/%2/%3").arg(folder, target, it.fileName())))
                << target << file;
        }
    }
}

void TestFuzzInputs::replay()
{
    QFETCH(QString, target);
    QFETCH(QString, file);
    QFile input(file);
    QVERIFY(input.open(QIODevice::ReadOnly));
    const QByteArray data = input.readAll();
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    if (target == QLatin1String("picture"))
        checkPictureFile(bytes, size_t(data.size()));
    else if (target == QLatin1String("buttonsettings"))
        checkButtonSettings(bytes, size_t(data.size()));
    else if (target == QLatin1String("structure"))
        checkStructure(bytes, size_t(data.size()));
    else if (target == QLatin1String("collection"))
        checkCollection(bytes, size_t(data.size()));
    else
        QFAIL(qPrintable("no fuzz target " + target));
}

QTEST_MAIN(TestFuzzInputs)
#include "tst_fuzzinputs.moc"
