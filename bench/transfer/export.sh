#!/bin/sh
# Export through the export engine against the SQLite shell's CSV output, side by side on the
# same rows: BENCH (seven columns: integers, quoted text with commas, two-decimal amounts,
# dates) and BENCHTS (the same plus a TIMESTAMP(3) and a TIMESTAMP WITH TIME ZONE column,
# written with RRRR-MM-DD HH24:MI:SSXFF: a zoneless TIMESTAMP has no TZH:TZM).
# Each export runs ROUNDS times (default 3), alternating with the shell; the best CPU
# (user + system) and wall seconds of each are printed with their ratios. BASE_BUILD names a
# second folder holding another transfer_bench and libocilite.so (an older build, say): its
# export runs in the same rounds and is printed on its own lines.
#   [BASE_BUILD=DIR] bench/transfer/export.sh [BUILD_DIR] [LINES]   (defaults: build, 1000000)
set -eu
BUILD=$(cd "${1:-build}" && pwd)
N=${2:-1000000}
ROUNDS=${ROUNDS:-3}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-export.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export TABROOK_OCI_LIBRARY="$BUILD/libocilite.so"
export XDG_DATA_HOME="$WORK/xdg"
BENCH="$BUILD/bench/transfer_bench"
[ -x "$BENCH" ] || BENCH="$BUILD/transfer_bench"

csv="$WORK/data.csv"
awk -v n="$N" 'BEGIN {
  for (i = 1; i <= n; i++)
    printf "%d,\"Name %d\",%d.%02d,20%02d-%02d-%02d %02d:%02d:%02d,\"Note about row %d, with a comma\",%d,\"%s\"\r\n",
      i, i, i % 100000, i % 100, i % 30, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i, i % 99999,
      (i % 2 ? "AB" : "XY")
}' > "$csv"

db="$WORK/bench.db"
"$BUILD/ocilite-sql" --create -f /dev/null "bench/bench@$db" > /dev/null
"$BENCH" create "$db"
"$BENCH" create-ts "$db"
"$BENCH" import "$db" "$csv" > /dev/null
"$BUILD/ocilite-sql" "bench/bench@$db" > /dev/null <<'SQL'
insert into BENCHTS select ID, NAME, AMOUNT, BORN, NOTE, QTY, CODE,
  to_timestamp(to_char(BORN, 'YYYY-MM-DD HH24:MI:SS') || '.' || to_char(mod(ID * 7919, 1000), 'FM000'),
               'YYYY-MM-DD HH24:MI:SS.FF3'),
  to_timestamp_tz(to_char(BORN, 'YYYY-MM-DD HH24:MI:SS') || '.' || to_char(mod(ID * 104729, 1000000), 'FM000000')
                  || case mod(ID, 3) when 0 then ' +09:00' when 1 then ' -05:30' else ' +00:00' end,
                  'YYYY-MM-DD HH24:MI:SS.FF TZH:TZM')
from BENCH;
commit;
SQL

sq="$WORK/sqlite.db"
sqlite3 "$sq" "create table BENCH (ID integer, NAME text, AMOUNT real, BORN text, NOTE text, QTY integer, CODE text);"
sqlite3 "$sq" ".import --csv $csv BENCH"
sqlite3 "$sq" "create table BENCHTS as select *,
  BORN || printf('.%03d', (ID * 7919) % 1000) as STAMP,
  BORN || printf('.%06d', (ID * 104729) % 1000000) || case ID % 3 when 0 then ' +09:00' when 1 then ' -05:30' else ' +00:00' end as STAMPTZ
  from BENCH;"

# "cpu wall" seconds of a command (user + system, elapsed).
timed() {
  /usr/bin/time -f "%U %S %e" -o "$WORK/time" "$@" > "$WORK/stdout"
  awk '{ printf "%.2f %.2f\n", $1 + $2, $3 }' "$WORK/time"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# Best "cpu wall" of the rounds in file $1.
best() { awk 'NR == 1 || $1 < c { c = $1 } NR == 1 || $2 < w { w = $2 } END { printf "%.2f %.2f", c, w }' "$1"; }

printf '%-8s %-6s %8s %8s %8s %8s %8s %8s\n' table build cpu_s wall_s sq_cpu_s sq_wall_s cpu_x wall_x
for table in BENCH BENCHTS; do
  fmt="RRRR-MM-DD HH24:MI:SSXFF TZH:TZM"; [ "$table" = BENCH ] || fmt="RRRR-MM-DD HH24:MI:SSXFF"
  : > "$WORK/ours"; : > "$WORK/base"; : > "$WORK/sq"
  r=0
  while [ $r -lt "$ROUNDS" ]; do
    TIMESTAMPFMT="$fmt" timed "$BENCH" export "$db" "$WORK/out.csv" "$table" >> "$WORK/ours"
    if [ -n "${BASE_BUILD:-}" ]; then
      TIMESTAMPFMT="$fmt" TABROOK_OCI_LIBRARY="$BASE_BUILD/libocilite.so" \
        timed "$BASE_BUILD/transfer_bench" export "$db" "$WORK/base.csv" "$table" >> "$WORK/base"
    fi
    timed sh -c "sqlite3 -csv '$sq' 'select * from $table' > '$WORK/sq.csv'" >> "$WORK/sq"
    r=$((r + 1))
  done
  lines_out=$(wc -l < "$WORK/out.csv"); lines_sq=$(wc -l < "$WORK/sq.csv")
  [ "$lines_out" = "$N" ] && [ "$lines_sq" = "$N" ] || { echo "row counts differ: sqlite $lines_sq, export $lines_out" >&2; exit 1; }
  set -- $(best "$WORK/sq"); sc=$1; sw=$2
  for build in this base; do
    [ $build = this ] || [ -n "${BASE_BUILD:-}" ] || continue
    if [ $build = base ] && ! cmp -s "$WORK/out.csv" "$WORK/base.csv"; then
      echo "$table: the two builds wrote different files" >&2; exit 1
    fi
    set -- $(best "$WORK/$([ $build = this ] && echo ours || echo base)")
    printf '%-8s %-6s %8s %8s %8s %8s %8s %8s\n' "$table" $build "$1" "$2" "$sc" "$sw" "$(ratio "$1" "$sc")" "$(ratio "$2" "$sw")"
  done
done
