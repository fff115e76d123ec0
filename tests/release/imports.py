#!/usr/bin/env python3
"""Lists what the shipped images import, from their import tables as
objdump reads them, and fails on any DLL or function that the list below
does not hold. The list holds only what Windows Vista, the oldest Windows
that the manual names, exports: an image that imports anything else is not
loaded there at all. Before adding a name, check that Vista's DLL exports it.
usage: imports.py IMAGE...  (Vario.tfe, vario-try.exe)"""
import subprocess
import sys

# Exported by Windows Vista's own DLLs. RegDeleteTreeA and RegGetValueA are
# the only ones that Windows XP lacks.
ALLOWED = {
    "advapi32.dll": """CryptAcquireContextA CryptGenRandom CryptReleaseContext RegCloseKey
        RegCreateKeyExA RegDeleteKeyA RegDeleteTreeA RegEnumKeyExA RegGetValueA RegOpenKeyExA
        RegOverridePredefKey RegQueryValueExA RegSetValueExA""",
    "comdlg32.dll": "CommDlgExtendedError GetOpenFileNameA",
    "kernel32.dll": """CloseHandle CreateFileA CreateSemaphoreW DeleteCriticalSection
        EnterCriticalSection FreeLibrary GetCPInfo GetConsoleCP GetConsoleMode GetConsoleOutputCP
        FindResourceExW GetCurrentProcessId GetCurrentThreadId GetEnvironmentVariableA
        GetFileAttributesA GetFileSize GetFullPathNameA GetLastError GetModuleFileNameA GetModuleHandleA
        GetModuleHandleW GetProcAddress GetStartupInfoW GetStdHandle GetTickCount GetUserDefaultUILanguage GlobalAlloc
        GlobalFree GlobalReAlloc InitializeCriticalSection IsDBCSLeadByte IsDBCSLeadByteEx
        IsProcessorFeaturePresent LeaveCriticalSection LoadLibraryA LoadLibraryW LoadResource LockResource
        MultiByteToWideChar OpenProcess ReadConsoleW ReadFile ReleaseSemaphore SetErrorMode
        SetLastError SetUnhandledExceptionFilter SizeofResource Sleep SwitchToThread TlsAlloc TlsFree
        TlsGetValue TlsSetValue VirtualProtect VirtualQuery WaitForSingleObject
        WideCharToMultiByte WriteConsoleW WriteFile lstrcatA lstrcpyA lstrcpynA lstrcpynW lstrlenA
        lstrlenW""",
    "msvcrt.dll": """__mb_cur_max __p__commode __p__fmode __p__wcmdln __set_app_type
        __setusermatherr __wgetmainargs __winitenv _access _amsg_exit _cexit _close _errno _exit
        _initterm _iob _lock _onexit _open _read _unlock _write abort atoi calloc exit fprintf
        fputc fputs fputwc free fwprintf fwrite localeconv malloc memchr memcmp memcpy memmove
        memset realloc setlocale signal strchr strcmp strerror strlen strncmp strtoul vfprintf
        wcslen""",
    "user32.dll": """CallWindowProcA DefWindowProcA DestroyWindow DialogBoxParamA EndDialog
        EnumWindows GetDlgItem GetDlgItemTextA GetParent GetWindowRect GetWindowTextLengthW
        GetWindowTextW IsWindowVisible LoadStringA MessageBoxA MoveWindow PostQuitMessage
        SendDlgItemMessageA SendMessageA SetDlgItemTextA SetWindowLongA SystemParametersInfoA""",
}


def imports(image):
    """(dll, function) for each import of the image; a function imported by
    ordinal alone is "#ordinal"."""
    text = subprocess.run(["i686-w64-mingw32-objdump", "-p", image], check=True,
                          stdout=subprocess.PIPE, text=True).stdout
    found, dll = [], None
    for line in text.splitlines():
        fields = line.split()
        if line.startswith("\tDLL Name: "):
            dll = line.split(": ", 1)[1].strip().lower()
        elif not fields:
            dll = None
        elif dll and len(fields) == 3 and fields[1].isdigit():
            found.append((dll, "#" + fields[1] if fields[2] == "<none>" else fields[2]))
    return found


def main():
    failed = False
    for image in sys.argv[1:]:
        listed = imports(image)
        if not listed:
            print("FAILED: %s: objdump listed no import" % image)
            failed = True
        for dll, function in listed:
            if function not in ALLOWED.get(dll, "").split():
                print("FAILED: %s imports %s from %s, not in the list of what Windows Vista"
                      " exports" % (image, function, dll))
                failed = True
        print("%s: %d imports from %s" % (image, len(listed),
                                          ", ".join(sorted({d for d, _ in listed}))))
    sys.exit(1 if failed else 0)


main()
