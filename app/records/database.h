#pragma once

#include "core/status.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_file;

// One prepared SQLite statement. It is reset after every use, so that no
// statement keeps a read lock on the file between calls.
class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Status prepare(sqlite3* db, const char* sql);
    void bindText(int index, const QString& text);
    // Binds bytes as they are, for bounds that need not be valid UTF-8.
    void bindUtf8(int index, const QByteArray& bytes);
    void bindInt64(int index, long long value);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    QString columnText(int column) const;
    QByteArray columnUtf8(int column) const;
    long long columnInt64(int column) const;
    void reset();
    void finalize();

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// A connection to a Flaskbook database file.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing database file, which must be an SQLite database with table
    // DATA1; a failure names the reason in words a user understands.
    Status OpenDatabase(const QString& path);
    // Creates a new database file holding an empty table DATA1 with its indexes, and
    // leaves it closed. Fails if the file exists already.
    static Status CreateDatabase(const QString& path);
    // Appends rows of DATA1 (one value per column, in table order) in one transaction:
    // all of them or none.
    Status InsertRecords(const QList<QStringList>& rows);
    // Runs one statement in the form the window passes, such as "delete * from DATA1 ".
    Status Execute(const QString& statement);
    // Runs the close step first (the data control closes its record set there); if that
    // fails, the connection stays open.
    Status Close();
    void setCloseStep(std::function<Status()> step) { closeStep_ = std::move(step); }

    bool isOpen() const { return db_ != nullptr; }
    // False for a file that lacks the structure column and cannot be given it (read-only):
    // its records are shown, but it cannot take structures.
    bool hasStructureColumn() const { return hasStructureColumn_; }
    // Adds the structure column where the file lacks it and can take it now; false if not.
    bool ensureStructureColumn();
    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }
    // How long a statement waits for another connection's lock before it fails.
    void setBusyTimeout(int milliseconds);

    // A failure status carrying this connection's last engine message.
    Status engineFailure(const QString& what) const;

private:
    Status openFile(const QString& path, int flags);
    Status clearTable(const QString& sql);
    Status replaceWithEmptySchema();
    void closeConnection();

    sqlite3* db_ = nullptr;
    std::function<Status()> closeStep_;
    QString path_;
    bool hasStructureColumn_ = false;
};

// The engine's own handle on the main database file of `db`, or null when it has none. Its
// bytes are read through it, never through a descriptor of our own: closing that would drop
// every lock this process holds on the file, other connections' too.
sqlite3_file* databaseFileHandle(sqlite3* db);

// The window's statement text in SQLite's dialect: "delete * from T" loses its
// star, and [bracketed] names become "quoted" names.
QString toSqliteStatement(const QString& statement);
