#!/bin/sh
# Times scan_bench against du and ncdu on one folder, warm cache, in one run,
# and counts the system calls scan_bench makes per directory entry.
#   bench/compare_scan.sh PATH [BUILD_DIR]
set -eu
path=${1:?usage: compare_scan.sh PATH [BUILD_DIR]}
build=${2:-build}
bench="$build/bench/scan_bench"
[ -x "$bench" ] || { echo "missing $bench: run 'make bench' first" >&2; exit 1; }
command -v ncdu >/dev/null || { echo "ncdu is not installed: run 'make bench'" >&2; exit 1; }

runs=${RUNS:-10}
entries=$(find "$path" -mindepth 1 | wc -l)
echo "path=$path entries=$entries runs=$runs"
"$bench" "$path" | tail -n 1

median_of() { sort -n | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

time_runs() {  # prints the median wall time in seconds of "$@" over $runs runs, after one warm-up
    "$@" >/dev/null 2>&1
    i=0
    while [ $i -lt "$runs" ]; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        echo "$start $end" | awk '{printf "%.6f\n", ($2-$1)/1e9}'
        i=$((i + 1))
    done | median_of
}

if command -v hyperfine >/dev/null && command -v python3 >/dev/null; then
    json=$(mktemp)
    hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" \
        -n fanorbiter "$bench $path" \
        -n du "du -s --apparent-size $path" \
        -n ncdu "ncdu -0 -o /dev/null $path" >/dev/null
    set -- $(python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"]; print(" ".join(str(x["median"]) for x in r))' "$json")
    rm -f "$json"
    ours=$1; du=$2; ncdu=$3
else
    ours=$(time_runs "$bench" "$path")
    du=$(time_runs du -s --apparent-size "$path")
    ncdu=$(time_runs ncdu -0 -o /dev/null "$path")
fi

calls=$(strace -c -f -o /dev/stdout "$bench" "$path" 2>/dev/null | awk '$NF == "total" {print $(NF-2)}')
echo "$ours $du $ncdu $calls $entries" | awk '{
    faster = ($2 < $3) ? $2 : $3
    printf "median_s fanorbiter=%.4f du=%.4f ncdu=%.4f ratio_vs_faster=%.3f\n", $1, $2, $3, $1 / faster
    printf "syscalls=%d per_entry=%.3f\n", $4, $4 / $5
}'
