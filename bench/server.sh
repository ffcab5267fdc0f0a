#!/usr/bin/env bash
# The million-entry book on a PostgreSQL server: copied there and back with
# orvendal-book, beside psql's own COPY of the same rows, then every figure
# of bench_window on a scratch copy of the server book.
# usage: bench/server.sh [build-dir]
# The PG* variables name a server on which this user may create databases;
# it keeps orv_bench_big (the copied book) and orv_bench_scratch afterwards.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" -j"$(nproc)" >/dev/null
"$build/bench/orvendal-bigbook"
big=$build/bench-books/big.ovd
tool=$build/tools/orvendal-book
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

fresh_book() { # an empty server book named $1
  dropdb --if-exists "$1"
  createdb "$1"
  echo 123456 | "$tool" create "postgresql:///$1" >/dev/null
}

# The rows as psql would take them, written once (not timed).
for table in INCOME PAYOUT ON_LOAD; do
  sqlite3 -csv "$big" "SELECT id, date, items, money, remark, user FROM \"$table\" ORDER BY id" >"$work/$table.csv"
done
cat >"$work/in.sql" <<EOF
\copy "INCOME" (id, date, items, money, remark, "user") FROM '$work/INCOME.csv' CSV
\copy "PAYOUT" (id, date, items, money, remark, "user") FROM '$work/PAYOUT.csv' CSV
\copy "ON_LOAD" (id, date, items, money, remark, "user") FROM '$work/ON_LOAD.csv' CSV
EOF
cat >"$work/out.sql" <<EOF
\copy (SELECT id, date, items, money, remark, "user" FROM "INCOME" ORDER BY id) TO '$work/out-income.csv' CSV
\copy (SELECT id, date, items, money, remark, "user" FROM "PAYOUT" ORDER BY id) TO '$work/out-payout.csv' CSV
\copy (SELECT id, date, items, money, remark, "user" FROM "ON_LOAD" ORDER BY id) TO '$work/out-onload.csv' CSV
EOF

echo
echo "Copying the whole book (median of 3, ms)"
to_server=() ; psql_in=() ; to_file=() ; psql_out=()
for run in 1 2 3; do
  fresh_book orv_bench_big
  start=$(now_ms); "$tool" copy "$big" postgresql:///orv_bench_big >/dev/null; to_server+=($(( $(now_ms) - start )))
  fresh_book orv_bench_psql
  start=$(now_ms); psql -X -q -1 -d orv_bench_psql -f "$work/in.sql" >/dev/null; psql_in+=($(( $(now_ms) - start )))
  rm -f "$work/back.ovd"
  cp "$root/res/NewBook.ovd" "$work/back.ovd" 2>/dev/null || true
  start=$(now_ms); "$tool" copy postgresql:///orv_bench_big "$work/back.ovd" --replace >/dev/null; to_file+=($(( $(now_ms) - start )))
  start=$(now_ms); psql -X -q -d orv_bench_big -f "$work/out.sql" >/dev/null; psql_out+=($(( $(now_ms) - start )))
done
printf '%-48s %10s %12s\n' operation ms "psql ms"
printf '%-48s %10s %12s\n' "copy file -> server (orvendal-book copy)" \
  "$(printf '%s\n' "${to_server[@]}" | median)" "$(printf '%s\n' "${psql_in[@]}" | median)"
printf '%-48s %10s %12s\n' "copy server -> file (orvendal-book copy)" \
  "$(printf '%s\n' "${to_file[@]}" | median)" "$(printf '%s\n' "${psql_out[@]}" | median)"
dropdb --if-exists orv_bench_psql

# A freshly loaded table is vacuumed and analysed by the server in the
# background for a while; done now, it does not run beside the measurements.
psql -X -q -d orv_bench_big -c 'VACUUM (ANALYZE)'
dropdb --if-exists orv_bench_scratch
createdb -T orv_bench_big orv_bench_scratch
if [ -n "${DISPLAY:-}" ]; then
  ORV_BENCH_URI=postgresql:///orv_bench_scratch "$build/bench/bench_window"
else
  ORV_BENCH_URI=postgresql:///orv_bench_scratch xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_window"
fi
