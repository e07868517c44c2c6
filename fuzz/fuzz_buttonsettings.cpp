#include "fuzz/fuzzchecks.h"

#include <QApplication>

// Warnings about odd settings are expected; only a fatal message is a finding.
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
    checkButtonSettings(data, size);
    return 0;
}
