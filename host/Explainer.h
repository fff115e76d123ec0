// Explainer.h - a definition file's lines as the engine reads them, with
// warnings about the mistakes that make rules fail.
#pragma once
#include "Console.h"
#include <map>
#include <string>
#include <vector>

// Lists every line of the file as the engine takes it, with bytes that do
// not show on a screen named in braces, and warns about the usual mistakes.
// Returns the number of warnings, or -1 when the file cannot be read
// (error then says why).
int ExplainDefinitionFile(const std::string& path, COutput& out, std::string& error);

// What --explain warns about the file of these lines as a whole, said in
// one phrase ("is UTF-8 text, not Shift-JIS, and holds no rules"); empty
// when nothing.
std::string FileWarning(const std::vector<std::string>& lines);

// Whether the file of these lines is UTF-8 text that is not ASCII, which
// the engine misreads as Shift-JIS.
bool IsUtf8Text(const std::vector<std::string>& lines);

// The first warning --explain gives about each line of the file of these
// lines that it warns about, by line number.
std::map<int, std::string> LineWarnings(const std::vector<std::string>& lines);
