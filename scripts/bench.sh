#!/usr/bin/env bash
# Runs every benchmark script bench/*/run.sh against the given build folder.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
status=0
for script in bench/*/run.sh; do
  [ -x "$script" ] || continue
  echo "== $script"
  "$script" "$build" || status=1
done
exit $status
