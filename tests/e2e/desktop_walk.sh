#!/usr/bin/env bash
# The real program on a virtual X server with a small window manager, driven by keyboard as an
# office user would: log on through the login dialog, export a table with Japanese text to a
# CSV file with a header line, import that file into a second table, then open the job list,
# the table chooser and the help by their keys and close each again. Checks the file, the
# copied rows and the windows that appear. The screenshots stay in BUILD/desktop-walk for a
# person to look at.
#
#   tests/e2e/desktop_walk.sh BUILD_DIR
#
# Exits 77 (skipped) when Xvfb, openbox, xdotool or scrot is missing (make test-deps installs them).
set -u
build=$(cd "$1" && pwd)
for tool in Xvfb openbox xdotool scrot; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (Debian packages xvfb openbox xdotool scrot; make test-deps)"
    exit 77
  fi
done

shots="$build/desktop-walk"
rm -rf "$shots"
mkdir -p "$shots"
work=$(mktemp -d)
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" LANG=C.UTF-8
unset TABROOK_OCI_LIBRARY WAYLAND_DISPLAY QT_QPA_PLATFORM
db="$work/shop.db"
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

fail() {
  echo "FAILED: $*"
  scrot "$shots/failure.png" 2>/dev/null
  exit 1
}

"$build/ocilite-sql" --create "scott/tiger@$db" >/dev/null <<'SQL' || fail "the database could not be made"
create table PRODUCTS (ID number(6), NAME varchar2(40), ADDED date);
insert into PRODUCTS values (1, '緑茶 Green tea', date '2024-04-01');
insert into PRODUCTS values (2, '味噌 (白), 500g', date '2024-06-30');
create table PRODUCTS_COPY (ID number(6), NAME varchar2(40), ADDED date);
SQL

# A display of its own: Xvfb picks a free number and writes it to the pipe.
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
pids+=($!)
read -r -t 20 number <&3 || { echo "SKIPPED: Xvfb does not start here"; exit 77; }
export DISPLAY=":$number"
openbox >/dev/null 2>&1 &
pids+=($!)

# Waits (up to 60 s: a first start may build the font cache) until a visible window's name
# matches the pattern.
window() {
  local id=""
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
key() { xdotool key --delay 60 "$@"; sleep 0.3; }
typ() { xdotool type --delay 15 -- "$1"; sleep 0.2; }
shot() { sleep 0.5; scrot "$shots/$1.png"; }
# Waits until file exists and holds text.
holds() {
  for _ in $(seq 100); do
    grep -q -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}

"$build/tabrook" >"$shots/program-output.txt" 2>&1 &
program=$!
pids+=("$program")

window "^Login$" >/dev/null || { xdotool search --name . getwindowname %@ >"$shots/windows.txt" 2>&1; fail "no login dialog"; }
shot 01-login
typ scott; key Tab; typ tiger; key Tab; typ "$db"; key Return
main=$(window "^Tabrook\+  \[scott @ $db\]$") || fail "no main window logged on to $db"
sleep 0.5
shot 02-main

# Export PRODUCTS with a header line.
key alt+m; key Down
key alt+t; typ PRODUCTS; key Return
key alt+c; key ctrl+a; typ "$work/products.csv"; key Tab
key alt+h
shot 03-export-ready
key alt+x
window '^Tabrook\+ Version 1\.2a$' >/dev/null || fail "no confirmation before the export"
shot 04-export-confirm
key Return
holds "$work/products.csv" "味噌" || fail "the export wrote no file"
shot 05-export-done
key Return
head -1 "$work/products.csv" | grep -q 'ID.*NAME.*ADDED' || fail "the export has no header line"

# Import the file into PRODUCTS_COPY (the header line is skipped).
key alt+m; key Up
key alt+t; key ctrl+a; typ PRODUCTS_COPY; key Return
key alt+c; key ctrl+a; typ "$work/products.csv"; key Return
shot 06-import-preview
key alt+x
window '^Tabrook\+ Version 1\.2a$' >/dev/null || fail "no confirmation before the import"
shot 07-import-confirm
key Return
sleep 1
shot 08-import-done
key Return
copied=$(printf 'select ID, NAME from PRODUCTS_COPY order by ID;\n' | "$build/ocilite-sql" "scott/tiger@$db")
expected=$'ID|NAME\n1|緑茶 Green tea\n2|味噌 (白), 500g'
[ "$copied" = "$expected" ] || fail "PRODUCTS_COPY holds: $copied"

# The other windows, each by its key, and closed again.
key alt+j
window '^JobList$' >/dev/null || fail "Alt+J did not open the job list"
shot 09-job-list
key alt+c
gone '^JobList$' || fail "Close(C) left the job list open"
xdotool windowactivate --sync "$main" 2>/dev/null
key alt+f
window '^Table$' >/dev/null || fail "Alt+F did not open the table chooser"
sleep 1
shot 10-table-chooser
key alt+c
gone '^Table$' || fail "Cancel(C) left the table chooser open"
key F1
window 'ヘルプ' >/dev/null || fail "F1 did not open the help"
shot 11-help
key Escape
gone 'ヘルプ' || fail "Esc left the help open"

# End(E) closes the program, which ends with status 0.
xdotool windowactivate --sync "$main" 2>/dev/null
key alt+e
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
kill -0 "$program" 2>/dev/null && fail "End(E) did not end the program"
wait "$program"
status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "PASSED: screenshots in $shots"
