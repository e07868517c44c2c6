#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/smallfilesystem.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <vector>

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

// The child: adds and edits records through the data control and reports each commit the
// moment Update returns, as "<name>\t<sequence number stored in the note>". A failed Update
// is reported as "F\t<message>"; with `retry` it is tried again, as a user would, otherwise
// the child stops. `padding` characters of text make every record larger.
int runWriter(const QString& path, qint64 firstSeq, int commits, bool retry, int padding)
{
    DataControl data;
    data.setDatabaseName(path);
    std::vector<std::unique_ptr<TextHolder>> fields;
    for (const QString& column : recordColumns()) {
        fields.push_back(std::make_unique<TextHolder>());
        data.bind(column, fields.back().get());
    }
    TextHolder& name = *fields[columnIndex(QStringLiteral("Name"))];
    TextHolder& note = *fields[columnIndex(QStringLiteral("SpecialNote"))];
    TextHolder& appearance = *fields[columnIndex(QStringLiteral("Appearance"))];
    if (const Status s = data.Refresh(); !s.ok()) {
        report(QStringLiteral("F\t") + s.message());
        return 1;
    }
    Recordset& rs = data.Recordset();
    QStringList names;
    for (Status s = rs.MoveFirst(); s.ok() && !rs.IsEOF(); s = rs.MoveNext())
        names << rs.field(QStringLiteral("Name"));

    QRandomGenerator random{quint32(firstSeq)};
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
            QThread::msleep(1);
        }
        report(name.text + QLatin1Char('\t') + note.text);
        if (add)
            names << name.text;
    }
    return 0;
}

// What the children reported: the last sequence number committed for each record.
struct Reported {
    QHash<QString, qint64> lastSeq;
    int commits = 0;
    QStringList failures;
};

// The parent's view of one child run.
class Writer {
public:
    Writer(const QString& path, qint64 firstSeq, int commits, bool retry, int padding)
    {
        process_.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--writer"), path, QString::number(firstSeq),
                        QString::number(commits), QString::number(retry),
                        QString::number(padding)});
    }

    // Reads reports until `count` more commits or one failure were reported, or the child
    // ended. False when it took longer than any sane run.
    bool readUntil(Reported& reported, int count)
    {
        QElapsedTimer clock;
        clock.start();
        const int target = reported.commits + count;
        while (reported.commits < target && newFailures_ == 0) {
            if (!readLines(reported) && process_.state() == QProcess::NotRunning)
                return true;
            if (clock.elapsed() > 60000)
                return false;
            process_.waitForReadyRead(50);
        }
        return true;
    }

    void kill()
    {
        process_.kill();
        process_.waitForFinished(10000);
    }

    // Waits for the end and takes what it reported until then; a report that reached the
    // pipe before the kill counts, as the commit returned.
    void finish(Reported& reported)
    {
        process_.waitForFinished(60000);
        readLines(reported);
    }
    bool exitedNormally() const
    {
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    int newFailures() const { return newFailures_; }
    QString errors() { return QString::fromUtf8(process_.readAllStandardError()); }

private:
    bool readLines(Reported& reported)
    {
        bool any = false;
        while (process_.canReadLine()) {
            any = true;
            const QStringList parts =
                QString::fromUtf8(process_.readLine()).chopped(1).split(QLatin1Char('\t'));
            if (parts.value(0) == QLatin1String("F")) {
                reported.failures << parts.value(1);
                ++newFailures_;
            } else {
                reported.lastSeq[parts.value(0)] = parts.value(1).toLongLong();
                ++reported.commits;
            }
        }
        return any;
    }

    QProcess process_;
    int newFailures_ = 0;
};

// Waits up to `microseconds`, so the kill lands anywhere within a commit.
void pauseRandomly(int microseconds)
{
    QThread::usleep(QRandomGenerator::global()->bounded(microseconds + 1));
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killedWriterKeepsEveryReportedCommit();
    void fullDiskIsReportedAndLosesNothing();

private:
    void verifyFile(const QString& path, const Reported& reported);
};

// Every kill leaves a sound file that holds everything reported as committed; a record may
// hold a later value, committed just before the kill and not reported.
void TestCrashSafety::verifyFile(const QString& path, const Reported& reported)
{
    // A read-write connection rolls back what the killed writer left half done.
    sqlite3* db = nullptr;
    QCOMPARE(
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    QString integrity;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW)
        integrity = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)));
    sqlite3_finalize(check);
    sqlite3_close(db);
    QCOMPARE(integrity, QStringLiteral("ok"));

    QHash<QString, qint64> stored;
    for (const QStringList& row : readTable(path)) {
        QVERIFY2(!stored.contains(row[0]), qPrintable(row[0] + " stored twice"));
        stored[row[0]] = row[columnIndex(QStringLiteral("SpecialNote"))].toLongLong();
    }
    for (auto it = reported.lastSeq.cbegin(); it != reported.lastSeq.cend(); ++it) {
        QVERIFY2(stored.contains(it.key()), qPrintable(it.key() + " reported but missing"));
        QVERIFY2(stored[it.key()] >= it.value(),
                 qPrintable(QStringLiteral("%1 holds %2, reported %3")
                                .arg(it.key())
                                .arg(stored[it.key()])
                                .arg(it.value())));
    }
}

void TestCrashSafety::killedWriterKeepsEveryReportedCommit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Flaskbook.mdb"));
    createTestDatabase(path, QStringList{"ACETONE", "BENZENE", "ETHANOL"});

    QElapsedTimer clock;
    clock.start();
    Reported reported;
    for (int round = 0; round < kRounds; ++round) {
        Writer writer(path, qint64(round + 1) * 100000, kTotalCommits, false, 0);
        // Some kills land while the child opens the file, most between or inside commits.
        QVERIFY(writer.readUntil(reported, QRandomGenerator::global()->bounded(60)));
        pauseRandomly(3000);
        writer.kill();
        writer.finish(reported);
        QVERIFY2(reported.failures.isEmpty(), qPrintable(reported.failures.join('\n')));
        verifyFile(path, reported);
        if (QTest::currentTestFailed())
            return;
    }

    // A last writer finishes the work and ends normally.
    Writer last(path, qint64(kRounds + 1) * 100000, qMax(1, kTotalCommits - reported.commits),
                false, 0);
    last.finish(reported);
    QVERIFY2(last.exitedNormally(), qPrintable(last.errors()));
    QVERIFY2(reported.failures.isEmpty(), qPrintable(reported.failures.join('\n')));
    QVERIFY(reported.commits >= kTotalCommits);
    verifyFile(path, reported);
    qInfo("%d kills, %d reported commits in %lld ms", kRounds, reported.commits, clock.elapsed());
}

void TestCrashSafety::fullDiskIsReportedAndLosesNothing()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("small"));
    QVERIFY(QDir().mkpath(folder));
    SmallFileSystem small(folder, 2048);
    if (!small.unavailable().isEmpty())
        QSKIP(qPrintable(small.unavailable()));

    const QString path = folder + QStringLiteral("/Flaskbook.mdb");
    createTestDatabase(path, QStringList{"ACETONE", "BENZENE", "ETHANOL"});
    // Fill the file system, then give back a little room for the first few commits.
    const QString fillerPath = folder + QStringLiteral("/filler");
    SmallFileSystem::fillUp(fillerPath);
    QVERIFY(QFile::resize(fillerPath, qMax<qint64>(0, QFileInfo(fillerPath).size() - 48 * 1024)));

    Reported reported;
    for (int round = 0; round < 3; ++round) {
        // Records of 3,000 characters fill the rest within a few commits; the child keeps
        // trying, and is killed at some moment while the disk is full.
        Writer writer(path, qint64(round + 1) * 100000, kTotalCommits, true, 3000);
        QVERIFY(writer.readUntil(reported, kTotalCommits));
        QVERIFY2(writer.newFailures() > 0, "the disk never filled");
        pauseRandomly(20000);
        writer.kill();
        writer.finish(reported);
        verifyFile(path, reported);
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY(reported.commits > 0);
    qInfo("%d commits until the disk was full, then: %s", reported.commits,
          qPrintable(reported.failures.value(0)));
    for (const QString& failure : reported.failures)
        QVERIFY2(failure.contains(QLatin1String("full")), qPrintable(failure));

    // With room again, the store goes on as before.
    QVERIFY(QFile::remove(fillerPath));
    Writer after(path, 900000, 20, false, 3000);
    after.finish(reported);
    QVERIFY2(after.exitedNormally(), qPrintable(reported.failures.join('\n') + after.errors()));
    verifyFile(path, reported);
}

int main(int argc, char** argv)
{
    if (argc == 7 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(),
                         QByteArray(argv[4]).toInt(), QByteArray(argv[5]).toInt() != 0,
                         QByteArray(argv[6]).toInt());
    QCoreApplication app(argc, argv);
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
