#!/bin/bash
# Generated C is checked by real C compilers: gcc and clang (when installed)
# must accept it as C99 against the reference runtime headers, warnings
# counting as errors.
#  1. Each script of the probe corpus is compiled with -PROBE=DEFAULT and
#     -PROBE=CUSTOM; the probe decoder, its header and the callback templates
#     that the run writes are compiled.
#  2. Every C file that an end-to-end case expects (tests/cases/*/expected) is
#     compiled in a copy of its case directory, beside the other expected files.
#  3. Every end-to-end case is run again in a copy of its directory, and every
#     C file the run writes (the test driver, the probe decoder, the callback
#     templates) is compiled.
#   compile_probe.sh <zerizevar> <probe cases dir> <end-to-end cases dir> <runtime headers> <work dir>
set -u
compiler=$1 cases=$2 e2e=$3 lib=$4 work=$5
compilers=gcc
command -v clang >/dev/null 2>&1 && compilers="gcc clang"
failures=0
rm -rf "$work" && mkdir -p "$work" || exit 2

# Warnings are errors for the probe files and templates; a test driver must
# have none of either compiler's errors (its warnings come from the texts of
# the script itself, such as the implicit socket callbacks).
strict=-Werror
extra=()
compile() {  # dir label files...
    dir=$1 label=$2; shift 2
    for cc in $compilers; do
        if (cd "$dir" && $cc -std=c99 -Wall $strict -fsyntax-only -I "$lib" -I . -I "$root" "${extra[@]}" "$@" \
                >"$cc.out" 2>&1); then
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
        root=$dir
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
    root=$dir
    for file in $files; do
        # A C file is compiled from its own directory, where its includes stand.
        # An expected test driver (it holds the context structure) is judged
        # like the drivers the runs write: errors only.
        strict=-Werror
        grep -q '^KVR_T_CTX, \*KVR_PT_CTX ;$' "$dir/$file" && strict=
        compile "$dir/$(dirname "$file")" "$name $file" "$(basename "$file")"
    done
done
for case in "$e2e"/*/; do
    [ -f "$case/cmd" ] || continue
    name=$(basename "$case")
    dir="$work/run-$name"
    mkdir -p "$dir" && cp -r "$case"/. "$dir"/ || exit 2
    rm -rf "$dir/expected"
    before=$(cd "$dir" && find . -name '*.c' | sort)
    (
        cd "$dir" || exit 1
        export LANG=C LC_ALL=
        if [ -f env ]; then
            while IFS= read -r line || [ -n "$line" ]; do
                case "$line" in ""|unset\ *) ;; *) export "${line?}" ;; esac
            done < env
        fi
        eval "set -- $(cat cmd)"
        exec "$compiler" "$@"
    ) >/dev/null 2>&1
    after=$(cd "$dir" && find . -name '*.c' | sort)
    # The interface files are named as the command line gave them, from the
    # directory the compiler ran in; the run's -INCL directories and -DEFINE
    # macros are the C compiler's too.
    root=$dir
    strict=
    extra=()
    for word in $(cat "$case/cmd"); do
        case "$word" in
            -INCL=*) IFS=, read -r -a items <<< "${word#-INCL=}"; for i in "${items[@]}"; do extra+=("-I$dir/$i"); done ;;
            -DEFINE=*) IFS=, read -r -a items <<< "${word#-DEFINE=}"; for i in "${items[@]}"; do extra+=("-D$i"); done ;;
        esac
    done
    # Interface headers written to test the analyser's own diagnostics do not
    # compile on their own; their drivers are not judged.
    headers=$(cd "$dir" && grep -h '^#include "' $(comm -13 <(echo "$before") <(echo "$after") | grep -v 'fct[rf][ic]_c') 2>/dev/null \
              | grep -v '"TP.h"' | sort -u)
    if [ -n "$headers" ] && ! (cd "$dir" && echo "$headers" | gcc -std=c99 -fsyntax-only -I "$lib" -I . "${extra[@]}" -x c - \
                                   >/dev/null 2>&1); then
        echo "skip $name: its interface files do not compile alone"
        extra=()
        continue
    fi
    for file in $(comm -13 <(echo "$before") <(echo "$after")); do
        compile "$dir/$(dirname "$file")" "$name run $file" "$(basename "$file")"
    done
    extra=()
done
[ "$failures" -eq 0 ]
