// libFuzzer target: the text, code-page and date rules.
#include "Harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::textHarness(data, size);
    return 0;
}
