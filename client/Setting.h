// Setting.h - the engine's remembered definition file in the registry, as
// the host application's engine reads it at start and writes it at exit,
// and the registry of a try's own that keeps the real value untouched.
#pragma once
#include <windows.h>
#include <string>

// The path the engine loads when it starts, whatever its length; empty when
// none is stored (or the value is not a string).
std::string StoredDefinitionFile();
// Stores path as the definition file's string value; false when it cannot.
bool StoreDefinitionFile(const std::string& path);

// A registry of a try's own. Open makes a volatile key for this process,
// HKEY_CURRENT_USER\Software\vario-try\<process id>, with the engine's
// settings key in it holding the tried path, and makes that key this
// process's HKEY_CURRENT_USER: the engine, started after Open, reads and
// writes the setting there only. The user's real value is never written, so
// a try that is killed at any point leaves it as it was. A killed try's
// view, being volatile, goes when the user's session ends (under Wine: when
// the wineserver stops), or at the next Open, which deletes the views of
// processes that no longer run. When the object goes, HKEY_CURRENT_USER is
// the real one again, a file chosen meanwhile in the Settings dialog is
// stored as the real value, and the view is deleted.
class CTrialView {
public:
    CTrialView() = default;
    ~CTrialView();
    CTrialView(const CTrialView&) = delete;
    CTrialView& operator=(const CTrialView&) = delete;

    // Makes the view with path stored in it and puts it in force; false
    // (with the real registry in force and nothing left behind) when it
    // cannot.
    bool Open(const std::string& path);

private:
    void Delete();

    std::string root; // the view's key under HKEY_CURRENT_USER; empty when none
    std::string tried;
};
