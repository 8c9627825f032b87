#!/usr/bin/env bash
# Installs what the build needs (Debian), builds Quarn db twice (plain, then
# with AddressSanitizer and UndefinedBehaviorSanitizer) and runs every test;
# the plain build's Debian package is built and checked too.
set -euo pipefail
cd "$(dirname "$0")"

bash tools/install-packages.sh build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools \
  libgtest-dev libgmock-dev libbenchmark-dev libxxhash-dev clang libclang-rt-14-dev python3 nlohmann-json3-dev \
  libcli11-dev libcsv-dev xvfb xauth openbox x11-utils xdotool file desktop-file-utils appstream help2man librsvg2-bin man-db

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# The Debian package of that build, as a player installs it: stripped
# programs, versions, menu entry, metainfo, manual pages and icons.
bash packaging/check-package.sh build

# The same suite once more under the sanitizers.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARNDB_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && ctest --output-on-failure -j "$jobs")

# A few seconds of each fuzz target over the seed corpus made from the sample
# generator. Needs clang with its libFuzzer runtime; skipped without them.
probe=$(mktemp -d)
if command -v clang++ >/dev/null 2>&1 &&
   printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' |
     clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o "$probe/probe" >/dev/null 2>&1; then
  CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUARNDB_FUZZ=ON -DQUARNDB_GUI=OFF -DCMAKE_CXX_COMPILER=clang++
  cmake --build build-fuzz -j "$jobs" --target fuzz_load fuzz_text fuzz_update fuzz_query fuzz_import fuzz_seeds
  smoke=build-fuzz/smoke
  rm -rf "$smoke"
  build-fuzz/fuzz/fuzz_seeds "$smoke/seeds"
  for target in load text update query import; do
    mkdir -p "$smoke/corpus-$target" "$smoke/artifacts"
    build-fuzz/fuzz/fuzz_$target -max_total_time=10 -print_final_stats=1 \
      -artifact_prefix="$smoke/artifacts/" "$smoke/corpus-$target" "$smoke/seeds/$target"
  done
else
  echo "clang++ with libFuzzer is not available: skipping the fuzz smoke run"
fi
rm -rf "$probe"

# The Windows programs: cross-built with MinGW-w64, tested under Wine and
# compared byte for byte with the Linux ones built above.
bash tools/windows/ci-windows.sh build
