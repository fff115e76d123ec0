#!/usr/bin/env python3
"""Makes the release archive for Windows users, DIST_DIR/Vario-<version>.zip,
whose files unpack into the folder Vario-<version>: the built Vario.tfe and
vario-try.exe stripped of their symbols and debug sections (the build tree
keeps its own), the example definition file with the captions and expected
captions the manual's examples use (UTF-8, CR LF), the Japanese manual
Readme.txt (Shift-JIS, CR LF), for host authors their page HostAuthors.txt
(Shift-JIS, CR LF) and the header VarioEngine.h, LICENSE.txt and
SHA256SUMS.txt (CR LF, so that Windows opens them). The same commit gives
the same archive, byte for byte: the files go in a fixed order with the time
of the commit and ordinary modes.  usage: dist.py BUILD_DIR DIST_DIR"""
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def source_text(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        return f.read()


def defined(pattern, path):
    """The one match of pattern in a source file: the value written there."""
    found = re.findall(pattern, source_text(path))
    if len(found) != 1:
        sys.exit("dist: expected one %s in %s, found %d" % (pattern, path, len(found)))
    return found[0]


def for_windows(text):
    """A text as Windows users read it: code page 932, CR LF line ends."""
    return text.replace("\n", "\r\n").encode("cp932")


def readme(version, notice, when):
    """The manual, with the version, the date of the commit and the notice."""
    text = source_text("docs/Readme.ja.txt").replace("@VERSION@", version)
    text = text.replace("@DATE@", "%04d/%02d/%02d" % when[:3])
    return for_windows(text.replace("@NOTICE@", notice))


def host_authors():
    """The host authors' page as plain text: its Markdown marks of code and
    of emphasis taken out."""
    return for_windows(source_text("docs/HostAuthors.md").replace("`", "").replace("**", ""))


def stripped(path):
    """The image without symbols and debug sections. strip would write the
    time of day into the image's header; SOURCE_DATE_EPOCH=0 keeps it 0, as
    the link leaves it."""
    with tempfile.TemporaryDirectory() as temp:
        out = os.path.join(temp, os.path.basename(path))
        subprocess.run(["i686-w64-mingw32-strip", "-o", out, path], check=True,
                       env=dict(os.environ, SOURCE_DATE_EPOCH="0"))
        with open(out, "rb") as f:
            return f.read()


def commit_time():
    stamp = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], check=True,
                           stdout=subprocess.PIPE, text=True).stdout
    return time.gmtime(int(stamp))[:6]


def main():
    build, dist = sys.argv[1], sys.argv[2]
    version = defined(r'#define VARIO_VERSION_TEXT "([^"]*)"', "res/Version.h")
    notice = defined(r'VALUE "LegalCopyright", "([^"]*)"', "res/Vario.rc")
    when = commit_time()
    with open(os.path.join(ROOT, "examples", "vario.def"), "rb") as f:
        example = f.read()
    files = [("Readme.txt", readme(version, notice, when)),
             ("LICENSE.txt", for_windows(source_text("LICENSE"))),
             ("Vario.tfe", stripped(os.path.join(build, "Vario.tfe"))),
             ("vario-try.exe", stripped(os.path.join(build, "vario-try.exe"))),
             ("vario.def", example)]
    # The files of the manual's --check and --coverage examples, which make
    # test checks in examples/.
    for name in ["captions.txt", "expected.txt"]:
        files.append((name, source_text("examples/" + name).replace("\n", "\r\n").encode()))
    files += [("HostAuthors.txt", host_authors()),
              ("VarioEngine.h", for_windows(source_text("engine/VarioEngine.h")))]
    sums = "".join("%s  %s\r\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files)
    files.append(("SHA256SUMS.txt", sums.encode("ascii")))

    os.makedirs(dist, exist_ok=True)
    folder = "Vario-%s/" % version
    archive = os.path.join(dist, "Vario-%s.zip" % version)
    with zipfile.ZipFile(archive + ".tmp", "w") as z:
        # Unix modes, which unzip gives the files (rw-r--r--) and the folder
        # (rwxr-xr-x), beside the MS-DOS attribute of a folder (0x10).
        entry = zipfile.ZipInfo(folder, date_time=when)
        entry.create_system = 3
        entry.external_attr = 0o40755 << 16 | 0x10
        z.writestr(entry, b"")
        for name, data in files:
            entry = zipfile.ZipInfo(folder + name, date_time=when)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3
            entry.external_attr = 0o100644 << 16
            z.writestr(entry, data, compresslevel=9)
    os.replace(archive + ".tmp", archive)
    print(archive)


if __name__ == "__main__":
    main()
