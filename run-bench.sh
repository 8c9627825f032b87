#!/usr/bin/env bash
# Builds the benchmark (Release) and measures loading, saving, searching and
# File > Open at 1×, 10× and 50× scale; the table in README.md's
# "Performance" section is replaced with the figures of this run.
# Pass other scales or run counts through, e.g. ./run-bench.sh --scales 1,10 --runs 3
set -euo pipefail
cd "$(dirname "$0")"
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build-bench --target quarndb-bench
QT_QPA_PLATFORM=offscreen build-bench/bench/quarndb-bench --runs 5 --markdown README.md "$@"
