#!/bin/sh
# Installs the Debian 12 packages that building and testing need, and only those
# that are missing: one apt-get update, then one install. Quiet when all is there.
# With the argument "check" it adds the headers of the wider corpus that the
# interface-analysis tests compare with the C compiler (`make check`,
# `make differential`); building and running need none of them.
set -eu

# Toolchain, libraries, the JSON-schema validator of the SARIF log test, and the
# headers that the interface-analysis tests read and compare with the C compiler.
PACKAGES="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-l10n-tools flex bison
 libgtest-dev libbenchmark-dev clang python3-jsonschema
 linux-libc-dev zlib1g-dev libsqlite3-dev libssl-dev libxml2-dev libexpat1-dev libpng-dev
 libncurses-dev uuid-dev"
# The manual page is checked with groff.
PACKAGES="$PACKAGES groff-base"

# Libraries that C systems under test include: event loops, buses, sound, USB,
# graphics, crypto, messaging, databases, compression, device access, tests.
CHECK_PACKAGES="libevent-dev libuv1-dev libdbus-1-dev libasound2-dev libusb-1.0-0-dev libdrm-dev libgcrypt20-dev
 libzmq3-dev libpq-dev libmariadb-dev liblz4-dev libzstd-dev libbz2-dev liblzma-dev libudev-dev
 libpcap-dev libcurl4-openssl-dev libglib2.0-dev libsystemd-dev libcap-dev libacl1-dev libattr1-dev
 libmnl-dev libnl-3-dev libnl-genl-3-dev libsocketcan-dev libgpiod-dev libi2c-dev libmodbus-dev
 libjansson-dev libyaml-dev libcjson-dev libprotobuf-c-dev libmosquitto-dev libsnmp-dev libssh2-1-dev
 libgnutls28-dev libsodium-dev libmbedtls-dev libnghttp2-dev libwebsockets-dev libconfig-dev
 libreadline-dev libedit-dev libffi-dev libgmp-dev libmpfr-dev libfftw3-dev libjpeg-dev libtiff-dev
 libwebp-dev libfreetype-dev libfontconfig-dev libcairo2-dev libsdl2-dev libv4l-dev
 libavahi-client-dev libbluetooth-dev libsctp-dev libtirpc-dev libkeyutils-dev libseccomp-dev
 libselinux1-dev libaio-dev liburing-dev libnuma-dev libhiredis-dev libmemcached-dev libldap2-dev
 libsasl2-dev libkrb5-dev libexif-dev libsndfile1-dev libpulse-dev libopus-dev libogg-dev
 libvorbis-dev libflac-dev check libcmocka-dev libcunit1-dev"
# The editor-support tests: vim, and node with npm. A node that brings its own
# npm is kept as it is (the Debian npm package would conflict with it).
EDITOR_PACKAGES="vim"
command -v npm >/dev/null 2>&1 || EDITOR_PACKAGES="$EDITOR_PACKAGES nodejs npm"
if [ "${1:-}" = check ]; then PACKAGES="$PACKAGES $CHECK_PACKAGES $EDITOR_PACKAGES"; fi

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
