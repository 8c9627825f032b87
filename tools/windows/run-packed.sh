#!/usr/bin/env bash
# The packed editor as a player meets it: unpacks dist/quarndb-VERSION-windows-x64.zip,
# makes a sample game whose folder the Wine registry names (as the game's
# installer would), starts quarndb.exe from the unpacked folder under Xvfb and
# a window manager, and with the keyboard alone opens the database, adds a
# club and saves. The Linux quarndb-cli then checks the saved folder.
# Usage: run-packed.sh [LINUX_BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native=$root/${1:-build}
# The zip carries the version of the sources, which the Linux build shares.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$native/CMakeCache.txt")
name=quarndb-$version-windows-x64
zip=$root/dist/$name.zip
[ -f "$zip" ] || { echo "No $zip: run tools/windows/build-editor.sh first" >&2; exit 1; }
bash "$root/tools/install-packages.sh" wine wine64 xvfb openbox xdotool unzip imagemagick

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=:$((50 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &
wineboot -i </dev/null >/dev/null 2>&1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
count() { "$native/tools/cli/quarndb-cli" info "$1" | awk -v t="$2" '$2 == t { print $4 }'; }

unzip -q "$zip" -d "$scratch"
game=$scratch/game
"$native/tools/sample/quarndb-sample" "$game" --scale 0.05 --seed 5 >/dev/null
cp -r "$game/data" "$scratch/original"
clubs=$(count "$game" clubs)
wine reg add 'HKLM\Software\Sports Interactive Ltd\Championship Manager 3' /v Location /t REG_SZ \
  /d "$(winepath -w "$game")" /f /reg:32 >/dev/null 2>&1

(cd "$scratch/$name" && exec wine quarndb.exe >/dev/null 2>&1) &
caption="Quarn db 1.1 - do it the good way, do it Velmora"
wait_for() {  # wait_for CAPTION: the id of the window showing it, within a minute
  local id=""
  for _ in $(seq 120); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.5
  done
  [ -n "$id" ] || { fail "no window \"$1\""; return 1; }
  echo "$id"
}
press() {  # press WINDOW KEY...
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
  shift
  xdotool key --delay 200 "$@"
  sleep 1
}
answer() {  # answer: presses Return in the message box the last step showed
  local box
  box=$(wait_for Information) || return 0
  press "$box" Return
}

if main=$(wait_for "$caption"); then
  import -window root "$scratch/started.png" 2>/dev/null || true
  press "$main" alt+f o
  answer                                 # "Loading is done!"
  press "$main" alt+e n c                # Edit > Add New > Club
  press "$main" alt+f s
  answer                                 # "Saving was a smashing success!"
  import -window root "$root/dist/packed-editor.png" 2>/dev/null || true
  press "$main" alt+f x
fi
wineserver -w 2>/dev/null || true

[ "$(count "$game" clubs)" = $((clubs + 1)) ] || fail "the new club was not saved ($clubs clubs before)"
"$native/tools/cli/quarndb-cli" check "$game" >/dev/null || fail "the saved folder does not pass check"
backup=$(find "$game" -maxdepth 1 -name 'data-backup-*' | head -1)
if [ -z "$backup" ]; then
  fail "no backup folder"
else
  for f in "$backup"/*; do cmp -s "$f" "$scratch/original/$(basename "$f")" || fail "backup $(basename "$f") differs"; done
fi
echo "Packed editor: $(du -k "$zip" | cut -f1) KB zip; $failures failures"
[ "$failures" -eq 0 ]
