#!/bin/sh
# Runs a program on the current X display under the openbox window manager,
# with Qt drawing through X. Used with xvfb-run by the window-system tests.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ]; then
    echo "openbox did not start" >&2
    kill "$wm" 2>/dev/null
    exit 1
  fi
  sleep 0.1
done
QT_QPA_PLATFORM=xcb "$@"
status=$?
kill "$wm" 2>/dev/null
exit "$status"
