// Messages.h - vario-try's messages in the user's language.
//
// The texts are string tables of the program's resources, one a language
// (Messages.en.rc, Messages.ja.rc), named in MessageIds.h. English is the
// language of last resort: a message the chosen language lacks is said in
// English.
#pragma once
#include "MessageIds.h"
#include <windows.h>
#include <initializer_list>
#include <string>

enum class Language {
    kEnglish,
    kJapanese
};

// Japanese when the user's interface language is Japanese and the console,
// if the program has one, shows it (code page 932 or UTF-8), as the
// system's own console programs choose; else English.
Language UserLanguage();
// The language a --lang word names, "ja" or "en"; false for another word.
bool ParseLanguage(const std::wstring& word, Language& language);
// The language of the messages from now on; until it is set, UserLanguage().
void SetMessageLanguage(Language language);

// The message as the table of that language holds it; empty when the table
// lacks it.
std::wstring MessageIn(Language language, UINT id);
// The message with each of %1 ... %9 replaced by that argument, in the
// chosen language or else in English. An argument goes in as it is: a %
// in it is text. A % that names no argument stays as it is.
std::wstring WideMessage(UINT id, std::initializer_list<std::wstring> args = {});
// The same as engine text (HostText.h); the arguments, engine text
// already, go in byte for byte.
std::string Message(UINT id, std::initializer_list<std::string> args = {});
// n grouped, in the message oneId when n is 1, else manyId: "1 rule",
// "1,203 captions".
std::string Count(size_t n, UINT oneId, UINT manyId);
