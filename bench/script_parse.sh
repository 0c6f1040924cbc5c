#!/bin/bash
# Parse benchmark of the script front end: generates a script of about
# 200,000 lines (declarations, procedures and scenarios using most statement
# forms) and times one parse with the inspection program, with peak memory.
#   bench/script_parse.sh <build dir> [lines]
set -eu
build=${1:-build}
lines=${2:-200000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v lines="$lines" 'BEGIN {
    print "HEADER \"bench\", \"1.0\", \"generated\""
    print "#include <stdio.h>"
    print "COMMTYPE ct IS socket WITH MULTIPLEXING"
    print "CHANNEL ch : link1, link2"
    print "MESSAGE msg : m1, m2"
    print "TIMER tm"
    n = 6
    for (p = 0; p < 200; p++) {
        print "PROC proc" p "(int a, char b)"
        print "CALL f" p "(a, b) @ r"
        print "IF (a > " p ") THEN"
        print "  PAUSE 10"
        print "END IF"
        print "END PROC"
        n += 6
    }
    s = 0
    while (n < lines) {
        print "SCENARIO sc" s " LOOP 2"
        print "FAMILY fa, fb"
        n += 2
        for (k = 0; k < 20 && n < lines - 1; k++) {
            print "%ABC CALL proc" (k % 200) "(x + " k ", REF(y[" k "]), \"s,t\") @ res"
            print "WAITTIL (MATCHED(ev, link1), WTIME > 200)"
            print "VAR v" k ", INIT = { 1, 2, OTHERS => 0 }"
            print "WHILE (i < " k ")"
            print "  SEND (ch, msg)"
            print "END WHILE"
            print "COMMENT step " k " of scenario " s
            print "-- a comment line"
            print "#define LOCAL_" k " " k
            n += 9
        }
        print "END SCENARIO"
        n += 1
        s++
    }
}' > "$work/bench.zod"
echo "script: $(wc -l < "$work/bench.zod") lines, $(wc -c < "$work/bench.zod") bytes"
if command -v /usr/bin/time >/dev/null 2>&1; then
    /usr/bin/time -f "wall %e s, peak memory %M KiB" "$build/bin/zv_inspect" parse "$work/bench.zod"
else
    time "$build/bin/zv_inspect" parse "$work/bench.zod"
fi
