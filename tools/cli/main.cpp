#include <iostream>

#include "Cli.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::ios::sync_with_stdio(false);
    return cli::run(args, std::cout, std::cerr);
}
