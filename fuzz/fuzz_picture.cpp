#include "fuzz/fuzzchecks.h"

#include <QRegularExpression>

// Qt's decoders are built without coverage hooks, so the fuzzer would run blind inside them.
// Each distinct outcome and decoder message bumps one of these counters, which libFuzzer
// counts as coverage, so inputs that reach a new error path are kept.
__attribute__((section("__libfuzzer_extra_counters"))) static uint8_t outcomeCounters[1024];

static void countOutcome(const QByteArray& outcome)
{
    ++outcomeCounters[qHash(outcome) % sizeof(outcomeCounters)];
}

static void countDecoderMessage(QtMsgType type, const QMessageLogContext& context,
                                const QString& message)
{
    abortOnFatalMessage(type, context, message);
    // Numbers and chunk names vary with every input; the message's words make the path.
    static const QRegularExpression variable(QStringLiteral("[0-9]+|\\[[^\\]]*\\]|\"[^\"]*\""));
    QString shape = message;
    countOutcome(shape.remove(variable).toUtf8());
}

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    startFuzzApplication((*argv)[0], countDecoderMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    countOutcome(checkPictureFile(data, size));
    return 0;
}
