// EngineSession.h - one run of the engine module, as the host application
// runs it, for whichever mode runs it.
//
// The session loads the engine by its file name, checks its interface
// version and starts it on its definition file (a try's own registry view
// unless --remember is given), converts captions one by one, says what is
// wrong with the definition file as a whole, tallies the captions and the
// characters engine text lacks, and gives the run's exit status at the end.
#pragma once
#include "CaptionOutput.h"
#include "Options.h"
#include "TextFile.h"
#include "TracedRules.h"
#include "EngineModule.h"
#include "Setting.h"
#include <functional>

// What a mode makes of a definition file's rules, read as --trace reads
// them, with its lines and the engine's conversion: an exit status.
using RulesReport = std::function<int(
    const CTracedRules& rules, const std::vector<std::string>& lines, const Converter& convert)>;

class CEngineSession {
public:
    // Runs as options say, printing to out and err; standard input is read
    // in inputCodePage (unless options.raw).
    CEngineSession(const Options& options, COutput& out, COutput& err, UINT inputCodePage);

    // Standard output and standard error.
    COutput& Out() { return out; }
    COutput& Err() { return err; }
    // Says "vario-try: message" on standard error; returns status.
    int Fail(int status, const std::string& message);
    // kOk, or kUsage, said, when the dialogs or the windows' captions asked
    // for need a display there is not.
    int CheckDisplay();

    // Loads the engine, checks it and starts it on its definition file,
    // titling output; kOk, or the status of what failed, said.
    int Start(CCaptionOutput& output);
    // The converted caption, asked for into a buffer that grows until the
    // result fits; false when it cannot be had whole (result is then what
    // the engine gave, or the caption when it gave nothing).
    bool Convert(const std::string& caption, std::string& result);
    // Opens the dialogs asked for, then stops the engine.
    void ShowDialogsAndStop();
    // Starts the engine on --def's file, reads that file's rules as --trace
    // reads them and returns report's status (files says on standard error
    // what is reported); stops the engine after, and returns Finish's
    // status. The status of a start that fails, or kNotWhole when memory
    // runs out.
    int RunOnRules(const std::string& files, const RulesReport& report);

    // Calls each with each caption of the command line or the windows, or
    // else of standard input (not read when only a dialog was asked for),
    // each character engine text lacks noted. kUsage, said, when standard
    // input was not text in its code page outside raw mode: its lines from
    // the first that is not are not taken, as their text is lost.
    int ForEachCaption(const std::function<void(const std::string& caption)>& each);
    // The lines of the captions file, or the windows' captions with
    // --windows; false, said, when the file cannot be read. A file of no
    // caption is noted, or refused, said, when oneNeeded.
    bool ReadCaptions(std::vector<TextLine>& lines, bool oneNeeded = false);
    // Counts a caption converted by the rules one by one, not the engine.
    void CountConverted() { ++converted; }

    // Says on standard error what --explain would warn about the file as a
    // whole, with the command that converts a UTF-8 file, and keeps it for
    // Finish; the run goes on.
    void WarnAboutFile(const std::string& path, const std::vector<std::string>& lines);
    // Counts a caption with a character engine text lacks (where names it),
    // for the one note Finish gives.
    void NoteLost(const std::wstring& lost, const std::string& where);
    // The run's status, after the note about lost characters and the
    // warning about the definition file said again when many captions came
    // after it: a warning makes 0 a 1.
    int Finish(int status);

private:
    // Loads the engine and checks its interface version; kOk and its name
    // and version, or kEngineUnusable, said.
    int Load(std::string& name);
    // Says why a definition file could not be loaded; kDefinitionFailed.
    int DefinitionFailed(const std::string& path, const std::string& error);

    const Options& options;
    COutput& out;
    COutput& err;
    UINT inputCodePage;
    CTrialView view; // goes after the engine: the engine writes into it at its exit
    CEngineModule engine;
    std::string fileWarning; // what WarnAboutFile said, or empty
    int converted = 0;       // the captions converted so far
    std::string rulesShown;  // the definition file the engine started on, as typed
    int lostIn = 0;          // captions with a character engine text lacks
    std::wstring lostNote;   // the first such character and where it was
};
