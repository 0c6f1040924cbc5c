#!/bin/sh
# Generated C is checked by real C compilers: gcc and clang (when installed)
# must accept it as C99 against the reference runtime headers, warnings
# counting as errors.
#  1. Each script of the probe corpus is compiled with -PROBE=DEFAULT and
#     -PROBE=CUSTOM; the probe decoder, its header and the callback templates
#     that the run writes are compiled.
#  2. Every C file that an end-to-end case expects (tests/cases/*/expected) is
#     compiled in a copy of its case directory, beside the other expected files.
#   compile_probe.sh <zerizevar> <probe cases dir> <end-to-end cases dir> <runtime headers> <work dir>
set -u
compiler=$1 cases=$2 e2e=$3 lib=$4 work=$5
compilers=gcc
command -v clang >/dev/null 2>&1 && compilers="gcc clang"
failures=0
rm -rf "$work" && mkdir -p "$work" || exit 2

compile() {  # dir label files...
    dir=$1 label=$2; shift 2
    for cc in $compilers; do
        if (cd "$dir" && $cc -std=c99 -Wall -Werror -fsyntax-only -I "$lib" -I . "$@" >"$cc.out" 2>&1); then
            echo "ok   $label $cc"
        else
            echo "FAIL $label $cc"; cat "$dir/$cc.out"; failures=$((failures + 1))
        fi
    done
}

for case in "$cases"/*/; do
    name=$(basename "$case")
    for mode in DEFAULT CUSTOM; do
        dir="$work/$name-$mode"
        mkdir -p "$dir" && cp "$case"/* "$dir"/ || exit 2
        # Warnings give a status of their own: a clean run is one that wrote the decoder.
        (cd "$dir" && "$compiler" t t.h p -PROBE=$mode >compiler.out 2>&1)
        if [ ! -f "$dir/p.c" ] || [ ! -f "$dir/p.h" ]; then
            echo "FAIL $name $mode: no probe decoder written"; cat "$dir/compiler.out"
            failures=$((failures + 1)); continue
        fi
        compile "$dir" "$name $mode" p.c $(cd "$dir" && ls fctri_c.c fctfc_c.c 2>/dev/null)
    done
done

for expected in "$e2e"/*/expected; do
    [ -d "$expected" ] || continue
    case=$(dirname "$expected"); name=$(basename "$case")
    files=$(cd "$expected" && find . -name '*.c' | sort)
    [ -n "$files" ] || continue
    dir="$work/e2e-$name"
    mkdir -p "$dir" && cp -r "$case"/. "$dir"/ && cp -r "$expected"/. "$dir"/ || exit 2
    for file in $files; do
        # A C file is compiled from its own directory, where its includes stand.
        compile "$dir/$(dirname "$file")" "$name $file" "$(basename "$file")"
    done
done
[ "$failures" -eq 0 ]
