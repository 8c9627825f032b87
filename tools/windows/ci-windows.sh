#!/usr/bin/env bash
# The Windows checks, run by run-tests.sh after the Linux suites:
#  1. cross-builds the Qt-free programs and their tests with MinGW-w64 and
#     runs every test as a Windows program under Wine;
#  2. compares the Windows generator's files and the Windows CLI's outputs
#     with the Linux ones, byte for byte;
#  3. compiles the editor's Windows-only sources with MinGW: the Qt glue
#     against a stub of the little Qt it uses; or, when Qt for Windows is in
#     the cache (tools/windows/build-qt.sh), the whole editor and its window
#     tests, which then run under Wine, and the packed zip, which is started
#     from its unpacked folder to open, edit and save a sample game.
# Usage: ci-windows.sh [LINUX_BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
native=${1:-build}
jobs=$(nproc)
started=$(date +%s)
step() { echo "== $* ($(($(date +%s) - started)) s)"; }

bash tools/install-packages.sh mingw-w64 g++-mingw-w64-x86-64 wine wine64 cmake ninja-build libxxhash-dev libcli11-dev \
  dpkg-dev xvfb zip

# A throw-away Wine prefix; no window is needed for console programs.
scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT
step "Wine prefix"
t0=$(date +%s)
wineboot -i </dev/null >/dev/null 2>&1
echo "wineboot -i: $(($(date +%s) - t0)) s"
# Kept running to the end, with Wine's helper processes started here: one
# started by a test would hold on to that test's output pipe.
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

step "libcsv from Debian's source"
# MinGW has no libcsv package: its source is fetched (deb-src entries are
# added when missing) and compiled by cmake/Windows.cmake.
libcsv=$(bash tools/windows/fetch-libcsv.sh)

step "Cross-build"
build=build-windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUARNDB_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release -DQUARNDB_LIBCSV_SOURCE="$libcsv" >/dev/null
cmake --build "$build" -j "$jobs"

step "Tests under Wine"
# Now and then Wine fails to start a test program at all (no output, a
# hundredth of a second); such a test runs once more. One that fails twice
# fails the stage.
(cd "$build" && ctest --output-on-failure --repeat until-pass:2 -j "$jobs")

step "Same bytes as on Linux"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
win() { winepath -w "$1" 2>/dev/null; }
out=$scratch/compare
mkdir -p "$out"
"$native/tools/sample/quarndb-sample" "$out/linux" --scale 0.05 --seed 11 >/dev/null
wine "$build/tools/sample/quarndb-sample.exe" "$(win "$out/windows")" --scale 0.05 --seed 11 >/dev/null
diff -r "$out/linux/data" "$out/windows/data" >/dev/null || fail "the generators' files differ"
if wine "$build/tools/sample/quarndb-sample.exe" "$(win "$out/refused")" --wine-prefix "$(win "$out/prefix")" \
     >/dev/null 2>"$out/err"; then
  fail "--wine-prefix accepted on Windows"
fi
grep -q "only for Linux" "$out/err" || fail "--wine-prefix refused without saying why"

game=$out/linux
run_both() {  # run_both NAME ARGS... ; "@GAME" stands for the game folder, "@STAFFCSV" its staff export
  local name=$1 a linux_args=() windows_args=()
  shift
  for a in "$@"; do
    if [ "$a" = "@GAME" ]; then linux_args+=("$game"); windows_args+=("$(win "$game")");
    elif [ "$a" = "@STAFFCSV" ]; then linux_args+=("$out/staff.csv"); windows_args+=("$(win "$out/staff.csv")"); else
      linux_args+=("$a"); windows_args+=("$a"); fi
  done
  local lrc=0 wrc=0
  "$native/tools/cli/quarndb-cli" "${linux_args[@]}" >"$out/$name.linux" 2>/dev/null || lrc=$?
  wine "$build/tools/cli/quarndb-cli.exe" "${windows_args[@]}" >"$out/$name.windows" 2>/dev/null || wrc=$?
  [ "$lrc" -eq "$wrc" ] || fail "$name: exit $wrc on Windows, $lrc on Linux"
  # The one place a path is printed: the game folder as each system spells it.
  if [ "$name" = info ]; then
    sed -i "s|^Index: .*|Index: GAME|" "$out/$name.linux" "$out/$name.windows"
  fi
  cmp -s "$out/$name.linux" "$out/$name.windows" || fail "$name: output differs"
}
compared=0
run_both help --help; run_both info info @GAME; run_both check check @GAME
compared=3
for table in clubs staff players non-players nations stadiums cities competitions colours \
             first-names second-names common-names; do
  run_both "export-$table-csv" export @GAME "$table"
  run_both "export-$table-json" export @GAME "$table" --format json
  compared=$((compared + 2))
done
run_both search-clubs search @GAME clubs a
run_both search-none search @GAME staff "no such name at all"
run_both unknown-table export @GAME managers
run_both find-staff find @GAME staff 'Wage > 1000 and Nation is not none' --sort -Wage,Name
run_both find-players-csv find @GAME players 'Name contains "a" and Age between 30 and 20' --format csv
run_both find-clubs-json find @GAME clubs --columns Name,Cash,Division --format json
run_both find-bad-query find @GAME staff 'Wage >'
"$native/tools/cli/quarndb-cli" export "$game" staff >"$out/staff.csv"
run_both import-staff-dry-run import @GAME staff @STAFFCSV --dry-run
compared=$((compared + 8))
echo "$compared CLI commands compared"

step "The editor's Windows-only sources"
qt=${QUARNDB_CACHE:-$HOME/.cache/quarndb}/qt-mingw
if [ -f "$qt/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
  bash tools/windows/build-editor.sh --tests
  step "Window tests under Wine"
  # The real Windows platform plugin draws through Wine into a virtual
  # display; one test at a time, as they take the keyboard focus.
  display=:$((50 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb=$!
  (cd build-windows-gui && DISPLAY=$display ctest --output-on-failure --timeout 300 \
     -R '^(app_|about_|operations_|Club|Staff|Player|NonPlayer)') || fail "window tests under Wine"
  kill "$xvfb" 2>/dev/null || true
  step "The packed editor"
  bash tools/windows/run-packed.sh "$native" || fail "the packed editor"
else
  echo "No Qt for Windows in $qt: compiling the Qt glue against a stub"
  for source in kit/*Win.cpp; do
    x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Werror -fsyntax-only \
      -Itools/windows/qt-stub -I. "$source" || fail "$source does not compile with MinGW"
  done
fi

step "Done: $failures failures"
[ "$failures" -eq 0 ]
