// RuleText.h - a definition file's lines and rules as the engine takes
// them, and their text as --explain and --trace show it.
#pragma once
#include <string>
#include <vector>

// The file's lines as the engine's own reader cuts them, as an editor
// counts them: the empty rest after the last line end is no line. False
// when the file cannot be read; error then says why, in words for the user.
bool ReadDefinitionLines(const std::string& path, std::vector<std::string>& lines,
                         std::string& error);

// The text after one rule, applied as the engine applies it inside a
// conversion. Throws the engine's memory exception.
std::string ApplyRule(const std::string& text, const std::string& source,
                      const std::string& replacement);

// Text with tabs, CRs, other control bytes, blanks at either end, a leading
// byte-order mark and bytes that are not whole characters named in braces.
std::string Visible(const std::string& text);
// The visible text in double quotes.
std::string Quoted(const std::string& text);
