#!/usr/bin/env bash
# Builds and runs the benchmarks (bench/), then prints the figures that matter as ratios:
# compile growth from 1x to 4x to 16x the statements, and for every operation on the
# simulated loop at wire speed its wall time over wire time and CPU time over wall time.
#
#   scripts/bench.sh [BUILD_FOLDER] [-- benchmark options]
#
# The default folder is build-bench. The JSON of the run is kept as BUILD_FOLDER/bench.json.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
folder=build-bench
if [ $# -gt 0 ] && [ "$1" != "--" ]; then
  folder=$1
  shift
fi
if [ "${1:-}" = "--" ]; then shift; fi
build="$here/$folder"

# tirasse is not measured, so a new folder leaves it out; a folder that exists (build/, say)
# keeps its own setting, which a cached OFF would otherwise change for good.
options=(-DPLENUM_BUILD_BENCH=ON)
[ -f "$build/CMakeCache.txt" ] || options+=(-DPLENUM_BUILD_TIRASSE=OFF)
cmake -S "$here" -B "$build" "${options[@]}" >/dev/null
nice cmake --build "$build" -j2 --target plenum_bench

echo "Machine: $(uname -srm), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
"$build/bench/plenum_bench" --benchmark_counters_tabular=true \
  --benchmark_out="$build/bench.json" --benchmark_out_format=json "$@"

python3 - "$build/bench.json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
compile_ms = {}
statements = {}
for r in runs:
    name = r["name"]
    if name.startswith("BM_CompileGenerated/") and r.get("run_type") == "iteration":
        # CPU time: the compile runs on one thread, and wall time on a busy machine
        # measures the other processes as well.
        sections = int(name.split("/")[1])
        compile_ms[sections] = r["cpu_time"]
        statements[sections] = r["statements"]
if {1, 4, 16} <= compile_ms.keys():
    print("\nCompile growth (CPU time over that of 1x; linear growth gives the statement ratio):")
    for n in (4, 16):
        grow = statements[n] / statements[1]
        ratio = compile_ms[n] / compile_ms[1]
        print("  %2dx: %d statements (%.2f times as many), CPU time %.2f times, per statement %.2f" % (
            n, statements[n], grow, ratio, ratio / grow))
print("\nWire-speed figures (targets: wall/wire <= 1.05, cpu/wall < 0.05; wall/floor is the")
print("wall time over that of the same requests sent by a host that only sends and waits):")
for r in runs:
    if "wall_over_wire" in r and r.get("error_occurred") is not True:
        print("  %-34s wall %.3fs  wire %.3fs  wall/wire %.3f  wall/floor %.4f  cpu/wall %.4f" % (
            r["name"].split("/")[0], r["wall_s"], r["wire_s"], r["wall_over_wire"],
            r["wall_over_floor"], r["cpu_over_wall"]))
    if "same_over_first" in r and r.get("error_occurred") is not True:
        print("  %-34s first %.3fs (wall/wire %.3f)" % (
            r["name"].split("/")[0], r["first_s"], r["first_wall_over_wire"]))
        for key, what in (("same", "again with -u"), ("changed", "-u, one statement changed")):
            print("  %-34s %.3fs (wall/wire %.3f), %.3f of the first (target <= 0.80)" % (
                "  " + what, r[key + "_s"], r[key + "_wall_over_wire"], r[key + "_over_first"]))
    if "dropped" in r:
        print("  %-34s sent %d  shown %d  dropped %d" % (
            r["name"].split("/")[0], r["sent"], r["shown"], r["dropped"]))
    if r.get("error_occurred"):
        print("  %-34s not measured: %s" % (r["name"], r.get("error_message", "")))
PY
