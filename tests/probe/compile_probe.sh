#!/bin/sh
# Writes the probe files of each case, DEFAULT and CUSTOM, with the callback
# templates, and checks that gcc and clang (when installed) accept them as C99
# against the reference runtime headers, warnings counting as errors. The files
# are the compiler's own (zerizevar <script> <interface> p -PROBE=<mode>) once it
# writes the decoder; until then probe_files writes them from the same passes.
#   compile_probe.sh <zerizevar> <probe_files> <cases dir> <runtime headers> <work dir>
set -u
compiler=$1 tool=$2 cases=$3 lib=$4 work=$5
compilers=gcc
command -v clang >/dev/null 2>&1 && compilers="gcc clang"
failures=0
rm -rf "$work" && mkdir -p "$work" || exit 2
for case in "$cases"/*/; do
    name=$(basename "$case")
    for mode in DEFAULT CUSTOM; do
        dir="$work/$name-$mode"
        mkdir -p "$dir" && cp "$case"/* "$dir"/ || exit 2
        # Warnings give a status of their own: a clean run is one that wrote the header.
        (cd "$dir" && "$compiler" t t.h p -PROBE=$mode >compiler.out 2>&1)
        if [ ! -f "$dir/p.h" ]; then
            echo "FAIL $name $mode: the compiler refused the script"; cat "$dir/compiler.out"
            failures=$((failures + 1)); continue
        fi
        writer=zerizevar
        if [ ! -f "$dir/p.c" ]; then
            writer=probe_files
            if ! (cd "$dir" && "$tool" "$mode" t.zod p t.h >tool.out 2>&1); then
                echo "FAIL $name $mode: writing the probe files"; cat "$dir/tool.out"
                failures=$((failures + 1)); continue
            fi
        fi
        templates=$(cd "$dir" && ls fctri_c.c fctfc_c.c 2>/dev/null)
        for cc in $compilers; do
            if (cd "$dir" && $cc -std=c99 -Wall -Werror -fsyntax-only -I "$lib" -I . p.c $templates >"$cc.out" 2>&1); then
                echo "ok   $name $mode $cc ($writer)"
            else
                echo "FAIL $name $mode $cc ($writer)"; cat "$dir/$cc.out"; failures=$((failures + 1))
            fi
        done
    done
done
[ "$failures" -eq 0 ]
