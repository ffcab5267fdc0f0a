#!/usr/bin/env bash
# The installed launcher: seeds the per-user book folder on first start and
# never replaces a book that is already there.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage/root" cmake --install "$build" >/dev/null
launcher=$(find "$stage/root" -name orvendal-launch)
share=$(dirname "$(find "$stage/root" -name NewBook.ovd)")
# Run the staged launcher against the staged share folder, with a stand-in program.
sed -e "s|^share=.*|share=\"$share\"|" \
    -e "s|^exec .*|pwd > \"$stage/started-in\"|" "$launcher" > "$stage/launch"
export XDG_DATA_HOME="$stage/data"
sh "$stage/launch"
book="$stage/data/orvendal/Orvendal.ovd"
test -f "$book"
test -f "$stage/data/orvendal/NewBook.ovd"
test -f "$stage/data/orvendal/set.ini"
test -d "$stage/data/orvendal/user"
test "$(cat "$stage/started-in")" = "$stage/data/orvendal"
echo "family's own book" > "$book"
sh "$stage/launch"
test "$(cat "$book")" = "family's own book"
desktop-file-validate "$(find "$stage/root" -name orvendal.desktop)"
echo "launcher ok"
