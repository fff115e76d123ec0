#!/bin/sh
# Runs a Windows test program under Wine, in code page 932, in the build
# tree's private Wine prefix (made on first use), so that no test touches
# anyone's own registry.  usage: wine-test.sh PROGRAM [ARGS...]
# The build tree is the program's folder, or VARIO_BUILD_DIR when set.
set -e
program=$1
build=${VARIO_BUILD_DIR:-$(cd "$(dirname "$program")" && pwd)}
export WINEPREFIX="$build/wineprefix"
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
) 9>"$build/.wineprefix.lock"

shift
exec wine "$program" "$@"
