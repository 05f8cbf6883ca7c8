#!/usr/bin/env bash
# Reads and splits one CSV file of 1,000,000 lines of 7 fields with bench_csv (the record reader
# of the import, and the plain line reader for comparison) and with Python's
# csv module, in the same run, and prints both throughputs and their ratio.
# Usage: bench/csv/run.sh [build folder, default build]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
bench="$build/bench_csv"
[ -x "$bench" ] || { echo "bench_csv not found in $build (build it first: cmake --build $build --target bench_csv)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
csv="$work/million.csv"

python3 - "$csv" <<'PY'
import sys
with open(sys.argv[1], "w", newline="") as out:
    for i in range(1_000_000):
        out.write(f'{i},{i*7%100000}.{i%100:02d},"Name {i}, Street {i%977}",2024-{i%12+1:02d}-{i%28+1:02d},'
                  f'2024-{i%12+1:02d}-{i%28+1:02d} {i%24:02d}:{i%60:02d}:{i%60:02d},"note ""{i%13}""",{i%1000}\r\n')
PY
size=$(stat -c %s "$csv")
echo "file: 1,000,000 lines, 7 fields, $size bytes"

"$bench" --csv="$csv" --benchmark_format=json --benchmark_out="$work/bench.json" --benchmark_out_format=json >/dev/null

python3 - "$csv" "$work/bench.json" "$size" <<'PY'
import csv, json, sys, time
path, report, size = sys.argv[1], sys.argv[2], int(sys.argv[3])
best = best_cpu = None
for _ in range(3):
    start, start_cpu = time.perf_counter(), time.process_time()
    lines = fields = 0
    with open(path, newline="", encoding="latin-1") as f:
        for row in csv.reader(f):
            lines += 1
            fields += len(row)
    elapsed, cpu = time.perf_counter() - start, time.process_time() - start_cpu
    best = elapsed if best is None else min(best, elapsed)
    best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
assert lines == 1_000_000 and fields == 7_000_000, (lines, fields)
b = json.load(open(report))["benchmarks"][0]
unit = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
ours = b["real_time"] * unit
ours_cpu = b["cpu_time"] * unit
assert round(b["lines_per_file"]) == 1_000_000 and round(b["fields_per_line"]) == 7, b
print(f"bench_csv (RecordReader + SplitFieldsInto): {ours:.3f} s per file, {size/ours/1e6:.1f} MB/s, "
      f"{1e6/ours/1e6:.2f} M lines/s, peak RSS {b['peak_rss_MiB']:.1f} MiB")
for other in json.load(open(report))["benchmarks"][1:]:
    t = other["real_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[other["time_unit"]]
    print(f"  for comparison {other['name']} (LineReader, one line per record): {t:.3f} s per file, "
          f"{size/t/1e6:.1f} MB/s")
print(f"Python csv.reader (best of 3):             {best:.3f} s per file, {size/best/1e6:.1f} MB/s, "
      f"{1e6/best/1e6:.2f} M lines/s")
print(f"ratio: {best/ours:.1f}x faster than Python's csv module by elapsed time, "
      f"{best_cpu/ours_cpu:.1f}x by CPU time ({ours_cpu:.3f} s vs {best_cpu:.3f} s) (goal: at least 5x)")
PY
