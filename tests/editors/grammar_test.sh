#!/bin/sh
# Runs grammar_test.js with the npm packages vscode-textmate and vscode-oniguruma,
# installed from the npm registry into the build directory on first use (each
# build tree has its own, so that two test runs never share an install).
# Exits 77 (skipped) when node or npm is missing or the install fails.
# Usage: grammar_test.sh <source dir> <build dir>
set -u
source_dir=$1
modules_dir=$2/editors-node

skip() { echo "SKIP: $*"; exit 77; }

command -v node >/dev/null 2>&1 || skip "node is not installed (Debian package nodejs)"
if [ ! -f "$modules_dir/node_modules/vscode-textmate/package.json" ] ||
   [ ! -f "$modules_dir/node_modules/vscode-oniguruma/release/onig.wasm" ]; then
    command -v npm >/dev/null 2>&1 || skip "npm is not installed (Debian package npm)"
    mkdir -p "$modules_dir" || skip "cannot create $modules_dir"
    if ! timeout 300 npm install --prefix "$modules_dir" --no-audit --no-fund --loglevel=error --fetch-retries=1 \
            vscode-textmate@9.2.0 vscode-oniguruma@2.0.1 >"$modules_dir/install.log" 2>&1; then
        cat "$modules_dir/install.log"
        skip "vscode-textmate and vscode-oniguruma could not be installed from the npm registry"
    fi
fi
exec node "$source_dir/tests/editors/grammar_test.js" "$modules_dir/node_modules" "$source_dir"
