#!/bin/bash
# Semantic-analysis benchmark of the communication constructs: a script of
# <scenarios> leaf scenarios (in groups of 100), each with a DEF_MESSAGE of a
# structured value, a SEND, a WAITTIL on two matching operators with a time
# limit and a VAR check, against a header with a nested message structure,
# one communication type, channels, callbacks and procsends. Times the
# analysis in process with its peak memory, then the output passes that read
# the model (event codes and TDC text, report structure) with the peak after
# them (best of three runs, the machine being shared), then the same at half
# the size, and prints the growth of both.
#   bench/semantic_comm.sh [build dir] [scenarios]
set -eu
build=${1:-build}
scenarios=${2:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/bench.h" <<'EOF'
typedef int conn_t;
typedef struct { int x; int y; } bench_pos_t;
typedef struct { int code; bench_pos_t pos; int flags; int size; } Ev;
typedef struct { int id; int status; } Ack;
EOF

# The communication part of the script is the end-to-end benchmark's.
source "$(dirname "$0")/bench_script.sh"

generate() {  # leaves, file
    awk -v leaves="$1" "$comm_part_awk"'
    BEGIN {
        events = 16; channels = 8
        print "HEADER \"bench\", \"1.0\", \"generated\""
        print "# int fd;"
        comm_part(events, channels)
        for (g = 0; g * 100 < leaves; g++) {
            print "SCENARIO g" g
            print "FAMILY fam" g % 10
            for (i = g * 100; i < leaves && i < (g + 1) * 100; i++) {
                e1 = i % events; e2 = (i + 1) % events
                c1 = i % channels; c2 = (i + 1) % channels
                print "SCENARIO s" i
                print "# int v" i ";"
                print "DEF_MESSAGE ev" e1 ", EV = { " i % 7 ", { 2, 3 }, OTHERS => 0 }"
                print "SEND (ack, ch" c1 ")"
                print "WAITTIL (MATCHED(ev" e1 ", ch" c1 ") && MATCHED(ev" e2 ", ch" c2 "), WTIME > 100)"
                print "VAR v" i ", EV = 3"
                print "END SCENARIO"
            }
            print "END SCENARIO"
        }
    }' > "$2"
}

# Best of three runs: "<analysis ms> <peak KiB> <outputs ms> <peak KiB>".
measure() {
    local best="" peak="" best_out="" peak_out=""
    for run in 1 2 3; do
        local out ms kib
        out=$("$build/bin/zv_inspect" model-time "$work/bench.zod" "$work/bench.h")
        if ! grep -q '^errors 0 warnings 0$' <<< "$out"; then
            echo "the generated script is not clean:" >&2
            echo "$out" >&2
            exit 1
        fi
        ms=$(sed -n 's/^analysis \([0-9.]*\) ms.*/\1/p' <<< "$out")
        kib=$(sed -n 's/^analysis .*peak \([0-9]*\) KiB/\1/p' <<< "$out")
        if [ -z "$best" ] || awk -v a="$ms" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$ms; fi
        peak=$kib
        ms=$(sed -n 's/^outputs \([0-9.]*\) ms.*/\1/p' <<< "$out")
        kib=$(sed -n 's/^outputs .*peak \([0-9]*\) KiB.*/\1/p' <<< "$out")
        if [ -z "$best_out" ] || awk -v a="$ms" -v b="$best_out" 'BEGIN { exit !(a < b) }'; then best_out=$ms; fi
        peak_out=$kib
    done
    echo "$best $peak $best_out $peak_out"
}

declare -a times outputs
for leaves in "$scenarios" $((scenarios / 2)); do
    generate "$leaves" "$work/bench.zod"
    read -r ms kib out_ms out_kib < <(measure)
    echo "== $leaves scenarios with communication, $(wc -l < "$work/bench.zod") lines:" \
         "analysis $ms ms (best of 3), peak $kib KiB;" \
         "output passes $out_ms ms (best of 3), peak $out_kib KiB"
    times+=("$ms")
    outputs+=("$out_ms")
done
awk -v full="${times[0]}" -v half="${times[1]}" -v ofull="${outputs[0]}" -v ohalf="${outputs[1]}" 'BEGIN {
    printf "growth from %d to %d scenarios: analysis x%.2f, output passes x%.2f (linear: x2)\n", \
        '"$((scenarios / 2))"', '"$scenarios"', full / half, ofull / ohalf
}'
