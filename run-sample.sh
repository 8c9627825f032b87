#!/usr/bin/env bash
# Installs what the build needs (Debian), builds Quarn db, writes a made-up
# game database into ./sample (with a Wine prefix at ./sample/wine whose
# registry points the editor at it) and opens the editor on it.
#
#   ./run-sample.sh          keep ./sample if it exists (your edits stay)
#   ./run-sample.sh --fresh  write a new sample database first
set -euo pipefail
cd "$(dirname "$0")"

bash tools/install-packages.sh build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools \
  libgtest-dev libgmock-dev libbenchmark-dev libxxhash-dev nlohmann-json3-dev libcli11-dev libcsv-dev

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target quarndb quarndb-sample quarndb_wizard_file quarndb_notes

if [ "${1:-}" = "--fresh" ] || [ ! -f sample/data/index.dat ]; then
  rm -rf sample
  ./build/tools/sample/quarndb-sample sample --wine-prefix sample/wine
fi

# The editor reads quarndb.txt and wizard.quarn from the folder it starts in.
cd build
exec env WINEPREFIX="$(cd ../sample/wine && pwd)" ./quarndb
