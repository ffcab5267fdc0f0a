#!/usr/bin/env bash
# Runs every benchmark on the generated million-entry book and prints the
# figures (each a median of several runs, beside SQLite alone and the ratio).
# bench_window drives the main window on a real X display (Xvfb when there
# is none); the others draw off screen.
# usage: bench/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" -j"$(nproc)" >/dev/null
"$build/bench/orvendal-bigbook"
if [ -n "${DISPLAY:-}" ]; then
  "$build/bench/bench_window"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_window"
fi
for bench in bench_list bench_entries bench_query bench_analysis bench_maintenance bench_import; do
  QT_QPA_PLATFORM=offscreen "$build/bench/$bench"
done
