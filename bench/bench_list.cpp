// Times the record list on the benchmark's synthetic database: building its text filter index,
// opening the list, jumping to a row with the visible rows drawn, and the filter's first
// screen and full count for several texts, each against the target the list promises.
//
// Usage: flaskbook_bench_list [--dir /work/benchdata] [--count 1000000] [--structures]
//                             [--rebuild]
// It needs the database flaskbook_bench keeps in DIR (with --structures, the one whose records
// hold structures); it works on a copy of it, kept beside it with the index for later runs.

#include "app/form1.h"
#include "app/recordlistmodel.h"
#include "app/records/textfilter.h"
#include "platform/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kJumps = 30;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "flaskbook_bench_list: %s\n", what.c_str());
    std::exit(1);
}

double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A target of 0 means the figure is shown for its own sake.
void report(const char* what, double ms, double targetMs)
{
    if (targetMs <= 0) {
        std::printf("%-58s %9.1f ms\n", what, ms);
        return;
    }
    std::printf("%-58s %9.1f ms  target < %5.0f ms  %s\n", what, ms, targetMs,
                ms < targetMs ? "ok" : "MISSED");
}

bool hasIndex(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    bool present = false;
    const bool read = TextFilterIndex::isPresent(db, present).ok();
    sqlite3_close(db);
    return read && present;
}

// The copy with the index, made once: the cached database itself stays as built.
QString indexedCopy(const QString& dir, long long count, bool structures, bool rebuild)
{
    const QString suffix = (structures ? QStringLiteral("-structures") : QString()) +
                           QStringLiteral("-%1.db").arg(count);
    const QString source = QDir(dir).filePath(QStringLiteral("flaskbook-bench-v2") + suffix);
    const QString copy = QDir(dir).filePath(QStringLiteral("flaskbook-list-v1") + suffix);
    if (!QFileInfo::exists(source))
        fail(source.toStdString() + " is missing: run flaskbook_bench --dir " + dir.toStdString() +
             " --sizes " + std::to_string(count) + (structures ? " --structures" : "") +
             " once to build it");
    if (!QFileInfo::exists(copy)) {
        std::printf("copying %s ...\n", qPrintable(source));
        std::fflush(stdout);
        if (!QFile::copy(source, copy))
            fail("cannot copy " + source.toStdString());
        rebuild = true;
    }
    if (rebuild || !hasIndex(copy)) {
        JobProgress progress;
        const auto start = Clock::now();
        const Status built = TextFilterIndex::build(copy, progress);
        const double ms = msSince(start);
        if (!built.ok())
            fail("building the index failed: " + built.message().toStdString());
        std::printf("index build, %lld records: %.1f s, file %.0f MB\n", progress.done.load(),
                    ms / 1000.0, double(QFileInfo(copy).size()) / 1e6);
    } else {
        std::printf("reusing %s with its index (--rebuild times the build)\n", qPrintable(copy));
    }
    return copy;
}

void waitFor(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Counts the paints of a widget, so a timing can end when the screen shows the result.
class PaintCount : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ScriptedMessageBoxes boxes;

    QString dir = QStringLiteral("/work/benchdata");
    long long count = 1000000;
    bool structures = false;
    bool rebuild = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            dir = QString::fromLocal8Bit(argv[++i]);
        else if (arg == "--count" && i + 1 < argc)
            count = std::atoll(argv[++i]);
        else if (arg == "--structures")
            structures = true;
        else if (arg == "--rebuild")
            rebuild = true;
        else {
            std::fprintf(stderr, "usage: flaskbook_bench_list [--dir DIR] [--count N] "
                                 "[--structures] [--rebuild]\n");
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }
    std::printf("Flaskbook record list benchmark, SQLite %s\n", sqlite3_libversion());
    const QString file = indexedCopy(dir, count, structures, rebuild);

    // The window wants its database as Flaskbook.mdb in a data folder: a link to the copy.
    QTemporaryDir folder(QDir(dir).filePath(QStringLiteral("list-XXXXXX")));
    const Paths paths{folder.path(), QCoreApplication::applicationDirPath(),
                      folder.filePath(QStringLiteral("backup"))};
    if (::link(QFile::encodeName(file).constData(),
               QFile::encodeName(paths.databaseFile()).constData()) != 0)
        fail("cannot link " + file.toStdString());
    Form1 window(paths);
    window.show();
    QCoreApplication::processEvents();

    PaintCount painted;
    auto start = Clock::now();
    window.openRecordList();
    RecordList* list = window.recordList();
    RecordListModel* model = window.recordListModel();
    QTableView* table = list->table();
    table->viewport()->installEventFilter(&painted);
    waitFor([&] { return painted.paints > 0; });
    report("open the list, first screen drawn", msSince(start), 150);
    if (model->rowCount() != count)
        fail("the list shows " + std::to_string(model->rowCount()) + " rows");
    const int visibleRows =
        table->viewport()->height() / table->verticalHeader()->defaultSectionSize();

    std::mt19937 random(29);
    waitFor([&] { return !model->isDrawing(); });
    std::vector<double> jumps, drawn;
    for (int i = 0; i < kJumps; ++i) {
        const int row = int(random() % std::uint32_t(count));
        start = Clock::now();
        const int before = painted.paints;
        table->scrollTo(model->index(row, 0), QAbstractItemView::PositionAtTop);
        table->viewport()->repaint();
        if (painted.paints == before)
            fail("the list did not paint");
        jumps.push_back(msSince(start));
        waitFor([&] { return !model->isDrawing(); });
        table->viewport()->repaint();
        drawn.push_back(msSince(start));
    }
    report("jump to a row, visible rows read and drawn (median)", median(jumps), 16);
    report("  the slowest of those jumps", *std::max_element(jumps.begin(), jumps.end()), 16);
    report("  until their structures are drawn too (median)", median(drawn), 0);
    table->scrollToTop();

    // Parts of the synthetic names (random capitals), IUPAC fragments, CAS numbers, formulas.
    const char* const texts[] = {"eth", "QXZ", "chloro", "C12H2", "-18-", "ylamide", "ab", "7"};
    for (const char* text : texts) {
        const QString filter = QString::fromLatin1(text);
        const bool timed = filter.size() >= 3;
        start = Clock::now();
        list->filterBox()->setText(filter);
        waitFor([&] { return model->rowCount() >= visibleRows || !model->isSearching(); });
        table->viewport()->repaint();
        const double first = msSince(start);
        waitFor([&] { return !model->isSearching(); });
        const double all = msSince(start);
        waitFor([&] { return !model->isChecking(); });
        const double checked = msSince(start);
        char what[96];
        std::snprintf(what, sizeof what, "filter \"%s\": first screen", text);
        report(what, first, timed ? 50 : 0);
        std::snprintf(what, sizeof what, "filter \"%s\": all %d matches counted", text,
                      model->rowCount());
        report(what, all, timed ? 500 : 0);
        std::snprintf(what, sizeof what, "  each of them read again and checked");
        report(what, checked, 0);
        list->filterBox()->clear();
        waitFor([&] { return !model->isChecking(); });
    }
    std::printf("peak memory (ru_maxrss): %.1f MB\n", peakMemoryMb());
    return 0;
}
