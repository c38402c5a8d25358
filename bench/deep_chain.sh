#!/bin/sh
# Times scan_bench on a chain of nested folders against find on the same
# chain, on one thread and on eight, warm cache; the chain is built by
# make_chain in a fresh temporary folder and removed afterwards.
#   bench/deep_chain.sh [DEPTH] [BUILD_DIR]    (DEPTH: 100000; "comb" shape with SHAPE=comb)
set -eu
depth=${1:-100000}
build=${2:-build}
for tool in scan_bench make_chain; do
    [ -x "$build/bench/$tool" ] || { echo "missing $build/bench/$tool: run 'make bench' first" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'find "$work" -depth -delete' EXIT
"$build/bench/make_chain" "$work/chain" "$depth" ${SHAPE:-} >/dev/null
runs=${RUNS:-5}
echo "depth=$depth shape=${SHAPE:-chain} runs=$runs load=$(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine -N --warmup 1 --runs "$runs" -n single "$build/bench/scan_bench $work/chain 1" \
    -n eight "$build/bench/scan_bench $work/chain 8" -n find "find $work/chain" 2>/dev/null |
    grep -E '^(Benchmark|  Time)'
for threads in 1 8; do
    echo "threads=$threads $("$build/bench/scan_bench" "$work/chain" "$threads" | tail -n 1)"
done
