#!/bin/bash
# Runs every end-to-end case through the real binary.
#   run_cases.sh <zerizevar binary> <installation dir for ZOLMEXDIR> <cases dir> [case...]
# A case directory holds its inputs and:
#   cmd              the arguments (shell words; the program is invoked as "zerizevar")
#   env              optional lines NAME=value; "unset NAME" removes a variable
#   status           the expected exit status
#   expected.stderr  optional: the exact standard error
#   expected/        optional: files that must exist afterwards with exactly this content
#   absent           optional: paths (one per line) that must not exist afterwards
#   rundir           optional: a fixed absolute directory under /tmp to run in, for
#                    outputs that quote the absolute directory of the script
# Every case runs in a fresh copy of its directory.
set -u
binary=$(realpath "$1"); install=$(realpath "$2"); cases=$(realpath "$3"); shift 3
only=("$@")
failed=0; count=0
for dir in "$cases"/*/; do
    name=$(basename "$dir")
    if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " =~ " $name " ]]; then continue; fi
    [ -f "$dir/cmd" ] || continue
    count=$((count + 1))
    lock=""
    if [ -f "$dir/rundir" ]; then
        work=$(head -n 1 "$dir/rundir")
        if [[ "$work" != /tmp/?* || "$work" == *..* ]]; then
            echo "FAIL $name"; echo "  rundir must be a directory under /tmp"
            failed=$((failed + 1)); continue
        fi
        # Two runs of the same case at once would share the directory.
        exec {lock}> "$work.lock"
        flock "$lock"
        rm -rf "$work"
        mkdir -p "$work"
    else
        work=$(mktemp -d)
    fi
    cp -r "$dir"/. "$work"/
    rm -rf "$work/expected" "$work/expected.stderr" "$work/status" "$work/cmd" "$work/env" "$work/absent" "$work/rundir"
    (
        cd "$work" || exit 99
        export ZOLMEXDIR="$install" LANG=C LC_ALL= LC_MESSAGES= LANGUAGE=
        if [ -f "$dir/env" ]; then
            while IFS= read -r line || [ -n "$line" ]; do
                case "$line" in
                    "") ;;
                    unset\ *) unset "${line#unset }" ;;
                    *) export "${line?}" ;;
                esac
            done < "$dir/env" 2>/dev/null
        fi
        eval "set -- $(cat "$dir/cmd")"
        exec -a zerizevar "$binary" "$@" 2> "$work/.stderr" > "$work/.stdout"
    )
    status=$?
    bad=""
    want=$(cat "$dir/status" 2>/dev/null || echo 0)
    [ "$status" = "$want" ] || bad="$bad\n  exit status $status, expected $want"
    if [ -f "$dir/expected.stderr" ] && ! cmp -s "$dir/expected.stderr" "$work/.stderr"; then
        bad="$bad\n  standard error differs:\n$(diff "$dir/expected.stderr" "$work/.stderr" | head -40)"
    fi
    if [ -d "$dir/expected" ]; then
        while IFS= read -r -d '' file; do
            rel=${file#"$dir/expected/"}
            if [ ! -f "$work/$rel" ]; then
                bad="$bad\n  missing output $rel"
            elif ! cmp -s "$file" "$work/$rel"; then
                bad="$bad\n  $rel differs:\n$(diff "$file" "$work/$rel" | head -40)"
            fi
        done < <(find "$dir/expected" -type f -print0)
    fi
    if [ -f "$dir/absent" ]; then
        while IFS= read -r rel || [ -n "$rel" ]; do
            [ -n "$rel" ] && [ -e "$work/$rel" ] && bad="$bad\n  $rel should not exist"
        done < "$dir/absent"
    fi
    if [ -n "$bad" ]; then
        failed=$((failed + 1))
        echo "FAIL $name"
        echo -e "$bad"
    fi
    rm -rf "$work"
    if [ -n "$lock" ]; then exec {lock}>&-; fi
done
echo "$((count - failed)) of $count cases passed"
[ "$failed" = 0 ]
