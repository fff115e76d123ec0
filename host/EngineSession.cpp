// EngineSession.cpp - one run of the engine module.
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Explainer.h"
#include "HostEnvironment.h"
#include "Messages.h"
#include "RuleText.h"
#include "WhyText.h"
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
    return Message(IDS_SAVE_AS_SJIS, {file, copy});
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
        return Fail(kUsage, Message(IDS_ERR_DIALOG_NEEDS_DISPLAY));
    if (options.windows && !HaveDisplay())
        return Fail(kUsage, Message(IDS_ERR_WINDOWS_NEEDS_DISPLAY));
    return kOk;
}

int CEngineSession::Load(std::string& name)
{
    const std::string path = FullPath(options.engine.empty() ? DefaultEnginePath()
                                                             : options.engine);
    const std::string shown = options.engine.empty() ? path : options.engine;
    CEngineLoadFailure why;
    if (!engine.Load(path, why))
        return Fail(kEngineUnusable,
                    Message(IDS_ERR_CANNOT_LOAD_ENGINE, {shown, LoadWhyText(why)}));
    const DWORD version = engine.GetAPIVersion();
    if (version != kVarioApiVersion) {
        char its[16];
        char ours[16];
        snprintf(its, sizeof its, "0x%08lX", version);
        snprintf(ours, sizeof ours, "0x%08lX", kVarioApiVersion);
        return Fail(kEngineUnusable, Message(IDS_ERR_API_VERSION, {shown, its, ours}));
    }
    name = EngineText(engine.GetEngineDescription) + " " + EngineText(engine.GetEngineVersion);
    return kOk;
}

int CEngineSession::DefinitionFailed(const std::string& path, const std::string& error)
{
    const std::string hint = options.useDefinitionFile ? "" : Message(IDS_HINT_CHOSEN_EARLIER);
    return Fail(kDefinitionFailed,
                (error.empty() ? Message(IDS_ERR_CANNOT_LOAD_DEF, {path})
                               : Message(IDS_ERR_CANNOT_LOAD_DEF_WHY, {path, error}))
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
                        Message(IDS_ERR_CANNOT_STORE_PATH, {VARIO_SETTINGS_KEY}));
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
    CTracedRules rules;
    std::vector<std::string> lines;
    std::string error;
    status = QorCatchAll(
        [&] {
            return rules.Read(path, lines, error)
                ? report(rules, lines, convert)
                : Fail(kFileUnreadable, Message(IDS_ERR_CANNOT_READ_DEF, {rulesShown, error}));
        },
        [this](const CQorException&) { return Fail(kNotWhole, Message(IDS_OUT_OF_MEMORY)); });
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
            NoteLost(lost, Message(IDS_AT_CAPTION, {Number(++number)}));
            each(caption);
        }
        return kOk;
    }
    if (options.about || options.settings)
        return kOk;
    CInput in(options.raw, inputCodePage);
    // A console opened by a double click shows nothing else to start with.
    if (in.IsConsole())
        err.WriteLine("vario-try: "
                      + Message(UnderWine() ? IDS_PROMPT_TERMINAL : IDS_PROMPT_CONSOLE,
                                {rulesShown.empty() ? Message(IDS_PROMPT_NO_RULES) : rulesShown}));
    for (; in.NextLine(caption) && in.FirstLineNotUtf8() == 0;) {
        NoteLost(in.Lost(), Message(IDS_AT_CAPTION, {Number(++number)}));
        each(caption);
    }
    if (in.FirstLineNotUtf8() == 0)
        return kOk;
    return Fail(kUsage,
                Message(IDS_ERR_INPUT_NOT_TEXT,
                        {inputCodePage == CP_UTF8
                             ? std::string("UTF-8")
                             : Message(IDS_CODE_PAGE, {Number(static_cast<int>(inputCodePage))}),
                         Number(in.FirstLineNotUtf8())}));
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
        Fail(kFileUnreadable, Message(IDS_ERR_CANNOT_READ_CAPTIONS, {options.file, error}));
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
    fileWarning = "vario-try: "
        + Message(IDS_WARN_DEF_FILE, {path, warning, Command() + " --explain " + path});
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
    lostNote = WideMessage(IDS_LOST_AT, {lost, CodePointName(lost), WideFromAnsi(where)});
}

int CEngineSession::Finish(int status)
{
    if (lostIn > 0)
        err.WriteWideLine(L"vario-try: "
                          + WideMessage(lostIn == 1 ? IDS_NOTE_LOST_ONE : IDS_NOTE_LOST_MANY,
                                        {WideFromAnsi(Number(lostIn)), lostNote}));
    if (fileWarning.empty())
        return status;
    if (converted > kShortRun)
        err.WriteLine(fileWarning);
    return status == kOk ? kUsage : status;
}
