// libFuzzer target: the spreadsheet import (File > Import from Spreadsheet...
// and quarndb-cli import).
#include "Harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::importHarness(data, size);
    return 0;
}
