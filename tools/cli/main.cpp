#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <iostream>

#include "Cli.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
    // The CSV writer ends its lines in CR LF itself and everything else in
    // LF: Windows must not add a CR of its own.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    return cli::run(args, std::cout, std::cerr);
}
