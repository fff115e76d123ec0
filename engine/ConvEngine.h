// ConvEngine.h - the engine: its definition file, remembered in the
// registry, and the rules in force.
#pragma once
#include "RememberedPath.h"
#include "TableInForce.h"
#include "../qor/QorLock.h"
#include "../qor/QorString.h"
#include <windows.h>

// The engine's whole state: the definition file and the rules read from it.
// Conversions may run on any thread at any time, also while another thread
// loads, starts or stops the engine: they read the table in force when they
// began. Init, Exit and the Settings flow take turns.
class CConvEngine {
public:
    // No file, no rules; the stored path is kept until Init reads it.
    CConvEngine();
    virtual ~CConvEngine();
    CConvEngine(const CConvEngine&) = delete;
    CConvEngine& operator=(const CConvEngine&) = delete;

    // Puts the rules of the file at path in force: TRUE, or FALSE with no
    // rules. Conversions keep the old rules until the new ones are whole.
    // Throws on no memory, with no rules.
    BOOL LoadDefinitionFile(const char* path);
    // Puts no rules in force; makes no allocation.
    void ClearRules();
    // The caption through the rules into buffer, cut to size - 1 bytes
    // (size > 0): TRUE, or FALSE when the caption cannot be read or the
    // buffer cannot be written. Throws on no memory, buffer untouched.
    BOOL Convert(const char* caption, char* buffer, int size) const;

    // Empties the table and loads the file the registry names: FALSE, after
    // a message box, when that file does not load. Throws on no memory.
    BOOL Init();
    // Stores the path in the registry, unless the stored value must be kept,
    // and empties the table; nothing when the key cannot be made.
    void Exit();

    // The About dialog, owned by parent. Throws on no memory.
    void OnAbout(HWND parent);
    // The Settings dialog, owned by parent; OK takes the path and loads its
    // file at once. Throws on no memory.
    void OnSetting(HWND parent);

private:
    CQorString definitionFile; // the path of the rules, as Init read it or the user chose it
    CTableInForce tables;
    // Taken by Init, Exit and the Settings flow while they change the path,
    // the table or what was seen of the stored value; never by a conversion.
    CQorLock lock;
    CRememberedPath remembered; // the registry's value, as this run saw it
};
