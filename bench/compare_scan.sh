#!/bin/sh
# Times scan_bench, on one thread and in parallel, against du, ncdu and (only
# where Debian's package is installed) gdu on one folder, in one run, and
# counts the system calls the one-thread walk makes per entry.
#   bench/compare_scan.sh PATH [BUILD_DIR]
# THREADS sets the parallel walk's threads and SPARES its spare ones
# (default: the program's own choice of both for the folder's volume). COLD=1 drops the page cache before every
# run, which needs root and hyperfine: without them the script says so and
# stops.
set -eu
path=${1:?usage: compare_scan.sh PATH [BUILD_DIR]}
build=${2:-build}
bench="$build/bench/scan_bench"
[ -x "$bench" ] || { echo "missing $bench: run 'make bench' first" >&2; exit 1; }
command -v ncdu >/dev/null || { echo "ncdu is not installed: run 'make bench'" >&2; exit 1; }
threads=${THREADS:-0}
spares=${SPARES:-0}
prepare=""
if [ "${COLD:-0}" = 1 ]; then
    if [ "$(id -u)" != 0 ] || ! [ -w /proc/sys/vm/drop_caches ] || ! command -v hyperfine >/dev/null; then
        echo "cold-cache mode skipped: dropping the page cache needs root (and hyperfine)" >&2
        exit 0
    fi
    prepare="sync; echo 3 > /proc/sys/vm/drop_caches"
fi
gdu=""
if dpkg -s gdu >/dev/null 2>&1 && command -v gdu >/dev/null; then gdu=gdu; fi

runs=${RUNS:-10}
entries=$(find "$path" -mindepth 1 | wc -l)
echo "path=$path entries=$entries runs=$runs cache=$([ -n "$prepare" ] && echo cold || echo warm)"
single=$("$bench" "$path" 1 | tail -n 1)
parallel=$("$bench" "$path" "$threads" "$spares" | tail -n 1)
threads=$(echo "$parallel" | tr ' ' '\n' | sed -n 's/^threads=//p')
spares=$(echo "$parallel" | tr ' ' '\n' | sed -n 's/^spares=//p')
echo "single:   $single"
echo "parallel: $parallel"
totals() { echo "$1" | tr ' ' '\n' | grep -E '^(files|folders|bytes)=' | tr '\n' ' '; }
[ "$(totals "$single")" = "$(totals "$parallel")" ] && echo "totals identical" || echo "TOTALS DIFFER"

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

# Names and commands in the same order; the first two are ours.
names="single parallel du ncdu${gdu:+ gdu}"
if command -v hyperfine >/dev/null && command -v python3 >/dev/null; then
    json=$(mktemp)
    set -- -n single "$bench $path 1" -n parallel "$bench $path $threads $spares" \
        -n du "du -s --apparent-size $path" -n ncdu "ncdu -0 -o /dev/null $path"
    [ -n "$gdu" ] && set -- "$@" -n gdu "gdu -x --non-interactive --no-progress $path"
    if [ -n "$prepare" ]; then
        hyperfine --prepare "$prepare" --runs "$runs" --export-json "$json" "$@" >/dev/null
    else
        hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" "$@" >/dev/null
    fi
    medians=$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"]; print(" ".join(str(x["median"]) for x in r))' "$json")
    rm -f "$json"
else
    medians="$(time_runs "$bench" "$path" 1) $(time_runs "$bench" "$path" "$threads" "$spares")"
    medians="$medians $(time_runs du -s --apparent-size "$path") $(time_runs ncdu -0 -o /dev/null "$path")"
    [ -n "$gdu" ] && medians="$medians $(time_runs gdu -x --non-interactive --no-progress "$path")"
fi

calls=$(strace -c -f -o /dev/stdout "$bench" "$path" 1 2>/dev/null | awk '$NF == "total" {print $(NF-2)}')
echo "$names|$medians|$calls $entries $threads $spares" | awk -F'|' '{
    n = split($1, name, " "); split($2, t, " "); split($3, extra, " ")
    line = "median_s"
    for (i = 1; i <= n; ++i) line = line sprintf(" %s=%.4f", name[i], t[i])
    fastest = t[3]
    for (i = 4; i <= n; ++i) if (t[i] < fastest) fastest = t[i]
    printf "%s threads=%d spares=%d\n", line, extra[3], extra[4]
    printf "parallel_vs_fastest_other=%.3f single_vs_fastest_other=%.3f speedup=%.2f\n", t[2] / fastest, t[1] / fastest, t[1] / t[2]
    printf "syscalls=%d per_entry=%.3f\n", extra[1], extra[1] / extra[2]
}'
