// ConvEngine.h - the Vario conversion engine.
//
// CConvEngine holds the definition file path and the rule table read from
// that file, and converts captions with the rules in file order. Loading and
// conversion live in ConvEngine.cpp; remembering the path in the registry
// and the About and Settings dialogs in VarioConv.cpp.
#pragma once
#include "RuleIndex.h"
#include "../qor/QorColl.h"
#include "../qor/QorString.h"
#include <windows.h>

class CConvRule {
public:
    // The rule of a rule line: the text before the comma at offset comma is
    // its source, the rest its replacement, each in a buffer of its size.
    CConvRule(const char* line, int comma);

    CQorString source;
    CQorString replacement;
};

class CConvEngine {
public:
    CConvEngine();
    virtual ~CConvEngine();
    CConvEngine(const CConvEngine&) = delete;
    CConvEngine& operator=(const CConvEngine&) = delete;

    BOOL LoadDefinitionFile(const char* path);
    void ClearRules();

    // Applies the rules to the caption in table order and copies the result
    // into buffer, cut to size - 1 bytes (size > 0); TRUE. Throws the memory
    // exception with buffer untouched.
    BOOL Convert(const char* caption, char* buffer, int size);
    // The text with every occurrence of source replaced, as one rule does it
    // inside Convert; an empty source is found nowhere. Throws the memory
    // exception.
    CQorString ReplaceAll(const CQorString& text, const char* source, const char* replacement);

    BOOL Init();
    void Exit();

    void OnAbout(HWND parent);
    void OnSetting(HWND parent);

    CQorString definitionFile;
    CQorPtrArray rules; // CConvRule*, in file order; owned here
    CRuleIndex index;   // follows rules: built by each load, emptied with it
    // Set until Init has read the stored value, and while it could not be
    // read, for want of memory or because it is not a string: Exit then
    // leaves the value alone instead of overwriting it with a path the
    // engine never had, until the user chooses a file in Settings.
    BOOL keepStoredPath;

private:
    // Stores the rule of one line of a load; FALSE when it cannot be stored.
    // Only a load calls it: the load indexes what it stored.
    BOOL ParseLine(CQorString& line);
    // Builds the index of the rules stored; FALSE when memory runs out.
    BOOL IndexRules();
};
