// libFuzzer target: a whole game folder and wizard.quarn from one input.
#include "Harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::loadHarness(data, size);
    return 0;
}
