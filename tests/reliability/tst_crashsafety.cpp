#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/smallfilesystem.h"
#include "tests/support/testdatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <array>
#include <chrono>
#include <optional>
#include <thread>

#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

constexpr int kRounds = 20;
constexpr int kTotalCommits = 1000;

// One line on stdout, written at once so a kill never leaves half a report.
void report(const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size())) != bytes.size())
        _exit(4);
}

// Kills this process from another thread at a random moment within `microseconds`, so the
// kill lands wherever the writer happens to be.
void killSoon(int microseconds)
{
    const std::chrono::microseconds delay(QRandomGenerator::global()->bounded(microseconds + 1));
    std::thread([delay] {
        std::this_thread::sleep_for(delay);
        ::kill(::getpid(), SIGKILL);
    }).detach();
}

// The child: adds and edits records through the data control and reports each commit the
// moment Update returns, as "<name>\t<sequence number stored in the note>". A failed Update
// is reported as "F\t<message>"; with `retry` it is tried again, as a user would, and the
// child is killed soon after, otherwise the child stops. With `killAfter` not negative it is
// killed soon after that many commits. `padding` characters make every record larger.
int runWriter(const QString& path, qint64 firstSeq, int commits, int padding, bool retry,
              int killAfter)
{
    if (killAfter == 0)
        killSoon(3000);
    DataControl data;
    data.setDatabaseName(path);
    std::array<TextHolder, 11> fields;
    for (int i = 0; i < 11; ++i)
        data.bind(recordColumns()[i], &fields[i]);
    TextHolder& name = fields[columnIndex(QStringLiteral("Name"))];
    TextHolder& note = fields[columnIndex(QStringLiteral("SpecialNote"))];
    TextHolder& appearance = fields[columnIndex(QStringLiteral("Appearance"))];
    if (const Status s = data.Refresh(); !s.ok()) {
        report(QStringLiteral("F\t") + s.message());
        return 1;
    }
    Recordset& rs = data.Recordset();
    QStringList names;
    for (Status s = rs.MoveFirst(); s.ok() && !rs.IsEOF(); s = rs.MoveNext())
        names << rs.field(QStringLiteral("Name"));

    QRandomGenerator random{quint32(firstSeq)};
    bool dying = false;
    for (int i = 0; i < commits; ++i) {
        const qint64 seq = firstSeq + i;
        const bool add = names.isEmpty() || random.bounded(2) == 0;
        Status s =
            add ? rs.AddNew()
                : rs.FindFirst(QStringLiteral("Name"), names[random.bounded(int(names.size()))]);
        if (s.ok() && !add)
            s = rs.Edit();
        if (!s.ok()) {
            report(QStringLiteral("F\t") + s.message());
            return 1;
        }
        if (add)
            name.text = QStringLiteral("ADDED %1").arg(seq);
        note.text = QString::number(seq);
        appearance.text = QString(padding, QLatin1Char('a' + seq % 26));
        while (!(s = rs.Update()).ok()) {
            report(QStringLiteral("F\t") + s.message());
            if (!retry)
                return 1;
            if (!std::exchange(dying, true))
                killSoon(20000);
            QThread::msleep(1);
        }
        report(name.text + QLatin1Char('\t') + note.text);
        if (add)
            names << name.text;
        if (i + 1 == killAfter)
            killSoon(3000);
    }
    return 0;
}

// What the children reported: the last sequence number committed for each record.
struct Reported {
    QHash<QString, qint64> lastSeq;
    int commits = 0;
    QStringList failures;
};

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killedWriterKeepsEveryReportedCommit_data();
    void killedWriterKeepsEveryReportedCommit();

private:
    bool runChild(const QString& path, qint64 firstSeq, int commits, int padding, bool retry,
                  int killAfter);
    void verifyFile(const QString& path);

    Reported reported_;
};

// Runs a writer to its end or its kill and takes what it reported until then; true when it
// ended normally. A report that reached the pipe before the kill counts, as the commit returned.
bool TestCrashSafety::runChild(const QString& path, qint64 firstSeq, int commits, int padding,
                               bool retry, int killAfter)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--writer"), path, QString::number(firstSeq),
                 QString::number(commits), QString::number(padding), QString::number(retry),
                 QString::number(killAfter)});
    if (!child.waitForFinished(60000))
        child.kill();
    while (child.canReadLine()) {
        const QStringList parts =
            QString::fromUtf8(child.readLine()).chopped(1).split(QLatin1Char('\t'));
        if (parts.value(0) == QLatin1String("F")) {
            reported_.failures << parts.value(1);
        } else {
            reported_.lastSeq[parts.value(0)] = parts.value(1).toLongLong();
            ++reported_.commits;
        }
    }
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        return true;
    if (const QByteArray errors = child.readAllStandardError(); !errors.isEmpty())
        reported_.failures << QString::fromUtf8(errors);
    return false;
}

// Every kill leaves a sound file that holds everything reported as committed; a record may
// hold a later value, committed just before the kill and not reported.
void TestCrashSafety::verifyFile(const QString& path)
{
    // A read-write connection rolls back what the killed writer left half done.
    Database db;
    QVERIFY(db.OpenDatabase(path).ok());
    Statement check;
    QVERIFY(check.prepare(db.handle(), "PRAGMA integrity_check").ok());
    QCOMPARE(check.step(), SQLITE_ROW);
    QCOMPARE(check.columnText(0), QStringLiteral("ok"));

    QHash<QString, qint64> stored;
    for (const QStringList& row : readTable(path)) {
        QVERIFY2(!stored.contains(row[0]), qPrintable(row[0] + " stored twice"));
        stored[row[0]] = row[columnIndex(QStringLiteral("SpecialNote"))].toLongLong();
    }
    for (auto it = reported_.lastSeq.cbegin(); it != reported_.lastSeq.cend(); ++it) {
        QVERIFY2(stored.contains(it.key()), qPrintable(it.key() + " reported but missing"));
        QVERIFY2(stored[it.key()] >= it.value(),
                 qPrintable(QStringLiteral("%1 holds %2, reported %3")
                                .arg(it.key())
                                .arg(stored[it.key()])
                                .arg(it.value())));
    }
}

void TestCrashSafety::killedWriterKeepsEveryReportedCommit_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("plain disk") << false;
    QTest::newRow("full disk") << true;
}

void TestCrashSafety::killedWriterKeepsEveryReportedCommit()
{
    QFETCH(bool, fullDisk);
    reported_ = Reported();
    QTemporaryDir dir;
    std::optional<SmallFileSystem> small;
    if (fullDisk) {
        small.emplace(dir.path(), 2048);
        if (!small->unavailable().isEmpty())
            QSKIP(qPrintable(small->unavailable()));
    }
    const QString path = dir.filePath(QStringLiteral("Flaskbook.mdb"));
    createTestDatabase(path, QStringList{"ACETONE", "BENZENE", "ETHANOL"});
    const QString filler = dir.filePath(QStringLiteral("filler"));
    if (fullDisk) {
        // Fill the file system, then give back a little room for the first few commits.
        SmallFileSystem::fillUp(filler);
        QVERIFY(QFile::resize(filler, qMax<qint64>(0, QFileInfo(filler).size() - 48 * 1024)));
    }

    // On a plain disk some kills land while the child opens the file, most between or inside
    // commits. Records of 3,000 characters fill a full disk within a few commits; the child
    // keeps trying and is killed at some moment while the disk is full.
    const int rounds = fullDisk ? 3 : kRounds;
    const int padding = fullDisk ? 3000 : 0;
    for (int round = 1; round <= rounds; ++round) {
        const int killAfter = fullDisk ? -1 : QRandomGenerator::global()->bounded(60);
        QVERIFY2(!runChild(path, round * 100000, kTotalCommits, padding, fullDisk, killAfter),
                 "the writer was not killed");
        verifyFile(path);
        if (QTest::currentTestFailed())
            return;
    }
    if (fullDisk)
        QVERIFY2(!reported_.failures.isEmpty(), "the disk never filled");
    for (const QString& failure : reported_.failures)
        QVERIFY2(fullDisk && failure.contains(QLatin1String("full")), qPrintable(failure));

    qInfo("%d kills after %d reported commits", rounds, reported_.commits);

    // With room again, a last writer finishes the work and ends normally.
    QFile::remove(filler);
    const int rest = fullDisk ? 20 : qMax(1, kTotalCommits - reported_.commits);
    QVERIFY2(runChild(path, (rounds + 1) * 100000, rest, padding, false, -1),
             qPrintable(reported_.failures.join('\n')));
    verifyFile(path);
}

int main(int argc, char** argv)
{
    if (argc == 8 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(),
                         QByteArray(argv[4]).toInt(), QByteArray(argv[5]).toInt(),
                         QByteArray(argv[6]).toInt() != 0, QByteArray(argv[7]).toInt());
    QCoreApplication app(argc, argv);
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
