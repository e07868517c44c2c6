#include "fuzz/fuzzchecks.h"

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    startFuzzApplication((*argv)[0], abortOnFatalMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkButtonSettings(data, size);
    return 0;
}
