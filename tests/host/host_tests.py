#!/usr/bin/env python3
"""Runs vario-try.exe as a user runs it: a separate process under Wine,
through tools/wine-test.sh, with no display. Checks what it prints and its
exit status.  usage: host_tests.py VARIO_TRY_EXE FUTURE_ENGINE_TFE"""
import hashlib
import os
import random
import re
import shlex
import shutil
import signal
import struct
import subprocess
import tempfile
import sys
import time
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
EXAMPLE_EXPECTED = os.path.join(SOURCE, "examples", "expected.txt")
with open(os.path.join(SOURCE, "res", "Settings.h")) as settings_h:
    SETTINGS_H = settings_h.read()
KEY = re.search(r'#define VARIO_SETTINGS_KEY "(.*)"', SETTINGS_H).group(1)
SETTINGS_KEY = "HKCU\\" + KEY.replace("\\\\", "\\")
VALUE = re.search(r'#define VARIO_DEFFILE_VALUE "(.*)"', SETTINGS_H).group(1)


def host_env():
    """The environment of every program: the build tree's Wine prefix, no display."""
    env = dict(os.environ, VARIO_BUILD_DIR=BUILD)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return env


def user_env():
    """The environment of a user at a terminal: without the settings of the
    test run, nor those of a make that runs the tests, in an English locale."""
    env = {name: value for name, value in host_env().items()
           if name not in ("VARIO_BUILD_DIR", "VARIO_HEAP_CHECK", "BUILD", "MFLAGS", "LC_ALL",
                           "LC_MESSAGES")
           and not name.startswith("MAKE")}
    return dict(env, LANG="C.UTF-8")


def prefix_note():
    """What tools/vario-try.sh says when it is about to make the prefix of make run."""
    prefix = os.path.join(BUILD, "wineprefix-run")
    if os.path.exists(os.path.join(prefix, ".vario-ready")):
        return ""
    return "vario-try: preparing the Wine prefix %s (first run only, about 20 s)...\n" % prefix


def run(*args, stdin=b"", program=HOST, command=None, lang="en", **options):
    """(exit status, stdout, stderr) of one run of the host, in the language
    lang (None: the user's), or of another program or command."""
    if os.path.basename(program) == os.path.basename(HOST) and lang:
        args = ("--lang", lang, *args)
    # Output goes to files, not pipes: a Wine server that the run starts
    # inherits them and would hold a pipe open for seconds after the run.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        done = subprocess.run(command or ["sh", WINE_TEST, program, *args], input=stdin,
                              stdout=out, stderr=err, timeout=300,
                              **dict(dict(env=host_env()), **options))
        out.seek(0)
        err.seek(0)
        return done.returncode, out.read(), err.read()


def setting():
    """Whether the engine's real settings key exists, and its DefFile value or None."""
    code, out, _ = run("query", SETTINGS_KEY, program="reg")
    value = re.search(VALUE.encode() + rb" +REG_SZ +(.*?)\r?\n", out)
    return code == 0, value and value.group(1).decode()


def set_setting(path):
    """Stores path as the real DefFile value; None deletes the whole key."""
    if path is None:
        run("delete", SETTINGS_KEY, "/f", program="reg")
    else:
        run("add", SETTINGS_KEY, "/v", VALUE, "/d", path, "/f", program="reg")


class Running:
    """vario-try left running on captions from a pipe, as a host keeps its
    engine, in a process group of its own, as a terminal starts it."""

    def __init__(self, *args):
        self.out = tempfile.TemporaryFile()
        self.seen = 0
        self.process = subprocess.Popen(["sh", WINE_TEST, HOST, "--lang", "en", *args],
                                        stdin=subprocess.PIPE,
                                        stdout=self.out, stderr=subprocess.DEVNULL,
                                        env=host_env(), start_new_session=True)

    def convert(self, caption):
        self.process.stdin.write(caption.encode() + b"\n")
        self.process.stdin.flush()
        for _ in range(1200):
            self.out.seek(self.seen)
            line = self.out.read()
            if line.endswith(b"\n"):
                self.seen += len(line)
                return line.decode()
            time.sleep(0.05)
        raise AssertionError("no answer to " + caption)

    def end(self, how):
        """Closes its input ("close") or sends the signal how to its group,
        as Ctrl+C at a terminal does, and waits until every process is gone."""
        if how == "close":
            self.process.stdin.close()
        else:
            os.killpg(self.process.pid, how)
        self.process.wait(60)
        while True:
            try:
                os.killpg(self.process.pid, 0)
            except ProcessLookupError:
                break
            time.sleep(0.05)
        self.out.close()


def windows_path(path):
    """The name Wine gives a Unix path: drive Z: is the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def example_table(rules=EXAMPLE_DEF, lang="en"):
    """What --show prints for the example files, the rules named as typed."""
    title, unchanged = {"en": (", definition file: ", "(unchanged)"),
                        "ja": ("、変換定義ファイル: ", "(変更なし)")}[lang]
    return ("VarioEngine 1.00" + title + rules + "\n"
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
            "電卓                                          =  " + unchanged + "\n")


def scratch(name, data):
    path = os.path.join(SCRATCH, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def sjis(text):
    return text.encode("cp932")


def same_engine():
    """The future engine, made to speak this host's version (mov eax,
    0x00010000): an engine that leaves every caption as it is."""
    with open(FUTURE_ENGINE, "rb") as f:
        image = f.read()
    assert image.count(b"\xb8\x00\x00\x02\x00") == 1
    return scratch("Same.tfe", image.replace(b"\xb8\x00\x00\x02\x00", b"\xb8\x00\x00\x01\x00"))


def pe_sections(image):
    """The raw bytes of a PE image's sections, by name."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional = struct.unpack_from("<H12xH", image, pe + 6)
    sections = {}
    for i in range(count):
        name, size, at = struct.unpack_from("<8s8xII", image, pe + 24 + optional + 40 * i)
        sections[name.rstrip(b"\0")] = image[at:at + size]
    return sections


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
        self.check(run("--show", "--def", EXAMPLE_DEF, stdin=captions), 0, example_table())

    def test_captions_in_and_results_out(self):
        japanese = scratch("japanese.def", sjis("[日本語]\r\n無題,Untitled\r\nメモ帳,ノートパッド\r\n"
                                                "ソ,そ\r\n"))
        lead = scratch("lead.def", b"a,x\x83\r\n")
        raw = scratch("raw.def", sjis("無題,Untitled\r\n"))
        cases = [
            # (rules, options and captions, stdin, status, stdout, stderr or None for any)
            # One output line per caption, in order; unchanged ones are counted on stderr.
            (EXAMPLE_DEF, ["Settings", "メモ帳", "", "Inbox - Outlook"], b"", 0,
             "設定\nメモ帳\n\n受信トレイ - Outlook\n".encode(), b"(2 captions unchanged)\n"),
            # Standard input in UTF-8.
            (japanese, [], "無題 - メモ帳\n".encode(), 0, "Untitled - ノートパッド\n".encode(), None),
            (japanese, [], "\ufeff無題\r\nソフト\r\n".encode(), 0,                # BOM and CR LF
             "Untitled\nそフト\n".encode(), None),
            (japanese, [], "ｱｲｳ 無題".encode(), 0,                               # no final line end
             "ｱｲｳ Untitled\n".encode(), None),
            (japanese, [], b"", 0, b"", None),
            # Each result ends its line.
            (lead, [], b"a\nb\n", 0, b"x{0x83}\nb\n", b"(1 caption unchanged)\n"),
            (lead, ["--raw"], b"a\nb\n", 0, b"x\x83\nb\n", b"(1 caption unchanged)\n"),
            (lead, [], sjis("b\n無題\nc\n"), 1, b"b\n", b"vario-try: standard input is not "
             b"UTF-8 (line 2 is the first that is not): no caption from there on was converted; "
             b"--raw reads Shift-JIS bytes\n(1 caption unchanged)\n"),
            # Raw bytes for scripts.
            (raw, ["--raw"], sjis("無題 - メモ帳\r\n"), 0, sjis("Untitled - メモ帳\n"), None),
            # The table names a tab and the blanks at either end, and keeps its columns.
            (japanese, ["--show", "無題\t", " ソ"], b"", 0, ("VarioEngine 1.00, definition file: "
             + japanese + "\n\n無題{TAB}  →  Untitled{TAB}\n{SP}ソ     →  {SP}そ\n").encode(), b""),
        ]
        for rules, options, stdin, status, stdout, stderr in cases:
            with self.subTest(rules=os.path.basename(rules), options=options, stdin=stdin):
                code, out, err = run("--def", rules, *options, stdin=stdin)
                self.assertEqual((code, out, err),
                                 (status, stdout, err if stderr is None else stderr))

    def test_characters_engine_text_lacks_and_the_console_code_page(self):
        pairs = scratch("cafe-expected.txt", "Café → Caf?\n".encode())
        captions = scratch("cafe.txt", "Café\n電卓\n".encode())
        cases = [
            # (args, stdin, stdout's last line, where the note says the first character is)
            (["Café"], b"", b"Caf?", "caption 1"),
            ([], "x\nCafé\n".encode(), b"Caf?", "caption 2"),
            (["--check", pairs], b"", b"1 passed, 0 failed", pairs + ":1"),
            (["--coverage", captions], b"", b"0 of 15 rules changed a caption (0%), 15 changed "
             b"none, on 2 captions.", captions + ":1"),
            # Files written in the console's code page end their lines with CR LF.
            (["--console-cp", "--record", captions], b"", "電卓 → =\r".encode(), captions + ":1"),
            (["--console-cp"], sjis("Settings\n電卓\n"), sjis("電卓\r"), None),
        ]
        for args, stdin, last, where in cases:
            with self.subTest(args=args):
                code, out, err = run("--def", EXAMPLE_DEF, *args, stdin=stdin)
                noted = err.replace(b"\r\n", b"\n").endswith(
                    b" U+00E9 in %s)\n" % (where or "").encode()) == bool(where)
                lf_alone = b"\n" in out.replace(b"\r\n", b"")
                self.assertEqual((code, out.strip(b"\n").split(b"\n")[-1], noted, lf_alone),
                                 (0, last, True, "--console-cp" not in args))

    def test_long_caption_in_linear_time(self):
        # A result beyond 16 MB, from a caption read in one line.
        rules = scratch("double.def", b"a,aa\r\n")
        started = time.monotonic()
        code, out, _ = run("--raw", "--def", rules, stdin=b"a" * 9_000_000 + b"\nb\n")
        self.assertEqual((code, len(out), out[-3:]), (0, 18_000_003, b"a\nb\n"[-3:]))
        self.assertLess(time.monotonic() - started, 40)

    def test_result_too_large_for_memory(self):
        # A 256 MB result: said to be not whole, the caption printed as it came, the rest converted.
        rules = scratch("grow.def", b"a,orig\r\n")
        code, out, err = run("--raw", "--def", rules,
                             stdin=b"first\n" + b"a" * (64 << 20) + b"\nlast\n")
        self.assertEqual((code, out[:6], len(out), out[-9:], err),
                         (5, b"first\n", 6 + (64 << 20) + 1 + 8, b"\nlorigst\n",
                          b"vario-try: caption 2: the engine could not convert it whole (out of "
                          b"memory, or the result is too long)\n(2 captions unchanged)\n"))

    def test_def_is_remembered_for_later_runs(self):
        rules = scratch("remembered.def", b"Settings,Preferences\r\n")
        self.check(run("--def", rules, "--remember", "Settings"), 0, "Preferences\n")
        self.check(run("Settings"), 0, "Preferences\n")
        # No file chosen: an empty path stored, or no setting at all.
        no_file = ("vario-try: no definition file is chosen, so no caption changes (choose one "
                   "with --def FILE)\n(1 caption unchanged)\n")
        self.check(run("--def", "", "--remember", "Settings"), 0, "Settings\n", no_file)
        set_setting(None)
        self.check(run("Settings"), 0, "Settings\n", no_file)



class TrialTest(HostTest):
    def test_a_try_never_writes_the_real_setting(self):
        tried = scratch("tried.def", b"a,tried\r\n")
        earlier = windows_path(scratch("earlier.def", b"a,earlier\r\n"))
        too_long = windows_path(os.path.join(SCRATCH, "d" * 5000 + ".def"))
        cases = [
            # (options, how the running try ends, or None to run it to its end,
            #  the path stored after it, or None for the one stored before)
            (["--def", tried], signal.SIGINT, None),
            (["--def", tried], signal.SIGTERM, None),
            (["--def", tried], signal.SIGKILL, None),
            (["--def", too_long], None, None),
            (["--def", tried, "--remember"], None, windows_path(tried)),
            (["--def", tried], "close", None),
        ]
        for before in [None, earlier]:
            for options, end, after in cases:
                with self.subTest(before=before, options=options[1][-9:], end=end):
                    set_setting(before)
                    if end is None:
                        run(*options, "a")
                    else:
                        running = Running(*options)
                        self.assertEqual(running.convert("a"), "tried\n")
                        running.end(end)
                    self.assertEqual(setting(), (before is not None or after is not None,
                                                 after or before))
        # The last try deleted its own registry and those of the killed ones.
        self.assertEqual(run("query", "HKCU\\Software\\vario-try", program="reg")[0], 1)
        code, _, err = run("--def", too_long, "a")
        self.assertEqual(code, 3)
        self.assertIn("cannot load the definition file " + too_long + ": ", err.decode())

    def test_overlapping_tries(self):
        earlier = windows_path(scratch("earlier.def", b"a,earlier\r\n"))
        set_setting(earlier)
        first = Running("--def", scratch("first.def", b"a,first\r\n"))
        second = Running("--def", scratch("second.def", b"a,second\r\n"))
        self.assertEqual((first.convert("a"), second.convert("a")), ("first\n", "second\n"))
        self.check(run("a"), 0, "earlier\n")  # a host started meanwhile
        first.end("close")
        self.assertEqual(setting(), (True, earlier))
        second.end("close")
        self.assertEqual(setting(), (True, earlier))


@unittest.skipUnless(os.environ.get("DISPLAY"), "needs an X display (make test runs under Xvfb)")
class WindowsTest(HostTest):
    def test_captions_of_the_visible_windows(self):
        # Another run's About box is the one visible window; no hidden one is listed.
        rules = scratch("windows.def", sjis("バージョン情報,About\r\n"))
        env = dict(host_env(), DISPLAY=os.environ["DISPLAY"])
        # Wine's desktop, started by runs without a display, shows no window until it goes.
        prefix = "wineprefix-heapcheck" if env.get("VARIO_HEAP_CHECK") == "1" else "wineprefix"
        cases = [
            # (the About box's engine options, a word of its caption, the --show table's
            #  rows (None: any), --record's status, pairs and stderr after its first line)
            ([], b"About", "VarioEngineのバージョン情報  →  VarioEngineのAbout\n", 0,
             "VarioEngineのバージョン情報 → VarioEngineのAbout\n", ""),
            # A caption of two lines, which no line of an expected file can hold.
            (["--engine", same_engine()], b"Future", None, 1, "",
             "vario-try: window 1: the caption holds a line feed, which would end the line; "
             "not recorded\n"),
        ]
        for engine, word, table, status, pairs, said in cases:
            with self.subTest(engine=engine):
                subprocess.run(["wineserver", "-w"],
                               env=dict(env, WINEPREFIX=os.path.join(BUILD, prefix)))
                about = subprocess.Popen(["sh", WINE_TEST, HOST, *engine, "--def", rules, "--about"],
                                         env=env, stdout=subprocess.DEVNULL, start_new_session=True)
                for _ in range(100):
                    code, out, _ = run("--def", rules, "--windows", env=env)
                    if word in out:
                        break
                    time.sleep(0.2)
                rows = out.decode().split("\n", 2)[2]
                self.assertEqual((code, rows, about.poll()),
                                 (0, rows if table is None else table, None))
                code, out, err = run("--def", rules, "--windows", "--record", env=env)
                os.killpg(about.pid, signal.SIGKILL)
                about.wait()
                self.assertEqual((code, out.decode().split("\n", 1)[1],
                                  err.decode().split("\n", 1)[1]), (status, pairs, said))


class FailureTest(HostTest):
    def test_each_failure_has_its_status_and_message(self):
        """Usage errors exit 1, an engine that cannot be used 2, a definition
        file that does not load 3: nothing on stdout, one message on stderr."""
        missing = os.path.join(SCRATCH, "missing.def")
        in_missing_folder = os.path.join(SCRATCH, "no-folder", "x.def")
        not_a_dll = scratch("text.tfe", b"this is not a DLL\r\n")
        # The host alone in a folder, as after copying only the .exe.
        alone = os.path.join(SCRATCH, "alone")
        os.makedirs(alone, exist_ok=True)
        shutil.copy(HOST, alone)
        alone_host = os.path.join(alone, os.path.basename(HOST))
        gone = scratch("gone.def", b"a,b\r\n")
        self.check(run("--def", gone, "--remember", "a"), 0, "b\n")
        os.remove(gone)
        hint = "\n(vario-try --help lists the options)"
        no_def = "cannot load the definition file %s: "
        no_engine = "cannot load the engine %s: "
        cases = [
            (HOST, ["--frobnicate"], 1, "unknown option --frobnicate (a caption that begins with "
                                        "- goes after --)" + hint),
            (HOST, ["--def"], 1, "--def needs a file name" + hint),
            (HOST, ["--def", "C:\\한국\\a.def"], 1, "--def C:\\한국\\a.def: the character 한 "
             "(U+D55C) has no code in code page 932 (Shift-JIS), in which the engine opens "
             "files; use a path without it" + hint),
            (HOST, ["--explain", EXAMPLE_DEF, "x"], 1, "--explain only lists a file; it converts "
                                                       "nothing and takes no other option but "
                                                       "--raw" + hint),
            (HOST, ["--check", EXAMPLE_EXPECTED], 1, "--check needs --def FILE, and takes no "
             "captions and no other option but --engine and --raw" + hint),
            (HOST, ["--trace", "a", "--record", "b"], 1, "--trace and --record: give one of them "
             "at a time" + hint),
            (HOST, ["--def", "a", "--coverage", "b", "--fail-under", "101"], 1, "--fail-under "
             "needs a whole percentage, 0 to 100 (--fail-under 80)" + hint),
            (HOST, ["--def", "a", "--coverage", "b", "--fail-under"], 1, "--fail-under needs a "
             "whole percentage, 0 to 100 (--fail-under 80)" + hint),
            (HOST, ["--def", "a", "--check", "b", "--summary"], 1, "--summary and --fail-under go "
             "with --coverage only" + hint),
            (HOST, ["--def", "a", "--coverage", "b", "--summary", "--counts"], 1, "--counts and "
             "--summary: give one of them at a time" + hint),
            (HOST, ["--about"], 1, "--about and --settings open a dialog, which needs a display "
                                   "(under Wine: an X display in DISPLAY)"),
            (HOST, ["--windows"], 1, "--windows reads the captions of the windows on the display, "
                                     "which needs one (under Wine: an X display in DISPLAY)"),
            (HOST, ["--engine", os.path.join(SCRATCH, "Missing.tfe"), "x"], 2,
             no_engine % os.path.join(SCRATCH, "Missing.tfe") + "the file does not exist"),
            (HOST, ["--engine", not_a_dll, "x"], 2,
             no_engine % not_a_dll + "it is not a 32-bit Windows DLL"),
            (HOST, ["--engine", "C:\\windows\\system32\\version.dll", "x"], 2,
             no_engine % "C:\\windows\\system32\\version.dll"
             + "it has no function TFEGetAPIVersion: it is not a TitleForge engine"),
            (HOST, ["--engine", FUTURE_ENGINE, "x"], 2,
             "%s: the engine's interface version is 0x00020000; this host speaks version "
             "0x00010000 only" % FUTURE_ENGINE),
            (alone_host, ["x"], 2, no_engine % windows_path(os.path.join(alone, "Vario.tfe"))
             + "the file does not exist"),
            # Named as typed; a path no one typed, in full.
            (HOST, ["--def", missing, "Settings"], 3, no_def % missing + "the file does not exist"),
            (HOST, ["--def", in_missing_folder, "Settings"], 3,
             no_def % in_missing_folder + "its folder does not exist"),
            (HOST, ["--def", SCRATCH, "Settings"], 3,
             no_def % SCRATCH + "access is denied (or it is a folder)"),
            (HOST, ["a"], 3, no_def % windows_path(gone) + "the file does not exist (an earlier "
             "run chose it; choose another with --def FILE --remember)"),
        ]
        for program, args, status, message in cases:
            with self.subTest(args=args):
                self.check(run(*args, program=program), status, "",
                           "vario-try: " + message + "\n")


class LanguageTest(HostTest):
    def test_messages_in_both_languages(self):
        """Each kind of message in English and Japanese; what tools read
        (file:line:, warning:, the arrows, N passed, M failed) in both."""
        rules = scratch("lang.def", sjis("// rules\r\n,empty\r\nInbox,受信\r\n"))
        pairs = scratch("lang-pairs.txt", "Inbox → 受信\nInbox - Outlook → =\n".encode())
        captions = scratch("lang-captions.txt", b"Inbox\n\nSent\n")
        missing = windows_path(os.path.join(SCRATCH, "missing.def"))
        empty = rules + ':2: "" → "empty": '
        bom = scratch("bom rules.def", "\ufeff設定,Settings\r\n".encode())
        cafe = scratch("cafe.def", "設定,Settings\r\nCafé,Cafe\r\n".encode())
        cr = scratch("cr.def", b"a,b\rSettings,x\r")
        comma = scratch("comma.def", sjis("Save As , 名前を付けて保存\r\nx,\t y\r\n"))
        no_captions = scratch("no-captions.txt", b"\n\n")
        indented = scratch("indented.txt", "  // later\nSettings → 設定\n".encode())
        example = ["--def", EXAMPLE_DEF]
        cases = [
            # (args, status, English, Japanese: each in stdout + stderr)
            (["--frobnicate"], 1, "vario-try: unknown option --frobnicate (a caption that begins "
             "with - goes after --)\n(vario-try --help lists the options)\n",
             "vario-try: --frobnicate というオプションはありません (- で始まるタイトルは -- の後に"
             "書きます)\n(オプションの一覧は vario-try --help で表示できます)\n"),
            (["--lang", "jp"], 1, "vario-try: --lang jp: the language is ja (Japanese) or en "
             "(English)\n", "vario-try: --lang jp: 言語には ja (日本語) か en (英語) を指定します\n"),
            (["--def", missing, "x"], 3, "vario-try: cannot load the definition file %s: the file "
             "does not exist\n" % missing,
             "vario-try: 変換定義ファイル %s を読み込めません: ファイルが見つかりません\n" % missing),
            (["--engine", missing, "x"], 2, ": the file does not exist\n",
             ": ファイルが見つかりません\n"),
            (["--engine", "C:\\windows\\system32\\version.dll", "x"], 2, ": it has no function "
             "TFEGetAPIVersion: it is not a TitleForge engine\n",
             ": 関数 TFEGetAPIVersion がありません: TitleForge の変換エンジンではありません\n"),
            (["--explain", rules], 1,
             "     1  comment  // rules\n     2  rule     \"\" → \"empty\"\n" + rules
             + ":2: warning: the source is empty: the line begins with a comma, and this rule "
             "never changes a caption\n     3  rule     \"Inbox\" → \"受信\"\n"
             "3 lines, 2 rules, 1 warning.\n",
             "     1  コメント    // rules\n     2  規則        \"\" → \"empty\"\n" + rules
             + ":2: warning: 変換元が空です: 行がコンマで始まっているので、この規則は何も変換"
             "しません\n     3  規則        \"Inbox\" → \"受信\"\n3 行、規則 2 個、警告 1 件。\n"),
            (["--def", rules, "--check", pairs], 1,
             '  expected: "Inbox - Outlook"\n  actual:   "受信 - Outlook"\n  differs:  "Inbox" '
             'expected, "受信" actual, at the start\n  trace:\n    line 3: "Inbox" → "受信"\n'
             '            "受信 - Outlook"\n\n1 passed, 1 failed\n',
             '  期待: "Inbox - Outlook"\n  実際: "受信 - Outlook"\n  違い: 先頭から: 期待 "Inbox"'
             '、実際 "受信"\n  適用された規則:\n    3 行目: "Inbox" → "受信"\n'
             '            "受信 - Outlook"\n\n1 passed, 1 failed\n'),
            (["--def", rules, "--coverage", captions], 0,
             empty + "the source is empty: the line begins with a comma, and this rule never "
             "changes a caption\n1 of 2 rules changed a caption (50%), 1 changed none, on 2 "
             "captions.\n",
             empty + "変換元が空です: 行がコンマで始まっているので、この規則は何も変換しません\n"
             "規則 2 個のうち 1 個 (50%) がタイトルを変え、1 個は変えませんでした (タイトル 2 個"
             "で調べました)。\n"),
            (["--def", rules, "--coverage", captions, "--summary", "--fail-under", "60"], 7,
             "vario-try: 50% of the rules changed a caption, under --fail-under 60\n",
             "vario-try: タイトルを変えた規則は 50% で、--fail-under の 60% を下回りました\n"),
            (["--trace", rules, "Sent"], 0, "Sent\n  no rule changes it\n  result: Sent\n",
             "Sent\n  どの規則も変えません\n  結果: Sent\n"),
            (["--def", rules, "Sent", "Inbox"], 0, "(1 caption unchanged)\n",
             "(変わらなかったタイトル: 1 個)\n"),
            (["--help"], 0, "\n--check, --coverage and --record never store the file of --def "
             "as the\nengine's setting; with --raw, their files are Shift-JIS.\n\n",
             "\n--check、--coverage、--record は、--def のファイルをエンジンの設定に保存\nしません"
             "。--raw を付けると、これらのファイルは Shift-JIS になります。\n\n"),
            # Advice that works where the user is.
            (["--def", bom, "x"], 1,
             "vario-try: save it as Shift-JIS without the byte-order mark (its first 3 bytes), "
             "for example: tail -c +4 '%s' | iconv -f UTF-8 -t CP932 > '%s.sjis.def'"
             % (bom, bom[:-4]),
             "vario-try: BOM (先頭の 3 バイト) を除いて Shift-JIS で保存し直してください。例: "
             "tail -c +4 '%s' | iconv -f UTF-8 -t CP932 > '%s.sjis.def'" % (bom, bom[:-4])),
            (["--def", cafe, "x"], 1,
             "vario-try: line 2 holds é (U+00E9), a character Shift-JIS lacks: replace it before "
             "you save the file as Shift-JIS",
             "vario-try: 2 行目の é (U+00E9) は Shift-JIS にない文字です: Shift-JIS で保存する前に"
             "別の文字に置き換えてください"),
            (["--explain", cr], 1,
             cr + ": warning: the lines of this file end with CR alone, but the engine ends a line "
             "only at LF: it reads the whole file as one line, with each CR in it; save the file "
             "with CR LF line ends",
             cr + ": warning: このファイルの行末は CR だけですが、エンジンは LF でしか行を区切り"
             "ません: ファイル全体を、CR を含んだ 1 行として読みます。行末を CR LF にして保存し直し"
             "てください"),
            (["--def", cr, "Settings"], 1, "ends its lines with CR alone, so the engine reads it "
             "as one line", "行末が CR だけになっている (エンジンはファイル全体を 1 行として読む)"),
            (["--explain", comma], 1,
             comma + ":1: warning: the source ends with {SP} before the comma: nothing is "
             "trimmed, so this rule changes only captions that have it there; write the comma "
             "right after the source",
             comma + ":1: warning: 変換元がコンマの直前の {SP} で終わっています: 空白は削られない"
             "ため、この規則はそこに {SP} があるタイトルしか変えません。変換元のすぐ後にコンマを"
             "書いてください"),
            (["--explain", comma], 1,
             comma + ":2: warning: the replacement begins with {TAB} after the comma: nothing is "
             "trimmed, so every caption this rule changes gets it; write the replacement right "
             "after the comma",
             comma + ":2: warning: 変換先がコンマの直後の {TAB} で始まっています: 空白は削られない"
             "ため、この規則が変えたタイトルにはすべて {TAB} が入ります。コンマのすぐ後に変換先を"
             "書いてください"),
            (example + ["--coverage", no_captions], 0,
             "vario-try: note: the captions file %s holds no caption (an empty line is none)"
             % no_captions,
             "vario-try: 注意: タイトルのファイル %s にはタイトルが 1 つもありません (空行はタイトル"
             "になりません)" % no_captions),
            (example + ["--record", no_captions], 4,
             "vario-try: the captions file %s holds no caption (an empty line is none): there is "
             "no pair to record, and --check refuses a file without one" % no_captions,
             "vario-try: タイトルのファイル %s にはタイトルが 1 つもありません (空行はタイトルに"
             "なりません): 書き出す組がなく、組のないファイルは --check で使えません" % no_captions),
            (example + ["--check", indented], 4,
             "vario-try: %s:1: a comment begins this line, but blanks come before its //: a "
             "comment's // must come first on the line" % indented,
             "vario-try: %s:1: この行はコメントのようですが、// の前に空白があります: コメントは"
             "行の先頭に // を書いてください" % indented),
        ]
        for args, status, *texts in cases:
            for lang, text in zip(["en", "ja"], texts):
                with self.subTest(args=args, lang=lang):
                    code, out, err = run(*args, lang=lang)
                    self.assertEqual(code, status)
                    self.assertIn(text, (out + err).decode())
        # The explanation of CR-only line ends is true; the iconv advice works as
        # given: the copy is the rules in Shift-JIS.
        self.assertNotIn("CR CR LF", run("--explain", cr)[1].decode())
        advice = run("--def", bom, "x")[2].decode()
        subprocess.run(re.search(r"for example: (tail .*)$", advice, re.M).group(1), shell=True,
                       check=True)
        with open(bom[:-4] + ".sjis.def", "rb") as f:
            self.assertEqual(f.read(), sjis("設定,Settings\r\n"))
        # --lang is read before the words before it; without it, the user's language.
        self.assertEqual(run("--frobnicate", "--lang", "ja", lang=None)[2].decode(), cases[0][3])
        self.assertEqual(run("--frobnicate", lang=None)[2].decode(), cases[0][3])


class UsageTest(HostTest):
    def test_caption_after_double_dash(self):
        self.check(run("--def", EXAMPLE_DEF, "--", "--show"), 0, "--show\n",
                   "(1 caption unchanged)\n")

    def test_help(self):
        self.assertRegex(run("--version")[1], rb"^vario-try \d+\.\d+\n$")
        self.assertEqual(run("/?"), run("--help"))
        code, out, _ = run("--help")
        text = out.decode()
        self.assertEqual(code, 0)
        for needed in ["--def FILE", SETTINGS_KEY.replace("HKCU", "HKEY_CURRENT_USER"),
                       '"DefFile"', "Settings dialog", "--explain FILE", "--show", "--raw",
                       "Ctrl+Z, then\nEnter at a Windows console; Ctrl+D, then Enter at a terminal",
                       "a path with a character that code page\n932 lacks",
                       "standard input not in its encoding\n(UTF-8, or the console's code page",
                       "--check EXPECTED", "--coverage CAPTIONS", "--record CAPTIONS",
                       "--summary", "--fail-under PERCENT", "--check, --coverage: 6",
                       "--fail-under: 7", "Exit status"]:
            self.assertIn(needed, text)


class ExplainTest(HostTest):
    def test_each_mistake_is_found(self):
        data = (b"\xef\xbb\xbf[x]\r\n"              # 1: byte-order mark
                + sjis("Inbox,受信\r\r\n")            # 2: CR CR LF
                + b",empty\r\n"                      # 3: empty source
                + b"[Browser]x,y\r\n"                # 4: not a section: text and comma after ']'
                + b"[a,b]\r\r\n"                     # 5: not a section: CR after ']'
                + sjis("A，B\r\n")                    # 6: full-width comma only
                + sjis("\tTab ,  x　\r\n")             # 7: tab, blanks at both ends
                + b"Inbox,z\r\n"                     # 8: same source as line 2
                + b"// note,x\r\n"                   # 9: comment
                + b"[ok,section]\r\n"                # 10: section
                + b"\r\n"                            # 11: empty
                + b"end\x83\n"                        # 12: incomplete double-byte character
                + b" // not a comment,x\n"            # 13: blanks before //
                + b"Inbox - Outlook,y\n"              # 14: line 2 rewrites a part of the source
                + b"ab,xab\nab-c,z\n"                 # 15, 16: ... but puts it back
                + "電卓,Calc".encode())              # 17: UTF-8: the comma is a trail byte
        path = scratch("mistakes.def", data)
        def w(line):
            return "%s:%d: warning: " % (path, line)
        expected = (
            "Lines of %s as the engine reads them; its rules apply in this order.\n" % path
            + "     1  ignored  {BOM}[x]   (no comma)\n"
            + w(1) + "the file begins with a byte-order mark {BOM}: the engine takes its bytes as "
                  "the start of line 1\n"
            + '     2  rule     "Inbox" → "受信{CR}"\n'
            + w(2) + "the replacement ends with a CR: the line ends CR CR LF, and every caption "
                  "this rule changes gets that CR\n"
            + '     3  rule     "" → "empty"\n'
            + w(3) + "the source is empty: the line begins with a comma, and this rule never "
                  "changes a caption\n"
            + '     4  rule     "[Browser]x" → "y"\n'
            + w(4) + "this is not a section line, because its ']' is not its last character "
                  "(after it comes \"x,y\"); with its comma it is a rule\n"
            + '     5  rule     "[a" → "b]{CR}"\n'
            + w(5) + "the replacement ends with a CR: the line ends CR CR LF, and every caption "
                  "this rule changes gets that CR\n"
            + w(5) + "this is not a section line, because its ']' is not its last character "
                  "(after it comes \"{CR}\"); with its comma it is a rule\n"
            + "     6  ignored  A，B   (no comma)\n"
            + w(6) + "this line is ignored: it has no ASCII comma ',', only the full-width comma "
                  "'，'; write ',' to split a rule\n"
            + '     7  rule     "{TAB}Tab{SP}" → "{SP}{SP}x{U+3000}"\n'
            + '     8  rule     "Inbox" → "z"\n'
            + w(8) + "line 2 has the same source and runs first: this rule only sees what that "
                  "one left\n"
            + "     9  comment  // note,x\n"
            + "    10  section  [ok,section]\n"
            + "    11  empty\n"
            + "    12  ignored  end{0x83}   (no comma)\n"
            + '    13  rule     "{SP}// not a comment" → "x"\n'
            + w(13) + "this is not a comment, because blanks come before its //: with its comma "
                  "it is a rule\n"
            + '    14  rule     "Inbox - Outlook" → "y"\n'
            + w(14) + 'line 2 runs first and rewrites "Inbox", a part of this source: this rule '
                  "only sees what that one left\n"
            + '    15  rule     "ab" → "xab"\n'
            + '    16  rule     "ab-c" → "z"\n'
            + "    17  ignored  髮ｻ蜊{0x93},Calc   (no comma: its ',' is the second byte of a "
              "double-byte character, whose first byte is {0x93})\n"
            + "17 lines, 10 rules, 10 warnings.\n")
        self.check(run("--explain", path), 1, expected)

    def test_utf8_file(self):
        path = scratch("utf8.def", "設定,Settings\n".encode())
        code, out, _ = run("--explain", path)
        self.assertEqual(code, 1)
        self.assertIn("warning: this file is UTF-8, but the engine reads it in code page 932 "
                      "(Shift-JIS)", out.decode())
        self.assertEqual(out.decode().splitlines()[-1], "1 line, 0 rules, 2 warnings.")

    def test_warnings_about_the_file_in_every_mode(self):
        utf8 = scratch("utf8-file.def", "設定,Settings\n".encode())
        empty = scratch("no-rules.def", b"// nothing yet\r\n")
        warning = ("vario-try: warning: the definition file %s %s (vario-try --explain %s "
                   "lists its lines)\n")
        iconv = ("vario-try: save it as Shift-JIS, for example: iconv -f UTF-8 -t CP932 %s > %s\n"
                 % (utf8, utf8[:-len(".def")] + ".sjis.def"))
        many = ["x"] * 21  # said again after many results
        all3 = "is UTF-8 text, not Shift-JIS and holds no rules"
        cases = [
            (["--def", utf8, "x"], utf8, all3, iconv, 1),
            (["--def", utf8, *many], utf8, all3, iconv, 2),
            (["--show", "--def", empty], empty, "holds no rules", "", 1),
            (["--trace", empty], empty, "holds no rules", "", 1),
        ]
        for args, shown, what, advice, times in cases:
            with self.subTest(args=args[:3]):
                code, out, err = run(*args)
                said = err.decode().count(warning % (shown, what, shown) + advice)
                self.assertEqual((code, said), (1, times))

    def test_lines_counted_as_an_editor_counts_them(self):
        cases = [
            # (file, status, last line): the rest after the last line end is no line
            (EXAMPLE_DEF, 0, "27 lines, 15 rules, 0 warnings."),
            (scratch("empty.def", b""), 1, "0 lines, 0 rules, 1 warning."),
            (scratch("eight.def", b"".join(b"%d,x\n" % i for i in range(8))), 0,
             "8 lines, 8 rules, 0 warnings."),
            (scratch("many.def", b"".join(b"%04d,x\n" % i for i in range(1200))), 0,
             "1,200 lines, 1,200 rules, 0 warnings."),
            (scratch("blank-last.def", b"a,b\r\n\r\n"), 0, "2 lines, 1 rule, 0 warnings."),
        ]
        for path, status, last in cases:
            with self.subTest(path=path):
                code, out, _ = run("--explain", path)
                self.assertEqual((code, out.decode().splitlines()[-1]), (status, last))

    def test_unreadable_file(self):
        self.check(run("--explain", "no-such.def"), 4, "",
                   "vario-try: cannot read the definition file no-such.def: the file does not "
                   "exist\n")


class TraceTest(HostTest):
    def test_example(self):
        self.check(run("--trace", EXAMPLE_DEF, "Untitled - Notepad", "電卓"), 0,
                   "Untitled - Notepad\n"
                   '  line 15: "{SP}- Notepad" → "{SP}- メモ帳"\n'
                   '           "Untitled - メモ帳"\n'
                   '  line 16: "Untitled" → "無題"\n'
                   '           "無題 - メモ帳"\n'
                   "  result: 無題 - メモ帳\n\n"
                   "電卓\n  no rule changes it\n  result: 電卓\n\n")

    def test_rules_one_by_one(self):
        # The trace's own search and the engine's, each against the result a rule must give.
        cases = [
            # (the rule file's lines, {caption: result})
            ([b"aa,b"], {b"aaaa": b"bb", b"aaa": b"ba", b"": b""}),
            ([b"a,aa"], {b"banana": b"baanaanaa"}),
            ([b"a,b", b"b,c"], {b"ab": b"cc", b"a\x83": b"c\x83"}),
            ([b"b,c", b"a,b"], {b"ab": b"bc"}),
            ([b"a,xy", b"xy,z", b",e"], {b"a": b"z", b"xa": b"xz"}),    # set off by what a rule made
            ([b"\\,/", b"A,Z"], {sjis("ソ\\ア"): sjis("ソ/ア")}),        # never a second byte
            ([b"ab,", b"abc,x"], {b"abcab": b"c"}),
        ]
        for lines, results in cases:
            rules = scratch("one-by-one.def", b"\r\n".join(lines) + b"\r\n")
            stdin = b"".join(caption + b"\n" for caption in results)
            expected = [results[caption] for caption in results]
            _, trace, _ = run("--raw", "--trace", rules, stdin=stdin)
            _, converted, _ = run("--raw", "--def", rules, stdin=stdin)
            with self.subTest(rules=lines):
                self.assertEqual(([line[len(b"  result: "):] for line in trace.split(b"\n")
                                   if line.startswith(b"  result: ")],
                                  converted.split(b"\n")[:-1]), (expected, expected))

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


class CheckTest(HostTest):
    """--check and --coverage, which start the engine on --def's file and never store it."""

    def setUp(self):
        self.earlier = windows_path(scratch("earlier.def", b"a,earlier\r\n"))
        set_setting(self.earlier)

    def tearDown(self):
        self.assertEqual(setting(), (True, self.earlier))

    def test_example_passes(self):
        self.check(run("--def", EXAMPLE_DEF, "--check", EXAMPLE_EXPECTED), 0,
                   "15 passed, 0 failed\n",
                   "vario-try: checking %s with the rules of %s\n"
                   % (EXAMPLE_EXPECTED, EXAMPLE_DEF))

    def test_every_file_empty_one_line_end_or_open(self):
        # Each file vario-try reads, at 0 bytes, one line end, and a last line without one.
        contents = {"empty": (b"", b"", b""), "lf": (b"\n", b"\n", b"\n"),
                    "open": (b"a,b", "Settings → 設定".encode(), b"Settings")}
        cases = [
            # (args with R, P, C for the rules, pairs, captions file; (status, last line) each)
            (["--def", "R", "a"], (1, "a"), (1, "a"), (0, "b")),
            (["--trace", "R", "a"], (1, "  result: a"), (1, "  result: a"), (0, "  result: b")),
            (["--explain", "R"], (1, "0 lines, 0 rules, 1 warning."),
             (1, "1 line, 0 rules, 1 warning."), (0, "1 line, 1 rule, 0 warnings.")),
            (["--def", EXAMPLE_DEF, "--check", "P"], (4, ""), (4, ""), (0, "1 passed, 0 failed")),
            (["--def", EXAMPLE_DEF, "--record", "C"], (4, ""), (4, ""), (0, "Settings → 設定")),
            (["--def", EXAMPLE_DEF, "--coverage", "C"],
             *[(0, "0 of 15 rules changed a caption (0%), 15 changed none, on 0 captions.")] * 2,
             (0, "1 of 15 rules changed a caption (6%), 14 changed none, on 1 caption.")),
        ]
        for name, (rules, pairs, captions) in contents.items():
            files = {"R": scratch(name + ".def", rules), "P": scratch(name + "-pairs.txt", pairs),
                     "C": scratch(name + "-captions.txt", captions)}
            for args, *outcomes in cases:
                with self.subTest(file=name, args=args):
                    code, out, _ = run(*[files.get(arg, arg) for arg in args])
                    self.assertEqual((code, out.decode().strip("\n").split("\n")[-1]),
                                     outcomes[list(contents).index(name)])

    def test_record_then_check(self):
        # What --record writes --check passes; a rule changed fails exactly the captions it touches.
        with open(EXAMPLE_CAPTIONS, "rb") as f:
            captions = scratch("record.txt", f.read() + "Settings \n\na → b\n//c\n".encode())
        code, out, err = run("--def", EXAMPLE_DEF, "--record", captions)
        recorded = scratch("recorded.txt", out)
        self.assertEqual((code, out.count(b"\n"), out.splitlines()[-1].decode(),
                          err.count(b"not recorded")), (1, 13, "Settings  → 設定 ", 2))
        with open(EXAMPLE_DEF, "rb") as f:
            changed = scratch("changed.def", f.read().replace(sjis("Settings,設定"), b"Settings,x"))
        for rules, failed, last in [(EXAMPLE_DEF, [], "12 passed, 0 failed"),
                                    (changed, [b"10", b"13"], "10 passed, 2 failed")]:
            code, out, _ = run("--def", rules, "--check", recorded)
            self.assertEqual((re.findall(rb"recorded.txt:(\d+):", out),
                              out.decode().splitlines()[-1]), (failed, last))
        # A slip of the arrow is named below a pair that fails.
        for line, note in [("Settings  → 設定", "the caption ends with a blank"),
                           ("Settings →  設定", "what is expected begins with a blank"),
                           ("電卓 → = ", 'what is expected is "={SP}"')]:
            out = run("--def", EXAMPLE_DEF, "--check", scratch("near.txt", line.encode()))[1]
            self.assertIn("  note:     " + note, out.decode())

    def test_check(self):
        rules = scratch("check.def", sjis("Untitled,無題\r\n - Notepad, - メモ帳\r\nInbox,受信\r\r\n"))
        no_arrow = (' " → " (a blank, the arrow →, a blank) is wanted between the caption and what '
                    'is expected: write "caption → expected", or "caption → =" for a caption that '
                    "stays as it is\n")
        cases = [
            # (EXPECTED, status, stdout, stderr with %s for its path)
            ("// pairs\n\n \nUntitled - Notepad → 無題 - メモ帳\nNotepad → =\nInbox → 受信\r\n"
             "Untitled → =\n", 1,
             "%s:6: \"Inbox\"\n"
             '  expected: "受信"\n'
             '  actual:   "受信{CR}"\n'
             '  differs:  "" expected, "{CR}" actual, after "受信"\n'
             "  trace:\n"
             '    line 3: "Inbox" → "受信{CR}"\n'
             '            "受信{CR}"\n\n'
             "%s:7: \"Untitled\"\n"
             '  expected: "Untitled"\n'
             '  actual:   "無題"\n'
             "  trace:\n"
             '    line 1: "Untitled" → "無題"\n'
             '            "無題"\n\n'
             "2 passed, 2 failed\n", "vario-try: checking %s with the rules of " + rules + "\n"),
            ("a→b\nok → =\nc -> d\n", 4, "", "vario-try: %s:1: found \"→\" where" + no_arrow
             + "vario-try: %s:3: found \"->\" where" + no_arrow),
            ("ok → =\n\udcff → x\n", 4, "", "vario-try: cannot read the expected captions file "
             "%s: it is not UTF-8 (line 2 is the first line that is not); --raw reads Shift-JIS\n"),
            ("// nothing yet\n", 4, "",
             'vario-try: %s: holds no pair to check ("caption → expected" lines)\n'),
        ]
        for text, status, stdout, stderr in cases:
            with self.subTest(expected=text):
                path = scratch("expected.txt", text.encode("utf-8", "surrogateescape"))
                self.check(run("--def", rules, "--check", path), status,
                           stdout.replace("%s", path), stderr.replace("%s", path))

    def test_coverage(self):
        rules = scratch("coverage.def", sjis("Inbox,受信トレイ\r\n"
                                             "Inbox - Outlook,受信 - Outlook\r\n"  # Inbox goes first
                                             ",empty\r\n[a,b]\r\nDrafts,下書き\r\n"
                                             "トレイ,Tray\r\n"))  # fires on what line 1 makes
        captions = scratch("captions.txt", b"Inbox - Outlook\n\nSent - Outlook\n")
        self.check(run("--def", rules, "--coverage", captions), 0,
                   "Rules of %s that changed no caption of %s:\n" % (rules, captions)
                   + rules + ':2: "Inbox - Outlook" → "受信 - Outlook": line 1 runs first and '
                   'rewrites "Inbox", a part of this source: this rule only sees what that one '
                   "left\n"
                   + rules + ':3: "" → "empty": the source is empty: the line begins with a comma, '
                   "and this rule never changes a caption\n"
                   + rules + ':5: "Drafts" → "下書き"\n'
                   "2 of 5 rules changed a caption (40%), 3 changed none, on 2 captions.\n",
                   "vario-try: the rules of %s on the captions of %s\n" % (rules, captions))
        tally = "2 of 5 rules changed a caption (40%), 3 changed none, on 2 captions.\n"
        under = "vario-try: 40%% of the rules changed a caption, under --fail-under %d\n"
        # An engine that leaves every caption as it is: its results differ from the rules'.
        pairs = scratch("same.txt", "Inbox - Outlook → =\n".encode())
        differ = ('vario-try: %s:1: the engine converts "Inbox - Outlook" to "Inbox - Outlook", '
                  'but its rules applied one by one give "受信Tray - Outlook"\n')
        cases = [
            # (options, status, stdout (None: any), stderr after the line naming the files)
            (["--summary"], 0, tally, ""),
            (["--summary", "--fail-under", "40"], 0, tally, ""),
            (["--fail-under", "41"], 7, None, under % 41),
            (["--summary", "--fail-under", "100"], 7, tally, under % 100),
            (["--engine", same_engine()], 6, None, differ % captions),
            (["--engine", same_engine(), "--check", pairs], 6, "1 passed, 0 failed\n",
             differ % pairs),
        ]
        for options, status, stdout, stderr in cases:
            with self.subTest(options=options):
                mode = [] if "--check" in options else ["--coverage", captions]
                code, out, err = run("--def", rules, *mode, *options)
                self.assertEqual((code, out.decode(), err.decode().split("\n", 1)[1]),
                                 (status, out.decode() if stdout is None else stdout, stderr))
        out = run("--def", rules, "--coverage", captions, "--counts")[1].decode()
        self.assertIn(rules + ':6: "トレイ" → "Tray" (1 caption)\n', out)


class DistTest(HostTest):
    def test_archive(self):
        out = os.path.join(SCRATCH, "dist")
        shutil.rmtree(out, ignore_errors=True)
        subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "dist.py"), BUILD, out],
                       check=True, stdout=subprocess.DEVNULL)
        (name,) = [n for n in os.listdir(out) if n.endswith(".zip")]
        self.assertRegex(name, r"^Vario-\d+\.\d+\.zip$")
        folder = name[:-len(".zip")] + "/"
        shipped = ["Readme.txt", "LICENSE.txt", "Vario.tfe", "vario-try.exe", "vario.def",
                   "captions.txt", "expected.txt", "HostAuthors.txt", "VarioEngine.h"]
        with zipfile.ZipFile(os.path.join(out, name)) as z:
            self.assertEqual(z.namelist(),
                             [folder] + [folder + n for n in shipped + ["SHA256SUMS.txt"]])
            # Unix modes, which unzip gives: the folder rwxr-xr-x, the files rw-r--r--.
            self.assertEqual([entry.external_attr >> 16 for entry in z.infolist()],
                             [0o40755] + [0o100644] * 10)
            files = {n[len(folder):]: z.read(n) for n in z.namelist()[1:]}
            z.extractall(os.path.join(out, "unpacked"))
        for image in ["Vario.tfe", "vario-try.exe"]:
            with open(os.path.join(BUILD, image), "rb") as f:
                built = f.read()
            # Shipped without the debug sections, which the build keeps; the
            # code and data are the build's, which the tests ran.
            self.assertEqual((b".debug_info" in built, b".debug_info" in files[image]),
                             (True, False))
            self.assertLessEqual(set(pe_sections(files[image]).values()),
                                 set(pe_sections(built).values()))
        sums = "".join("%s  %s\r\n" % (hashlib.sha256(files[n]).hexdigest(), n) for n in shipped)
        self.assertEqual(files["SHA256SUMS.txt"].decode(), sums)
        self.assertIn(b"MIT License\r\n\r\nCopyright (c) 2026 Vario Project\r\n",
                      files["LICENSE.txt"])
        # vario-try.exe has a version record of its own.
        self.assertIn("OriginalFilename\0vario-try.exe".encode("utf-16-le"), files["vario-try.exe"])

        for text_file in ["Readme.txt", "HostAuthors.txt", "VarioEngine.h"]:
            self.assertNotRegex(files[text_file], rb"\r(?!\n)|(?<!\r)\n",
                                text_file + ": a line end other than CR LF")
            files[text_file].decode("cp932")    # fails on bytes that are not CP932
        # The page and the header for host authors give each function the
        # ordinal of the module's definition file.
        with open(os.path.join(SOURCE, "res", "Vario.def")) as f:
            ordinals = sorted((int(o), n) for n, o in re.findall(r"^ +(TFE\w+) +@(\d+)$",
                                                                 f.read(), re.M))
        self.assertEqual(len(ordinals), 8)
        for text_file, pattern in [("HostAuthors.txt", rb"^\| (\d) \| \w+ (TFE\w+)\("),
                                   ("VarioEngine.h", rb"(\d) +(TFE\w+)")]:
            listed = sorted((int(o), n.decode())
                            for o, n in re.findall(pattern, files[text_file], re.M))
            self.assertEqual(listed, ordinals, text_file)
        self.assertNotIn(b"`", files["HostAuthors.txt"])
        text = files["Readme.txt"].decode("cp932")
        lines = text.split("\r\n")
        for heading in ["概要", "動作環境", "ファイルの確認 (SHA256SUMS.txt)", "インストール",
                        "使い方",
                        "変換定義ファイルの書き方", "vario-try の使い方", "制限事項",
                        "使用許諾 (ライセンス)", "免責事項", "転載・再配布", "アンインストール",
                        "履歴"]:
            self.assertIn("■ " + heading, lines)
        for needed in ["【種別】        フリーソフト (MIT ライセンス)", "Wine 8.0", "Ctrl+Z", "{BOM}",
                       "{0x83}", "--engine", "259", "certutil -hashfile Vario.tfe SHA256"]:
            self.assertIn(needed, text)
        self.assertNotRegex(text, "@[A-Z]+@")
        # A command of the manual that writes a file does not write over one that ships.
        written = re.findall(r"^  vario-try .*> (\S+)\r$", text, re.M)
        self.assertEqual((len(written), set(written) & set(shipped)), (1, set()))
        self.assertIn(name[len("Vario-"):-len(".zip")], lines[1])
        # The history dates the version by the commit the archive is made from.
        stamp = subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], check=True,
                               stdout=subprocess.PIPE, text=True).stdout
        self.assertIn(time.strftime("  %Y/%m/%d  バージョン ", time.gmtime(int(stamp)))
                      + name[len("Vario-"):-len(".zip")] + "  最初の公開版。", lines)
        self.assertEqual(lines[-2], "(C) 2026 Vario Project")
        # The example is a piece of vario.def as printed, its blanks included.
        start = next(i for i, line in enumerate(lines) if "ここから" in line)
        end = next(i for i, line in enumerate(lines) if "ここまで" in line)
        self.assertIn(sjis("".join(line + "\r\n" for line in lines[start + 1:end])),
                      files["vario.def"])
        # The uninstall's commands remove the setting and the keys it made.
        deletes = [shlex.split(line)[1:] for line in lines if line.startswith("      reg delete")]
        parent = "\\".join(SETTINGS_KEY.split("\\")[:3])
        self.assertEqual([delete[1] for delete in deletes],
                         [SETTINGS_KEY, parent, "HKCU\\Software\\vario-try"])
        set_setting("C:\\vario.def")
        for delete in deletes:
            run(*delete, program="reg")
        self.assertEqual((setting(), run("query", parent, program="reg")[0]), ((False, None), 1))

        unpacked = os.path.join(out, "unpacked", folder)
        self.check(run("--def", os.path.join(unpacked, "vario.def"), "Untitled - Notepad",
                       "Calculator (Not Responding)",
                       program=os.path.join(unpacked, "vario-try.exe")),
                   0, "無題 - メモ帳\n電卓 (応答なし)\n")
        # The manual's --check example, with the files as shipped: all pass,
        # and with the line the manual names mistyped, its output as printed.
        code, out, _ = run("--def", os.path.join(unpacked, "vario.def"), "--check",
                           os.path.join(unpacked, "expected.txt"),
                           program=os.path.join(unpacked, "vario-try.exe"))
        self.assertEqual((code, out), (0, b"15 passed, 0 failed\n"))
        pairs = files["expected.txt"].decode().split("\r\n")
        number = pairs.index("Untitled - Notepad → 無題 - メモ帳") + 1
        self.assertIn("の %d 行目「Untitled - Notepad → 無題 - メモ帳」" % number, text)
        mistyped = os.path.join(SCRATCH, "dist", "mistyped")
        os.makedirs(mistyped)
        pairs[number - 1] = "Untitled - Notepad → 無題 - Notepad"
        with open(os.path.join(mistyped, "expected.txt"), "wb") as f:
            f.write("\r\n".join(pairs).encode())
        code, out, _ = run("--def", os.path.join(unpacked, "vario.def"), "--check", "expected.txt",
                           program=os.path.join(unpacked, "vario-try.exe"), cwd=mistyped,
                           lang="ja")
        start = lines.index('  expected.txt:%d: "Untitled - Notepad"' % number)
        end = next(i for i in range(start, len(lines)) if lines[i].endswith(" failed"))
        self.assertEqual((code, lines[start:end + 1]),
                         (1, ["  " + line if line else "" for line in out.decode().splitlines()]))


@unittest.skipUnless(os.path.realpath(BUILD) == os.path.realpath(os.path.join(SOURCE, "build")),
                     "tools/vario-try.sh runs build/ of the project's folder")
class ScriptTest(HostTest):
    def test_vario_try_from_another_folder(self):
        env = user_env()
        script = os.path.join(SOURCE, "tools", "vario-try.sh")
        note = prefix_note()
        self.check(run(command=["sh", script, "--def", EXAMPLE_DEF, "Settings"], cwd=SCRATCH,
                       env=env), 0, "設定\n", note)
        # Advice names the command the user typed, in the language of the
        # user's locale, not Wine's Japanese one.
        self.check(run(command=["sh", script, "--frobnicate"], cwd=SCRATCH, env=env), 1, "",
                   "vario-try: unknown option --frobnicate (a caption that begins with - goes "
                   "after --)\n(sh %s --help lists the options)\n" % script)
        self.check(run(command=["sh", script, "--frobnicate"], cwd=SCRATCH,
                       env=dict(env, LANG="ja_JP.UTF-8")), 1, "",
                   "vario-try: --frobnicate というオプションはありません (- で始まるタイトルは -- "
                   "の後に書きます)\n(オプションの一覧は sh %s --help で表示できます)\n" % script)
        # In the prefix of make run, with the fonts of the pictures.
        code, out, _ = run("query", "HKCU\\Software\\Wine\\Fonts\\Replacements", program="reg",
                           env=dict(env, VARIO_BUILD_DIR=BUILD, VARIO_WINE_PREFIX="wineprefix-run"))
        self.assertRegex(out, rb"MS UI Gothic +REG_SZ +IPAPGothic")
        self.assertTrue(os.path.isfile(os.path.join(BUILD, "wineprefix-run", "drive_c", "windows",
                                                    "Fonts", "marlett.ttf")))


class MakeRunTest(HostTest):
    def test_make_targets(self):
        make = ["make", "-s", "BUILD=" + BUILD]
        mine = scratch("mine.def", b"a,b\r\n")
        given = ("make %s: DEF=" + mine + " names your rules, but %s is not given, and the "
                 "example's %s are not meant for them; type: make %s DEF=" + mine + " %s=my-%s.txt")
        os.makedirs(os.path.join(SCRATCH, "Shift JIS"), exist_ok=True)
        shift_jis = scratch(os.path.join("Shift JIS", "sjis.txt"), sjis("設定 → =\n"))
        utf16 = scratch("utf16.txt", "設定 → =\n".encode("utf-16"))
        cases = [
            # (make's arguments, the status vario-try gives, stderr's first line)
            (["run"], 0, "make run: the rules of examples/vario.def on the captions of "
             "examples/captions.txt"),
            (["record", "DEF=examples/vario.def", "CAPTIONS=examples/captions.txt"], 0,
             "vario-try: recording what the rules of examples/vario.def make of the captions of "
             "examples/captions.txt"),
            (["check", "DEF=" + mine], 1, given % ("check", "EXPECTED", "expected captions",
                                                   "check", "EXPECTED", "expected") + "\n"),
            (["coverage", "DEF=" + mine], 1,
             given % ("coverage", "CAPTIONS", "captions", "coverage", "CAPTIONS", "captions")
             + "\n"),
            (["coverage", "EXPECTED=" + EXAMPLE_EXPECTED], 1, "make coverage: EXPECTED is not "
             "read by make coverage, which reads DEF and CAPTIONS (make check reads EXPECTED)\n"),
            (["check", "CAPTIONS=" + EXAMPLE_CAPTIONS], 1, "make check: CAPTIONS is not read by "
             "make check, which reads DEF and EXPECTED (make run, coverage and record read "
             "CAPTIONS)\n"),
            (["run", "DEF=no-such.def", "CAPTIONS=" + EXAMPLE_CAPTIONS], 3,
             "make run: no such file: no-such.def\n"),
            (["run", "DEF=examples", "CAPTIONS=" + EXAMPLE_CAPTIONS], 3,
             "make run: examples is a folder, not a file\n"),
            (["record", "DEF=" + mine, "CAPTIONS=" + SCRATCH], 4,
             "make record: %s is a folder, not a file\n" % SCRATCH),
            (["check", "EXPECTED=" + shift_jis], 4,
             "make check: %s is not UTF-8 text; save it as UTF-8, e.g. from Shift-JIS: iconv -f "
             "CP932 -t UTF-8 '%s' > '%s'\n"
             % (shift_jis, shift_jis, os.path.join(SCRATCH, "Shift JIS", "utf8-sjis.txt"))),
            (["run", "CAPTIONS=" + utf16], 1, "make run: %s is UTF-16 text, not UTF-8; save it "
             "as UTF-8: iconv -f UTF-16 -t UTF-8 %s > %s\n"
             % (utf16, utf16, os.path.join(SCRATCH, "utf8-utf16.txt"))),
        ]
        for args, status, first in cases:
            with self.subTest(args=args):
                code, out, err = run(command=make + args, cwd=SOURCE, env=user_env())
                said = re.findall(r"\] Error (\d+)$", err.decode(), re.M)
                self.assertEqual((code, said, err.decode()[:len(first)]),
                                 (2 if status else 0, [str(status)] if status else [], first))
                if args == ["run"]:
                    self.assertEqual(out.decode(), example_table("examples/vario.def"))
                    # The README's sample is lines of it.
                    with open(os.path.join(SOURCE, "README.md"), encoding="utf-8") as f:
                        sample = re.search(r"\n((    VarioEngine .*\n)(    .*\n|\n)*?)    \.\.\.\n",
                                           f.read()).group(1)
                    self.assertLessEqual({line[4:] for line in sample.splitlines()},
                                         set(out.decode().splitlines()))
        # The suggested commands, as given, write the UTF-8 copy beside the file.
        for suggested in [first.split(": ")[-1] for _, _, first in cases if "iconv" in first]:
            subprocess.run(["sh", "-c", suggested], check=True)
            with open(shlex.split(suggested)[-1], encoding="utf-8") as f:
                self.assertEqual(f.read(), "設定 → =\n", suggested)

    def test_help_lists_every_target(self):
        with open(os.path.join(SOURCE, "Makefile")) as f:
            targets = re.search(r"^\.PHONY: (.*)$", f.read(), re.M).group(1).split()
        code, out, _ = run(command=["make", "-s", "help"], cwd=SOURCE, env=user_env())
        listed = re.findall(r"^make (\w+) ", out.decode(), re.M)
        self.assertEqual((code, sorted(listed)),
                         (0, sorted(set(targets) - {"all", "help"})))


if __name__ == "__main__":
    os.makedirs(SCRATCH, exist_ok=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
