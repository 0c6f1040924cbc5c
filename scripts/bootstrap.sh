#!/bin/sh
# Installs the Debian 12 packages that building and testing need, and only those
# that are missing: one apt-get update, then one install. Quiet when all is there.
set -eu

# Toolchain, libraries, and the headers that the interface-analysis tests read
# and compare with the C compiler.
PACKAGES="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-l10n-tools flex bison
 libgtest-dev libbenchmark-dev clang
 linux-libc-dev zlib1g-dev libsqlite3-dev libssl-dev libxml2-dev libexpat1-dev libpng-dev
 libncurses-dev uuid-dev"

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done
[ -z "$missing" ] && exit 0

echo "bootstrap: installing$missing"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
