#!/bin/bash
# The manual page formats without a single warning (groff -ww, and man -l
# where man is installed), and it names every option of the usage text and
# every environment variable that the sources read.
#   lint_manpage.sh <source dir>
set -u
source=$1
page=$source/docs/zerizevar.1
if ! command -v groff >/dev/null 2>&1; then
    echo "SKIP: groff is not installed (Debian package groff-base)"
    exit 77
fi
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

warnings=$(groff -ww -z -man "$page" 2>&1)
[ -z "$warnings" ] || { fail "groff -ww -z -man warns:"; echo "$warnings"; }
if command -v man >/dev/null 2>&1; then
    warnings=$(MANWIDTH=80 man --warnings=all -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { fail "man -l warns:"; echo "$warnings"; }
else
    echo "note: man is not installed; only groff checked the page"
fi

options=$(sed -n '/kUsage\[\] =/,/);$/p' "$source/src/driver/command_line.cpp" |
          grep -oE '[[|]-[A-Z_]+' | cut -c3- | sort -u)
[ -n "$options" ] || fail "no option found in the usage text"
for option in $options; do
    grep -qE "\\\\-$option([^A-Z_]|\$)" "$page" || fail "the page does not document -$option"
done
variables=$( { grep -rhoE 'getenv\("[A-Z_]+"\)' "$source/src";
               grep -hoE '"KVS_[A-Z]+"' "$source/src/driver/file_naming.cpp"; } |
             grep -oE '[A-Z][A-Z_]+' | sort -u)
for variable in $variables; do
    grep -qE "(^|[^A-Z_])$variable([^A-Z_]|\$)" "$page" || fail "the page does not document $variable"
done

[ "$failures" -eq 0 ] && echo "manual page: ok ($(echo $options | wc -w) options, $(echo $variables | wc -w) variables)"
[ "$failures" -eq 0 ]
