#!/usr/bin/env bash
# The whole tabrook process (logon included, unattended job list) against SQLite's own shell,
# side by side in one run, on generated files of seven fields (and of nine: the same plus a
# TIMESTAMP(3) and a TIMESTAMP WITH TIME ZONE column):
#   import  tabrook MODE=IMPORT          vs  sqlite3 db ".import --csv file T"
#   export  tabrook MODE=EXPORT          vs  sqlite3 -csv db "select * from T" > file
# Every figure is the best of BENCH_REPEAT runs (default 3; the runs of both programs are
# interleaved). Then the simulated network: a BENCH_RT_LINES-line import and export with
# OCILITE_ROUND_TRIP_US=BENCH_RT_US (default 500 microseconds per round trip) against the same
# runs without delay.
#   bench/transfer/run.sh [BUILD_DIR] [LINES...]     (defaults: build, 1000000 3000000)
# Columns: wall seconds, CPU seconds (user+system) and peak resident KiB of tabrook, the
# shell's wall and CPU seconds, and the ratios tabrook/shell.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:-$here/build}" && pwd)"
[ $# -gt 0 ] && shift
SIZES=${*:-1000000 3000000}
REPEAT=${BENCH_REPEAT:-3}
RT_LINES=${BENCH_RT_LINES:-100000}
RT_US=${BENCH_RT_US:-500}
TABROOK="$BUILD/tabrook"
for program in "$TABROOK" "$BUILD/ocilite-sql" "$BUILD/libocilite.so"; do
  [ -e "$program" ] || { echo "$program is missing: build first" >&2; exit 1; }
done
command -v sqlite3 > /dev/null || { echo "sqlite3 (the shell) is missing" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export TABROOK_OCI_LIBRARY="$BUILD/libocilite.so"
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
TSFMT="RRRR-MM-DD HH24:MI:SSXFF"

# Writes "wall cpu peak-KiB" of a command to stdout; the command's own output goes to $WORK/out.
timed() {
  /usr/bin/time -f "%e %U %S %M" -o "$WORK/time" "$@" > "$WORK/out" 2> "$WORK/err" || {
    echo "failed: $*" >&2; cat "$WORK/err" >&2; return 1; }
  awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$WORK/time"
}
# The smaller of two "wall cpu kib" triples, field by field.
best() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "") { print b; exit } split(a, x, " "); split(b, y, " ");
  for (i = 1; i <= 3; i++) printf "%s%s", (y[i] + 0 < x[i] + 0 ? y[i] : x[i]), (i < 3 ? " " : "\n") }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# generate KIND LINES FILE: quoted text with commas, two-decimal amounts, dates (CR LF lines).
generate() {
  awk -v n="$2" -v wide="$([ "$1" = wide ] && echo 1 || echo 0)" 'BEGIN {
    for (i = 1; i <= n; i++) {
      line = sprintf("%d,\"Name %d\",%d.%02d,20%02d-%02d-%02d %02d:%02d:%02d,\"Note about row %d, with a comma\",%d,\"%s\"",
        i, i, i % 100000, i % 100, i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i, i % 99999,
        (i % 2 ? "AB" : "XY"))
      if (wide)
        line = line sprintf(",20%02d-%02d-%02d %02d:%02d:%02d.%03d,20%02d-%02d-%02d %02d:%02d:%02d.%03d",
          i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i % 1000,
          (i + 7) % 30, (i + 3) % 12 + 1, (i + 5) % 28 + 1, (i + 1) % 24, (i + 2) % 60, (i * 3) % 60, (i * 7) % 1000)
      printf "%s\r\n", line
    }
  }' > "$3"
}

oracle_table() {
  local extra=""
  [ "$1" = wide ] && extra=", STAMP TIMESTAMP(3), STAMPTZ TIMESTAMP WITH TIME ZONE"
  echo "create table T (ID NUMBER(10) NOT NULL, NAME VARCHAR2(40), AMOUNT NUMBER(10,2), CREATED DATE," \
       "NOTE VARCHAR2(60), QTY NUMBER(5), CODE CHAR(2)$extra);"
}
sqlite_table() {
  local extra=""
  [ "$1" = wide ] && extra=", STAMP text, STAMPTZ text"
  echo "create table T (ID integer not null, NAME text, AMOUNT real, CREATED text, NOTE text, QTY integer, CODE text$extra);"
}

# tabrook_run MODE DB CSV [VAR=VALUE...]: one unattended job of table T.
tabrook_run() {
  local mode=$1 db=$2 csv=$3; shift 3
  local list="$WORK/job.lst"
  printf '%s\r\nT\t%s\r\n' "$([ "$mode" = IMPORT ] && echo 0 || echo 1)" "$csv" > "$list"
  timed env "$@" "$TABROOK" USER="bench/bench@$db" MODE="$mode" LISTFILE="$list" \
    TIMESTAMPFMT="$TSFMT" LOG="$WORK/run.log" AUTOSTART=TRUE AUTOCLOSE=TRUE
}

row() { printf '%-6s %-8s %-7s %8s %8s %9s %8s %8s %7s %7s\n' "$@"; }
row table lines phase wall_s cpu_s peak_kib sh_wall sh_cpu wall_x cpu_x

for kind in plain wide; do
  for n in $SIZES; do
    csv="$WORK/in-$kind-$n.csv" out="$WORK/out-$kind-$n.csv" db="$WORK/tabrook-$kind-$n.db" sq="$WORK/shell-$kind-$n.db"
    generate "$kind" "$n" "$csv"
    oracle_table "$kind" > "$WORK/schema.sql"
    ti="" te="" si="" se=""
    for ((r = 0; r < REPEAT; r++)); do
      # Both programs load into a new, empty table of a new database file.
      rm -f "$db" "$db-wal" "$db-shm"
      "$BUILD/ocilite-sql" --create -f "$WORK/schema.sql" "bench/bench@$db" > /dev/null
      ti=$(best "$ti" "$(tabrook_run IMPORT "$db" "$csv")")
      rm -f "$sq"; sqlite3 "$sq" "$(sqlite_table "$kind")"
      si=$(best "$si" "$(timed sqlite3 "$sq" ".import --csv $csv T")")
      te=$(best "$te" "$(tabrook_run EXPORT "$db" "$out")")
      se=$(best "$se" "$(timed sqlite3 -csv "$sq" "select * from T")")
    done
    rows=$(sqlite3 "$sq" "select count(*) from T")
    exported=$(wc -l < "$out")
    [ "$rows" = "$n" ] && [ "$exported" = "$n" ] || {
      echo "row counts differ: $n lines, shell $rows rows, tabrook exported $exported" >&2; exit 1; }
    read -r tw tc tk <<< "$ti"; read -r sw sc _ <<< "$si"
    row "$kind" "$n" import "$tw" "$tc" "$tk" "$sw" "$sc" "$(ratio "$tw" "$sw")" "$(ratio "$tc" "$sc")"
    read -r tw tc tk <<< "$te"; read -r sw sc _ <<< "$se"
    row "$kind" "$n" export "$tw" "$tc" "$tk" "$sw" "$sc" "$(ratio "$tw" "$sw")" "$(ratio "$tc" "$sc")"
    rm -f "$csv" "$out" "$db" "$sq"
  done
done

echo
echo "Simulated round trips: $RT_LINES lines, OCILITE_ROUND_TRIP_US=$RT_US against no delay (wall seconds)"
printf '%-7s %8s %8s %7s\n' phase no_delay delayed ratio
csv="$WORK/rt.csv" out="$WORK/rt-out.csv" db="$WORK/rt.db"
generate plain "$RT_LINES" "$csv"
oracle_table plain > "$WORK/schema.sql"
fresh() { rm -f "$db" "$db-wal" "$db-shm"; "$BUILD/ocilite-sql" --create -f "$WORK/schema.sql" "bench/bench@$db" > /dev/null; }
fresh; read -r i0 _ <<< "$(tabrook_run IMPORT "$db" "$csv")"
fresh; read -r i1 _ <<< "$(tabrook_run IMPORT "$db" "$csv" OCILITE_ROUND_TRIP_US="$RT_US")"
read -r e0 _ <<< "$(tabrook_run EXPORT "$db" "$out")"
read -r e1 _ <<< "$(tabrook_run EXPORT "$db" "$out" OCILITE_ROUND_TRIP_US="$RT_US")"
[ "$(wc -l < "$out")" = "$RT_LINES" ] || { echo "the delayed export lost rows" >&2; exit 1; }
printf '%-7s %8s %8s %7s\n' import "$i0" "$i1" "$(ratio "$i1" "$i0")"
printf '%-7s %8s %8s %7s\n' export "$e0" "$e1" "$(ratio "$e1" "$e0")"

# A record with one field of BENCH_LONG_MB megabytes (default 200) among short ones: the import's
# peak memory against the size of the line (the field is too long for its column and refused).
LONG_MB=${BENCH_LONG_MB:-200}
echo
echo "A line of $LONG_MB MB among 40 short ones: peak resident memory of the import"
csv="$WORK/long.csv" db="$WORK/long.db"
generate plain 40 "$WORK/short.csv"
{
  cat "$WORK/short.csv"
  printf '41,"long",1.5,2021-03-04 05:06:07,"'; head -c $((LONG_MB * 1000000)) /dev/zero | tr '\0' 'n'; printf '",5,"AB"\r\n'
} > "$csv"
fresh
printf '0\r\nT\t%s\r\n' "$csv" > "$WORK/job.lst"
# Exit status 2: the long record is refused, which is what this file is for.
/usr/bin/time -f "%M" -o "$WORK/time" "$TABROOK" USER="bench/bench@$db" MODE=IMPORT LISTFILE="$WORK/job.lst" \
  LOG="$WORK/run.log" AUTOSTART=TRUE AUTOCLOSE=TRUE > /dev/null 2>&1 || [ $? = 2 ] || { echo "the long-line import failed" >&2; exit 1; }
awk -v k="$(tail -1 "$WORK/time")" -v mb="$LONG_MB" 'BEGIN { printf "peak %d KiB, %.2f times the line\n", k, k * 1024 / (mb * 1000000) }'
