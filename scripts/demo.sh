#!/usr/bin/env bash
# The demonstration: creates a small database with the embedded engine, writes CSV files and
# a job list, imports them with an unattended tabrook run, exports the tables again with a
# second run, and shows the run logs and a few rows of the result. Where there is a display
# (DISPLAY or WAYLAND_DISPLAY) it then opens the main window on the demo database.
#
#   scripts/demo.sh [build folder]        (make demo runs it after building)
#
# Everything is written under <build folder>/demo; the settings the runs store go to a
# configuration folder there too, so the user's own stored settings stay as they are.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "$here/${1:-build}" && pwd)"
tabrook="$build/tabrook"
sql="$build/ocilite-sql"
for program in "$tabrook" "$sql" "$build/libocilite.so"; do
  [ -e "$program" ] || { echo "demo: $program is missing; run make first" >&2; exit 1; }
done

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/in" "$demo/out" "$demo/config"
cd "$demo"
export XDG_CONFIG_HOME="$demo/config"

step() { printf '\n== %s\n' "$*"; }
failed=0
# Runs tabrook, shows the command and its exit status (0 success, 2 rows refused, 1 failure).
run_tabrook() {
  printf '$ tabrook'; printf ' %q' "$@"; printf '\n'
  local status=0
  "$tabrook" "$@" || status=$?
  echo "exit status: $status"
  [ "$status" = 0 ] || failed=1
}

step "Create the demo database demo.db (account demo/demo)"
cat > schema.sql <<'SQL'
create table PRODUCTS (
  ID     NUMBER(6),
  NAME   VARCHAR2(40),
  PRICE  NUMBER(10,2),
  ADDED  DATE
);
create table ORDERS (
  ORDER_NO  NUMBER(8),
  CUSTOMER  NVARCHAR2(30),
  QUANTITY  NUMBER(5),
  ORDERED   TIMESTAMP(3)
);
SQL
cat schema.sql
"$sql" --create -f schema.sql demo/demo@demo.db

step "Write the CSV files and the job list"
printf '%s\r\n' \
  '1,"Green tea 緑茶",4.5,2024-04-01 09:00:00' \
  '2,"Rice cracker, salted",2.25,2024-04-02 10:30:00' \
  '3,"Notebook ""A5""",3,2024-05-10 00:00:00' \
  '4,味噌,7.8,2024-06-30 18:45:00' > in/products.csv
printf '%s\r\n' \
  '1001,山田 太郎,3,2024-07-01 12:00:00.250' \
  '1002,Suzuki Hanako,1,2024-07-02 08:15:30.000' \
  '1003,佐藤 花子,12,2024-07-03 23:59:59.999' > in/orders.csv
printf '%s\r\n' 0 "PRODUCTS	$demo/in/products.csv" "ORDERS	$demo/in/orders.csv" > import.lst
printf '%s\r\n' 1 "PRODUCTS	$demo/out/products.csv" "ORDERS	$demo/out/orders.csv" > export.lst
for file in in/products.csv in/orders.csv import.lst; do echo "--- $file"; tr -d '\r' < "$file"; done

step "Import unattended"
run_tabrook USER=demo/demo@demo.db MODE=IMPORT LISTFILE="$demo/import.lst" \
  TIMESTAMPFMT="RRRR-MM-DD HH24:MI:SSXFF" LOG="$demo/import.log" AUTOSTART=TRUE AUTOCLOSE=TRUE
echo "--- import.log"; tr -d '\r' < import.log

step "Export unattended, with a header line"
run_tabrook USER=demo/demo@demo.db MODE=EXPORT LISTFILE="$demo/export.lst" HEADER=TRUE \
  TIMESTAMPFMT="RRRR-MM-DD HH24:MI:SSXFF" LOG="$demo/export.log" AUTOSTART=TRUE AUTOCLOSE=TRUE
echo "--- export.log"; tr -d '\r' < export.log
for file in out/products.csv out/orders.csv; do
  [ -e "$file" ] && { echo "--- $file"; tr -d '\r' < "$file"; }
done

step "A few rows of the database"
printf 'select * from PRODUCTS order by ID;\nselect ORDER_NO, CUSTOMER, ORDERED from ORDERS where QUANTITY > 1 order by ORDER_NO;\n' |
  "$sql" demo/demo@demo.db

printf '\nThe demo files are in %s\n' "$demo"

# With a display the demo ends in the program itself: the main window logged on to the demo
# database (no login dialog), the demo's job list in the job list window. Without one (CI, the
# test suite) it ends here.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  step "Open the main window on demo.db with the job list import.lst (close it with End)"
  printf '$ tabrook USER=demo/demo@demo.db LISTFILE=%q\n' "$demo/import.lst"
  "$tabrook" USER=demo/demo@demo.db LISTFILE="$demo/import.lst" LOG="$demo/window.log" || failed=1
fi
exit "$failed"
