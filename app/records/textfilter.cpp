#include "app/records/textfilter.h"

#include "app/records/database.h"

#include <QChar>
#include <QFile>

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <unordered_set>

#include <sqlite3.h>

namespace {

constexpr const char* kColumns = "Name,IUPAC,CAS,MolFormula";
constexpr int kColumnCount = 4;
// Records read per transaction, so a writer never waits long for a reader.
constexpr int kChunk = 20000;
// Records the index names, checked per transaction; the first few at once.
constexpr int kCheckChunk = 5000;
constexpr int kFirstChunk = 32;
// Records the index names, read from it per transaction.
constexpr int kIndexChunk = 100000;
// No letter beyond this code point has another case.
constexpr char32_t kLastCasedCodePoint = 0x1FFFF;

// The statements, kept in one place so the build and a new file make the same index.
const char* const kCreateTable =
    "CREATE VIRTUAL TABLE DATA1_filter USING fts5(Name, IUPAC, CAS, "
    "MolFormula, content='DATA1', tokenize='trigram case_sensitive 0');";
const char* const kCreateTriggers =
    "CREATE TRIGGER DATA1_filter_insert AFTER INSERT ON DATA1 BEGIN "
    "INSERT INTO DATA1_filter(rowid,Name,IUPAC,CAS,MolFormula) "
    "VALUES(new.rowid,new.Name,new.IUPAC,new.CAS,new.MolFormula); END;"
    "CREATE TRIGGER DATA1_filter_delete AFTER DELETE ON DATA1 BEGIN "
    "INSERT INTO DATA1_filter(DATA1_filter,rowid,Name,IUPAC,CAS,MolFormula) "
    "VALUES('delete',old.rowid,old.Name,old.IUPAC,old.CAS,old.MolFormula); END;"
    // Only a change of the indexed text (or of the rowid) touches the index, so saving a
    // structure or a note costs nothing here.
    "CREATE TRIGGER DATA1_filter_update AFTER UPDATE ON DATA1 WHEN old.rowid IS NOT new.rowid "
    "OR old.Name IS NOT new.Name OR old.IUPAC IS NOT new.IUPAC OR old.CAS IS NOT new.CAS "
    "OR old.MolFormula IS NOT new.MolFormula BEGIN "
    "INSERT INTO DATA1_filter(DATA1_filter,rowid,Name,IUPAC,CAS,MolFormula) "
    "VALUES('delete',old.rowid,old.Name,old.IUPAC,old.CAS,old.MolFormula); "
    "INSERT INTO DATA1_filter(rowid,Name,IUPAC,CAS,MolFormula) "
    "VALUES(new.rowid,new.Name,new.IUPAC,new.CAS,new.MolFormula); END;";
const char* const kDropAll = "DROP TRIGGER IF EXISTS DATA1_filter_insert;"
                             "DROP TRIGGER IF EXISTS DATA1_filter_delete;"
                             "DROP TRIGGER IF EXISTS DATA1_filter_update;"
                             "DROP TABLE IF EXISTS DATA1_filter;";

std::u32string folded(const QString& text)
{
    std::u32string chars = text.toStdU32String();
    for (char32_t& c : chars)
        c = QChar::toCaseFolded(c);
    return chars;
}

// The folded letters whose spellings the index folds to more than one letter (newer
// letters its Unicode tables lack): a text holding one of them is looked for by reading.
// Asked of the engine itself, so a newer SQLite that folds more needs no change here.
const std::unordered_set<char32_t>& lettersTheIndexSplits()
{
    static const std::unordered_set<char32_t> split = [] {
        std::unordered_set<char32_t> letters;
        sqlite3* db = nullptr;
        if (sqlite3_open(":memory:", &db) != SQLITE_OK ||
            sqlite3_exec(
                db,
                "CREATE VIRTUAL TABLE t USING fts5(x, tokenize='trigram case_sensitive 0');"
                "CREATE VIRTUAL TABLE v USING fts5vocab(t, 'instance');BEGIN;",
                nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            // Without an answer every non-ASCII letter is read for.
            for (char32_t c = 0x80; c <= kLastCasedCodePoint; ++c)
                letters.insert(c);
            return letters;
        }
        {
            Statement insert;
            insert.prepare(db, "INSERT INTO t(rowid, x) VALUES(?1, ?2)");
            for (char32_t c = 0x41; c <= kLastCasedCodePoint; ++c) {
                const bool cased =
                    QChar::toCaseFolded(c) != c || QChar::toUpper(c) != c || QChar::toLower(c) != c;
                if (QChar::isSurrogate(c) || !cased)
                    continue;
                const QString three = QString::fromUcs4(&c, 1).repeated(3);
                insert.bindInt64(1, c);
                insert.bindText(2, three);
                insert.step();
                insert.reset();
            }
            Statement read;
            read.prepare(db, "SELECT doc, term FROM v");
            std::map<char32_t, std::set<char32_t>> images;
            while (read.step() == SQLITE_ROW) {
                const auto c = char32_t(read.columnInt64(0));
                const std::u32string term = read.columnText(1).toStdU32String();
                if (!term.empty())
                    images[QChar::toCaseFolded(c)].insert(term[0]);
            }
            for (const auto& [letter, spellings] : images) {
                if (spellings.size() > 1)
                    letters.insert(letter);
            }
        }
        sqlite3_close(db);
        return letters;
    }();
    return split;
}

bool asciiContainsFolded(const char* haystack, int length, const QByteArray& needle)
{
    const int n = int(needle.size());
    const char first = needle[0];
    for (int i = 0; i + n <= length; ++i) {
        char c = haystack[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != first)
            continue;
        int j = 1;
        for (; j < n; ++j) {
            char d = haystack[i + j];
            if (d >= 'A' && d <= 'Z')
                d = char(d - 'A' + 'a');
            if (d != needle[j])
                break;
        }
        if (j == n)
            return true;
    }
    return false;
}

class Connection {
public:
    ~Connection() { sqlite3_close_v2(db_); }
    Status open(const QString& path, int flags)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr) != SQLITE_OK)
            return failure(QStringLiteral("The database cannot be opened"));
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, 5000);
        return {};
    }
    Status exec(const char* sql, const QString& what)
    {
        return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK ? Status()
                                                                              : failure(what);
    }
    Status failure(const QString& what) const
    {
        return Status::failure(what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db_)),
                               sqlite3_extended_errcode(db_));
    }
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

bool rowHolds(const Statement& row, int firstColumn, const TextNeedle& needle)
{
    for (int column = firstColumn; column < firstColumn + kColumnCount; ++column) {
        const QByteArray text = row.columnUtf8(column);
        if (needle.foundIn(text.constData(), int(text.size())))
            return true;
    }
    return false;
}

// Every record read and checked, a chunk of rowids per transaction.
Status scanAll(Connection& db, const TextNeedle& needle, const TextFilterReceiver& receiver,
               const std::atomic<bool>& cancel)
{
    Statement chunk;
    const QByteArray sql = QByteArray("SELECT rowid,") + kColumns +
                           " FROM DATA1 WHERE rowid>?1 ORDER BY rowid LIMIT ?2";
    if (Status s = chunk.prepare(db.handle(), sql.constData()); !s.ok())
        return s;
    long long after = std::numeric_limits<long long>::min();
    int limit = kFirstChunk;
    for (;;) {
        if (cancel)
            return {};
        chunk.bindInt64(1, after);
        chunk.bindInt64(2, limit);
        std::vector<long long> found;
        int rows = 0;
        int rc;
        while ((rc = chunk.step()) == SQLITE_ROW) {
            ++rows;
            after = chunk.columnInt64(0);
            if (rowHolds(chunk, 1, needle))
                found.push_back(after);
        }
        chunk.reset();
        if (rc != SQLITE_DONE)
            return db.failure(QStringLiteral("The records cannot be read"));
        if (!found.empty() && !receiver.found(found))
            return {};
        if (rows < limit)
            break;
        limit = kChunk;
    }
    receiver.allFound();
    return {};
}

class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db)
    {
        sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    }
    ~Transaction() { sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr); }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    sqlite3* db_;
};

// Keeps those of `ids` whose record holds the text, reading them in one transaction.
Status check(Connection& db, Statement& row, const TextNeedle& needle,
             const std::vector<long long>& ids, size_t from, size_t to,
             std::vector<long long>& holding, std::vector<long long>& notHolding)
{
    Transaction transaction(db.handle());
    for (size_t i = from; i < to; ++i) {
        row.bindInt64(1, ids[i]);
        const int read = row.step();
        const bool holds = read == SQLITE_ROW && rowHolds(row, 0, needle);
        row.reset();
        if (read != SQLITE_ROW && read != SQLITE_DONE)
            return db.failure(QStringLiteral("The records cannot be read"));
        (holds ? holding : notHolding).push_back(ids[i]);
    }
    return {};
}

// The records the index names: the first few read and checked at once, for the first screen,
// then all the others, then those read and checked too, in chunks of a transaction each.
Status searchIndex(Connection& db, const TextNeedle& needle, const TextFilterReceiver& receiver,
                   const std::atomic<bool>& cancel)
{
    Statement match, row;
    const QByteArray rowSql = QByteArray("SELECT ") + kColumns + " FROM DATA1 WHERE rowid=?1";
    if (Status s = match.prepare(db.handle(),
                                 "SELECT rowid FROM DATA1_filter WHERE DATA1_filter MATCH ?1 AND "
                                 "rowid>?2 ORDER BY rowid LIMIT ?3");
        !s.ok())
        return s;
    if (Status s = row.prepare(db.handle(), rowSql.constData()); !s.ok())
        return s;

    std::vector<long long> named;
    long long after = std::numeric_limits<long long>::min();
    for (int limit = kFirstChunk;; limit = kIndexChunk) {
        if (cancel)
            return {};
        const size_t start = named.size();
        {
            Transaction transaction(db.handle());
            match.bindUtf8(1, needle.matchExpression());
            match.bindInt64(2, after);
            match.bindInt64(3, limit);
            int rc;
            while ((rc = match.step()) == SQLITE_ROW)
                named.push_back(match.columnInt64(0));
            match.reset();
            if (rc != SQLITE_DONE)
                return db.failure(QStringLiteral("The filter index cannot be read"));
        }
        std::vector<long long> batch;
        if (start == 0) {
            std::vector<long long> notHolding;
            if (Status s = check(db, row, needle, named, 0, named.size(), batch, notHolding);
                !s.ok())
                return s;
        } else {
            batch.assign(named.begin() + long(start), named.end());
        }
        if (!batch.empty() && !receiver.found(batch))
            return {};
        if (named.size() - start < size_t(limit))
            break;
        after = named.back();
    }
    receiver.allFound();

    // An index in step names exactly the records holding the text; this finds any it should not.
    for (size_t from = std::min(named.size(), size_t(kFirstChunk)); from < named.size();
         from += kCheckChunk) {
        if (cancel)
            return {};
        std::vector<long long> holding, notHolding;
        if (Status s = check(db, row, needle, named, from,
                             std::min(named.size(), from + kCheckChunk), holding, notHolding);
            !s.ok())
            return s;
        if (!notHolding.empty())
            receiver.withdrawn(notHolding);
    }
    return {};
}

} // namespace

namespace TextFilterIndex {

const QString& tableName()
{
    static const QString name = QStringLiteral("DATA1_filter");
    return name;
}

QByteArray createStatements()
{
    return QByteArray(kCreateTable) + kCreateTriggers;
}

const char* insertTriggerName()
{
    return "DATA1_filter_insert";
}

QByteArray appendedRowsSql()
{
    return "INSERT INTO DATA1_filter(rowid,Name,IUPAC,CAS,MolFormula) "
           "SELECT rowid,Name,IUPAC,CAS,MolFormula FROM DATA1 WHERE rowid BETWEEN ?1 AND ?2";
}

Status isPresent(sqlite3* db, bool& present)
{
    Statement count;
    if (Status s = count.prepare(db, "SELECT count(*) FROM sqlite_master WHERE name IN "
                                     "('DATA1_filter','DATA1_filter_insert','DATA1_filter_delete',"
                                     "'DATA1_filter_update')");
        !s.ok())
        return s;
    const int rc = count.step();
    present = rc == SQLITE_ROW && count.columnInt64(0) == 4;
    if (rc != SQLITE_ROW)
        return Status::failure(QStringLiteral("The database cannot be read: ") +
                                   QString::fromUtf8(sqlite3_errmsg(db)),
                               rc);
    return {};
}

Status build(const QString& databasePath, JobProgress& progress)
{
    Connection db;
    if (Status s = db.open(databasePath, SQLITE_OPEN_READWRITE); !s.ok())
        return s;
    if (Status s = db.exec("BEGIN IMMEDIATE", QStringLiteral("The filter index cannot be built"));
        !s.ok())
        return s;
    const auto rollBack = [&db](const Status& why) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        return why;
    };
    const QByteArray make = QByteArray(kDropAll) + createStatements();
    if (Status s = db.exec(make.constData(), QStringLiteral("The filter index cannot be made"));
        !s.ok())
        return rollBack(s);

    Statement count, fill;
    count.prepare(db.handle(), "SELECT count(*) FROM DATA1");
    progress.total = count.step() == SQLITE_ROW ? count.columnInt64(0) : 0;
    count.finalize();
    const QByteArray fillSql = QByteArray("INSERT INTO DATA1_filter(rowid,") + kColumns +
                               ") SELECT rowid," + kColumns +
                               " FROM DATA1 WHERE rowid>?1 ORDER BY rowid LIMIT " +
                               QByteArray::number(kChunk) + " RETURNING rowid";
    if (Status s = fill.prepare(db.handle(), fillSql.constData()); !s.ok())
        return rollBack(s);
    long long after = std::numeric_limits<long long>::min();
    for (;;) {
        if (progress.cancelRequested)
            return rollBack(Status::failure(QStringLiteral("The filter index was not built: "
                                                           "cancelled.")));
        fill.bindInt64(1, after);
        int rows = 0;
        int rc;
        while ((rc = fill.step()) == SQLITE_ROW) {
            ++rows;
            after = std::max(after, fill.columnInt64(0));
        }
        fill.reset();
        if (rc != SQLITE_DONE)
            return rollBack(db.failure(QStringLiteral("The filter index cannot be built")));
        progress.done += rows;
        if (rows < kChunk)
            break;
    }
    fill.finalize();
    // One merged index answers faster than the many pieces a long build leaves.
    if (Status s = db.exec("INSERT INTO DATA1_filter(DATA1_filter) VALUES('optimize');COMMIT",
                           QStringLiteral("The filter index cannot be built"));
        !s.ok())
        return rollBack(s);
    return {};
}

} // namespace TextFilterIndex

TextNeedle::TextNeedle(const QString& text) : text_(text), folded_(folded(text))
{
    bool ascii = true;
    for (const char32_t c : folded_)
        ascii = ascii && c < 0x80 && c != U's' && c != U'k';
    if (ascii && !folded_.empty())
        asciiFolded_ = QString::fromUcs4(folded_.data(), qsizetype(folded_.size())).toLatin1();
}

bool TextNeedle::foundIn(const QString& stored) const
{
    return folded(stored).find(folded_) != std::u32string::npos;
}

bool TextNeedle::foundIn(const char* utf8, int bytes) const
{
    // An ASCII letter other than s and k has no spelling outside ASCII, and no byte of a
    // longer UTF-8 sequence is ASCII, so comparing bytes is exact.
    if (!asciiFolded_.isEmpty())
        return asciiContainsFolded(utf8, bytes, asciiFolded_);
    return foundIn(QString::fromUtf8(utf8, bytes));
}

bool TextNeedle::indexFindsAll() const
{
    if (folded_.size() < 3)
        return false;
    for (const char32_t c : folded_) {
        // The index reads U+FFFE and U+FFFF as the replacement character.
        if (c == 0xFFFD || lettersTheIndexSplits().count(c))
            return false;
    }
    return true;
}

QByteArray TextNeedle::matchExpression() const
{
    QString phrase = text_;
    phrase.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return (QLatin1Char('"') + phrase + QLatin1Char('"')).toUtf8();
}

Status findRecordsContaining(const QString& databasePath, const QString& text,
                             const TextFilterReceiver& receiver, const std::atomic<bool>& cancel)
{
    const TextNeedle needle(text);
    Connection db;
    if (Status s = db.open(databasePath, SQLITE_OPEN_READONLY); !s.ok())
        return s;
    bool indexed = false;
    if (needle.indexFindsAll()) {
        if (Status s = TextFilterIndex::isPresent(db.handle(), indexed); !s.ok())
            return s;
    }
    return indexed ? searchIndex(db, needle, receiver, cancel)
                   : scanAll(db, needle, receiver, cancel);
}
