#include "search/indexconnection.h"

#include <QFile>

IndexConnection::~IndexConnection()
{
    sqlite3_close_v2(db_);
}

Status IndexConnection::open(const QString& path)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK)
        return failure(QStringLiteral("The database %1 cannot be opened").arg(path));
    sqlite3_extended_result_codes(db_, 1);
    // The window may be saving a record; wait for it rather than fail.
    sqlite3_busy_timeout(db_, 5000);
    return {};
}

Status IndexConnection::exec(const QByteArray& sql, const QString& what)
{
    if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return failure(what);
    return {};
}

Status IndexConnection::failure(const QString& what) const
{
    const QString reason =
        db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory");
    return Status::failure(what + QStringLiteral(": ") + reason,
                           db_ ? sqlite3_extended_errcode(db_) : 0);
}

long long IndexConnection::integer(const char* sql, long long fallback)
{
    IndexStatement st(db_, sql);
    if (st.ok() && st.step() == SQLITE_ROW && !st.isNull(0))
        return st.integer(0);
    return fallback;
}

IndexStatement::IndexStatement(sqlite3* db, const char* sql)
{
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

IndexStatement::~IndexStatement()
{
    sqlite3_finalize(stmt_);
}

void IndexStatement::bindText(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

QByteArray IndexStatement::blob(int column) const
{
    const void* data = sqlite3_column_blob(stmt_, column);
    return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt_, column));
}

QString IndexStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt_, column));
}

long long structureHash(const QString& text)
{
    // FNV-1a over the UTF-8 bytes.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text.toUtf8()) {
        hash ^= std::uint8_t(c);
        hash *= 1099511628211ULL;
    }
    return static_cast<long long>(hash);
}
