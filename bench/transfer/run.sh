#!/bin/sh
# Imports N generated lines of seven fields through the import engine into the embedded
# database and exports them again through the export engine, and does the same with the
# SQLite shell (.import into an equivalent table, then CSV output), in the same run.
# Prints, per size: seconds and peak RSS of each process, the engines' own seconds, and the
# ratios to SQLite.
#   bench/transfer/run.sh [BUILD_DIR] [LINES...]      (defaults: build, 100000 1000000)
# IMPORT_ROWS=N sends N rows per execute in the import (1: row by row; default: the engine's).
set -eu
BUILD=$(cd "${1:-build}" && pwd)
[ $# -gt 0 ] && shift
SIZES=${*:-100000 1000000}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export TABROOK_OCI_LIBRARY="$BUILD/libocilite.so"
export XDG_DATA_HOME="$WORK/xdg"
BENCH="$BUILD/bench/transfer_bench"
[ -x "$BENCH" ] || BENCH="$BUILD/transfer_bench"

# "seconds peak-KiB" of a command, its standard output kept in $WORK/stdout.
timed() {
  /usr/bin/time -f "%e %M" -o "$WORK/time" "$@" > "$WORK/stdout"
  cat "$WORK/time"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

printf '%-8s %-7s %9s %9s %10s %9s %9s\n' lines phase engine_s process_s peak_kib sqlite_s ratio
for n in $SIZES; do
  csv="$WORK/data-$n.csv"
  awk -v n="$n" 'BEGIN {
    for (i = 1; i <= n; i++)
      printf "%d,\"Name %d\",%d.%02d,20%02d-%02d-%02d %02d:%02d:%02d,\"Note about row %d, with a comma\",%d,\"%s\"\r\n",
        i, i, i % 100000, i % 100, i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i, i % 99999,
        (i % 2 ? "AB" : "XY")
  }' > "$csv"

  db="$WORK/bench-$n.db"
  if [ -x "$BUILD/ocilite-sql" ]; then
    "$BUILD/ocilite-sql" --create -f /dev/null "bench/bench@$db" > /dev/null
  else
    db=""  # the first logon creates the default database under XDG_DATA_HOME
    rm -rf "$XDG_DATA_HOME"
  fi
  "$BENCH" create "$db"

  set -- $(timed "$BENCH" import "$db" "$csv" ${IMPORT_ROWS:-}); imp_s=$1; imp_kib=$2; imp_engine=$(awk '{print $3}' "$WORK/stdout")
  set -- $(timed "$BENCH" export "$db" "$WORK/out-$n.csv"); exp_s=$1; exp_kib=$2; exp_engine=$(awk '{print $3}' "$WORK/stdout")

  sq="$WORK/sqlite-$n.db"
  rm -f "$sq"
  sqlite3 "$sq" "create table BENCH (ID integer, NAME text, AMOUNT real, BORN text, NOTE text, QTY integer, CODE text);"
  set -- $(timed sqlite3 "$sq" ".import --csv $csv BENCH"); sqi_s=$1
  set -- $(timed sqlite3 -csv "$sq" "select * from BENCH"); sqe_s=$1
  rows=$(sqlite3 "$sq" "select count(*) from BENCH")
  lines_out=$(wc -l < "$WORK/out-$n.csv")
  [ "$rows" = "$n" ] && [ "$lines_out" = "$n" ] || { echo "row counts differ: sqlite $rows, export $lines_out" >&2; exit 1; }

  printf '%-8s %-7s %9s %9s %10s %9s %9s\n' "$n" import "$imp_engine" "$imp_s" "$imp_kib" "$sqi_s" "$(ratio "$imp_s" "$sqi_s")"
  printf '%-8s %-7s %9s %9s %10s %9s %9s\n' "$n" export "$exp_engine" "$exp_s" "$exp_kib" "$sqe_s" "$(ratio "$exp_s" "$sqe_s")"
done
