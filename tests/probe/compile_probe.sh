#!/bin/sh
# Writes the probe files of each case, DEFAULT and CUSTOM, with the callback
# templates, and checks that gcc and clang (when installed) accept them as C99
# against the reference runtime headers, warnings counting as errors.
#   compile_probe.sh <probe_files> <cases dir> <runtime headers> <work dir>
set -u
tool=$1 cases=$2 lib=$3 work=$4
compilers=gcc
command -v clang >/dev/null 2>&1 && compilers="gcc clang"
failures=0
rm -rf "$work" && mkdir -p "$work" || exit 2
for case in "$cases"/*/; do
    name=$(basename "$case")
    for mode in DEFAULT CUSTOM; do
        dir="$work/$name-$mode"
        mkdir -p "$dir" && cp "$case"/* "$dir"/ || exit 2
        if ! (cd "$dir" && "$tool" "$mode" t.zod p t.h >tool.out 2>&1); then
            echo "FAIL $name $mode: writing the probe files"; cat "$dir/tool.out"; failures=$((failures + 1))
            continue
        fi
        for cc in $compilers; do
            if (cd "$dir" && $cc -std=c99 -Wall -Werror -fsyntax-only -I "$lib" -I . p.c fctri_c.c fctfc_c.c \
                    >"$cc.out" 2>&1); then
                echo "ok   $name $mode $cc"
            else
                echo "FAIL $name $mode $cc"; cat "$dir/$cc.out"; failures=$((failures + 1))
            fi
        done
    done
done
[ "$failures" -eq 0 ]
