#!/bin/sh
# check_package.sh BUILD_DIR [CPACK]: builds the .deb of BUILD_DIR into a scratch folder, checks
# what it installs and depends on, then unpacks it and runs the installed layout unattended.
set -u
build=$1
cpack=${2:-cpack}
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

command -v dpkg-deb >/dev/null 2>&1 || skip "dpkg-deb is not installed"
command -v "$cpack" >/dev/null 2>&1 || [ -x "$cpack" ] || skip "cpack is not installed"
for program in tabrook ocilite-sql libocilite.so; do
  [ -e "$build/$program" ] || skip "$program is not built"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tabrook-package-XXXXXX") || fail "no scratch folder"
trap 'rm -rf "$work"' EXIT

( cd "$build" && "$cpack" -G DEB -B "$work/out" ) > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/tabrook_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$work/cpack.log"; fail "no tabrook_*.deb"; }
echo "package: $(basename "$deb") ($(wc -c < "$deb") bytes)"

dpkg-deb -c "$deb" > "$work/contents" || fail "dpkg-deb -c"
for path in ./usr/bin/tabrook ./usr/bin/ocilite-sql ./usr/lib/tabrook/libocilite.so \
            ./usr/share/applications/tabrook.desktop ./usr/share/icons/hicolor/scalable/apps/tabrook.svg \
            ./usr/share/man/man1/tabrook.1.gz ./usr/share/man/man1/ocilite-sql.1.gz \
            ./usr/share/doc/tabrook/manual/ja/index.html ./usr/share/doc/tabrook/manual/ja/job-list.html \
            ./usr/share/doc/tabrook/manual/en/index.html; do
  grep -q " $path\$" "$work/contents" || { cat "$work/contents"; fail "the package lacks $path"; }
done
# The programs are executable; nothing lands outside /usr.
grep -q '^-rwxr-xr-x .* ./usr/bin/tabrook$' "$work/contents" || fail "tabrook is not executable"
if grep -v ' ./usr/' "$work/contents" | grep -v ' ./$' | grep -q .; then
  grep -v ' ./usr/' "$work/contents"; fail "files outside /usr"
fi

[ "$(dpkg-deb -f "$deb" Package)" = tabrook ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.2 ] || fail "version: $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6core6 libsqlite3-0 libc6; do
  echo "$depends" | grep -q "$library" || fail "Depends lacks $library"
done

# apt can install it here: every dependency resolves (a simulation; nothing is installed), on
# this machine as it is and on the same machine with this very version already installed (a
# copy of dpkg's status with the package's stanza added), where apt would otherwise answer
# "already the newest version".
if command -v apt-get >/dev/null 2>&1; then
  status=/var/lib/dpkg/status
  { cat "$status"; echo; dpkg-deb -f "$deb" | sed '1a Status: install ok installed'; } > "$work/installed.status"
  for state in "$status" "$work/installed.status"; do
    apt-get -o Dir::State::status="$state" install -s --reinstall "$deb" > "$work/apt.log" 2>&1
    grep -q '^Inst tabrook ' "$work/apt.log" || { cat "$work/apt.log"; fail "apt-get cannot install the package ($state)"; }
  done
fi

# The installed layout works: the program finds the engine in its private folder by itself.
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x"
root=$work/root/usr
grep -q '^Exec=tabrook' "$root/share/applications/tabrook.desktop" || fail "desktop entry"
cd "$work" || fail "cd"
printf 'create table T (ID number(6), NAME varchar2(20));\n' > schema.sql
"$root/bin/ocilite-sql" --create -f schema.sql scott/tiger@"$work/pkg.db" > sql.log 2>&1 || { cat sql.log; fail "ocilite-sql"; }
printf '1,one\r\n2,two\r\n3,three\r\n' > t.csv
printf '0\r\nT\t%s/t.csv\r\n' "$work" > jobs.lst
env -u TABROOK_OCI_LIBRARY -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
  XDG_DATA_HOME="$work/home/.local/share" \
  "$root/bin/tabrook" USER=scott/tiger@"$work/pkg.db" MODE=IMPORT LISTFILE="$work/jobs.lst" \
  LOG="$work/run.log" AUTOSTART=TRUE AUTOCLOSE=TRUE > run.out 2>&1
status=$?
[ "$status" -eq 0 ] || { cat run.out; cat run.log 2>/dev/null; fail "the installed tabrook ended with $status"; }
grep -q "^O	" run.log || { cat run.log; fail "no successful transfer in the log"; }
count=$(printf 'select count(*) from T;\n' | "$root/bin/ocilite-sql" scott/tiger@"$work/pkg.db" | tail -n 1)
[ "$count" = 3 ] || fail "rows imported: $count"
echo "the installed layout imported $count rows"
exit 0
