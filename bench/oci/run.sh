#!/bin/sh
# Runs the OCI insert/fetch benchmark at 100k and 1M rows (separate processes, so the two
# peak-memory figures can be compared) in a temporary folder.
#   bench/oci/run.sh [BUILD_DIR] [ROWS...]
set -e
build=${1:-build}
shift 2>/dev/null || true
sizes=${*:-100000 1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in $sizes; do
  "$build/bench_oci_insert" "$n" "$work/$n"
  rm -rf "$work/$n"
  echo
done
