// libFuzzer target: arbitrary bytes as a database update file.
#include "Harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::updateHarness(data, size);
    return 0;
}
