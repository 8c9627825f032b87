#!/usr/bin/env bash
# Builds quarndb.exe (Release) against the Qt for Windows that build-qt.sh put
# in the cache, and packs dist/quarndb-VERSION-windows-x64.zip, VERSION from
# the project() line of CMakeLists.txt: the editor, the Qt and MinGW run-time
# DLLs it loads, the Windows platform plugin and styles, wizard.quarn,
# quarndb.txt and a read-me, every program and DLL stripped.
# Usage: build-editor.sh [--tests]   (--tests: the window tests as well)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cache=${QUARNDB_CACHE:-$HOME/.cache/quarndb}
qt=$cache/qt-mingw
build=${QUARNDB_WINDOWS_GUI_BUILD:-build-windows-gui}
[ -f "$qt/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] ||
  { echo "No Qt for Windows in $qt: run tools/windows/build-qt.sh first" >&2; exit 1; }
bash tools/install-packages.sh zip
# The CSV reader of spreadsheet imports, from Debian's source (no MinGW package).
libcsv=$(bash tools/windows/fetch-libcsv.sh)

# Debian's host rcc compresses with zstd, which this Qt was built without.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_AUTORCC_OPTIONS=--no-zstd -DQUARNDB_LIBCSV_SOURCE="$libcsv" >/dev/null
targets=(quarndb quarndb_wizard_file quarndb_notes)
[ "${1:-}" = "--tests" ] && targets=(all)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# The folder a player unpacks, named with the version.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "No project version in $build/CMakeCache.txt" >&2; exit 1; }
name=quarndb-$version-windows-x64
stage=$root/dist/$name
rm -rf "$stage" "$root/dist/$name.zip" "$root"/dist/quarndb-*windows-x64.zip
mkdir -p "$stage/platforms" "$stage/styles"
cp "$build/quarndb.exe" "$build/wizard.quarn" "$build/quarndb.txt" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt"/plugins/styles/*.dll "$stage/styles/" 2>/dev/null || true
cp tools/windows/README-windows.txt "$stage/README.txt"

# Every DLL the program and its plugins import, found among Qt's and
# MinGW's; Windows' own are left out.
search=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
pending=("$stage/quarndb.exe" "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  file=${pending[0]}
  pending=("${pending[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -e "$stage/$dll" ] && continue
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/"
        pending+=("$stage/$dll")
        break
      fi
    done
  done
done
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

(cd "$root/dist" && zip -qr9 "$name.zip" "$name")
echo "$root/dist/$name.zip: $(du -k "$root/dist/$name.zip" | cut -f1) KB packed, $(du -sk "$stage" | cut -f1) KB unpacked"
