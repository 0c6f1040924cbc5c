#!/bin/bash
# Compares two builds of the compiler on the end-to-end benchmark's script by
# alternating single runs of each, so that both meet the same state of the
# machine: for each build, the median and fastest wall time, script lines per
# second at both, the first quartile, and the mean user and system CPU time.
#   bench/alternate.sh <build dir A> <build dir B> [runs of each] [lines]
set -eu
a=$(realpath "$1")
b=$(realpath "$2")
runs=${3:-20}
lines=${4:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/bench_script.sh"
write_bench_header "$work/bench.h"
generate "$lines" "$work/bench.zod"
count=$(wc -l < "$work/bench.zod")

for ((i = 0; i < runs; ++i)); do
    for build in "$a" "$b"; do
        rm -rf "$work/out" && mkdir "$work/out"
        # Wall time to the microsecond (time's own is to 10 ms), CPU times from time.
        t0=$(date +%s%N)
        cpu=$(cd "$work" && ZOLMEXDIR="$build" /usr/bin/time -f "%U %S" "$build/bin/zerizevar" bench.zod bench.h \
                  out/bench -NOLOG 2>&1 >/dev/null | tail -n 1)
        t1=$(date +%s%N)
        echo "$build $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", (b - a) / 1e9 }') $cpu" >> "$work/times"
        if [ ! -f "$work/out/bench.c" ]; then
            echo "the benchmark's script did not compile cleanly with $build" >&2
            exit 1
        fi
    done
done
echo "== $count script lines, $runs alternated runs of each build"
for build in "$a" "$b"; do
    grep "^$build " "$work/times" | sort -k2n | awk -v b="$build" -v l="$count" '
        { t[NR] = $2; u += $3; s += $4 }
        END {
            m = t[int((NR + 1) / 2)]; q = t[int((NR + 3) / 4)]
            printf "%s: median %.4f s (%d lines/s), first quartile %.4f s, fastest %.4f s (%d lines/s), user %.3f s, system %.3f s\n",
                   b, m, l / m, q, t[1], l / t[1], u / NR, s / NR
        }'
done
