#!/usr/bin/env python3
"""Builds the engine and the console host again in a fresh build tree
elsewhere and checks that Vario.tfe, vario-try.exe and the release archive
come out byte for byte as in the build under test.
usage: reproducible.py SOURCE_DIR BUILD_DIR"""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE, BUILD = (os.path.abspath(p) for p in sys.argv[1:3])


def make(build):
    """The files to compare of one build tree: the images and the archive."""
    dist = os.path.join(build, "dist-check")
    shutil.rmtree(dist, ignore_errors=True)
    archive = subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "dist.py"), build,
                              dist], check=True, stdout=subprocess.PIPE, text=True).stdout
    return [os.path.join(build, "Vario.tfe"), os.path.join(build, "vario-try.exe"),
            archive.strip()]


def main():
    fresh = tempfile.mkdtemp(prefix="vario-again-")
    try:
        quiet = dict(check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "-S", SOURCE, "-B", fresh, "-DCMAKE_TOOLCHAIN_FILE="
                        + os.path.join(SOURCE, "cmake", "mingw-i686.cmake")], **quiet)
        subprocess.run(["cmake", "--build", fresh, "-j2", "--target", "Vario", "vario-try"],
                       **quiet)
        differ = [os.path.basename(a) for a, b in zip(make(BUILD), make(fresh))
                  if not filecmp.cmp(a, b, shallow=False)]
    finally:
        shutil.rmtree(fresh, ignore_errors=True)
    if differ:
        sys.exit("FAILED: a second build gives other bytes in: " + ", ".join(differ))
    print("OK: Vario.tfe, vario-try.exe and the archive are the same in both builds")


if __name__ == "__main__":
    main()
