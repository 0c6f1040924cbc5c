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

cat > "$work/bench.h" <<'HEADER'
typedef int conn_t;
typedef struct { int x; int y; } bench_pos_t;
typedef struct { int code; bench_pos_t pos; int tab[4]; char name[8]; } Ev;
typedef struct { int id; int status; } Ack;
int bench_get(int level, int *out);
void bench_reset(void);
HEADER

# Each leaf scenario is 25 lines; the header part about 60.
generate() {  # lines, file
    awk -v leaves="$(( ($1 - 60) / 27 ))" 'BEGIN {
        events = 16; channels = 8
        print "HEADER \"bench\", \"1.0\", \"generated\""
        print "DECLARE_INSTANCE Alice, Bob"
        print "# int fd; int level; int got;"
        print "# char text[32];"
        print "COMMTYPE Link IS conn_t"
        line = "CHANNEL Link : ch0"
        for (c = 1; c < channels; c++) line = line ", ch" c
        print line
        line = "MESSAGE Ev : ev0"
        for (e = 1; e < events; e++) line = line ", ev" e
        print line
        print "MESSAGE Ack : ack"
        for (t = 0; t < 2; t++) {
            type = t ? "Ack" : "Ev"
            print "CALLBACK " type " : m ON Link : id"
            print "IF (id >= 0) THEN"
            print "MESSAGE_DATE"
            print "ELSE"
            print "NO_MESSAGE"
            print "END IF"
            print "END CALLBACK"
            print "PROCSEND " type " : m ON Link : id"
            print "COMMENT writes one message"
            print "END PROCSEND"
        }
        for (p = 0; p < 20; p++) {
            print "PROC p" p "(int a)"
            print "PRINT a, a"
            print "END PROC"
        }
        for (g = 0; g * 50 < leaves; g++) {
            print "SCENARIO g" g " LOOP 2"
            print "FAMILY fam" g % 10
            print "INITIALIZATION"
            print "RENDEZVOUS init" g
            print "END INITIALIZATION"
            print "TERMINATION"
            print "COMMENT done"
            print "END TERMINATION"
            for (i = g * 50; i < leaves && i < (g + 1) * 50; i++) {
                e1 = i % events; e2 = (i + 1) % events
                c1 = i % channels; c2 = (i + 1) % channels
                print "SCENARIO s" i
                print "ADD_ID (ch" c1 ", fd)"
                print "DEF_MESSAGE ev" e1 ", EV = { " i % 7 ", { 2, 3 }, { 0..3 => 1 }, \"ab\" }"
                print "SEND (ack, ch" c1 ")"
                print "WAITTIL (MATCHED(ev" e1 ", ch" c1 ") && MATCHED(ev" e2 ", ch" c2 "), WTIME > 100)"
                print "VAR level, EV = " i % 5
                print "CALL bench_get(level @ 1, REF(got @ 2)) @ 0"
                print "CALL p" i % 20 "(level)"
                print "IF (level > 0) THEN"
                print "PRINT lv, level"
                print "ELSE"
                print "RENDEZVOUS r" i
                print "END IF"
                print "WHILE (level < 3)"
                print "@ level++;"
                print "END WHILE"
                print "%A COMMENT filtered"
                print "SET (\"AB\")"
                print "INSTANCE Alice:"
                print "UNSET (\"A\")"
                print "END INSTANCE"
                print "INTERSEND (\"hello\", \"Bob\")"
                print "CLEAR_ID (ch" c1 ")"
                print "TRACE_ON"
                print "END SCENARIO"
            }
            print "END SCENARIO"
        }
    }' > "$2"
}

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
