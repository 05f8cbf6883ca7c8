#!/bin/sh
# Runs driver_test.js with Oracle's Node.js driver over libocilite.so.
# Arguments: node npm work-folder libocilite.so ocilite-sql driver_test.js
node="$1" npm="$2" work="$3" library="$4" console="$5" script="$6"
case "$node$npm" in *NOTFOUND*|'')
  echo "SKIPPED: node and npm are needed to run Oracle's Node.js driver (oracledb) against libocilite.so"
  exit 77 ;;
esac
mkdir -p "$work/lib" "$work/npm-cache" || exit 1
# The driver is installed once and kept in the build folder; its version is pinned, so that a
# new release cannot change what the suite checks.
if [ ! -f "$work/node_modules/oracledb/package.json" ]; then
  if ! "$npm" install --prefix "$work" --cache "$work/npm-cache" --no-audit --no-fund --no-save oracledb@26.0.0 >"$work/npm.log" 2>&1; then
    cat "$work/npm.log"
    echo "SKIPPED: npm could not install oracledb (no registry reachable?)"
    exit 77
  fi
fi
ln -sf "$library" "$work/lib/libclntsh.so" || exit 1
rm -f "$work/test.db"
printf 'exit\n' | "$console" --create "scott/tiger@$work/test.db" >/dev/null || exit 1
NODE_PATH="$work/node_modules" exec "$node" "$script" "$work/lib" "$work/test.db"
