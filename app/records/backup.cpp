#include "app/records/backup.h"

#include "app/records/database.h"
#include "core/filekind.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <vector>

namespace {

// Bytes copied under one read lock (8 MB): other programs wait a few milliseconds at most.
constexpr qint64 kBytesPerStep = qint64(8) << 20;
// The same for the engine's own copy, in pages of the usual 4 KB.
constexpr int kPagesPerStep = int(kBytesPerStep / 4096);
// Bytes read at a time, few enough to stay in the processor's cache on their way through.
constexpr qint64 kBytesPerRead = qint64(256) << 10;
// How long a step waits for another program's write transaction to end.
constexpr int kWaitForWritersMs = 5000;
// Another program that keeps writing restarts the copy; after this many restarts the rest
// is copied in one step, so the backup ends.
constexpr int kRestartsBeforeOneStep = 3;
// Progress is reported this often, after the first step, and once the copy is complete.
constexpr int kReportEveryMs = 200;

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
        if (flushed_.valid())
            flushed_.wait();
        if (db_)
            sqlite3_close_v2(db_);
        if (fd_ >= 0) {
            ::close(fd_);
            ::unlink(path_.constData());
        }
    }
    PartialCopy(const PartialCopy&) = delete;
    PartialCopy& operator=(const PartialCopy&) = delete;

    Status create();
    int fd() const { return fd_; }
    // Opens the copy in the engine, to copy into it or to check it.
    Status openInEngine();
    sqlite3* db() const { return db_; }
    // The disk writes the whole copy on a thread of its own while the engine checks it (or
    // afterwards, when no thread can be started).
    void startFlush()
    {
        flushed_ = std::async(std::launch::async | std::launch::deferred,
                              [fd = fd_] { return ::fsync(fd) == 0 ? 0 : errno; });
    }
    // Closes the copy, waits until it is on disk and renames it to the target.
    Status replaceTarget();

private:
    QString target_;
    QByteArray path_;
    int fd_ = -1;
    sqlite3* db_ = nullptr;
    std::future<int> flushed_;
};

Status PartialCopy::create()
{
    // Made here and now, so it is no link and nobody else has it open.
    fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
    if (fd_ < 0)
        return Status::failure(QStringLiteral("No new file can be made in the folder %1: %2")
                                   .arg(QFileInfo(target_).path(), systemError()));
    return {};
}

Status PartialCopy::openInEngine()
{
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
    if (!flushed_.valid())
        startFlush();
    if (const int error = flushed_.get())
        return Status::failure(
            QStringLiteral("The copy cannot be written: %1").arg(systemError(error)));
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

// Calls the progress callback at most every kReportEveryMs, and always for the first and
// the last report; each report may repaint a window, which takes longer than a step.
class ProgressReports {
public:
    explicit ProgressReports(const BackupProgress& progress) : progress_(progress)
    {
        sinceReport_.start();
    }
    void report(qint64 copied, qint64 total)
    {
        if (!progress_ || (reported_ && copied < total && !sinceReport_.hasExpired(kReportEveryMs)))
            return;
        progress_(copied, total);
        reported_ = true;
        sinceReport_.restart();
    }

private:
    const BackupProgress& progress_;
    QElapsedTimer sinceReport_;
    bool reported_ = false;
};

bool usesWriteAheadLog(sqlite3* db)
{
    Statement mode;
    return mode.prepare(db, "PRAGMA journal_mode").ok() && mode.step() == SQLITE_ROW &&
           mode.columnText(0) == QLatin1String("wal");
}

// A database in write-ahead-log mode keeps committed pages in its log as well as its file,
// so it is copied through the engine's backup, page by page.
Status copyThroughEngine(sqlite3* from, PartialCopy& to, const BackupProgress& progress)
{
    if (Status opened = to.openInEngine(); !opened.ok())
        return opened;
    sqlite3_backup* copy = sqlite3_backup_init(to.db(), "main", from, "main");
    if (!copy)
        return engineFailure(to.db(), QStringLiteral("The copy cannot be started"));
    ProgressReports reports(progress);
    int rc = SQLITE_OK;
    int restarts = 0;
    int remainingBefore = INT_MAX;
    while (rc == SQLITE_OK) {
        const int pages = restarts < kRestartsBeforeOneStep ? kPagesPerStep : -1;
        rc = sqlite3_backup_step(copy, pages);
        const int remaining = sqlite3_backup_remaining(copy);
        if (remaining > remainingBefore)
            ++restarts;
        remainingBefore = remaining;
        const int total = sqlite3_backup_pagecount(copy);
        reports.report(rc == SQLITE_OK ? total - remaining : total, total);
    }
    // A lock another program kept too long, a full disk or a damaged page, in the engine's words.
    if (sqlite3_backup_finish(copy) != SQLITE_OK || rc != SQLITE_DONE)
        return engineFailure(to.db(), QStringLiteral("The database could not be copied"));
    // The copy says it is in write-ahead-log mode too; as one plain file, without a log beside
    // it, it opens anywhere, also on a read-only disk.
    if (sqlite3_exec(to.db(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return engineFailure(to.db(), QStringLiteral("The copy cannot be written"));
    return {};
}

// A read transaction on the database: while it lasts no other program can write to the file,
// so in rollback-journal mode the file holds exactly the committed records. It ends when the
// lock goes out of scope.
class ReadLock {
public:
    explicit ReadLock(sqlite3* db) : db_(db)
    {
        Statement state;
        // Reading the page count takes the lock; a write that a crashed program left half
        // done is first rolled back by the engine.
        if (sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
            !state
                 .prepare(db_, "SELECT * FROM pragma_page_count, pragma_page_size, "
                               "pragma_data_version")
                 .ok() ||
            state.step() != SQLITE_ROW) {
            status_ = engineFailure(db_, QStringLiteral("The database could not be read"));
            return;
        }
        bytes_ = state.columnInt64(0) * state.columnInt64(1);
        version_ = state.columnInt64(2);
    }
    ~ReadLock() { sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr); }
    ReadLock(const ReadLock&) = delete;
    ReadLock& operator=(const ReadLock&) = delete;

    const Status& status() const { return status_; }
    qint64 bytes() const { return bytes_; }
    // Changes whenever another program has committed since this connection last looked.
    qint64 version() const { return version_; }

private:
    sqlite3* db_;
    Status status_;
    qint64 bytes_ = 0;
    qint64 version_ = 0;
};

bool writeAll(int fd, const char* bytes, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, bytes, size_t(size), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= written;
        offset += written;
    }
    return true;
}

// A database in rollback-journal mode is copied as the bytes of its file, read through the
// engine's own handle a step at a time under its read lock. A commit by another program
// between two steps starts the copy again.
Status copyFileBytes(sqlite3* from, PartialCopy& to, const BackupProgress& progress)
{
    sqlite3_file* file = databaseFileHandle(from);
    if (!file)
        return Status::failure(QStringLiteral("The database could not be read"));
    std::vector<char> buffer(kBytesPerRead);
    ProgressReports reports(progress);
    qint64 version = -1;
    qint64 total = 0;
    qint64 copied = 0;
    int restarts = 0;
    do {
        {
            ReadLock lock(from);
            if (!lock.status().ok())
                return lock.status();
            if (lock.version() != version) {
                if (version != -1)
                    ++restarts;
                version = lock.version();
                total = lock.bytes();
                copied = 0;
            }
            const qint64 stepEnd =
                restarts < kRestartsBeforeOneStep ? std::min(total, copied + kBytesPerStep) : total;
            while (copied < stepEnd) {
                const qint64 size = std::min(kBytesPerRead, stepEnd - copied);
                if (const int rc = file->pMethods->xRead(file, buffer.data(), int(size), copied);
                    rc != SQLITE_OK)
                    return Status::failure(QStringLiteral("The database could not be read: %1")
                                               .arg(QString::fromUtf8(sqlite3_errstr(rc))),
                                           rc);
                // Byte 18 of the header is 2 when the file has just been put into
                // write-ahead-log mode; its bytes alone would then miss committed records.
                if (copied == 0 && size > 18 && buffer[18] != 1)
                    return Status::failure(QStringLiteral(
                        "Another program changed how the database is written during the copy. "
                        "Please try again."));
                if (!writeAll(to.fd(), buffer.data(), size, copied))
                    return Status::failure(
                        QStringLiteral("The copy cannot be written: %1").arg(systemError()));
                copied += size;
            }
        }
        reports.report(copied, total);
    } while (copied < total);
    // A copy restarted on a database that has since shrunk ends where the database ends.
    if (::ftruncate(to.fd(), total) != 0)
        return Status::failure(QStringLiteral("The copy cannot be written: %1").arg(systemError()));
    return to.openInEngine();
}

// The engine's quick check of every page and record of the copy.
Status checkCopy(sqlite3* db)
{
    Statement check;
    if (!check.prepare(db, "PRAGMA quick_check(5)").ok())
        return engineFailure(db, QStringLiteral("The copy cannot be checked"));
    QStringList problems;
    int rc;
    while ((rc = check.step()) == SQLITE_ROW)
        problems.append(check.columnText(0));
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
    if (Status created = to.create(); !created.ok())
        return created;
    const Status copied = usesWriteAheadLog(from.handle())
                              ? copyThroughEngine(from.handle(), to, progress)
                              : copyFileBytes(from.handle(), to, progress);
    if (!copied.ok())
        return copied;
    to.startFlush();
    if (Status checked = checkCopy(to.db()); !checked.ok())
        return checked;
    return to.replaceTarget();
}
