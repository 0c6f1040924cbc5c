#!/bin/bash
# Robustness run: generates <count> scripts from <first seed> on and runs the
# compiler on each, with the options generated beside it. A run fails when its
# exit status is not 0, 3 or 5 (7 only for the fatal messages that a script
# can cause, listed below), when it takes longer than the time limit, or when
# a sanitizer reports. Each failing script is kept, with its header, options
# and what the compiler printed, under <keep dir> (default: ./fuzz-failures).
#   run_generated.sh <zerizevar> <installation dir> <zv_gen_scripts> <count> [first seed] [keep dir]
set -u
binary=$(realpath "$1"); install=$(realpath "$2"); generator=$(realpath "$3")
count=$4; first=${5:-1}; keep=${6:-$PWD/fuzz-failures}
limit=${ZV_FUZZ_TIMEOUT:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" "$work" "$first" "$count" || exit 1

export ZOLMEXDIR="$install" LANG=C LC_ALL= LC_MESSAGES= LANGUAGE=
# A fatal message that the script itself can cause: include problems, an
# over-long token, and the fatal ends of the C preprocessor that reads the
# script's C texts (a missing #include file, runaway nesting, too many
# arguments to a macro, an expansion too large).
legitimate_fatal='Zolmex-F-(CANNOTOPN|INCLOOPDT|INCLOVFLW|LEXTKTLNG|IMPOUVFIC|NBRECURSI|TOMANYARG|EXPTOOBIG),'
sanitizer='(AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|runtime error:)'
failed=0
declare -A statuses
cd "$work" || exit 1
mkdir -p out
for ((seed = first; seed < first + count; ++seed)); do
    name=s$seed
    read -r -a options < "$name.opt"
    timeout -k 5 "$limit" "$binary" "$name.zod" "$name.h" "out/$name" "${options[@]}" > "$name.out" 2> "$name.err"
    status=$?
    statuses[$status]=$((${statuses[$status]:-0} + 1))
    problem=""
    case $status in
        0|3|5) ;;
        7) grep -Eq "$legitimate_fatal" "$name.err" || problem="fatal exit" ;;
        124|137) problem="no end within ${limit}s" ;;
        *) problem="exit status $status" ;;
    esac
    [ -z "$problem" ] && grep -Eq "$sanitizer" "$name.err" && problem="sanitizer report"
    [ -z "$problem" ] && continue
    failed=$((failed + 1))
    echo "FAIL seed $seed: $problem"
    grep -E "Zolmex-[FS]-|$sanitizer" "$name.err" | head -5 | sed 's/^/    /'
    mkdir -p "$keep"
    cp "$name.zod" "$name.h" "$name.opt" "$name.err" "$keep"/
done
summary=""
for status in $(printf '%s\n' "${!statuses[@]}" | sort -n); do summary="$summary ${statuses[$status]} x $status,"; done
echo "exit statuses:${summary%,}"
[ "$failed" = 0 ] || echo "failing scripts kept in $keep"
echo "$((count - failed)) passed, $failed failed"
[ "$failed" = 0 ]
