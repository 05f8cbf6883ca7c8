#!/usr/bin/env bash
# A job run from the window against the same job run unattended, side by side in one run: the
# real tabrook on a generated file of seven fields (LINES lines, default 1,000,000), the same
# job list started with AUTOSTART=TRUE, once with AUTOCLOSE=TRUE (no window) and once without
# it (the main window shown, on Qt's offscreen platform, or on DISPLAY when BENCH_DISPLAY=1).
# Each run is timed from the log's H line (the run starts; start-up and logon are before it)
# to the job's line (the job has ended), for an import and an export; best of BENCH_REPEAT
# rounds (default 3), the two runs of a round one after the other. The window's run also
# reports the longest time its event loop stood still during the run.
#   bench/window/run.sh [BUILD_DIR] [LINES]
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:-$here/build}" && pwd)"
LINES=${2:-1000000}
REPEAT=${BENCH_REPEAT:-3}
for program in "$BUILD/tabrook" "$BUILD/ocilite-sql" "$BUILD/libocilite.so"; do
  [ -e "$program" ] || { echo "$program is missing: build first" >&2; exit 1; }
done
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-window.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export TABROOK_OCI_LIBRARY="$BUILD/libocilite.so"
export HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
[ "${BENCH_DISPLAY:-0}" = 1 ] || export QT_QPA_PLATFORM=offscreen
db="$WORK/bench.db"
csv="$WORK/rows.csv"
awk -v n="$LINES" 'BEGIN { for (i = 1; i <= n; i++)
  printf "%d,\"Name %d\",%d.%02d,20%02d-%02d-%02d %02d:%02d:%02d,\"Note about row %d, with a comma\",%d,\"%s\"\r\n",
    i, i, i % 100000, i % 100, i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i, i % 99999, (i % 2 ? "AB" : "XY") }' > "$csv"
printf 'create table ROWS1M (ID number(10) not null, NAME varchar2(40), AMOUNT number(10,2), BORN date, NOTE varchar2(60), QTY number(5), CODE char(2));\n' |
  "$BUILD/ocilite-sql" --create "bench/bench@$db" > /dev/null
printf '0\r\nROWS1M\t%s\r\n' "$csv" > "$WORK/import.lst"
printf '1\r\nROWS1M\t%s\r\n' "$WORK/out.csv" > "$WORK/export.lst"

now() { date +%s.%N; }
# run MODE WINDOW(0|1): prints the seconds from the H line to the job's line.
run() {
  local mode=$1 window=$2 log="$WORK/run$2" pid start end
  rm -f "$log".* "$WORK/probe" "$WORK/out.csv"
  [ "$mode" = IMPORT ] && printf 'truncate table ROWS1M;\n' | "$BUILD/ocilite-sql" "bench/bench@$db" > /dev/null
  local list="$WORK/$(echo "$mode" | tr A-Z a-z).lst"
  if [ "$window" = 1 ]; then
    TABROOK_EVENT_LOOP_PROBE="$WORK/probe" "$BUILD/tabrook" "USER=bench/bench@$db" "LISTFILE=$list" "MODE=$mode" \
      AUTOSTART=TRUE "LOG=$log.log" > /dev/null 2>&1 &
  else
    "$BUILD/tabrook" "USER=bench/bench@$db" "LISTFILE=$list" "MODE=$mode" AUTOSTART=TRUE AUTOCLOSE=TRUE "LOG=$log.log" \
      > /dev/null 2>&1 &
  fi
  pid=$!
  until grep -qs $'^H\t' "$log".*; do sleep 0.01; kill -0 $pid 2> /dev/null || break; done
  start=$(now)
  until grep -qs $'^[A-Z][0-9]*\t.*\tROWS1M\t' "$log".*; do sleep 0.01; kill -0 $pid 2> /dev/null || break; done
  end=$(now)
  grep -qs $'^O\t.*\tROWS1M\t' "$log".* || { echo "the $mode job did not succeed:" >&2; cat "$log".* >&2; exit 1; }
  # The window waits on its completion message; the unattended run closes by itself.
  [ "$window" = 1 ] && kill "$pid" 2> /dev/null
  wait "$pid" 2> /dev/null || true
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 > a + 0) ? b : a }'; }

"$BUILD/tabrook" "USER=bench/bench@$db" "LISTFILE=$WORK/import.lst" MODE=IMPORT AUTOSTART=TRUE AUTOCLOSE=TRUE > /dev/null 2>&1
printf '%-7s %9s %12s %12s %7s %14s\n' phase lines unattended "in window" ratio "longest stall"
for mode in IMPORT EXPORT; do
  best_h="" best_w="" stall=""
  for round in $(seq 1 "$REPEAT"); do
    best_h=$(min "$best_h" "$(run "$mode" 0)")
    best_w=$(min "$best_w" "$(run "$mode" 1)")
    stall=$(max "$stall" "$(awk '{ print $2 }' "$WORK/probe" 2> /dev/null || echo 0)")
  done
  printf '%-7s %9d %11ss %11ss %7s %11s ms\n' "$(echo "$mode" | tr A-Z a-z)" "$LINES" "$best_h" "$best_w" \
    "$(awk -v a="$best_w" -v b="$best_h" 'BEGIN { printf "%.3f", a / b }')" "${stall:-0}"
done
