// EngineSession.cpp - one run of the engine module.
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Explainer.h"
#include "HostEnvironment.h"
#include "Messages.h"
#include "RuleText.h"
#include "WindowCaptions.h"
#include "../qor/QorException.h"
#include "../res/Settings.h"
#include <stdio.h>

namespace {

// The most captions after which a warning said before them is not said again.
const int kShortRun = 20;

// The largest buffer a converted caption is asked into.
const size_t kLargestResult = 1u << 30;

std::string EngineText(BOOL(WINAPI* get)(LPSTR, int))
{
    char text[256] = "";
    return get(text, sizeof text) ? std::string(text) : std::string("?");
}

// The copy's path beside the file: "rules.sjis.def" for "rules.def".
std::string ShiftJisCopy(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t name = path.find_last_of("\\/");
    return dot != std::string::npos && (name == std::string::npos || dot > name)
        ? path.substr(0, dot) + ".sjis" + path.substr(dot)
        : path + ".sjis";
}

// The path as one word of a Unix shell: in single quotes when it holds a
// byte the shell would take otherwise.
std::string ShellWord(const std::string& path)
{
    if (path.find_first_of(" \t'\"\\$`&|;<>()*?[]#~!{}") == std::string::npos && !path.empty())
        return path;
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// How to save the UTF-8 file at path as Shift-JIS where the user is: at a
// Windows console with Notepad, else with iconv, which refuses a byte-order
// mark.
std::string ShiftJisAdvice(const std::string& path, const std::vector<std::string>& lines)
{
    if (!UnderWine())
        return Message(IDS_SAVE_AS_SJIS_NOTEPAD, {path});
    const std::string file = ShellWord(path);
    const std::string copy = ShellWord(ShiftJisCopy(path));
    if (lines[0].compare(0, 3, kBom) == 0)
        return Message(IDS_SAVE_AS_SJIS_NO_BOM, {file, copy});
    return "save it as Shift-JIS, for example: iconv -f UTF-8 -t CP932 " + file + " > " + copy;
}

// What names the first character of the UTF-8 lines that Shift-JIS lacks,
// which no way of saving keeps; empty when there is none.
std::wstring FirstLacking(const std::vector<std::string>& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string ansi;
        std::wstring lost;
        const size_t bom = i == 0 && lines[0].compare(0, 3, kBom) == 0 ? 3 : 0;
        if (!AnsiFromWideExactly(WideFromUtf8(lines[i].substr(bom)), ansi, lost))
            return WideMessage(
                IDS_SJIS_LACKS,
                {lost, CodePointName(lost), WideFromAnsi(Number(static_cast<int>(i + 1)))});
    }
    return std::wstring();
}

} // namespace

CEngineSession::CEngineSession(const Options& options, COutput& out, COutput& err,
                               UINT inputCodePage)
    : options(options), out(out), err(err), inputCodePage(inputCodePage)
{
}

int CEngineSession::Fail(int status, const std::string& message)
{
    err.WriteLine("vario-try: " + message);
    return status;
}

int CEngineSession::CheckDisplay()
{
    if ((options.about || options.settings) && !HaveDisplay())
        return Fail(kUsage,
                    "--about and --settings open a dialog, which needs a display "
                    "(under Wine: an X display in DISPLAY)");
    if (options.windows && !HaveDisplay())
        return Fail(kUsage,
                    "--windows reads the captions of the windows on the display, which "
                    "needs one (under Wine: an X display in DISPLAY)");
    return kOk;
}

int CEngineSession::Load(std::string& name)
{
    const std::string path = FullPath(options.engine.empty() ? DefaultEnginePath()
                                                             : options.engine);
    const std::string shown = options.engine.empty() ? path : options.engine;
    std::string error;
    if (!engine.Load(path, error))
        return Fail(kEngineUnusable, "cannot load the engine " + shown + ": " + error);
    const DWORD version = engine.GetAPIVersion();
    if (version != kVarioApiVersion) {
        char text[160];
        snprintf(text, sizeof text,
                 "the engine's interface version is 0x%08lX; this host "
                 "speaks version 0x%08lX only",
                 version, kVarioApiVersion);
        return Fail(kEngineUnusable, shown + ": " + text);
    }
    name = EngineText(engine.GetEngineDescription) + " " + EngineText(engine.GetEngineVersion);
    return kOk;
}

int CEngineSession::DefinitionFailed(const std::string& path, const std::string& error)
{
    const std::string hint = options.useDefinitionFile ? ""
                                                       : " (an earlier run chose it; choose "
                                                         "another with --def FILE --remember)";
    return Fail(kDefinitionFailed,
                "cannot load the definition file " + path + (error.empty() ? "" : ": " + error)
                    + hint);
}

int CEngineSession::Start(CCaptionOutput& output)
{
    std::string name;
    const int loaded = Load(name);
    if (loaded != kOk)
        return loaded;
    if (options.useDefinitionFile) {
        const std::string full = options.definitionFile.empty() ? std::string()
                                                                : FullPath(options.definitionFile);
        if (options.remember ? !StoreDefinitionFile(full) : !view.Open(full))
            return Fail(kDefinitionFailed,
                        "cannot store the definition file's path in the registry "
                        "(HKEY_CURRENT_USER\\" VARIO_SETTINGS_KEY ")");
    }
    const std::string definitionFile = StoredDefinitionFile();
    const std::string shown = options.useDefinitionFile ? options.definitionFile : definitionFile;
    std::string error;
    std::vector<std::string> lines;
    const bool reads = definitionFile.empty() || ReadDefinitionLines(definitionFile, lines, error);
    // Without a display the engine's own message box would open unseen, so a
    // file that cannot be read is reported here and the engine not started.
    if (!reads && !HaveDisplay())
        return DefinitionFailed(shown, error);
    if (reads && !definitionFile.empty())
        WarnAboutFile(shown, lines);
    if (!engine.InitEngine()) {
        engine.ExitEngine();
        return DefinitionFailed(shown, error);
    }
    rulesShown = shown;
    output.Title(name, shown);
    return kOk;
}

bool CEngineSession::Convert(const std::string& caption, std::string& result)
{
    ++converted;
    result = caption;
    for (size_t size = caption.size() + caption.size() / 2 + 1024;; size *= 2) {
        size = size < kLargestResult ? size : kLargestResult;
        std::vector<char> buffer;
        if (!QorCatchAll(
                [&] {
                    buffer.assign(size, '\0');
                    return true;
                },
                [](const CQorException&) { return false; }))
            return false;
        if (!engine.ConvertCaptionString(0, caption.c_str(), buffer.data(), static_cast<int>(size)))
            return false;
        result.assign(buffer.data());
        if (result.size() < size - 1)
            return true;
        if (size == kLargestResult)
            return false;
    }
}

void CEngineSession::ShowDialogsAndStop()
{
    if (options.about)
        engine.OnAbout(nullptr);
    if (options.settings)
        engine.OnSetting(nullptr);
    engine.ExitEngine();
}

int CEngineSession::RunOnRules(const std::string& files, const RulesReport& report)
{
    err.WriteLine("vario-try: " + files);
    CCaptionOutput quiet(out, err, false);
    int status = Start(quiet);
    if (status != kOk)
        return status;
    const Converter convert = [this](const std::string& caption, std::string& result) {
        return Convert(caption, result);
    };
    const std::string path = StoredDefinitionFile();
    std::vector<TracedRule> rules;
    std::vector<std::string> lines;
    std::string error;
    status = QorCatchAll(
        [&] {
            return ReadTracedRules(path, rules, lines, error)
                ? report(rules, lines, convert)
                : Fail(kFileUnreadable,
                       "cannot read the definition file " + rulesShown + ": " + error);
        },
        [this](const CQorException&) { return Fail(kNotWhole, "out of memory"); });
    engine.ExitEngine();
    return Finish(status);
}

int CEngineSession::ForEachCaption(const std::function<void(const std::string& caption)>& each)
{
    int number = 0;
    std::string caption;
    std::wstring lost;
    if (!options.captions.empty() || options.windows) {
        for (const std::wstring& typed : options.windows ? WindowCaptions() : options.captions) {
            AnsiFromWideExactly(typed, caption, lost);
            NoteLost(lost, "caption " + Number(++number));
            each(caption);
        }
        return kOk;
    }
    if (options.about || options.settings)
        return kOk;
    CInput in(options.raw, inputCodePage);
    // A console opened by a double click shows nothing else to start with.
    if (in.IsConsole())
        err.WriteLine("vario-try: type a caption, then Enter; to end, Ctrl+Z (Windows) or Ctrl+D "
                      "(a terminal), then Enter. Rules: "
                      + (rulesShown.empty() ? std::string("none") : rulesShown));
    for (; in.NextLine(caption) && in.FirstLineNotUtf8() == 0;) {
        NoteLost(in.Lost(), "caption " + Number(++number));
        each(caption);
    }
    if (in.FirstLineNotUtf8() == 0)
        return kOk;
    char page[16];
    snprintf(page, sizeof page, "code page %u", inputCodePage);
    return Fail(kUsage,
                std::string("standard input is not ") + (inputCodePage == CP_UTF8 ? "UTF-8" : page)
                    + " (line " + Number(in.FirstLineNotUtf8())
                    + " is the first that is not): no caption from there on was converted; "
                      "--raw reads Shift-JIS bytes");
}

bool CEngineSession::ReadCaptions(std::vector<TextLine>& lines, bool oneNeeded)
{
    if (options.windows) {
        for (const std::wstring& caption : WindowCaptions()) {
            lines.emplace_back();
            AnsiFromWideExactly(caption, lines.back().text, lines.back().lost);
        }
        return true;
    }
    std::string error;
    if (!ReadTextLines(options.file, options.raw, lines, error)) {
        Fail(kFileUnreadable, "cannot read the captions file " + options.file + ": " + error);
        return false;
    }
    for (const TextLine& line : lines)
        if (!line.text.empty())
            return true;
    if (!oneNeeded) {
        err.WriteLine("vario-try: " + Message(IDS_NOTE_NO_CAPTIONS, {options.file}));
        return true;
    }
    Fail(kFileUnreadable, Message(IDS_ERR_NO_CAPTION_TO_RECORD, {options.file}));
    return false;
}

void CEngineSession::WarnAboutFile(const std::string& path, const std::vector<std::string>& lines)
{
    const std::string warning = FileWarning(lines);
    if (warning.empty())
        return;
    fileWarning = "vario-try: warning: the definition file " + path + " " + warning + " ("
        + Command() + " --explain " + path + " lists its lines)";
    if (IsUtf8Text(lines))
        fileWarning += "\nvario-try: " + ShiftJisAdvice(path, lines);
    err.WriteLine(fileWarning);
    const std::wstring lacking = IsUtf8Text(lines) ? FirstLacking(lines) : std::wstring();
    if (!lacking.empty())
        err.WriteWideLine(L"vario-try: " + lacking);
}

void CEngineSession::NoteLost(const std::wstring& lost, const std::string& where)
{
    if (lost.empty())
        return;
    if (lostIn++ > 0)
        return;
    lostNote = lost + L" " + CodePointName(lost) + L" in " + WideFromAnsi(where);
}

int CEngineSession::Finish(int status)
{
    if (lostIn > 0)
        err.WriteWideLine(L"vario-try: note: " + WideFromAnsi(Number(lostIn))
                          + (lostIn == 1 ? L" caption holds" : L" captions hold")
                          + L" a character that code page 932 (Shift-JIS), the engine's text, "
                            L"lacks; each became \"?\", as the engine would get it (the first: "
                          + lostNote + L")");
    if (fileWarning.empty())
        return status;
    if (converted > kShortRun)
        err.WriteLine(fileWarning);
    return status == kOk ? kUsage : status;
}
