#!/usr/bin/env python3
"""Runs vario-try.exe as a user runs it: a separate process under Wine,
through tools/wine-test.sh, with no display. Checks what it prints and its
exit status.  usage: host_tests.py VARIO_TRY_EXE FUTURE_ENGINE_TFE"""
import hashlib
import os
import random
import re
import shutil
import subprocess
import tempfile
import sys
import unittest
import zipfile

HOST = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else ""
FUTURE_ENGINE = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else ""
BUILD = os.path.dirname(HOST)
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_TEST = os.path.join(SOURCE, "tools", "wine-test.sh")
SCRATCH = os.path.join(BUILD, "host-test-files")
EXAMPLE_DEF = os.path.join(SOURCE, "examples", "vario.def")
EXAMPLE_CAPTIONS = os.path.join(SOURCE, "examples", "captions.txt")
SETTINGS_KEY = "HKCU\\Software\\Orvalis\\TitleForge\\EngineSettings\\Vario"


def run(*args, stdin=b"", program=HOST):
    """(exit status, stdout, stderr) of one run of the host, without a display.
    Every program runs in the Wine prefix of the build tree."""
    env = dict(os.environ, VARIO_BUILD_DIR=BUILD)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    # Output goes to files, not pipes: a Wine server that the run starts
    # inherits them and would hold a pipe open for seconds after the run.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        done = subprocess.run(["sh", WINE_TEST, program, *args], input=stdin, env=env,
                              stdout=out, stderr=err, timeout=120)
        out.seek(0)
        err.seek(0)
        return done.returncode, out.read(), err.read()


def windows_path(path):
    """The name Wine gives a Unix path: drive Z: is the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def scratch(name, data):
    path = os.path.join(SCRATCH, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def sjis(text):
    return text.encode("cp932")


class HostTest(unittest.TestCase):
    def check(self, result, status, stdout, stderr=""):
        """Exact exit status, stdout and stderr (UTF-8 text)."""
        got_status, got_out, got_err = result
        self.assertEqual((got_status, got_out.decode("utf-8", "replace"),
                          got_err.decode("utf-8", "replace")), (status, stdout, stderr))


class ConversionTest(HostTest):
    def test_example_table(self):
        with open(EXAMPLE_CAPTIONS, "rb") as f:
            captions = f.read()
        expected = (
            "VarioEngine 1.00, definition file: " + windows_path(EXAMPLE_DEF) + "\n"
            "\n"
            "New Tab - Google Chrome                       →  新しいタブ - Chrome\n"
            "GitHub - Google Chrome                        →  GitHub - Chrome\n"
            "Mozilla Firefox Start Page - Mozilla Firefox  →  Mozilla Firefox Start Page - Firefox\n"
            "Inbox (3) - user@example.com - Outlook        →  受信トレイ (3) - user@example.com - Outlook\n"
            "README.md - vario - Visual Studio Code        →  README.md - vario - VS Code\n"
            "Untitled - Notepad                            →  無題 - メモ帳\n"
            "Document1 - Word                              →  Word: 文書1, 未保存\n"
            "Task Manager                                  →  タスク マネージャー\n"
            "Settings                                      →  設定\n"
            "Calculator (Not Responding)                   →  電卓 (応答なし)\n"
            "電卓                                          =  (unchanged)\n")
        self.check(run("--show", "--def", EXAMPLE_DEF, stdin=captions), 0, expected)

    def test_captions_on_the_command_line(self):
        # One output line per caption, in order; unchanged ones are counted on stderr.
        self.check(run("--def", EXAMPLE_DEF, "Settings", "メモ帳", "", "Inbox - Outlook"), 0,
                   "設定\nメモ帳\n\n受信トレイ - Outlook\n", "(2 captions unchanged)\n")

    def test_stdin_utf8_japanese(self):
        rules = scratch("japanese.def", sjis("[日本語]\r\n無題,Untitled\r\nメモ帳,ノートパッド\r\n"
                                             "ソ,そ\r\n"))
        cases = [
            # (stdin bytes, expected stdout)
            ("無題 - メモ帳\n".encode(), "Untitled - ノートパッド\n"),
            ("\ufeff無題\r\nソフト\r\n".encode(), "Untitled\nそフト\n"),   # BOM and CR LF
            ("ｱｲｳ 無題".encode(), "ｱｲｳ Untitled\n"),                     # no final line end
            (b"", ""),
        ]
        for stdin, expected in cases:
            with self.subTest(stdin=stdin):
                code, out, _ = run("--def", rules, stdin=stdin)
                self.assertEqual((code, out.decode("utf-8", "replace")), (0, expected))

    def test_raw_bytes_for_scripts(self):
        rules = scratch("raw.def", sjis("無題,Untitled\r\n"))
        code, out, _ = run("--raw", "--def", rules, stdin=sjis("無題 - メモ帳\r\n"))
        self.assertEqual((code, out), (0, sjis("Untitled - メモ帳\n")))

    def test_def_is_remembered_for_later_runs(self):
        rules = scratch("remembered.def", b"Settings,Preferences\r\n")
        self.check(run("--def", rules, "--remember", "Settings"), 0, "Preferences\n")
        self.check(run("Settings"), 0, "Preferences\n")
        self.check(run("--def", "", "--remember", "Settings"), 0, "Settings\n",
                   "(1 caption unchanged)\n")

    def test_def_puts_back_the_stored_file(self):
        tried = scratch("tried.def", b"a,tried\r\n")
        earlier = windows_path(scratch("earlier.def", b"a,earlier\r\n"))
        cases = [
            # (stored before, options, stored after)
            (None, ["--def", tried], None),
            (earlier, ["--def", tried], earlier),
            (None, ["--def", tried, "--remember"], windows_path(tried)),
            (earlier, ["--def", tried, "--remember"], windows_path(tried)),
        ]
        for before, options, after in cases:
            with self.subTest(before=before, options=options):
                if before is None:
                    run("delete", SETTINGS_KEY, "/v", "DefFile", "/f", program="reg")
                else:
                    run("add", SETTINGS_KEY, "/v", "DefFile", "/d", before, "/f", program="reg")
                self.check(run(*options, "a"), 0, "tried\n")
                _, out, _ = run("query", SETTINGS_KEY, "/v", "DefFile", program="reg")
                stored = re.search(rb"DefFile +REG_SZ +(.*?)\r?\n", out)
                self.assertEqual(stored and stored.group(1).decode(), after)


class DefinitionFailureTest(HostTest):
    def test_definition_file_that_does_not_load(self):
        missing = os.path.join(SCRATCH, "missing.def")
        in_missing_folder = os.path.join(SCRATCH, "no-folder", "x.def")
        cases = [
            (missing, "the file does not exist"),
            (in_missing_folder, "its folder does not exist"),
            (SCRATCH, "access is denied (or it is a folder)"),
        ]
        for path, reason in cases:
            with self.subTest(path=path):
                self.check(run("--def", path, "Settings"), 3, "",
                           "vario-try: cannot load the definition file %s: %s\n"
                           % (windows_path(path), reason))

    def test_stored_file_that_no_longer_loads(self):
        gone = scratch("gone.def", b"a,b\r\n")
        self.check(run("--def", gone, "--remember", "a"), 0, "b\n")
        os.remove(gone)
        self.check(run("a"), 3, "",
                   "vario-try: cannot load the definition file %s: the file does not exist "
                   "(an earlier run chose it; choose another with --def FILE --remember)\n"
                   % windows_path(gone))


class EngineFailureTest(HostTest):
    def test_engine_that_cannot_be_used(self):
        not_a_dll = scratch("text.tfe", b"this is not a DLL\r\n")
        cases = [
            (os.path.join(SCRATCH, "Missing.tfe"), "the file does not exist"),
            (not_a_dll, "it is not a 32-bit Windows DLL"),
            ("C:\\windows\\system32\\version.dll",
             "it has no function TFEGetAPIVersion: it is not a TitleForge engine"),
        ]
        for engine, reason in cases:
            with self.subTest(engine=engine):
                shown = engine if engine.startswith("C:") else windows_path(engine)
                self.check(run("--engine", engine, "x"), 2, "",
                           "vario-try: cannot load the engine %s: %s\n" % (shown, reason))

    def test_engine_of_another_interface_version(self):
        self.check(run("--engine", FUTURE_ENGINE, "x"), 2, "",
                   "vario-try: %s: the engine's interface version is 0x00020000; this host "
                   "speaks version 0x00010000 only\n" % windows_path(FUTURE_ENGINE))

    def test_missing_default_engine(self):
        # The host alone in a folder, as after copying only the .exe.
        alone = os.path.join(SCRATCH, "alone")
        os.makedirs(alone, exist_ok=True)
        shutil.copy(HOST, alone)
        self.check(run("x", program=os.path.join(alone, os.path.basename(HOST))), 2, "",
                   "vario-try: cannot load the engine %s: the file does not exist\n"
                   % windows_path(os.path.join(alone, "Vario.tfe")))


class UsageTest(HostTest):
    def test_usage_errors(self):
        hint = "\n(vario-try --help lists the options)\n"
        cases = [
            (["--frobnicate"], "unknown option --frobnicate (a caption that begins with - goes "
                               "after --)" + hint),
            (["--def"], "--def needs a file name" + hint),
            (["--explain", EXAMPLE_DEF, "x"], "--explain only lists a file; it converts nothing "
                                              "and takes no other option but --raw" + hint),
            (["--about"], "--about and --settings open a dialog, which needs a display (under "
                          "Wine: an X display in DISPLAY)\n"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                self.check(run(*args), 1, "", "vario-try: " + message)

    def test_caption_after_double_dash(self):
        self.check(run("--def", EXAMPLE_DEF, "--", "--show"), 0, "--show\n",
                   "(1 caption unchanged)\n")

    def test_help(self):
        code, out, _ = run("--help")
        text = out.decode()
        self.assertEqual(code, 0)
        for needed in ["--def FILE", "HKEY_CURRENT_USER", "Software\\Orvalis\\TitleForge\\"
                       "EngineSettings\\Vario", '"DefFile"', "Settings dialog", "--explain FILE",
                       "--show", "--raw", "Exit status"]:
            self.assertIn(needed, text)


class ExplainTest(HostTest):
    def test_each_mistake_is_found(self):
        data = (b"\xef\xbb\xbf[x]\r\n"              # 1: byte-order mark
                + sjis("Inbox,受信\r\r\n")            # 2: CR CR LF
                + b",empty\r\n"                      # 3: empty source
                + b"[Browser] ,y\r\n"                # 4: not a section: blank and comma after ']'
                + b"[a,b]\r\r\n"                     # 5: not a section: CR after ']'
                + sjis("A，B\r\n")                    # 6: full-width comma only
                + sjis("\tTab ,  x　\r\n")             # 7: tab, trailing blanks
                + b"Inbox,z\r\n"                     # 8: same source as line 2
                + b"// note,x\r\n"                   # 9: comment
                + b"[ok,section]\r\n"                # 10: section
                + b"\r\n"                            # 11: empty
                + b"end\x83")                        # 12: incomplete double-byte character
        path = scratch("mistakes.def", data)
        w = "        warning: "
        expected = (
            "Lines of %s as the engine reads them; its rules apply in this order.\n" % path
            + "     1  ignored  {BOM}[x]   (no comma)\n"
            + w + "the file begins with a byte-order mark {BOM}: the engine takes its bytes as "
                  "the start of line 1\n"
            + '     2  rule     "Inbox" → "受信{CR}"\n'
            + w + "the replacement ends with a CR: the line ends CR CR LF, and every caption "
                  "this rule changes gets that CR\n"
            + '     3  rule     "" → "empty"\n'
            + w + "the source is empty: the line begins with a comma, and this rule never "
                  "changes a caption\n"
            + '     4  rule     "[Browser]{SP}" → "y"\n'
            + w + "this is not a section line, because its ']' is not its last character "
                  "(after it comes \" ,y\"); with its comma it is a rule\n"
            + '     5  rule     "[a" → "b]{CR}"\n'
            + w + "the replacement ends with a CR: the line ends CR CR LF, and every caption "
                  "this rule changes gets that CR\n"
            + w + "this is not a section line, because its ']' is not its last character "
                  "(after it comes \"{CR}\"); with its comma it is a rule\n"
            + "     6  ignored  A，B   (no comma)\n"
            + w + "this line is ignored: it has no ASCII comma ',', only the full-width comma "
                  "'，'; write ',' to split a rule\n"
            + '     7  rule     "{TAB}Tab{SP}" → "  x{U+3000}"\n'
            + '     8  rule     "Inbox" → "z"\n'
            + w + "line 2 has the same source and runs first: this rule only sees what that "
                  "one left\n"
            + "     9  comment  // note,x\n"
            + "    10  section  [ok,section]\n"
            + "    11  empty\n"
            + "    12  ignored  end{0x83}   (no comma)\n"
            + "12 lines, 6 rules, 8 warnings.\n")
        self.check(run("--explain", path), 0, expected)

    def test_utf8_file(self):
        path = scratch("utf8.def", "設定,Settings\n".encode())
        code, out, _ = run("--explain", path)
        self.assertEqual(code, 0)
        self.assertIn("warning: this file is UTF-8, but the engine reads it in code page 932 "
                      "(Shift-JIS)", out.decode())

    def test_example_has_no_warnings(self):
        code, out, _ = run("--explain", EXAMPLE_DEF)
        self.assertEqual((code, out.decode().splitlines()[-1]), (0, "28 lines, 15 rules, 0 warnings."))

    def test_unreadable_file(self):
        self.check(run("--explain", "no-such.def"), 4, "",
                   "vario-try: cannot read the definition file no-such.def: the file does not "
                   "exist\n")


class TraceTest(HostTest):
    def test_example(self):
        self.check(run("--trace", EXAMPLE_DEF, "Untitled - Notepad", "電卓"), 0,
                   "Untitled - Notepad\n"
                   '  line 15: " - Notepad" → " - メモ帳"\n'
                   '           "Untitled - メモ帳"\n'
                   '  line 16: "Untitled" → "無題"\n'
                   '           "無題 - メモ帳"\n'
                   "  result: 無題 - メモ帳\n\n"
                   "電卓\n  no rule changes it\n  result: 電卓\n\n")

    def test_result_is_what_the_engine_returns(self):
        # Random files and captions: the last line of each trace against the
        # conversion through the DLL's export.
        plain = [b"a", b"b", b"ab", b" ", b"[", b"]", b"//", sjis("ア"), sjis("ソ"), b"\x83"]
        pieces = plain + [b",", b"\r"]
        rng = random.Random(13)

        def text(most, choices):
            return b"".join(rng.choice(choices) for _ in range(rng.randint(0, most)))

        for n in range(10):
            lines = [text(2, plain) + b"," + text(3, pieces) for _ in range(10)]
            lines += [b"[" + text(2, pieces) + b"]", b"//" + text(3, pieces), text(4, pieces)]
            rng.shuffle(lines)
            path = scratch("random%d.def" % n, b"\n".join(lines))
            captions = [text(12, plain) for _ in range(20)]
            stdin = b"\n".join(captions) + b"\n"
            code, converted, _ = run("--raw", "--def", path, stdin=stdin)
            _, trace, _ = run("--raw", "--trace", path, stdin=stdin)
            results = [line[len(b"  result: "):] for line in trace.split(b"\n")
                       if line.startswith(b"  result: ")]
            with self.subTest(file=lines):
                self.assertEqual((code, results), (0, converted.split(b"\n")[:-1]))


class DistTest(HostTest):
    def test_archive(self):
        out = os.path.join(SCRATCH, "dist")
        shutil.rmtree(out, ignore_errors=True)
        subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "dist.py"), BUILD, out],
                       check=True, stdout=subprocess.DEVNULL)
        (name,) = [n for n in os.listdir(out) if n.endswith(".zip")]
        self.assertRegex(name, r"^Vario-\d+\.\d+\.zip$")
        with zipfile.ZipFile(os.path.join(out, name)) as z:
            self.assertEqual(z.namelist(), ["Readme.txt", "Vario.tfe", "vario-try.exe",
                                            "vario.def", "SHA256SUMS"])
            files = {n: z.read(n) for n in z.namelist()}
            z.extractall(os.path.join(out, "unpacked"))
        with open(os.path.join(BUILD, "Vario.tfe"), "rb") as f:
            self.assertTrue(files["Vario.tfe"] == f.read(), "Vario.tfe differs from the build's")
        sums = "".join("%s  %s\n" % (hashlib.sha256(files[n]).hexdigest(), n)
                       for n in ["Readme.txt", "Vario.tfe", "vario-try.exe", "vario.def"])
        self.assertEqual(files["SHA256SUMS"].decode(), sums)

        readme = files["Readme.txt"]
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""), "a line end other than CR LF")
        self.assertNotIn(b"\r", readme.replace(b"\r\n", b""), "a line end other than CR LF")
        lines = readme.decode("cp932").split("\r\n")    # fails on bytes that are not CP932
        for heading in ["概要", "動作環境", "インストール", "使い方", "変換定義ファイルの書き方",
                        "vario-try の使い方", "アンインストール", "履歴"]:
            self.assertIn("■ " + heading, lines)
        self.assertIn(name[len("Vario-"):-len(".zip")], lines[1])
        self.assertEqual(lines[-2], "(C) 2026 Vario Project")

        unpacked = os.path.join(out, "unpacked")
        self.check(run("--def", os.path.join(unpacked, "vario.def"), "Untitled - Notepad",
                       "Calculator (Not Responding)",
                       program=os.path.join(unpacked, "vario-try.exe")),
                   0, "無題 - メモ帳\n電卓 (応答なし)\n")


if __name__ == "__main__":
    os.makedirs(SCRATCH, exist_ok=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
