#!/usr/bin/env bash
# Takes packaging/screenshot.png, the picture the AppStream metainfo shows:
# the editor from BUILD_DIR (default build) under Xvfb and openbox, on a
# made-up database, after File > Open, on its Clubs page.
# Usage: packaging/take-screenshot.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bash "$root/tools/install-packages.sh" xvfb openbox xdotool imagemagick optipng

scratch=$(mktemp -d)
display=:$((50 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
editor=""
cleanup() {
  [ -n "$editor" ] && kill "$editor" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &

"$build/tools/sample/quarndb-sample" "$scratch/game" --scale 0.2 --wine-prefix "$scratch/wine" >/dev/null
(cd "$build" && exec env WINEPREFIX="$scratch/wine" QT_QPA_PLATFORM=xcb ./quarndb >/dev/null 2>&1) &
editor=$!

wait_for() {  # wait_for CAPTION: the id of the window showing it
  local id=""
  for _ in $(seq 60); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.5
  done
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; exit 1; }
  echo "$id"
}
press() {  # press WINDOW KEY...
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
  shift
  xdotool key --delay 200 "$@"
  sleep 1
}

main=$(wait_for "Quarn db .* - do it the good way, do it Velmora")
press "$main" alt+f o
press "$(wait_for Information)" Return
xdotool mousemove --window "$main" 80 28 click 1   # the Clubs tab
sleep 1
xdotool mousemove --window "$main" 60 182 click 1  # the third club of the list
sleep 1
import -window "$main" -frame "$scratch/shot.png"
optipng -quiet -o5 -out "$root/packaging/screenshot.png" "$scratch/shot.png" 2>/dev/null ||
  cp "$scratch/shot.png" "$root/packaging/screenshot.png"
echo "$root/packaging/screenshot.png: $(identify -format '%w x %h' "$root/packaging/screenshot.png"), $(du -k "$root/packaging/screenshot.png" | cut -f1) KB"
