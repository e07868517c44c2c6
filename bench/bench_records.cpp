// Times the record store on synthetic databases of several sizes, each operation beside the
// same work done with plain SQLite statements on the same file, and checks the results
// against the speed and memory the program promises at a million records. The main window's
// start-up is timed too, offscreen, against a bare window plus the plain keyset read, and
// so are its Backup and Clear DB commands.
//
// With --imported the records reach the file as a user's collection does: the synthetic table
// is exported to CSV and imported into a new file, which every row then works on.
//
// Usage: flaskbook_bench [--sizes 1000,100000,1000000] [--dir /tmp/somewhere] [--structures]
//        [--imported]

#include "app/form1.h"
#include "app/records/boundfield.h"
#include "app/records/database.h"
#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "bench/synthetic.h"
#include "chem/molecule.h"
#include "controls/button/paintedbutton.h"
#include "controls/textbox.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "platform/startprogram.h"
#include "transfer/transferjobs.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMoves = 1000;
// Moves through records that hold structures, each one drawn.
constexpr int kStructureMoves = 300;
// Repetitions: few for the operations that read the whole table, more for the cheap ones.
constexpr int kWholeTableRuns = 5;
constexpr int kCheapRuns = 21;
constexpr int kWriteRuns = 7;
// Each start-up reads the whole table and builds a window; a million records take long enough.
constexpr int kStartUpRuns = 5;
constexpr int kStartUpRunsAtMillion = 3;
// Each backup copies the whole file.
constexpr int kBackupRuns = 3;
// The main window's fixed size, which the bare window copies.
constexpr int kWindowWidth = 784;
constexpr int kWindowHeight = 629;
// A window not painted within this long counts as never shown.
constexpr double kPaintTimeoutMs = 60000.0;
// An empty DATA1 with its seven indexes, the filter index's tables and the structure
// index's tables takes 19 pages of 4 KiB.
constexpr qint64 kEmptyFileLimit = 128 * 1024;

const char* const kColumns =
    "Name,IUPAC,CAS,MolFormula,MolWeight,EqWeight,Appearance,Spgr,pH,SpecialNote,Image";
const QString kTableOrder = QStringLiteral("DATA1");
const QString kNameAscending = QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] asc");
const QString kNameDescending = QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] desc");

// The three record orders the window offers, with their names in the table.
struct Order {
    const QString& source;
    const char* label;
};
const std::array<Order, 3> kOrders{Order{kTableOrder, "table order"},
                                   Order{kNameAscending, "name asc"},
                                   Order{kNameDescending, "name desc"}};

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "flaskbook_bench: %s\n", what.c_str());
    std::exit(1);
}

void require(const Status& status, const char* what)
{
    if (!status.ok())
        fail(std::string(what) + ": " + status.message().toStdString());
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the store's and the plain version in turn, so a slow moment of the machine hits both.
// Each returns the milliseconds of the work it times; the result is the two medians.
std::pair<double, double> alternate(int runs, const std::function<double(int)>& store,
                                    const std::function<double(int)>& plain)
{
    std::vector<double> storeMs, plainMs;
    for (int run = 0; run < runs; ++run) {
        storeMs.push_back(store(run));
        plainMs.push_back(plain(run));
    }
    return {median(storeMs), median(plainMs)};
}

double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Record 2k repeats the name of record k when 2k is a multiple of fifty, so only records
// numbered off the multiples of 25 have a name of their own.
long long uniqueNumberNear(long long number)
{
    while (number % 25 == 0)
        ++number;
    return number;
}

// --- plain SQLite, the yardstick ---

class PlainDb {
public:
    explicit PlainDb(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            fail("plain SQLite cannot open " + path.toStdString());
    }
    ~PlainDb() { sqlite3_close_v2(db_); }
    PlainDb(const PlainDb&) = delete;
    PlainDb& operator=(const PlainDb&) = delete;

    sqlite3* handle() const { return db_; }
    void exec(const char* sql)
    {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(std::string(sql) + ": " + sqlite3_errmsg(db_));
    }

private:
    sqlite3* db_ = nullptr;
};

class Query {
public:
    Query(const PlainDb& db, const std::string& sql) : db_(db.handle())
    {
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK)
            fail(sql + ": " + sqlite3_errmsg(db_));
    }
    ~Query() { sqlite3_finalize(st_); }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    sqlite3_stmt* get() const { return st_; }
    // Steps to the end and resets, so no statement holds a lock between calls.
    void finish()
    {
        int rc;
        while ((rc = sqlite3_step(st_)) == SQLITE_ROW) {
        }
        check(rc);
    }
    void check(int rc)
    {
        sqlite3_reset(st_);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            fail(std::string("plain statement: ") + sqlite3_errmsg(db_));
    }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

std::vector<std::int64_t> readKeyset(const PlainDb& db, const char* sql)
{
    Query query(db, sql);
    std::vector<std::int64_t> ids;
    int rc;
    while ((rc = sqlite3_step(query.get())) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(query.get(), 0));
    query.check(rc);
    return ids;
}

// Opens the file and reads every rowid in table order: the least any opening of the table costs.
double plainOpenMs(const QString& file, long long count)
{
    const auto start = Clock::now();
    PlainDb db(file);
    const std::vector<std::int64_t> ids = readKeyset(db, "SELECT rowid FROM DATA1 ORDER BY rowid");
    const size_t records = ids.size();
    const double elapsed = msSince(start);
    if ((long long)records != count)
        fail("plain SQLite counts " + std::to_string(records) + " records");
    return elapsed;
}

// Reads all eleven fields of one row; returns their total length.
long long readRow(Query& select, long long id)
{
    sqlite3_bind_int64(select.get(), 1, id);
    const int rc = sqlite3_step(select.get());
    long long bytes = 0;
    if (rc == SQLITE_ROW) {
        for (int i = 0; i < 11; ++i) {
            if (sqlite3_column_text(select.get(), i))
                bytes += sqlite3_column_bytes(select.get(), i);
        }
    }
    select.check(rc);
    return bytes;
}

int countMatches(Query& query, const std::string& value)
{
    sqlite3_bind_text(query.get(), 1, value.data(), int(value.size()), SQLITE_TRANSIENT);
    int matches = 0;
    int rc;
    while ((rc = sqlite3_step(query.get())) == SQLITE_ROW)
        ++matches;
    query.check(rc);
    return matches;
}

// --- the store's side ---

class Holder : public BoundField {
public:
    QString boundText() const override { return text; }
    void setBoundText(const QString& value) override { text = value; }
    QString text;
};

// Eleven holders standing in for the window's text boxes.
struct BoundRecord {
    std::array<Holder, 11> holders;

    void bindTo(DataControl& data)
    {
        for (int i = 0; i < 11; ++i)
            data.bind(recordColumns()[i], &holders[size_t(i)]);
    }
    long long totalLength() const
    {
        long long length = 0;
        for (const Holder& holder : holders)
            length += holder.text.size();
        return length;
    }
    void type(const SyntheticRow& row)
    {
        for (int i = 0; i < 11; ++i)
            holders[size_t(i)].text = QString::fromStdString(row[size_t(i)]);
    }
};

// --- the table ---

struct Row {
    std::string operation, store, plain, ratio, target, verdict;
};

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string ms(double value)
{
    return std::isnan(value) ? std::string("-") : format("%.3f", value);
}

Row timedRow(const std::string& operation, double storeMs, double plainMs)
{
    return {
        operation,   ms(storeMs),
        ms(plainMs), std::isnan(plainMs) ? std::string("-") : format("%.2fx", storeMs / plainMs),
        "-",         ""};
}

Row ratioRow(const std::string& operation, double storeMs, double plainMs, double limit)
{
    Row row = timedRow(operation, storeMs, plainMs);
    row.target = format("<= %.1fx", limit);
    row.verdict = storeMs <= limit * plainMs ? "ok" : "MISSED";
    return row;
}

Row limitRow(const std::string& operation, double storeMs, double plainMs, double limitMs)
{
    Row row = timedRow(operation, storeMs, plainMs);
    row.target = format("< %g ms", limitMs);
    row.verdict = storeMs < limitMs ? "ok" : "MISSED";
    return row;
}

void printTable(const std::vector<Row>& rows)
{
    const Row heading{"operation", "store ms", "plain SQLite ms", "ratio", "target", ""};
    std::array<size_t, 5> width{};
    auto widen = [&width](const Row& row) {
        const std::array<const std::string*, 5> cells{&row.operation, &row.store, &row.plain,
                                                      &row.ratio, &row.target};
        for (size_t i = 0; i < cells.size(); ++i)
            width[i] = std::max(width[i], cells[i]->size());
    };
    widen(heading);
    for (const Row& row : rows)
        widen(row);
    auto print = [&width](const Row& row) {
        std::printf("%-*s | %*s | %*s | %*s | %-*s | %s\n", int(width[0]), row.operation.c_str(),
                    int(width[1]), row.store.c_str(), int(width[2]), row.plain.c_str(),
                    int(width[3]), row.ratio.c_str(), int(width[4]), row.target.c_str(),
                    row.verdict.c_str());
    };
    print(heading);
    std::printf(
        "%s\n",
        std::string(width[0] + width[1] + width[2] + width[3] + width[4] + 22, '-').c_str());
    for (const Row& row : rows)
        print(row);
}

// --- the database files ---

long long countRecords(const QString& path)
{
    if (!QFileInfo::exists(path))
        return -1;
    sqlite3* db = nullptr;
    long long count = -1;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM DATA1", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            count = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return count;
}

// With --structures every record holds one of these MOL blocks.
std::vector<std::string> gStructures;
bool gImported = false;

// RDKit's sample molecules of up to 100 heavy atoms, as the MOL blocks a record stores.
std::vector<std::string> sampleStructures()
{
    QFile file(QStringLiteral("/usr/share/RDKit/Data/NCI/first_5K.smi"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail("cannot read RDKit's sample molecules (Debian package rdkit-data)");
    std::vector<std::string> structures;
    while (!file.atEnd()) {
        Molecule molecule;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (Molecule::fromText(line, molecule).ok() && molecule.heavyAtomCount() <= 100)
            structures.push_back(molecule.molBlock().toStdString());
    }
    return structures;
}

// The synthetic database of `count` records, built once and kept in `dir` for later runs.
QString cachedDatabase(const QString& dir, long long count)
{
    // The generator's version is in the name, so a changed generator never reuses old files.
    const QString path =
        QDir(dir).filePath(QStringLiteral("flaskbook-bench-v2%1-%2.db")
                               .arg(gStructures.empty() ? QString() : QStringLiteral("-structures"))
                               .arg(count));
    if (countRecords(path) == count) {
        std::printf("reusing %s\n", qPrintable(path));
        return path;
    }
    std::printf("building %s ...\n", qPrintable(path));
    std::fflush(stdout);
    const auto start = Clock::now();
    // Built in a child process, so the builder's memory never counts toward the peak here.
    const pid_t child = fork();
    if (child < 0)
        fail("cannot start the builder process");
    if (child == 0) {
        const Status built = buildSyntheticDatabase(path, count, gStructures);
        if (!built.ok())
            std::fprintf(stderr, "flaskbook_bench: building failed: %s\n",
                         qPrintable(built.message()));
        std::fflush(stderr);
        _exit(built.ok() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || countRecords(path) != count)
        fail("building " + path.toStdString() + " failed");
    std::printf("built in %.1f s\n", msSince(start) / 1000.0);
    return path;
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        fail("cannot copy " + from.toStdString() + " to " + to.toStdString());
}

// Whether `text` occurs anywhere in the file, read in pieces so a large file costs no memory.
bool fileContains(const QString& path, const std::string& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read " + path.toStdString());
    const QByteArrayView wanted(text.data(), qsizetype(text.size()));
    QByteArray carried;
    while (!file.atEnd()) {
        const QByteArray block = carried + file.read(1 << 20);
        if (block.contains(wanted))
            return true;
        carried = block.right(wanted.size() - 1);
    }
    return false;
}

double megabytes(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

// --- the measurements ---

void measureOpen(const QString& file, long long count, std::vector<Row>& rows)
{
    const auto [storeMs, plainMs] = alternate(
        kWholeTableRuns,
        [&](int) {
            const auto start = Clock::now();
            DataControl data;
            data.setDatabaseName(file);
            data.setRecordSource(kTableOrder);
            require(data.Refresh(), "Refresh");
            require(data.Recordset().MoveLast(), "MoveLast");
            const int records = data.Recordset().RecordCount();
            const double elapsed = msSince(start);
            if (records != count)
                fail("the store counts " + std::to_string(records) + " records");
            return elapsed;
        },
        [&](int) { return plainOpenMs(file, count); });
    rows.push_back(ratioRow("open + MoveLast + RecordCount", storeMs, plainMs, 1.5));
}

// Notes the first paint a window receives; the whole window is painted in that same pass.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Shows the window and runs the event loop until it is exposed and painted, without sleeping.
void showUntilPainted(QWidget& window)
{
    PaintWatch watch;
    window.installEventFilter(&watch);
    const auto start = Clock::now();
    window.show();
    while (!watch.painted) {
        QApplication::processEvents();
        if (msSince(start) > kPaintTimeoutMs)
            fail("a window was never painted");
    }
    window.removeEventFilter(&watch);
}

void measureStartUp(const QString& dir, const QString& cached, long long count,
                    ScriptedMessageBoxes& boxes, std::vector<Row>& rows)
{
    // The window wants its database as Flaskbook.mdb in a data folder; it only reads at
    // start-up, so a link to the cached file does instead of a copy.
    QTemporaryDir folder(QDir(dir).filePath(QStringLiteral("startup-XXXXXX")));
    if (!folder.isValid())
        fail("cannot create a data folder in " + dir.toStdString());
    const Paths paths{folder.path(), QCoreApplication::applicationDirPath(),
                      folder.filePath(QStringLiteral("backup"))};
    const QString database = paths.databaseFile();
    if (::link(QFile::encodeName(cached).constData(), QFile::encodeName(database).constData()) !=
            0 &&
        !QFile::link(QFileInfo(cached).absoluteFilePath(), database))
        fail("cannot link " + cached.toStdString() + " as " + database.toStdString());

    const int runs = count >= 1000000 ? kStartUpRunsAtMillion : kStartUpRuns;
    const auto [storeMs, plainMs] = alternate(
        runs,
        [&](int) {
            boxes.clear();
            const auto start = Clock::now();
            Form1 window(paths);
            showUntilPainted(window);
            const double elapsed = msSince(start);
            if (!boxes.shown().isEmpty())
                fail("the window showed a message at start-up: " +
                     boxes.shown().front().prompt.toStdString());
            const QLabel* number = window.findChild<QLabel*>(QStringLiteral("record2label"));
            if (!number)
                fail("the window has no label record2label");
            if (number->text() != QLatin1String("1"))
                fail("the window starts at record \"" + number->text().toStdString() + "\", not 1");
            return elapsed;
        },
        [&](int) {
            const auto start = Clock::now();
            QWidget window;
            window.setFixedSize(kWindowWidth, kWindowHeight);
            showUntilPainted(window);
            return msSince(start) + plainOpenMs(database, count);
        });
    rows.push_back(ratioRow("window start-up to record 1 (vs bare window + table-scan keyset)",
                            storeMs, plainMs, 0.6));
}

paintedButton* buttonOf(const QWidget& window, const char* name)
{
    paintedButton* button = window.findChild<paintedButton*>(QLatin1String(name));
    if (!button)
        fail(std::string("the window has no button ") + name);
    return button;
}

void flushToDisk(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || ::fsync(file.handle()) != 0)
        fail("cannot flush " + path.toStdString());
}

// Copies the file as cp does and flushes the copy to disk: the least a safe backup costs.
// The copy is removed again at once, as the window's Backup removes the backup it replaces,
// so each side writes into memory the other has just given back. (On a virtual machine,
// memory the system has never used costs several times as much to write the first time.)
double plainBackupMs(const QString& from, const QString& to)
{
    const auto start = Clock::now();
    if (!QFile::copy(from, to))
        fail("plain copy to " + to.toStdString() + " failed");
    flushToDisk(to);
    const double elapsed = msSince(start);
    QFile::remove(to);
    return elapsed;
}

// Backup and Clear DB as the user runs them, each once: both change the files for good.
void measureWindowBackupAndClear(const QString& dir, const QString& cached,
                                 ScriptedMessageBoxes& boxes, std::vector<Row>& rows)
{
    QTemporaryDir folder(QDir(dir).filePath(QStringLiteral("tools-XXXXXX")));
    if (!folder.isValid())
        fail("cannot create a data folder in " + dir.toStdString());
    const Paths paths{folder.path(), QCoreApplication::applicationDirPath(),
                      folder.filePath(QStringLiteral("backup"))};
    copyFile(cached, paths.databaseFile());
    // Both sides start with the database on disk, not with gigabytes of it still to write.
    flushToDisk(paths.databaseFile());
    // The restart after the backup is recorded, not run.
    ScriptedPrograms programs;

    // Writing half a gigabyte back to disk varies a lot from run to run; both sides take turns.
    const QString plainCopy = folder.filePath(QStringLiteral("plain-copy"));
    const auto [backupMs, plainMs] = alternate(
        kBackupRuns,
        [&](int) {
            boxes.clear();
            boxes.queueAnswer(vbYes);
            Form1 window(paths);
            showUntilPainted(window);
            const auto start = Clock::now();
            emit buttonOf(window, "backupbtn")->Click();
            const double elapsed = msSince(start);
            if (window.isVisible() || programs.started().isEmpty())
                fail("the backup did not end with a restart");
            if (boxes.shown().isEmpty() || !boxes.shown().back().prompt.startsWith(
                                               QLatin1String("Database file has been saved")))
                fail("the backup did not report its copy as saved");
            if (countRecords(paths.backupFile()) != countRecords(paths.databaseFile()))
                fail("the backup does not hold every record");
            return elapsed;
        },
        [&](int) { return plainBackupMs(paths.databaseFile(), plainCopy); });
    QFile::remove(plainCopy);
    QFile::remove(paths.backupFile());
    rows.push_back(
        ratioRow("window Backup, Yes to restart (vs cp + fsync)", backupMs, plainMs, 1.2));

    boxes.clear();
    boxes.queueAnswer(vbYes);
    double clearMs = 0;
    {
        Form1 window(paths);
        showUntilPainted(window);
        const auto start = Clock::now();
        emit buttonOf(window, "cleardbbtn")->Click();
        clearMs = msSince(start);
        const QLabel* number = window.findChild<QLabel*>(QStringLiteral("record2label"));
        if (!number || number->text() != QLatin1String("0"))
            fail("the window does not show record 0 after Clear DB");
    }
    Row row = limitRow("window Clear DB, Yes to record 0", clearMs, std::nan(""), 500.0);
    if (countRecords(paths.databaseFile()) != 0 ||
        QFileInfo(paths.databaseFile()).size() > kEmptyFileLimit)
        row.verdict = "MISSED";
    rows.push_back(row);
}

// The window's Search and Sort handlers beside the same record-store calls made on the
// window's own record set, so the difference is what the handlers add.
void measureWindowCommands(const QString& dir, const QString& file, long long count,
                           ScriptedMessageBoxes& boxes, std::vector<Row>& rows)
{
    QTemporaryDir folder(QDir(dir).filePath(QStringLiteral("window-XXXXXX")));
    if (!folder.isValid())
        fail("cannot create a data folder in " + dir.toStdString());
    const Paths paths{folder.path(), QCoreApplication::applicationDirPath(),
                      folder.filePath(QStringLiteral("backup"))};
    // Searching and sorting write nothing, so a link to the working copy does.
    if (::link(QFile::encodeName(file).constData(),
               QFile::encodeName(paths.databaseFile()).constData()) != 0)
        fail("cannot link " + file.toStdString());
    Form1 window(paths);
    showUntilPainted(window);
    auto* searchText = window.findChild<TextBox*>(QStringLiteral("searchtxt"));
    auto* nameText = window.findChild<TextBox*>(QStringLiteral("nametxt"));
    auto* searchButton = window.findChild<paintedButton*>(QStringLiteral("searchbtn"));
    if (!searchText || !nameText || !searchButton)
        fail("the window lacks its search controls");
    Recordset& records = window.dataControl().Recordset();

    for (const bool hit : {true, false}) {
        const QString value =
            hit ? QString::fromStdString(syntheticName(uniqueNumberNear(count / 2 + 11)))
                : QStringLiteral("NO SUCH CHEMICAL");
        const auto [handlerMs, storeMs] = alternate(
            kCheapRuns,
            [&](int) {
                searchText->setText(value);
                boxes.clear();
                const auto start = Clock::now();
                emit searchButton->Click();
                const double elapsed = msSince(start);
                if (hit ? nameText->Text() != value : boxes.shown().size() != 1)
                    fail("the window's search went wrong for " + value.toStdString());
                return elapsed;
            },
            [&](int) {
                const auto start = Clock::now();
                require(records.FindFirst(QStringLiteral("Name"), value), "FindFirst");
                return msSince(start);
            });
        rows.push_back(ratioRow(std::string("window Search ") + (hit ? "hit" : "miss") +
                                    " (vs FindFirst on its record set)",
                                handlerMs, storeMs, 1.2));
    }

    for (const bool ascending : {true, false}) {
        const char* button = ascending ? "sortascbtn" : "sortdscbtn";
        auto* sortButton = window.findChild<paintedButton*>(QLatin1String(button));
        if (!sortButton)
            fail(std::string("the window has no ") + button);
        const QString& source = ascending ? kNameAscending : kNameDescending;
        const auto [handlerMs, storeMs] = alternate(
            kWholeTableRuns,
            [&](int) {
                const auto start = Clock::now();
                emit sortButton->Click();
                const double elapsed = msSince(start);
                if (records.RecordCount() != count || records.AbsolutePosition() != 0)
                    fail("the window's sort went wrong");
                return elapsed;
            },
            [&](int) {
                window.dataControl().setRecordSource(source);
                const auto start = Clock::now();
                require(window.dataControl().Refresh(), "Refresh");
                return msSince(start);
            });
        rows.push_back(ratioRow(std::string("window Sort ") + (ascending ? "A--Z" : "Z--A") +
                                    " (vs Refresh of its data control)",
                                handlerMs, storeMs, 1.2));
    }

    // Next as the user presses it: the move, the record's boxes and its structure drawn.
    if (!gStructures.empty()) {
        auto* nextButton = window.findChild<paintedButton*>(QStringLiteral("nextbtn"));
        emit window.findChild<paintedButton*>(QStringLiteral("firstbtn"))->Click();
        std::vector<double> times;
        for (int i = 0; i < kStructureMoves && i + 1 < count; ++i) {
            const auto start = Clock::now();
            emit nextButton->Click();
            times.push_back(msSince(start));
        }
        rows.push_back(limitRow("window Next, every record with a structure (median per move)",
                                median(times), std::nan(""), 30.0));
        rows.push_back(limitRow("  the same, slowest move",
                                *std::max_element(times.begin(), times.end()), std::nan(""), 30.0));
    }
}

void measureMoves(DataControl& data, const BoundRecord& record, PlainDb& plain, long long count,
                  std::vector<Row>& rows)
{
    const int moves = int(std::min<long long>(kMoves, count - 1));
    Query select(plain, std::string("SELECT ") + kColumns + " FROM DATA1 WHERE rowid=?");
    long long storeLength = 0;
    long long plainLength = 0;
    const auto [storeMs, plainMs] = alternate(
        kWholeTableRuns,
        [&](int) {
            require(data.Recordset().MoveFirst(), "MoveFirst");
            storeLength = 0;
            const auto start = Clock::now();
            for (int i = 0; i < moves; ++i) {
                require(data.Recordset().MoveNext(), "MoveNext");
                storeLength += record.totalLength();
            }
            return msSince(start) / moves;
        },
        [&](int) {
            plainLength = 0;
            const auto start = Clock::now();
            for (long long id = 2; id <= moves + 1; ++id)
                plainLength += readRow(select, id);
            return msSince(start) / moves;
        });
    // Plain ASCII data: characters and bytes agree, so both sides must have read the same rows.
    if (storeLength != plainLength)
        fail("the moves read " + std::to_string(storeLength) + " characters, plain SQLite " +
             std::to_string(plainLength));
    rows.push_back(ratioRow("MoveNext + 11 fields read, per move", storeMs, plainMs, 2.0));

    for (const bool toLast : {true, false}) {
        Recordset& records = data.Recordset();
        const auto [moveMs, readMs] = alternate(
            kCheapRuns,
            [&](int) {
                // Start at the other end, so the move really goes somewhere.
                require(toLast ? records.MoveFirst() : records.MoveLast(), "move");
                const auto start = Clock::now();
                require(toLast ? records.MoveLast() : records.MoveFirst(), "move");
                return msSince(start);
            },
            [&](int) {
                const auto start = Clock::now();
                readRow(select, toLast ? count : 1);
                return msSince(start);
            });
        rows.push_back(timedRow(toLast ? "MoveLast" : "MoveFirst", moveMs, readMs));
    }
}

void measureFind(DataControl& data, PlainDb& plain, long long count, std::vector<Row>& rows)
{
    // Targets at the start, the middle and the end of the table.
    const std::array<long long, 3> targets{1, uniqueNumberNear(count / 2 + 1),
                                           uniqueNumberNear(count - 2)};
    Query byName(plain, "SELECT rowid FROM DATA1 WHERE Name=? COLLATE NOCASE");
    Query byCas(plain, "SELECT rowid FROM DATA1 WHERE CAS=? COLLATE NOCASE");

    for (const Order& order : kOrders) {
        data.setRecordSource(order.source);
        require(data.Refresh(), "Refresh");

        // The first search after a reload may build lookup structures; it counts too.
        const std::string firstName = syntheticName(targets[1]);
        const auto start = Clock::now();
        require(
            data.Recordset().FindFirst(QStringLiteral("Name"), QString::fromStdString(firstName)),
            "FindFirst");
        const double firstMs = msSince(start);
        const auto plainStart = Clock::now();
        countMatches(byName, firstName);
        rows.push_back(
            limitRow(std::string("FindFirst Name hit, first after Refresh, ") + order.label,
                     firstMs, msSince(plainStart), 1.0));

        for (const bool onName : {true, false}) {
            for (const bool hit : {true, false}) {
                auto value = [&](int run) {
                    if (!hit)
                        return onName ? "NOSUCHCHEMICAL" + std::to_string(run)
                                      : "0000-00-" + std::to_string(run % 10);
                    const long long number = targets[size_t(run) % targets.size()];
                    return onName ? syntheticName(number) : syntheticRow(number)[2];
                };
                const auto [storeMs, plainMs] = alternate(
                    3 * int(targets.size()),
                    [&](int run) {
                        const QString wanted = QString::fromStdString(value(run));
                        const QString column =
                            onName ? QStringLiteral("Name") : QStringLiteral("CAS");
                        const auto begin = Clock::now();
                        require(data.Recordset().FindFirst(column, wanted), "FindFirst");
                        const double elapsed = msSince(begin);
                        if (data.Recordset().NoMatch() == hit ||
                            (hit && data.Recordset().field(column).compare(
                                        wanted, Qt::CaseInsensitive) != 0))
                            fail("FindFirst found the wrong record for " + wanted.toStdString());
                        return elapsed;
                    },
                    [&](int run) {
                        const std::string wanted = value(run);
                        const auto begin = Clock::now();
                        const int matches = countMatches(onName ? byName : byCas, wanted);
                        const double elapsed = msSince(begin);
                        if ((matches > 0) != hit)
                            fail("plain search disagrees for " + wanted);
                        return elapsed;
                    });
                rows.push_back(limitRow(std::string("FindFirst ") + (onName ? "Name " : "CAS ") +
                                            (hit ? "hit, " : "miss, ") + order.label,
                                        storeMs, plainMs, 1.0));
            }
        }
    }
}

// FindNext and FindPrevious from the current record, in each order, by CAS number. Near:
// every so many records of the order hold the value (every 1,000th and every 100th at a
// million records), so each step goes that far on past as many matches; far: only the second
// and the last but one record of the order hold it, and each step crosses the record set.
// Written through another connection as another program would, and put back as built.
void measureFindNext(DataControl& data, PlainDb& plain, long long count, std::vector<Row>& rows)
{
    const std::array<const char*, 3> keysetSql{
        "SELECT rowid FROM DATA1 ORDER BY rowid",
        "SELECT rowid FROM DATA1 ORDER BY Name COLLATE NOCASE ASC, rowid ASC",
        "SELECT rowid FROM DATA1 ORDER BY Name COLLATE NOCASE DESC, rowid DESC"};
    // Ten steps on and ten back must stay within the record set; 0 stands for far.
    const std::array<long long, 3> spacings{std::min<long long>(1000, count / 25),
                                            std::min<long long>(100, count / 25), 0};
    Query byCas(plain, "SELECT rowid FROM DATA1 WHERE CAS=? COLLATE NOCASE");
    Query setCas(plain, "UPDATE DATA1 SET CAS=? WHERE rowid=?");
    const auto write = [&](const std::vector<std::pair<std::int64_t, std::string>>& changes) {
        plain.exec("BEGIN");
        for (const auto& [id, cas] : changes) {
            sqlite3_bind_text(setCas.get(), 1, cas.data(), int(cas.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(setCas.get(), 2, id);
            setCas.finish();
        }
        plain.exec("COMMIT");
    };
    const QString column = QStringLiteral("CAS");

    for (size_t o = 0; o < kOrders.size(); ++o) {
        const Order& order = kOrders[o];
        const std::vector<std::int64_t> ids = readKeyset(plain, keysetSql[o]);
        const auto valueFor = [&](size_t which) {
            return "FIND " + std::to_string(which) + " " + order.label;
        };
        std::vector<std::pair<std::int64_t, std::string>> changes, asBuilt;
        changes.emplace_back(ids[1], valueFor(2));
        changes.emplace_back(ids[ids.size() - 2], valueFor(2));
        // The second near case starts half a step on, so no record holds two values.
        for (size_t i = 0; i < ids.size(); i += size_t(spacings[0]))
            changes.emplace_back(ids[i], valueFor(0));
        for (size_t i = size_t(spacings[1] / 2); i < ids.size(); i += size_t(spacings[1]))
            changes.emplace_back(ids[i], valueFor(1));
        for (const auto& change : changes)
            asBuilt.emplace_back(change.first, syntheticRow(change.first)[2]);
        write(changes);
        data.setRecordSource(order.source);
        require(data.Refresh(), "Refresh");
        Recordset& records = data.Recordset();

        for (size_t which = 0; which < spacings.size(); ++which) {
            const long long spacing = spacings[which];
            const std::string wanted = valueFor(which);
            const QString value = QString::fromStdString(wanted);
            require(records.FindFirst(column, value), "FindFirst");
            const auto [storeMs, plainMs] = alternate(
                kCheapRuns,
                [&](int run) {
                    // Near: ten steps on, then back; far: to the other end and back in turn.
                    const bool back = spacing > 0 ? run > kCheapRuns / 2 : run % 2 == 1;
                    const int from = records.AbsolutePosition();
                    const int expected = spacing == 0 ? (back ? 1 : int(count) - 2)
                                                      : from + int(back ? -spacing : spacing);
                    const auto start = Clock::now();
                    require(back ? records.FindPrevious(column, value)
                                 : records.FindNext(column, value),
                            "FindNext");
                    const double elapsed = msSince(start);
                    if (records.AbsolutePosition() != expected)
                        fail("FindNext/Previous went to record " +
                             std::to_string(records.AbsolutePosition()) + ", not " +
                             std::to_string(expected));
                    return elapsed;
                },
                [&](int) {
                    const auto start = Clock::now();
                    countMatches(byCas, wanted);
                    return msSince(start);
                });
            const std::string label =
                spacing > 0
                    ? format("FindNext/Previous, next match %.0f records on, ", double(spacing))
                    : std::string("FindNext/Previous, only other match at the far end, ");
            rows.push_back(
                limitRow(label + order.label, storeMs, plainMs, spacing > 0 ? 1.0 : 100.0));
        }
        write(asBuilt);
    }
}

// Half of the records get EqWeight "1" and one record a name with accented letters, through
// another connection, as another program would; the record set notices at its next step.
void measureSharedAndAccented(DataControl& data, PlainDb& plain, long long count,
                              std::vector<Row>& rows)
{
    const long long accented = uniqueNumberNear(count / 2 + 7);
    const std::string accentedName = "ÉTHER DIÉTHYLIQUE Α-TOCOPHÉROL";
    const auto changeStart = Clock::now();
    plain.exec("PRAGMA journal_mode=OFF");
    plain.exec("PRAGMA synchronous=OFF");
    plain.exec("UPDATE DATA1 SET EqWeight='1' WHERE rowid % 2 = 0");
    plain.exec(
        ("UPDATE DATA1 SET Name='" + accentedName + "' WHERE rowid=" + std::to_string(accented))
            .c_str());
    plain.exec("PRAGMA journal_mode=DELETE");
    plain.exec("PRAGMA synchronous=FULL");
    std::printf("(half the records given EqWeight 1 in %.1f s)\n", msSince(changeStart) / 1000.0);

    Query firstShared(plain, "SELECT rowid FROM DATA1 WHERE EqWeight=? COLLATE NOCASE ORDER BY "
                             "rowid LIMIT 1");
    Query byName(plain, "SELECT rowid FROM DATA1 WHERE Name=? COLLATE NOCASE");
    for (const Order& order : kOrders) {
        data.setRecordSource(order.source);
        require(data.Refresh(), "Refresh");
        struct Search {
            const char* column;
            QString value;
            Query& plainQuery;
            std::string plainValue;
            const char* label;
            double limitMs;
        };
        const bool tableOrder = &order.source == &kTableOrder;
        for (const Search& search :
             {Search{"EqWeight", QStringLiteral("1"), firstShared, "1",
                     "FindFirst EqWeight hit, half the records match, ", tableOrder ? 1.0 : 20.0},
              Search{"EqWeight", QStringLiteral("1 "), firstShared, "1",
                     "FindFirst EqWeight hit with a trailing blank, half match, ",
                     tableOrder ? 1.0 : 20.0},
              Search{"Name", QStringLiteral("éther diéthylique α-tocophérol"), byName, accentedName,
                     "FindFirst Name hit, accented and Greek, lower case, ", 50.0}}) {
            const auto [storeMs, plainMs] = alternate(
                kCheapRuns,
                [&](int) {
                    require(data.Recordset().MoveLast(), "MoveLast");
                    const auto start = Clock::now();
                    require(data.Recordset().FindFirst(QString::fromLatin1(search.column),
                                                       search.value),
                            "FindFirst");
                    const double elapsed = msSince(start);
                    if (data.Recordset().NoMatch())
                        fail(std::string("FindFirst missed ") + search.label);
                    return elapsed;
                },
                [&](int) {
                    const auto start = Clock::now();
                    countMatches(search.plainQuery, search.plainValue);
                    return msSince(start);
                });
            rows.push_back(limitRow(search.label + std::string(order.label), storeMs, plainMs,
                                    search.limitMs));
        }
    }
}

void measureRefresh(DataControl& data, PlainDb& plain, long long count, std::vector<Row>& rows)
{
    struct NameOrder {
        const QString& source;
        const char* sql;
        const char* label;
    };
    for (const NameOrder& order :
         {NameOrder{kNameAscending,
                    "SELECT rowid FROM DATA1 ORDER BY Name COLLATE NOCASE ASC, rowid ASC", "asc"},
          NameOrder{kNameDescending,
                    "SELECT rowid FROM DATA1 ORDER BY Name COLLATE NOCASE DESC, rowid DESC",
                    "desc"}}) {
        std::int64_t plainFirst = 0;
        const auto [storeMs, plainMs] = alternate(
            kWholeTableRuns,
            [&](int) {
                data.setRecordSource(order.source);
                const auto start = Clock::now();
                require(data.Refresh(), "Refresh");
                const double elapsed = msSince(start);
                if (data.Recordset().RecordCount() != count)
                    fail("Refresh counts the wrong number of records");
                return elapsed;
            },
            [&](int) {
                const auto start = Clock::now();
                const std::vector<std::int64_t> ids = readKeyset(plain, order.sql);
                const double elapsed = msSince(start);
                plainFirst = ids.front();
                return elapsed;
            });
        // Both sides must have put the same record first.
        if (data.Recordset().field(QStringLiteral("Name")).toStdString() !=
            syntheticName(plainFirst))
            fail(std::string("Refresh ") + order.label + " starts at another record");
        rows.push_back(
            ratioRow(std::string("Refresh, name ") + order.label, storeMs, plainMs, 1.5));
    }
}

void measureWrites(DataControl& data, BoundRecord& record, PlainDb& plain, long long count,
                   std::vector<Row>& rows)
{
    data.setRecordSource(kTableOrder);
    require(data.Refresh(), "Refresh");

    Query remove(plain, "DELETE FROM DATA1 WHERE rowid=?");
    const auto [deleteMs, plainDeleteMs] = alternate(
        kWriteRuns,
        [&](int run) {
            Recordset& records = data.Recordset();
            const std::string name = syntheticName(uniqueNumberNear(count / 2 + 3 + 3 * run));
            require(records.MoveFirst(), "MoveFirst");
            require(records.FindFirst(QStringLiteral("Name"), QString::fromStdString(name)),
                    "FindFirst");
            if (records.NoMatch())
                fail("the record to delete is missing");
            // Counted after the search, which has seen the plain side's deletes.
            const int before = records.RecordCount();
            const auto start = Clock::now();
            require(records.Delete(), "Delete");
            const double elapsed = msSince(start);
            if (records.RecordCount() != before - 1)
                fail("Delete did not remove one record");
            return elapsed;
        },
        [&](int run) {
            const long long id = std::max<long long>(2, count / 2 - 50 - 3 * run);
            const auto start = Clock::now();
            sqlite3_bind_int64(remove.get(), 1, id);
            remove.finish();
            const double elapsed = msSince(start);
            if (sqlite3_changes(plain.handle()) != 1)
                fail("plain delete removed nothing");
            return elapsed;
        });
    rows.push_back(ratioRow("Delete a middle record", deleteMs, plainDeleteMs, 1.5));

    Query insert(plain, "INSERT INTO "
                        "DATA1(Name,IUPAC,CAS,MolFormula,MolWeight,EqWeight,Appearance,Spgr,pH,"
                        "SpecialNote,Image) VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    const auto [addMs, plainAddMs] = alternate(
        kWriteRuns,
        [&](int run) {
            Recordset& records = data.Recordset();
            const SyntheticRow values = syntheticRow(count + 1 + run);
            // The plain side's inserts come from another connection, and the store reads
            // its keyset again once it notices; that reading is not what is timed here.
            require(records.MoveLast(), "MoveLast");
            const auto start = Clock::now();
            require(records.AddNew(), "AddNew");
            double elapsed = msSince(start);
            record.type(values);
            const auto commit = Clock::now();
            require(records.Update(), "Update");
            elapsed += msSince(commit);
            if (records.field(QStringLiteral("Name")).toStdString() != values[0])
                fail("the new record is not current after Update");
            return elapsed;
        },
        [&](int run) {
            const SyntheticRow values = syntheticRow(count + 101 + run);
            const auto start = Clock::now();
            for (int i = 0; i < 11; ++i)
                sqlite3_bind_text(insert.get(), i + 1, values[size_t(i)].data(),
                                  int(values[size_t(i)].size()), SQLITE_STATIC);
            insert.finish();
            return msSince(start);
        });
    rows.push_back(ratioRow("AddNew + Update (commit)", addMs, plainAddMs, 1.5));
}

void measureClear(DataControl& data, const QString& file, const QString& plainCopy, long long count,
                  std::vector<Row>& rows)
{
    const std::string sample = syntheticName(uniqueNumberNear(count / 3 + 1));
    if (!fileContains(file, sample))
        fail("the sample name is not in the file before the clear");
    const qint64 sizeBefore = QFileInfo(file).size();
    // The plain side clears a copy taken before the store clears the file itself.
    copyFile(file, plainCopy);

    const auto start = Clock::now();
    Database second;
    require(second.OpenDatabase(file), "OpenDatabase");
    require(second.Execute(QStringLiteral("delete * from DATA1 ")), "Execute");
    const double storeMs = msSince(start);
    second.Close();

    double plainMs = 0;
    {
        PlainDb db(plainCopy);
        const auto begin = Clock::now();
        db.exec("DELETE FROM DATA1");
        db.exec("VACUUM");
        plainMs = msSince(begin);
    }
    const qint64 plainSize = QFileInfo(plainCopy).size();
    QFile::remove(plainCopy);

    require(data.Refresh(), "Refresh after the clear");
    if (data.Recordset().RecordCount() != 0)
        fail("records are left after the clear");
    const qint64 sizeAfter = QFileInfo(file).size();
    const bool sampleLeft = fileContains(file, sample);
    Row row = limitRow("clear: delete * from DATA1", storeMs, plainMs, 500.0);
    row.target = "< 500 ms, space back";
    if (sizeAfter > kEmptyFileLimit || sampleLeft)
        row.verdict = "MISSED";
    rows.push_back(row);
    std::printf("clear: file %.3f MB -> %.3f MB (plain: %.3f MB), deleted name still in the "
                "file: %s\n",
                megabytes(sizeBefore), megabytes(sizeAfter), megabytes(plainSize),
                sampleLeft ? "yes" : "no");
}

// The synthetic file's records exported to CSV and imported into a new file.
void exportAndImport(const QString& dir, const QString& synthetic, const QString& path,
                     long long count)
{
    const QString csv = QDir(dir).filePath(QStringLiteral("export-%1.csv").arg(count));
    JobProgress progress;
    long long written = 0;
    auto start = Clock::now();
    if (const Status s = exportCollection(synthetic, RecordOrder::Table, csv, CollectionFormat::Csv,
                                          progress, written);
        !s.ok())
        fail("export failed: " + s.message().toStdString());
    std::printf("exported %lld records to CSV in %.1f s\n", written, msSince(start) / 1000.0);
    QFile::remove(path);
    if (const Status s = Database::CreateDatabase(path); !s.ok())
        fail("cannot create " + path.toStdString());
    FieldMapping mapping;
    for (const QString& column : recordColumns())
        mapping.itemForColumn.insert(column, column);
    mapping.itemForColumn.insert(structureColumn(), QStringLiteral("SMILES"));
    ImportResult result;
    start = Clock::now();
    if (const Status s =
            importCollection(path, csv, CollectionFormat::Csv, mapping, count, progress, result);
        !s.ok() || result.added != count)
        fail("import failed: " + s.message().toStdString());
    std::printf("imported %lld records in %.1f s\n", result.added, msSince(start) / 1000.0);
    std::fflush(stdout);
    QFile::remove(csv);
}

// The imported copy of the synthetic file, made once, in a child process like the synthetic
// file itself, so the import's memory never counts toward the peak here.
QString importedDatabase(const QString& dir, const QString& synthetic, long long count)
{
    const QString path = QFileInfo(synthetic).path() + QLatin1Char('/') +
                         QFileInfo(synthetic).completeBaseName() + QStringLiteral("-imported.db");
    if (countRecords(path) == count) {
        std::printf("reusing %s\n", qPrintable(path));
        return path;
    }
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0)
        fail("cannot start the import process");
    if (child == 0) {
        exportAndImport(dir, synthetic, path, count);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || countRecords(path) != count)
        fail("importing into " + path.toStdString() + " failed");
    return path;
}

void benchmark(const QString& dir, long long count, ScriptedMessageBoxes& boxes)
{
    std::printf("\n== %lld records ==\n", count);
    QString cached = cachedDatabase(dir, count);
    if (gImported)
        cached = importedDatabase(dir, cached, count);
    // Every measurement works on a copy, so the cached file stays as built.
    const QString file = QDir(dir).filePath(QStringLiteral("work-%1.db").arg(count));
    const QString plainCopy = QDir(dir).filePath(QStringLiteral("clear-plain-%1.db").arg(count));
    copyFile(cached, file);
    std::printf("file %.3f MB\n", megabytes(QFileInfo(file).size()));

    std::vector<Row> rows;
    measureOpen(file, count, rows);
    measureStartUp(dir, cached, count, boxes, rows);
    measureWindowBackupAndClear(dir, cached, boxes, rows);
    measureWindowCommands(dir, file, count, boxes, rows);
    {
        DataControl data;
        BoundRecord record;
        record.bindTo(data);
        data.setDatabaseName(file);
        require(data.Refresh(), "Refresh");
        PlainDb plain(file);
        measureMoves(data, record, plain, count, rows);
        measureFind(data, plain, count, rows);
        measureFindNext(data, plain, count, rows);
        measureRefresh(data, plain, count, rows);
        measureWrites(data, record, plain, count, rows);
        measureSharedAndAccented(data, plain, count, rows);
        measureClear(data, file, plainCopy, count, rows);
        require(data.Close(), "Close");
    }
    QFile::remove(file);

    const double peak = peakMemoryMb();
    rows.push_back({"peak memory so far (ru_maxrss)", format("%.1f MB", peak), "-", "-", "< 100 MB",
                    peak < 100.0 ? "ok" : "MISSED"});
    printTable(rows);
    std::fflush(stdout);
}

std::vector<long long> parseSizes(const QString& text)
{
    std::vector<long long> sizes;
    for (const QString& item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const long long size = item.trimmed().toLongLong(&ok);
        // The writes pick their records around the middle, which needs some room.
        if (!ok || size < 1000)
            fail("a size must be a number of at least 1000, not \"" + item.toStdString() + "\"");
        sizes.push_back(size);
    }
    return sizes;
}

} // namespace

int main(int argc, char** argv)
{
    // The main window needs a widget application; offscreen, unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // No message box may wait for an answer while the clock runs.
    ScriptedMessageBoxes boxes;

    std::vector<long long> sizes{1000, 100000, 1000000};
    QString dir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sizes" && i + 1 < argc) {
            sizes = parseSizes(QString::fromLocal8Bit(argv[++i]));
        } else if (arg == "--dir" && i + 1 < argc) {
            dir = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--structures") {
            gStructures = sampleStructures();
        } else if (arg == "--imported") {
            gImported = true;
        } else {
            std::fprintf(stderr, "usage: flaskbook_bench [--sizes 1000,100000,1000000] [--dir DIR] "
                                 "[--structures] [--imported]\n");
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }

    // Without --dir the databases live in a folder removed at the end of the run.
    std::optional<QTemporaryDir> temporary;
    if (dir.isEmpty()) {
        temporary.emplace(QDir::tempPath() + QStringLiteral("/flaskbook-bench-XXXXXX"));
        if (!temporary->isValid())
            fail("cannot create a temporary folder");
        dir = temporary->path();
    } else if (!QDir().mkpath(dir)) {
        fail("cannot create " + dir.toStdString());
    }
    std::printf("Flaskbook record store benchmark, SQLite %s, files in %s\n", sqlite3_libversion(),
                qPrintable(dir));
    for (const long long count : sizes)
        benchmark(dir, count, boxes);
    std::printf("\npeak memory of the whole run: %.1f MB\n", peakMemoryMb());
    return 0;
}
