#!/usr/bin/env bash
# The installed launcher: works from whatever prefix it was installed to,
# seeds the per-user book folder on first start with files only the owner
# can read, and never replaces a book that is already there.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# Installed under a prefix other than the one the build was configured with.
prefix="$stage/elsewhere/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
launcher="$prefix/bin/orvendal-launch"
test -x "$launcher"
configured=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
if grep -qF "$configured" "$launcher"; then
  echo "the launcher names the configured prefix $configured" >&2
  exit 1
fi
# The program replaced by a stand-in that tells where and how it was started.
cat > "$prefix/bin/orvendal" <<EOS
#!/bin/sh
pwd > "$stage/started-in"
umask > "$stage/umask"
echo "\$@" > "$stage/arguments"
EOS
chmod +x "$prefix/bin/orvendal"

# Started from elsewhere, through a link (as a bin folder on the PATH may hold it).
export XDG_DATA_HOME="$stage/data"
mkdir "$stage/bin"
ln -s "$launcher" "$stage/bin/orvendal-launch"
(cd / && "$stage/bin/orvendal-launch" --first)
data="$XDG_DATA_HOME/orvendal"
book="$data/Orvendal.ovd"
for file in Orvendal.ovd NewBook.ovd set.ini; do
  test -f "$data/$file"
  test "$(stat -c %a "$data/$file")" = 600
done
for folder in "$XDG_DATA_HOME" "$data" "$data/user"; do
  test "$(stat -c %a "$folder")" = 700
done
test "$(cat "$stage/started-in")" = "$data"
test "$(cat "$stage/umask")" = 0077
test "$(cat "$stage/arguments")" = "--first"

# The starter book keeps its user's password as a hash.
if command -v sqlite3 >/dev/null; then
  code=$(sqlite3 "$book" 'SELECT code FROM "USER"')
  case "$code" in
    '$argon2id$'*) ;;
    *) echo "starter book password not hashed: $code" >&2; exit 1 ;;
  esac
fi

echo "family's own book" > "$book"
"$launcher"
test "$(cat "$book")" = "family's own book"
desktop-file-validate "$prefix/share/applications/orvendal.desktop"
echo "launcher ok"
