// libFuzzer target: the filter language of Find and quarndb-cli find.
#include "Harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::queryHarness(data, size);
    return 0;
}
