#include "fuzz/collectionchecks.h"

#include <QHash>

// Each distinct outcome (the faults met, how many records) bumps one of these counters, which
// libFuzzer counts as coverage, so inputs that reach a new fault are kept. A finding ends the
// process through qFatal.
__attribute__((section("__libfuzzer_extra_counters"))) static uint8_t outcomeCounters[1024];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ++outcomeCounters[qHash(checkCollection(data, size)) % sizeof(outcomeCounters)];
    return 0;
}
