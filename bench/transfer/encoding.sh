#!/usr/bin/env bash
# What the file's encoding costs an import: the whole tabrook process (unattended job list)
# on a generated file of Japanese text, once in UTF-8 and once in Shift-JIS (code page 932),
# under a UTF-8 client:
#   utf8  ENCODING=CLIENT   bytes taken as they stand (no look at the file)
#   utf8  ENCODING=AUTO     the file is read once more to see that it is valid UTF-8
#   utf8  ENCODING=UTF-8    named: the file is checked, nothing converted
#   sjis  ENCODING=AUTO     found to be Shift-JIS (the check stops at its first byte), converted
#   sjis  ENCODING=SJIS     named: the whole file checked, then converted
# Every figure is the best of BENCH_REPEAT runs (default 3): wall and CPU seconds.
#   bench/transfer/encoding.sh [BUILD_DIR] [LINES]     (defaults: build, 1000000)
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="$(cd "${1:-$here/build}" && pwd)"
LINES=${2:-1000000}
REPEAT=${BENCH_REPEAT:-3}
for program in "$BUILD/tabrook" "$BUILD/ocilite-sql" "$BUILD/libocilite.so"; do
  [ -e "$program" ] || { echo "$program is missing: build first" >&2; exit 1; }
done
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export TABROOK_OCI_LIBRARY="$BUILD/libocilite.so" NLS_LANG=
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"

awk -v n="$LINES" 'BEGIN { for (i = 1; i <= n; i++)
  printf "%d,\"山田 太郎 %d\",\"東京都千代田区 %d 番地\",%d.%02d\r\n", i, i, i % 1000, i % 100000, i % 100 }' > "$WORK/utf8.csv"
iconv -f UTF-8 -t CP932 "$WORK/utf8.csv" > "$WORK/sjis.csv"
"$BUILD/ocilite-sql" --create "scott/tiger@$WORK/bench.db" > /dev/null <<'SQL'
create table T (ID NUMBER(8), NAME VARCHAR2(60), ADDR VARCHAR2(80), AMOUNT NUMBER(10,2));
SQL

run() {  # run FILE ENCODING: "wall cpu" of one import
  "$BUILD/ocilite-sql" "scott/tiger@$WORK/bench.db" > /dev/null <<< "truncate table T;"
  printf '0\r\nT\t%s\r\n' "$WORK/$1" > "$WORK/job.lst"
  /usr/bin/time -f "%e %U %S" -o "$WORK/time" "$BUILD/tabrook" "USER=scott/tiger@$WORK/bench.db" MODE=IMPORT \
    "LISTFILE=$WORK/job.lst" "LOG=$WORK/run.log" AUTOSTART=TRUE AUTOCLOSE=TRUE AUTOCOMMIT=10000 "ENCODING=$2" \
    > /dev/null 2>&1 || { echo "failed: $1 $2" >&2; cat "$WORK/run.log" >&2; exit 1; }
  grep -q $'\t'"$LINES"$'\t'"$LINES"$'\t0\t' "$WORK/run.log" || { echo "rows missing: $1 $2" >&2; cat "$WORK/run.log" >&2; exit 1; }
  awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$WORK/time"
}

printf "%-6s %-8s %8s %8s   (%d lines, %s and %s bytes)\n" file encoding wall cpu "$LINES" \
  "$(stat -c %s "$WORK/utf8.csv")" "$(stat -c %s "$WORK/sjis.csv")"
for case in "utf8.csv CLIENT" "utf8.csv AUTO" "utf8.csv UTF-8" "sjis.csv AUTO" "sjis.csv SJIS"; do
  set -- $case
  best=""
  for _ in $(seq "$REPEAT"); do
    now=$(run "$1" "$2")
    best=$(awk -v a="$best" -v b="$now" 'BEGIN { if (a == "") { print b; exit } split(a, x, " "); split(b, y, " ");
      printf "%s %s\n", (y[1] < x[1] ? y[1] : x[1]), (y[2] < x[2] ? y[2] : x[2]) }')
  done
  printf "%-6s %-8s %8s %8s\n" "${1%.csv}" "$2" $best
done
