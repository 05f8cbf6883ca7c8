#!/usr/bin/env bash
# UPSERT against INSERT, through the whole tabrook process (unattended job list) on the embedded
# engine: LINES generated lines (seven fields, the key first) loaded with LOADMODE=UPSERT into a
# table T whose primary key already holds half of them (the even keys, with other values), and
# the same file loaded with LOADMODE=INSERT into an empty T. Both tables have the primary key.
# Prints wall and CPU seconds (best of BENCH_REPEAT, default 3) and the ratios UPSERT/INSERT,
# and checks the log's split: half the lines inserted, half updated. With BENCH_RT_US set (say
# 500), the same again with every round trip delayed that many microseconds.
#   bench/transfer/upsert.sh [BUILD_DIR] [LINES]        (defaults: build, 1000000)
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:-$here/build}" && pwd)"
N=${2:-1000000}
REPEAT=${BENCH_REPEAT:-3}
TABROOK="$BUILD/tabrook"
for program in "$TABROOK" "$BUILD/ocilite-sql" "$BUILD/libocilite.so"; do
  [ -e "$program" ] || { echo "$program is missing: build first" >&2; exit 1; }
done
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-upsert.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export TABROOK_OCI_LIBRARY="$BUILD/libocilite.so"
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"

timed() {
  /usr/bin/time -f "%e %U %S" -o "$WORK/time" "$@" > /dev/null 2> "$WORK/err" || {
    echo "failed: $*" >&2; cat "$WORK/err" >&2; return 1; }
  awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$WORK/time"
}
best() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "") { print b; exit } split(a, x, " "); split(b, y, " ");
  printf "%s %s\n", (y[1] + 0 < x[1] + 0 ? y[1] : x[1]), (y[2] + 0 < x[2] + 0 ? y[2] : x[2]) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# generate LINES FILE STEP SALT: lines 1, 1+STEP, ... of seven fields; SALT changes the values.
generate() {
  awk -v n="$1" -v step="$3" -v salt="$4" 'BEGIN {
    for (i = step == 2 ? 2 : 1; i <= n; i += step)
      printf "%d,\"Name %d\",%d.%02d,20%02d-%02d-%02d %02d:%02d:%02d,\"Note about row %d, with a comma\",%d,\"%s\"\r\n",
        i, i + salt, (i + salt) % 100000, i % 100, i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i,
        (i + salt) % 99999, (i % 2 ? "AB" : "XY")
  }' > "$2"
}
echo "create table T (ID NUMBER(10) NOT NULL CONSTRAINT T_PK PRIMARY KEY, NAME VARCHAR2(40), AMOUNT NUMBER(10,2)," \
     "CREATED DATE, NOTE VARCHAR2(60), QTY NUMBER(5), CODE CHAR(2));" > "$WORK/schema.sql"

# load MODE DB CSV [VAR=VALUE...]: one unattended import of CSV into T.
load() {
  local mode=$1 db=$2 csv=$3; shift 3
  printf '0\r\nT\t%s\r\n' "$csv" > "$WORK/job.lst"
  timed env "$@" "$TABROOK" USER="bench/bench@$db" MODE=IMPORT LOADMODE="$mode" LISTFILE="$WORK/job.lst" \
    LOG="$WORK/run.log" AUTOSTART=TRUE AUTOCLOSE=TRUE
}
fresh() { rm -f "$1" "$1-wal" "$1-shm"; "$BUILD/ocilite-sql" --create -f "$WORK/schema.sql" "bench/bench@$1" > /dev/null; }

generate "$N" "$WORK/all.csv" 1 0
generate "$N" "$WORK/half.csv" 2 7  # the even keys, with other values than the file's

run() {  # run [VAR=VALUE...]: prints "insert_wall insert_cpu upsert_wall upsert_cpu"
  local ins="" ups=""
  for ((r = 0; r < REPEAT; r++)); do
    fresh "$WORK/insert.db"
    ins=$(best "$ins" "$(load INSERT "$WORK/insert.db" "$WORK/all.csv" "$@")")
    fresh "$WORK/upsert.db"
    load INSERT "$WORK/upsert.db" "$WORK/half.csv" > /dev/null
    ups=$(best "$ups" "$(load UPSERT "$WORK/upsert.db" "$WORK/all.csv" "$@")")
    # The job line: ... lines, successes, errors, status, Inserted=, Updated=, Skipped=.
    local job; job=$(grep -a '^O' "$WORK/run.log" | tail -1 | tr -d '\r')
    echo "$job" | grep -q "	$N	$N	0	.*Inserted=$((N - N / 2))	Updated=$((N / 2))	Skipped=0\$" || {
      echo "unexpected UPSERT log line: $job" >&2; exit 1; }
  done
  echo "$ins $ups"
}

printf '%-10s %8s %8s %8s %8s %8s %7s %7s\n' delay_us lines ins_wall ins_cpu ups_wall ups_cpu wall_x cpu_x
for delay in 0 ${BENCH_RT_US:-}; do
  if [ "$delay" = 0 ]; then read -r iw ic uw uc <<< "$(run)"; else
    read -r iw ic uw uc <<< "$(run OCILITE_ROUND_TRIP_US="$delay")"; fi
  printf '%-10s %8s %8s %8s %8s %8s %7s %7s\n' "$delay" "$N" "$iw" "$ic" "$uw" "$uc" "$(ratio "$uw" "$iw")" \
    "$(ratio "$uc" "$ic")"
done
