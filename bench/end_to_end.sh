#!/bin/bash
# End-to-end benchmark of the compiler: a generated script of about <lines>
# lines that uses the constructs of the language (instances, procedures with
# parameters, a communication type with channels, callbacks and procsends,
# nested scenarios with blocks and repetition, DEF_MESSAGE with a structured
# value, SEND, WAITTIL, VAR, calls of interface functions with checks,
# control flow, filters, rendezvous, timers, trace instructions), compiled
# by the real binary from parse to written driver. Reports the best time of
# three runs, script lines per second, peak memory and the size of the
# outputs, then the same at half the size, for the growth.
#   bench/end_to_end.sh [build dir] [lines]
set -eu
build=$(realpath "${1:-build}")
lines=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/bench_script.sh"
write_bench_header "$work/bench.h"

# Best of three runs: "<seconds> <peak KiB> <output bytes>".
measure() {
    local best="" peak="" size=""
    for run in 1 2 3; do
        rm -rf "$work/out" && mkdir "$work/out"
        local t0 t1 kib
        t0=$(date +%s.%N)
        kib=$(cd "$work" && ZOLMEXDIR="$build" /usr/bin/time -f "%M" "$build/bin/zerizevar" bench.zod bench.h out/bench \
                  -NOLOG 2>&1 >/dev/null | tail -n 1)
        t1=$(date +%s.%N)
        if [ ! -f "$work/out/bench.c" ]; then
            echo "the generated script did not compile cleanly:" >&2
            (cd "$work" && ZOLMEXDIR="$build" "$build/bin/zerizevar" bench.zod bench.h out/bench -NOLOG | head -20) >&2
            exit 1
        fi
        local s
        s=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
        if [ -z "$best" ] || awk -v a="$s" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$s; fi
        peak=$kib
        size=$(cat "$work"/out/* | wc -c)
    done
    echo "$best $peak $size"
}

declare -a times
for n in "$lines" $((lines / 2)); do
    generate "$n" "$work/bench.zod"
    count=$(wc -l < "$work/bench.zod")
    read -r s kib size < <(measure)
    rate=$(awk -v l="$count" -v s="$s" 'BEGIN { printf "%d", l / s }')
    per=$(awk -v k="$kib" -v l="$count" 'BEGIN { printf "%.0f", k * 1024 / l }')
    echo "== $count script lines: $s s (best of 3), $rate lines/s, peak $kib KiB ($per bytes per line)," \
         "outputs $size bytes"
    times+=("$s")
done
awk -v full="${times[0]}" -v half="${times[1]}" 'BEGIN {
    printf "growth from half to full size: x%.2f (linear: x2)\n", full / half
}'
