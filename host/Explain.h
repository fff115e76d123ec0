// Explain.h - a definition file's rules as the engine reads them.
#pragma once
#include "HostText.h"
#include "../engine/DefinitionFile.h"

// Lists every line of the file as the engine takes it, with bytes that do
// not show on a screen named in braces, and warns about the usual mistakes.
// Returns the number of warnings, or -1 when the file cannot be read
// (error then says why).
int ExplainDefinitionFile(const std::string& path, COutput& out, std::string& error);

// Text with tabs, CRs, other control bytes, blanks at its end, a leading
// byte-order mark and bytes that are not whole characters named in braces.
std::string Visible(const std::string& text);

// Reads the file whole with the engine's own reader. False when it cannot;
// error then says why.
bool ReadDefinitionText(const std::string& path, CDefinitionText& text, std::string& error);
