#!/bin/sh
# Installs what the build and the tests need on Debian 12, as root.
# Idempotent: it prints nothing and changes nothing when everything is present.
set -e

PACKAGES="g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev
cmake make googletest wine wine32:i386 xvfb xauth x11-utils x11-apps locales
fonts-ipafont-gothic fonts-wine imagemagick python3 git clang-format"

# Every command that the build, the tests, make run, make bench, make dist
# and tools/screenshots.sh call, with the package that brings it.
COMMANDS="cmake:cmake make:make
i686-w64-mingw32-gcc-win32:gcc-mingw-w64-i686-win32
i686-w64-mingw32-g++-win32:g++-mingw-w64-i686-win32
i686-w64-mingw32-windres:binutils-mingw-w64-i686
i686-w64-mingw32-strip:binutils-mingw-w64-i686
i686-w64-mingw32-objdump:binutils-mingw-w64-i686
wine:wine wineboot:wine wineserver:wine32:i386
xvfb-run:xvfb Xvfb:xvfb xauth:xauth import:imagemagick python3:python3
flock:util-linux iconv:libc-bin locale:libc-bin localedef:libc-bin git:git
clang-format:clang-format"

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

# A step that a package no longer brings shows itself here, not deep in a test.
status=0
for entry in $COMMANDS; do
    command=${entry%%:*}
    command -v "$command" >/dev/null 2>&1 || {
        echo "setup: the command $command is missing (package ${entry#*:})" >&2
        status=1
    }
done
for file in /usr/src/googletest/googletest/CMakeLists.txt:googletest \
            /usr/share/wine/fonts/marlett.ttf:fonts-wine \
            /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf:fonts-ipafont-gothic; do
    [ -f "${file%%:*}" ] || {
        echo "setup: the file ${file%%:*} is missing (package ${file#*:})" >&2
        status=1
    }
done
exit $status
