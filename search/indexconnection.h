#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <functional>

// Inside search/ only: a connection of the structure index's own, and a prepared statement
// that finalizes itself.

class IndexConnection {
public:
    IndexConnection() = default;
    ~IndexConnection();
    IndexConnection(const IndexConnection&) = delete;
    IndexConnection& operator=(const IndexConnection&) = delete;

    Status open(const QString& path);
    sqlite3* handle() const { return db_; }
    // Runs statements that return no rows.
    Status exec(const QByteArray& sql, const QString& what);
    // A failure naming `what` and the engine's message.
    Status failure(const QString& what) const;
    // One integer from a query, `fallback` where it gives no row or NULL.
    long long integer(const char* sql, long long fallback = 0);

private:
    sqlite3* db_ = nullptr;
};

class IndexStatement {
public:
    IndexStatement(sqlite3* db, const char* sql);
    ~IndexStatement();
    IndexStatement(const IndexStatement&) = delete;
    IndexStatement& operator=(const IndexStatement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }
    int step() { return sqlite3_step(stmt_); }
    void reset()
    {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    void bind(int index, long long value) { sqlite3_bind_int64(stmt_, index, value); }
    void bindBlob(int index, const QByteArray& bytes)
    {
        sqlite3_bind_blob(stmt_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    void bindText(int index, const QString& text);
    long long integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    QByteArray blob(int column) const;
    QString text(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// A 64-bit hash of a row's structure text, to tell whether an index entry still belongs to it.
long long structureHash(const QString& text);
