#include "fuzz/fuzzchecks.h"

#include <QApplication>

// RDKit is built without coverage hooks, so the fuzzer would run blind inside it. Each
// distinct outcome bumps one of these counters, which libFuzzer counts as coverage, so inputs
// that reach a new message are kept.
__attribute__((section("__libfuzzer_extra_counters"))) static uint8_t outcomeCounters[1024];

static void keepFatalMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        fprintf(stderr, "%s\n", qPrintable(message));
        abort();
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt sees only the program name; the fuzzer's own options stay the fuzzer's.
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    static QApplication app(qtArgc, qtArgv);
    qInstallMessageHandler(keepFatalMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ++outcomeCounters[qHash(checkStructure(data, size)) % sizeof(outcomeCounters)];
    return 0;
}
