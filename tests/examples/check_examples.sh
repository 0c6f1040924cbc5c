#!/bin/bash
# The example scripts keep working and the language tour keeps quoting them:
#  1. every examples/**/*.zod is compiled, in a copy of its directory, with
#     its header <name>.h and the options of its "-- options:" line; the run
#     must be clean (status 0). A script of the trigger style writes its
#     callback template on the first run, with a warning of its own: then a
#     second run must be clean;
#  2. gcc accepts the test driver and the callback templates as C99 against
#     the reference runtime headers (errors fail; the driver's fixed texts
#     leave some warnings);
#  3. every code block of docs/language.md marked <!-- example: FILE --> is
#     found line for line in FILE, every script block is so marked, and every
#     tour script is quoted at least once.
#   check_examples.sh <zerizevar> <installation dir> <source dir> <work dir>
set -u
absolute() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
rm -rf "$4" && mkdir -p "$4" || exit 2
compiler=$(absolute "$1") install=$(absolute "$2") source=$(absolute "$3") work=$(absolute "$4")
lib=$source/target/lib
tour=docs/language.md
export ZOLMEXDIR=$install LANG=C LC_ALL=
unset SOURCE_DATE_EPOCH ZERIZEVAR_SARIF KVS_ZOD KVS_LIS KVS_DEF KVS_TDC KVS_H KVS_TSF KVS_RIO KVS_SRC
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
cd "$source" || exit 2

compile() {  # copy dir, name, options...
    local dir=$1 name=$2; shift 2
    (cd "$dir" && "$compiler" "$name.zod" "$name.h" "out/$name" "$@") >"$dir/compiler.out" 2>&1
}

for script in $(find examples -name '*.zod' | sort); do
    name=$(basename "$script" .zod)
    dir=$work/$(dirname "$script")/$name
    mkdir -p "$dir/out" && find "$(dirname "$script")" -maxdepth 1 -type f -exec cp {} "$dir"/ \; || exit 2
    if [ ! -f "$dir/$name.h" ]; then fail "$script: no header $name.h beside it"; continue; fi
    read -r -a options <<< "$(sed -n 's/^-- options: //p' "$script" | head -n 1)"
    compile "$dir" "$name" "${options[@]}"; status=$?
    if [ "$status" -eq 3 ] && [ -f "$dir/out/fctri_c.c" ] &&
       [ "$(grep -c '^Zolmex-[WEFS]-' "$dir/compiler.out")" -eq 1 ] &&
       grep -q '^Zolmex-W-NEWFFCTRI,' "$dir/compiler.out"; then
        compile "$dir" "$name" "${options[@]}"; status=$?
    fi
    if [ "$status" -ne 0 ]; then
        fail "$script: status $status"; cat "$dir/compiler.out"; continue
    fi
    for file in "out/$name.c" out/fctri_c.c out/fctfc_c.c; do
        [ -f "$dir/$file" ] || continue
        if (cd "$dir" && gcc -std=c99 -Wall -fsyntax-only -I "$lib" -I . "$file") >"$dir/gcc.out" 2>&1; then
            echo "ok   $script: $file ($(grep -c 'warning:' "$dir/gcc.out") gcc warnings)"
        else
            fail "$script: gcc refuses $file"; grep -A3 'error:' "$dir/gcc.out"
        fi
    done
done

# The code blocks of the tour, each with the file it is marked as quoting.
blocks=$work/blocks
mkdir -p "$blocks" || exit 2
awk -v out="$blocks" '
    /^<!-- example: .* -->$/ { file = $3; next_is_block = 1; next }
    /^```/ && !inside {
        inside = 1; n++
        if (next_is_block) print file > (out "/" n ".file")
        else if ($0 ~ /^```zod/) print "unmarked script block at line " NR > (out "/" n ".unmarked")
        printf "" > (out "/" n ".text")
        next_is_block = 0; next
    }
    /^```/ && inside { inside = 0; next }
    inside { print > (out "/" n ".text"); next }
    { next_is_block = 0 }
' "$tour" || exit 2
for unmarked in "$blocks"/*.unmarked; do
    [ -f "$unmarked" ] && fail "$tour: $(cat "$unmarked")"
done
quoted=""
for marked in "$blocks"/*.file; do
    [ -f "$marked" ] || continue
    file=$(cat "$marked")
    quoted="$quoted $file"
    text=$(cat "${marked%.file}.text")
    if [ ! -f "$file" ]; then fail "$tour quotes $file, which does not exist"; continue; fi
    if [[ $'\n'"$(cat "$file")"$'\n' != *$'\n'"$text"$'\n'* ]]; then
        fail "$tour: a block is not found word for word in $file:"; echo "$text"
    fi
done
for script in examples/tour/*.zod; do
    case " $quoted " in *" $script "*) ;; *) fail "$tour quotes nothing of $script" ;; esac
done

[ "$failures" -eq 0 ] && echo "examples and tour: ok"
[ "$failures" -eq 0 ]
