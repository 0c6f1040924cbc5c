#!/bin/bash
# Two runs of the demo script give byte-identical outputs with
# SOURCE_DATE_EPOCH set (test driver, event codes, report structure, and the
# probe header and decoder), and differing identification texts without it
# (the process id is part of them).
#   reproducible.sh <zerizevar> <installation dir> <source dir>
set -u
compiler=$1 install=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ZOLMEXDIR=$install LANG=C LC_ALL=
run() {  # directory, options...
    local dir=$1; shift
    mkdir -p "$dir/out" && cp "$source/examples/demo.zod" "$source/examples/demo.h" "$dir"/ &&
        (cd "$dir" && "$compiler" demo.zod demo.h out/demo -NOLOG "$@" >/dev/null 2>&1)
}
failures=0
# The outputs quote the script's absolute directory: both runs use one.
for options in "" "-PROBE=DEFAULT"; do
    SOURCE_DATE_EPOCH=1700000000 run "$work/a" $options
    rm -rf "$work/b" && cp -r "$work/a" "$work/b"
    SOURCE_DATE_EPOCH=1700000000 run "$work/a" $options
    for file in out/demo.c out/demo.tdc out/demo_dyn.tsf $([ -n "$options" ] && echo out/demo.h); do
        if ! cmp -s "$work/a/$file" "$work/b/$file"; then
            echo "FAIL $file differs between two runs with SOURCE_DATE_EPOCH $options"; failures=$((failures + 1))
        elif [ "$file" != out/demo_dyn.tsf ] && ! grep -q "Nov 14 22:13:20 2023" "$work/a/$file"; then
            echo "FAIL $file does not carry the date of SOURCE_DATE_EPOCH $options"; failures=$((failures + 1))
        fi
    done
    rm -rf "$work/a" "$work/b"
done
run "$work/c" && cp -r "$work/c" "$work/d" && run "$work/c"
if cmp -s "$work/c/out/demo.tdc" "$work/d/out/demo.tdc"; then
    echo "FAIL two runs without SOURCE_DATE_EPOCH gave the same identification"; failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "reproducible outputs: ok"
[ "$failures" -eq 0 ]
