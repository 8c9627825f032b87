// The rule checker's figures alone, without the windows:
//
//   quarndb-check-bench [--scales 10,50] [--runs 5]

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "CheckBench.h"

int main(int argc, char** argv)
{
    std::vector<double> scales{10, 50};
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--scales") {
            scales.clear();
            std::stringstream ss(argv[i + 1]);
            for (std::string item; std::getline(ss, item, ',');) scales.push_back(std::stod(item));
        } else if (a == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else {
            std::cerr << "usage: quarndb-check-bench [--scales 10,50] [--runs 5]\n";
            return 2;
        }
    }
    std::cout << bench::checkFigures(scales, runs);
    return 0;
}
