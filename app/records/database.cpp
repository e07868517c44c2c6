#include "app/records/database.h"

#include "app/records/schema.h"
#include "app/records/structuretables.h"
#include "app/records/textfilter.h"
#include "core/filekind.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cerrno>
#include <unistd.h>

namespace {

constexpr int kDefaultBusyTimeoutMs = 1000;

// Why a path cannot be a Flaskbook database, judged without opening the file: closing a
// descriptor of it would drop every lock this process holds on it, other connections' too.
QString reasonPathIsUnusable(const QString& path)
{
    QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (info.isDir())
        return QStringLiteral("It is a folder, not a database file.");
    // Reading a FIFO or a device would wait for another program, before any window is shown.
    if (const Status regular = regularFileOrNewName(path); !regular.ok())
        return regular.message();
    if (::access(QFile::encodeName(path).constData(), R_OK) != 0)
        return QStringLiteral("The file cannot be read: %1.").arg(systemError());
    return {};
}

// Why the file the engine has just opened is not an SQLite database, judged from its header;
// empty when it looks like one.
QString reasonHeaderIsUnusable(sqlite3* db)
{
    sqlite3_file* file = databaseFileHandle(db);
    sqlite3_int64 size = 0;
    if (!file || file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return QStringLiteral("The file cannot be read.");
    if (size == 0)
        return QStringLiteral("The file is empty.");
    QByteArray head(100, '\0');
    // A shorter file reads as its bytes followed by zeros.
    if (const int rc = file->pMethods->xRead(file, head.data(), int(head.size()), 0);
        rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ)
        return QStringLiteral("The file cannot be read: %1.")
            .arg(QString::fromUtf8(sqlite3_errstr(rc)));
    if (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB")
        return QStringLiteral("It is a Microsoft Access database; Flaskbook reads SQLite "
                              "databases only.");
    if (!head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return QStringLiteral("It is not an SQLite database.");
    return {};
}

bool isUnreadable(int engineCode)
{
    switch (engineCode & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return true;
    default:
        return false;
    }
}

} // namespace

Statement::~Statement()
{
    finalize();
}

Status Statement::prepare(sqlite3* db, const char* sql)
{
    finalize();
    const int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        stmt_ = nullptr;
        return Status::failure(QString::fromUtf8(sqlite3_errmsg(db)), rc);
    }
    return {};
}

void Statement::bindText(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::bindUtf8(int index, const QByteArray& bytes)
{
    sqlite3_bind_text(stmt_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void Statement::bindInt64(int index, long long value)
{
    sqlite3_bind_int64(stmt_, index, value);
}

int Statement::step()
{
    return sqlite3_step(stmt_);
}

QString Statement::columnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column)) : QString();
}

QByteArray Statement::columnUtf8(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? QByteArray(text, sqlite3_column_bytes(stmt_, column)) : QByteArray();
}

long long Statement::columnInt64(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

void Statement::reset()
{
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

void Statement::finalize()
{
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
}

Database::~Database()
{
    closeConnection();
}

Status Database::OpenDatabase(const QString& path)
{
    if (Status s = Close(); !s.ok())
        return s;
    if (const QString reason = reasonPathIsUnusable(path); !reason.isEmpty())
        return Status::failure(reason);

    // The engine never creates the file here: a missing database is an error.
    if (Status s = openFile(path, SQLITE_OPEN_READWRITE); !s.ok())
        return s;
    if (const QString reason = reasonHeaderIsUnusable(db_); !reason.isEmpty()) {
        closeConnection();
        return Status::failure(reason);
    }

    // Reading every column once proves the file is sound and holds our table.
    QString probe = QStringLiteral("SELECT ") + recordColumns().join(QLatin1Char(',')) +
                    QStringLiteral(" FROM DATA1 LIMIT 1");
    Statement check;
    Status prepared = check.prepare(db_, probe.toUtf8().constData());
    if (prepared.ok()) {
        const int stepped = check.step();
        if (stepped != SQLITE_ROW && stepped != SQLITE_DONE)
            prepared = engineFailure(QStringLiteral("The file cannot be read"));
    } else if ((prepared.engineCode() & 0xff) == SQLITE_BUSY ||
               (prepared.engineCode() & 0xff) == SQLITE_LOCKED) {
        prepared = Status::failure(
            QStringLiteral("The file is locked by another program (%1).").arg(prepared.message()),
            prepared.engineCode());
    } else if (isUnreadable(prepared.engineCode())) {
        prepared =
            Status::failure(QStringLiteral("The file cannot be read (%1).").arg(prepared.message()),
                            prepared.engineCode());
    } else if (prepared.message().contains(QLatin1String("no such table"))) {
        prepared = Status::failure(QStringLiteral("It has no table DATA1."), prepared.engineCode());
    } else {
        prepared = Status::failure(
            QStringLiteral("Table DATA1 is not a Flaskbook table (%1).").arg(prepared.message()),
            prepared.engineCode());
    }
    check.finalize();
    if (!prepared.ok()) {
        closeConnection();
        return prepared;
    }
    ensureStructureColumn();
    return {};
}

// The structure lives in the record's own row: a side table keyed by rowid could put it
// on another chemical once VACUUM renumbers the rows.
bool Database::ensureStructureColumn()
{
    const QByteArray name = structureColumn().toUtf8();
    Statement probe;
    hasStructureColumn_ =
        probe.prepare(db_, QByteArray("SELECT " + name + " FROM DATA1 LIMIT 0").constData()).ok();
    probe.finalize();
    if (!hasStructureColumn_) {
        const QByteArray add = "ALTER TABLE DATA1 ADD COLUMN " + name + " TEXT";
        hasStructureColumn_ =
            sqlite3_exec(db_, add.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    return hasStructureColumn_;
}

Status Database::openFile(const QString& path, int flags)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr) != SQLITE_OK) {
        const Status failed = engineFailure(QStringLiteral("The engine cannot open it"));
        closeConnection();
        return failed;
    }
    path_ = path;
    sqlite3_extended_result_codes(db_, 1);
    setBusyTimeout(kDefaultBusyTimeoutMs);
    return {};
}

Status Database::CreateDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        return Status::failure(QStringLiteral("The file exists already."));
    Database db;
    if (Status s = db.openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE); !s.ok())
        return s;

    QString sql = QStringLiteral("BEGIN; CREATE TABLE DATA1 (");
    for (const QString& column : recordColumns() + QStringList{structureColumn()})
        sql += column + QStringLiteral(" TEXT, ");
    sql.chop(2);
    sql += QStringLiteral(");");
    // NOCASE indexes serve both the case-blind search and the name orders; each index
    // ends in the rowid, which breaks ties between equal names.
    for (const QString& column : searchableColumns())
        sql += QStringLiteral("CREATE INDEX DATA1_%1 ON DATA1(%1 COLLATE NOCASE);").arg(column);
    sql += QString::fromUtf8(TextFilterIndex::createStatements());
    sql += QString::fromUtf8(createStructureIndexSql());
    sql += QStringLiteral("COMMIT;");
    Status result;
    if (sqlite3_exec(db.db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        result = db.engineFailure(QStringLiteral("The table cannot be made"));
    db.closeConnection();
    if (!result.ok())
        QFile::remove(path);
    return result;
}

Status Database::InsertRecords(const QList<QStringList>& rows)
{
    if (!db_)
        return Status::failure(QStringLiteral("The database is not open."));
    QByteArray sql = "INSERT INTO DATA1(" + recordColumns().join(QLatin1Char(',')).toUtf8() +
                     ") VALUES(?" + QByteArray(",?").repeated(recordColumns().size() - 1) + ")";
    Statement insert;
    if (Status s = insert.prepare(db_, sql.constData()); !s.ok())
        return s;
    if (sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return engineFailure(QStringLiteral("Writing failed"));
    for (const QStringList& row : rows) {
        for (int i = 0; i < row.size(); ++i)
            insert.bindText(i + 1, row[i]);
        const int rc = insert.step();
        insert.reset();
        if (rc != SQLITE_DONE) {
            const Status failed = engineFailure(QStringLiteral("Writing failed"));
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return failed;
        }
    }
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const Status failed = engineFailure(QStringLiteral("Writing failed"));
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return failed;
    }
    return {};
}

void Database::setBusyTimeout(int milliseconds)
{
    if (db_)
        sqlite3_busy_timeout(db_, milliseconds);
}

Status Database::engineFailure(const QString& what) const
{
    if (!db_)
        return Status::failure(what + QStringLiteral(": the database is not open."));
    return Status::failure(what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db_)),
                           sqlite3_extended_errcode(db_));
}

Status Database::Execute(const QString& statement)
{
    if (!db_)
        return Status::failure(QStringLiteral("The database is not open."));
    const QString sql = toSqliteStatement(statement);
    static const QRegularExpression wholeTableDelete(
        QStringLiteral("^DELETE FROM \"?DATA1\"?\\s*;?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (wholeTableDelete.match(sql).hasMatch())
        return clearTable(sql);

    Statement st;
    if (Status s = st.prepare(db_, sql.toUtf8().constData()); !s.ok())
        return s;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        return engineFailure(QStringLiteral("The statement failed"));
    return {};
}

// Deletes every row and gives the space back, so the deleted records cannot be read
// from the file afterwards. Freeing a million rows page by page reads the whole
// file; when DATA1 and its indexes are all the file holds, an empty copy of the
// schema is written over it instead, in one transaction of the engine.
Status Database::clearTable(const QString& sql)
{
    // The indexes made from DATA1 (and the tables the engine keeps for them) are emptied
    // with it; any other table keeps its rows.
    Statement others;
    const QByteArray listOthers = "SELECT name FROM pragma_table_list WHERE schema='main' AND "
                                  "type IN ('table','virtual') AND name <> 'sqlite_schema' AND "
                                  "name <> 'DATA1' COLLATE NOCASE AND name NOT LIKE '" +
                                  structureIndexTablePattern() + "' ESCAPE '\\'";
    if (Status s = others.prepare(db_, listOthers.constData()); !s.ok())
        return s;
    bool onlyOurTable = true;
    int listed;
    while ((listed = others.step()) == SQLITE_ROW)
        onlyOurTable = onlyOurTable && derivedTables().contains(others.columnText(0));
    others.finalize();
    if (listed != SQLITE_DONE)
        return engineFailure(QStringLiteral("Deleting failed"));
    if (onlyOurTable)
        return replaceWithEmptySchema();

    Statement readSecureDelete;
    int wasSecure = 1;
    if (readSecureDelete.prepare(db_, "PRAGMA secure_delete").ok() &&
        readSecureDelete.step() == SQLITE_ROW)
        wasSecure = int(readSecureDelete.columnInt64(0));
    readSecureDelete.finalize();

    // VACUUM below drops the freed pages, so zeroing each of them first is wasted work.
    sqlite3_exec(db_, "PRAGMA secure_delete=OFF", nullptr, nullptr, nullptr);
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    Status result = rc == SQLITE_OK ? Status() : engineFailure(QStringLiteral("Deleting failed"));
    sqlite3_exec(db_, wasSecure ? "PRAGMA secure_delete=ON" : "PRAGMA secure_delete=OFF", nullptr,
                 nullptr, nullptr);
    if (!result.ok())
        return result;
    // The filter index keeps a deleted row as a mark until its pieces merge: with the table
    // empty now, it is emptied at once, so VACUUM gives its space back too.
    if (bool indexed = false; TextFilterIndex::isPresent(db_, indexed).ok() && indexed)
        sqlite3_exec(db_, "INSERT INTO DATA1_filter(DATA1_filter) VALUES('delete-all')", nullptr,
                     nullptr, nullptr);
    if (sqlite3_exec(db_, "VACUUM", nullptr, nullptr, nullptr) != SQLITE_OK)
        return engineFailure(QStringLiteral("The records were deleted, but the file could not "
                                            "be compacted"));
    return {};
}

Status Database::replaceWithEmptySchema()
{
    sqlite3* empty = nullptr;
    if (sqlite3_open(":memory:", &empty) != SQLITE_OK) {
        sqlite3_close(empty);
        return Status::failure(QStringLiteral("Deleting failed: out of memory."), SQLITE_NOMEM);
    }
    Status result;
    Statement pageSize;
    long long bytes = 4096;
    if (pageSize.prepare(db_, "PRAGMA page_size").ok() && pageSize.step() == SQLITE_ROW)
        bytes = pageSize.columnInt64(0);
    pageSize.finalize();
    sqlite3_exec(empty, QByteArray("PRAGMA page_size=" + QByteArray::number(bytes)).constData(),
                 nullptr, nullptr, nullptr);

    // A virtual table makes its own shadow tables, so theirs are not copied.
    Statement schema;
    if (Status s = schema.prepare(
            db_, "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT IN "
                 "(SELECT name FROM pragma_table_list WHERE schema='main' AND type='shadow') "
                 "ORDER BY rowid");
        !s.ok()) {
        sqlite3_close(empty);
        return s;
    }
    int rc;
    while (result.ok() && (rc = schema.step()) == SQLITE_ROW) {
        if (sqlite3_exec(empty, schema.columnText(0).toUtf8().constData(), nullptr, nullptr,
                         nullptr) != SQLITE_OK)
            result = Status::failure(QStringLiteral("Deleting failed: ") +
                                     QString::fromUtf8(sqlite3_errmsg(empty)));
    }
    if (result.ok() && rc != SQLITE_DONE)
        result = engineFailure(QStringLiteral("Deleting failed"));
    schema.finalize();

    if (result.ok()) {
        sqlite3_backup* copy = sqlite3_backup_init(db_, "main", empty, "main");
        if (!copy) {
            result = engineFailure(QStringLiteral("Deleting failed"));
        } else {
            sqlite3_backup_step(copy, -1);
            if (sqlite3_backup_finish(copy) != SQLITE_OK)
                result = engineFailure(QStringLiteral("Deleting failed"));
        }
    }
    sqlite3_close(empty);
    return result;
}

Status Database::Close()
{
    if (!db_)
        return {};
    if (closeStep_) {
        if (Status s = closeStep_(); !s.ok())
            return s;
    }
    closeConnection();
    return {};
}

void Database::closeConnection()
{
    if (!db_)
        return;
    const int rc = sqlite3_close(db_);
    if (rc != SQLITE_OK) {
        // A statement is still open somewhere; let the engine close when it can.
        sqlite3_close_v2(db_);
    }
    db_ = nullptr;
    path_.clear();
    hasStructureColumn_ = false;
}

QString toSqliteStatement(const QString& statement)
{
    static const QRegularExpression deleteStar(QStringLiteral("^\\s*delete\\s+\\*\\s+from\\s+"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bracketName(QStringLiteral("\\[([^\\]]*)\\]"));
    QString sql = statement;
    sql.replace(deleteStar, QStringLiteral("DELETE FROM "));
    sql.replace(bracketName, QStringLiteral("\"\\1\""));
    return sql.trimmed();
}

sqlite3_file* databaseFileHandle(sqlite3* db)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return nullptr;
    return file;
}
