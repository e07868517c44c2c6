#include "app/records/backup.h"

#include "app/records/database.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// Pages copied under one read lock (8 MB of 4 KB pages): other programs wait a few
// milliseconds at most for the copy.
constexpr int kPagesPerStep = 2048;
// How long a step waits for another program's write transaction to end.
constexpr int kWaitForWritersMs = 5000;
// Another program that keeps writing restarts the copy; after this many restarts the rest
// is copied in one step, so the backup ends.
constexpr int kRestartsBeforeOneStep = 3;
// Progress is reported this often, and once the copy is complete.
constexpr int kReportEveryMs = 200;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

Status engineFailure(sqlite3* db, const QString& what)
{
    return Status::failure(what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)),
                           sqlite3_extended_errcode(db));
}

// The new file beside the backup that the copy is written to; removed again unless it
// replaces the backup.
class PartialCopy {
public:
    explicit PartialCopy(const QString& target)
        : target_(target), path_(QFile::encodeName(target + QStringLiteral(".partial-XXXXXX")))
    {
    }
    ~PartialCopy()
    {
        if (db_)
            sqlite3_close_v2(db_);
        if (fd_ >= 0) {
            ::close(fd_);
            ::unlink(path_.constData());
        }
    }
    PartialCopy(const PartialCopy&) = delete;
    PartialCopy& operator=(const PartialCopy&) = delete;

    Status open();
    sqlite3* db() const { return db_; }
    // The disk starts writing what is copied so far, so less is left for the flush at the end.
    void startWriting() const { ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE); }
    // Closes the copy, flushes it to disk and renames it to the target.
    Status replaceTarget();

private:
    QString target_;
    QByteArray path_;
    int fd_ = -1;
    sqlite3* db_ = nullptr;
};

Status PartialCopy::open()
{
    // Made here and now, so it is no link and nobody else has it open.
    fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
    if (fd_ < 0)
        return Status::failure(QStringLiteral("No new file can be made in the folder %1: %2")
                                   .arg(QFileInfo(target_).path(), systemError()));
    if (sqlite3_open_v2(path_.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return engineFailure(db_, QStringLiteral("The copy cannot be written"));
    sqlite3_extended_result_codes(db_, 1);
    // A half-written copy is thrown away, so it needs no journal; it is flushed once, at the end.
    if (sqlite3_exec(db_, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr,
                     nullptr) != SQLITE_OK)
        return engineFailure(db_, QStringLiteral("The copy cannot be written"));
    return {};
}

Status PartialCopy::replaceTarget()
{
    const int closed = sqlite3_close(db_);
    db_ = nullptr;
    if (closed != SQLITE_OK)
        return Status::failure(QStringLiteral("The copy cannot be written: %1")
                                   .arg(QString::fromUtf8(sqlite3_errstr(closed))),
                               closed);
    if (::fsync(fd_) != 0)
        return Status::failure(QStringLiteral("The copy cannot be written: %1").arg(systemError()));
    // rename() replaces a link at the target itself, never the file it points to.
    if (::rename(path_.constData(), QFile::encodeName(target_).constData()) != 0)
        return Status::failure(
            QStringLiteral("%1 cannot be replaced: %2").arg(target_, systemError()));
    ::close(fd_);
    fd_ = -1;
    // The new name is on disk too once the folder is flushed.
    const int folder =
        ::open(QFile::encodeName(QFileInfo(target_).path()).constData(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

Status copyPages(sqlite3* from, const PartialCopy& to, const BackupProgress& progress)
{
    sqlite3_backup* copy = sqlite3_backup_init(to.db(), "main", from, "main");
    if (!copy)
        return engineFailure(to.db(), QStringLiteral("The copy cannot be started"));
    int rc = SQLITE_OK;
    int restarts = 0;
    int remainingBefore = INT_MAX;
    QElapsedTimer sinceReport;
    sinceReport.start();
    while (rc == SQLITE_OK) {
        rc = sqlite3_backup_step(copy, restarts < kRestartsBeforeOneStep ? kPagesPerStep : -1);
        const int remaining = sqlite3_backup_remaining(copy);
        if (remaining > remainingBefore)
            ++restarts;
        remainingBefore = remaining;
        to.startWriting();
        // Each report may repaint a window, which takes longer than a step.
        if (progress && (sinceReport.hasExpired(kReportEveryMs) || rc != SQLITE_OK)) {
            progress(sqlite3_backup_pagecount(copy) - remaining, sqlite3_backup_pagecount(copy));
            sinceReport.restart();
        }
    }
    // A lock another program kept too long, a full disk or a damaged page, in the engine's words.
    if (sqlite3_backup_finish(copy) != SQLITE_OK || rc != SQLITE_DONE)
        return engineFailure(to.db(), QStringLiteral("The database could not be copied"));
    // A copy of a database in write-ahead-log mode says so too; as one plain file, without
    // a log beside it, it opens anywhere, also on a read-only disk.
    if (sqlite3_exec(to.db(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return engineFailure(to.db(), QStringLiteral("The copy cannot be written"));
    return {};
}

// The engine's quick check of every page and record of the copy.
Status checkCopy(sqlite3* db)
{
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(5)", -1, &check, nullptr) != SQLITE_OK)
        return engineFailure(db, QStringLiteral("The copy cannot be checked"));
    QStringList problems;
    int rc;
    while ((rc = sqlite3_step(check)) == SQLITE_ROW)
        problems.append(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))));
    sqlite3_finalize(check);
    if (rc != SQLITE_DONE)
        return engineFailure(db, QStringLiteral("The copy cannot be checked"));
    if (problems != QStringList{QStringLiteral("ok")})
        return Status::failure(QStringLiteral("The copy failed its check, so the database file "
                                              "itself may be damaged: %1")
                                   .arg(problems.join(QStringLiteral("; "))),
                               SQLITE_CORRUPT);
    return {};
}

} // namespace

Status backupDatabase(const QString& source, const QString& target, const BackupProgress& progress)
{
    Database from;
    if (Status opened = from.OpenDatabase(source); !opened.ok())
        return Status::failure(
            QStringLiteral("The database %1 cannot be read. %2").arg(source, opened.message()),
            opened.engineCode());
    from.setBusyTimeout(kWaitForWritersMs);

    PartialCopy to(target);
    if (Status opened = to.open(); !opened.ok())
        return opened;
    if (Status copied = copyPages(from.handle(), to, progress); !copied.ok())
        return copied;
    if (Status checked = checkCopy(to.db()); !checked.ok())
        return checked;
    return to.replaceTarget();
}
