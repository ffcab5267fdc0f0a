#!/bin/sh
# Runs a widget test on a real X display (Xvfb) with a window manager, as a
# desktop has one: focus follows clicks there, which the offscreen platform
# never shows. Usage: run_under_x11.sh <test executable> [arguments]
exec xvfb-run -a -s "-screen 0 1280x900x24" sh -c '
  if command -v openbox >/dev/null 2>&1; then
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    sleep 1
  fi
  "$@"
  status=$?
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  exit $status
' run_under_x11 "$@"
