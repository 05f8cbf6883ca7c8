#!/bin/sh
# The embedded engine's per-row insert path against the SQLite shell: imports N generated lines
# through the import engine into BENCH (seven columns: numbers, quoted text with commas, a
# date) and into BENCHTS (the same plus a TIMESTAMP(3) and a TIMESTAMP WITH TIME ZONE), and
# the same files with ".import --csv" into plain SQLite tables, in the same run. Prints per
# table: wall and CPU (user + system) seconds of each process, peak RSS, and the ratios.
# BEFORE=DIR (a folder with a transfer_bench and a libocilite.so of another build) adds its rows
# to the same run, for a side-by-side comparison.
#   [BEFORE=DIR] bench/transfer/insert_path.sh [BUILD_DIR] [LINES]      (defaults: build, 1000000)
set -eu
BUILD=$(cd "${1:-build}" && pwd)
N=${2:-1000000}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-insert.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export TABROOK_OCI_LIBRARY="$BUILD/libocilite.so"
export XDG_DATA_HOME="$WORK/xdg"
BENCH="$BUILD/bench/transfer_bench"
[ -x "$BENCH" ] || BENCH="$BUILD/transfer_bench"

# "wall cpu peak-KiB" of a command.
timed() {
  /usr/bin/time -f "%e %U %S %M" -o "$WORK/time" "$@" > /dev/null
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$WORK/time"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

awk -v n="$N" 'BEGIN {
  for (i = 1; i <= n; i++) {
    base = sprintf("%d,\"Name %d\",%d.%02d,20%02d-%02d-%02d %02d:%02d:%02d,\"Note about row %d, with a comma\",%d,\"%s\"",
      i, i, i % 100000, i % 100, i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i, i % 99999,
      (i % 2 ? "AB" : "XY"))
    stamp = sprintf("20%02d-%02d-%02d %02d:%02d:%02d.%03d", i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i % 1000)
    printf "%s\r\n", base > "'"$WORK"'/bench.csv"
    printf "%s,%s,%s\r\n", base, stamp, stamp > "'"$WORK"'/benchts.csv"
  }
}'

# One database per build, both tables empty before their import.
for variant in ${BEFORE:+before} this; do
  db="$WORK/$variant.db"
  "$BUILD/ocilite-sql" --create -f /dev/null "bench/bench@$db" > /dev/null
  "$BENCH" create "$db"
  "$BENCH" create-ts "$db"
done
sq="$WORK/sqlite.db"
sqlite3 "$sq" "create table BENCH (ID integer not null, NAME text, AMOUNT real, BORN text, NOTE text, QTY integer, CODE text);
create table BENCHTS (ID integer not null, NAME text, AMOUNT real, BORN text, NOTE text, QTY integer, CODE text, STAMP text, STAMPTZ text);"

printf '%-7s %-8s %8s %7s %7s %10s %8s %7s %7s %7s\n' build table lines wall_s cpu_s peak_kib sq_wall sq_cpu r_wall r_cpu
for t in BENCH BENCHTS; do
  csv="$WORK/$(echo "$t" | tr A-Z a-z).csv"
  for variant in ${BEFORE:+before} this; do
    if [ "$variant" = before ]; then
      bench="$BEFORE/transfer_bench"; lib="$BEFORE/libocilite.so"
    else
      bench="$BENCH"; lib="$BUILD/libocilite.so"
    fi
    sqlite3 "$sq" "delete from $t"
    set -- $(timed env TABROOK_OCI_LIBRARY="$lib" "$bench" import "$WORK/$variant.db" "$csv" "$t"); w=$1; c=$2; k=$3
    set -- $(timed sqlite3 "$sq" ".import --csv $csv $t"); sw=$1; sc=$2
    rows=$(sqlite3 "$sq" "select count(*) from $t")
    [ "$rows" = "$N" ] || { echo "sqlite imported $rows rows of $N" >&2; exit 1; }
    printf '%-7s %-8s %8s %7s %7s %10s %8s %7s %7s %7s\n' "$variant" "$t" "$N" "$w" "$c" "$k" "$sw" "$sc" \
      "$(ratio "$w" "$sw")" "$(ratio "$c" "$sc")"
  done
done
