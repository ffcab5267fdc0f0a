#!/usr/bin/env bash
# Installs what the program needs, builds it, prepares the program folder
# ./run (book, empty-book template, settings, user colours, help page) and
# starts Orvendal there. A book already in ./run is never replaced.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

orv_install_packages
orv_build

RUN_DIR=${ORV_RUN_DIR:-$ORV_ROOT/run}
# The program folder and the book in it are the owner's alone.
umask 077
mkdir -p "$RUN_DIR/user"
if [ ! -e "$RUN_DIR/Orvendal.ovd" ] && [ ! -e "$RUN_DIR/Data.ovd" ]; then
  cp "$ORV_BUILD/books/Orvendal.ovd" "$RUN_DIR/Orvendal.ovd"
  echo "== New book in $RUN_DIR/Orvendal.ovd (user 管理员, password 123456)"
fi
[ -e "$RUN_DIR/NewBook.ovd" ] || cp "$ORV_BUILD/books/NewBook.ovd" "$RUN_DIR/NewBook.ovd"
# Direct login off, so the first start asks for a name and password.
[ -e "$RUN_DIR/set.ini" ] || cp "$ORV_BUILD/books/set.ini" "$RUN_DIR/set.ini"
if [ -d "$ORV_ROOT/res/help" ]; then
  cp -f "$ORV_ROOT"/res/help/* "$RUN_DIR/" 2>/dev/null || true
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "There is no display here, so Orvendal cannot open its window."
  echo "To run it on a virtual display instead:"
  echo "  cd '$RUN_DIR' && xvfb-run -a -s '-screen 0 1280x800x24' '$ORV_BUILD/src/app/orvendal'"
  exit 0
fi

cd "$RUN_DIR"
exec "$ORV_BUILD/src/app/orvendal"
