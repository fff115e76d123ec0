#!/bin/sh
# Installs what the build and the tests need on Debian 12, as root.
# Idempotent: it prints nothing and changes nothing when everything is present.
set -e

PACKAGES="g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
cmake make googletest wine wine32:i386 xvfb x11-utils x11-apps locales
fonts-ipafont-gothic fonts-wine imagemagick python3"

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done

if [ "$need_i386" = 1 ] || [ -n "$missing" ]; then
    [ "$(id -u)" = 0 ] || { echo "setup: run as root to install:$missing" >&2; exit 1; }
    echo "setup: installing:$missing"
    [ "$need_i386" = 1 ] && dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# Wine shows Japanese file names and uses code page 932 only with this locale.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    [ "$(id -u)" = 0 ] || { echo "setup: run as root to create the ja_JP.UTF-8 locale" >&2; exit 1; }
    localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8
fi
exit 0
