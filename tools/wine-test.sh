#!/bin/sh
# Runs a Windows test program under Wine, in code page 932, in the build
# tree's private Wine prefix (made on first use), so that no test touches
# anyone's own registry.  usage: wine-test.sh PROGRAM [ARGS...]
#
# With VARIO_HEAP_CHECK=1 the program runs in a prefix of its own with the
# heap's tail, free and parameter checks on, and fails on any heap error;
# the test programs then also validate every heap after each test.
# The build tree is the program's folder, or VARIO_BUILD_DIR when set;
# VARIO_WINE_PREFIX names another prefix folder in it, and VARIO_FONTS=1
# gives that prefix the fonts of the pictures (wine-fonts.sh) when it is made.
set -e
program=$1
shift
build=${VARIO_BUILD_DIR:-$(cd "$(dirname "$program")" && pwd)}
image=$(basename "$program")
prefix=${VARIO_WINE_PREFIX:-wineprefix}
fonts=${VARIO_FONTS:-0}
[ "${VARIO_HEAP_CHECK:-0}" = 1 ] && prefix=wineprefix-heapcheck fonts=0
export WINEPREFIX="$build/$prefix"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=${VARIO_TEST_LOCALE:-ja_JP.UTF-8}
unset LANG LANGUAGE

(
    flock 9
    if [ ! -f "$WINEPREFIX/.vario-ready" ]; then
        wineboot -i >/dev/null 2>&1
        # No window manager under Xvfb: unmanaged windows close at once.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        # A crash fails the test at once instead of waiting in a dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.vario-ready"
    fi
    if [ "$fonts" = 1 ] && [ ! -f "$WINEPREFIX/.vario-fonts" ]; then
        sh "$(dirname "$0")/wine-fonts.sh"
        touch "$WINEPREFIX/.vario-fonts"
    fi
    if [ "${VARIO_HEAP_CHECK:-0}" = 1 ] && [ ! -f "$WINEPREFIX/.heapcheck-0x70-$image" ]; then
        # Tail, free and parameter checks for this image. Not the walk of the
        # whole heap at every call (0x80): Wine's RtlFreeHeap fills a freed
        # block before it takes the heap's lock, so a walk on another thread
        # can meet a half-filled block, report it and refuse its own call.
        # The tests walk every heap after each test instead (HeapCheck.h).
        wine reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\$image" \
            /v GlobalFlag /t REG_DWORD /d 0x70 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.heapcheck-0x70-$image"
    fi
) 9>"$build/.$prefix.lock"

# A test program makes this file as it starts and removes it when its tests
# have run: a crash, which Wine's debugger may end with status 0, leaves it.
marker=$(mktemp -u)
export TEST_PREMATURE_EXIT_FILE="Z:$(printf '%s' "$marker" | tr / '\\')"
status=0
if [ "${VARIO_HEAP_CHECK:-0}" != 1 ]; then
    wine "$program" "$@" || status=$?
else
    export WINEDEBUG=-all,err+heap
    log=$(mktemp)
    wine "$program" "$@" 2>"$log" || status=$?
    cat "$log" >&2
    if grep -q ':err:heap:' "$log"; then
        echo "heap errors reported while $image ran" >&2
        status=1
    fi
    rm -f "$log"
fi
if [ -e "$marker" ]; then
    echo "$image ended before its tests did" >&2
    rm -f "$marker"
    status=1
fi
exit $status
