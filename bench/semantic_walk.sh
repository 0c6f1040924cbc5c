#!/bin/bash
# Semantic-analysis benchmark: generates a script of <scenarios> leaf
# scenarios (in groups of 100) with 20 statements each, using the constructs
# the walk analyses, and times the parse and the analysis in process with the
# peak memory after each (three runs, the machine being shared); then the
# same at half the size, for the growth.
#   bench/semantic_walk.sh [build dir] [scenarios]
set -eu
build=${1:-build}
scenarios=${2:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

generate() {  # leaves, file
    awk -v leaves="$1" 'BEGIN {
        print "HEADER \"bench\", \"1.0\", \"generated\""
        print "DECLARE_INSTANCE Alice, Bob"
        print "# int shared;"
        for (p = 0; p < 200; p++) {
            print "PROC p" p "(int a)"
            print "PAUSE a"
            print "END PROC"
        }
        for (g = 0; g * 100 < leaves; g++) {
            print "SCENARIO g" g
            print "FAMILY fam" g % 10
            print "INITIALIZATION"
            print "PAUSE 1"
            print "END INITIALIZATION"
            for (i = g * 100; i < leaves && i < (g + 1) * 100; i++) {
                print "SCENARIO s" i
                print "# int v" i ";"
                print "PAUSE 1"
                print "PRINT p, v" i
                print "IF (v" i " > 0) THEN"
                print "CALL p" i % 200 "(v" i ")"
                print "ELSE"
                print "RENDEZVOUS r" i
                print "END IF"
                print "WHILE (v" i " < 3)"
                print "@ v" i "++;"
                print "END WHILE"
                print "CASE (v" i ") IS"
                print "WHEN 1 =>"
                print "COMMENT one"
                print "WHEN OTHERS =>"
                print "ERROR"
                print "END CASE"
                print "TIMER t" i
                print "RESET t" i
                print "%A PAUSE 2"
                print "SET (\"AB\")"
                print "INSTANCE Alice:"
                print "UNSET (\"A\")"
                print "END INSTANCE"
                print "COMMENT c"
                print "@ v" i " = 0;"
                print "RENDEZVOUS q" i
                print "PAUSE shared"
                print "EXIT"
                print "END SCENARIO"
            }
            print "END SCENARIO"
        }
    }' > "$2"
}

: > "$work/t.h"
for leaves in "$scenarios" $((scenarios / 2)); do
    generate "$leaves" "$work/bench.zod"
    echo "== $leaves scenarios, $((leaves * 20)) statements, $(wc -l < "$work/bench.zod") lines"
    for run in 1 2 3; do "$build/bin/zv_inspect" model-time "$work/bench.zod" "$work/t.h" | grep -v '^errors'; done
done
