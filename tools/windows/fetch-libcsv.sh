#!/usr/bin/env bash
# Fetches Debian's source of libcsv (one C file and its header) for the
# MinGW-w64 build, which has no libcsv package: cmake/Windows.cmake compiles
# it into a static library when QUARNDB_LIBCSV_SOURCE names the folder this
# prints. Kept in the cache beside Qt for Windows; fetched once.
# Usage: fetch-libcsv.sh   (prints the unpacked source folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${QUARNDB_CACHE:-$HOME/.cache/quarndb}
dir=$cache/libcsv-source
mkdir -p "$dir"
found() { find "$dir" -maxdepth 2 -name libcsv.c -printf '%h\n' | head -n 1; }
if [ -z "$(found)" ]; then
  bash "$root/tools/install-packages.sh" dpkg-dev >&2
  # apt-get source needs a deb-src entry: the machine's own Debian entries,
  # same addresses and suites, as source entries (as build-qt.sh adds them).
  if ! apt-get source --print-uris libcsv >/dev/null 2>&1; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed -n '/^Types:/,$p' /etc/apt/sources.list.d/debian.sources |
        sed 's/^Types: .*/Types: deb-src/' | $SUDO tee /etc/apt/sources.list.d/quarndb-deb-src.sources >/dev/null
    else
      grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
        $SUDO tee /etc/apt/sources.list.d/quarndb-deb-src.list >/dev/null
    fi
    $SUDO apt-get update -qq >&2
  fi
  (cd "$dir" && apt-get source -qq libcsv >&2)
fi
src=$(found)
[ -n "$src" ] || { echo "apt-get source libcsv did not give libcsv.c in $dir" >&2; exit 1; }
echo "$src"
