#!/bin/sh
# Installs what building and testing Quellmor needs on Debian 12.
# Idempotent: prints nothing and touches nothing when all is present.
set -e

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

PKGS="g++-mingw-w64-i686 mingw-w64 mingw-w64-tools cmake g++ clang libclang-rt-14-dev \
 googletest wine wine64 xvfb xauth imagemagick x11-utils genisoimage xorriso fio \
 python3-pil icoutils python3-fusepy"

missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" || missing="$missing wine32:i386"

if [ "$need_i386" = 0 ] && [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" != 0 ]; then
    echo "install-deps: missing packages:$missing; run this script as root" >&2
    exit 1
fi

echo "install-deps: installing$missing" >&2
[ "$need_i386" = 1 ] && dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
