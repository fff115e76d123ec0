// Messages.cpp - vario-try's messages in the user's language.
#include "Messages.h"
#include "HostText.h"

namespace {

LANGID LanguageId(Language language)
{
    return MAKELANGID(language == Language::kJapanese ? LANG_JAPANESE : LANG_ENGLISH,
                      SUBLANG_DEFAULT);
}

Language& Chosen()
{
    static Language chosen = UserLanguage();
    return chosen;
}

// The message in the chosen language, else in English; empty when neither
// table holds it.
std::wstring MessageText(UINT id)
{
    const std::wstring text = MessageIn(Chosen(), id);
    return text.empty() ? MessageIn(Language::kEnglish, id) : text;
}

// The text with each %1 ... %9 that names an argument replaced by it; the
// rest of the text goes through convert.
template <class String, class Convert>
String Filled(const std::wstring& text, std::initializer_list<String> args, Convert convert)
{
    String filled;
    size_t copied = 0; // the text before it is in filled
    for (size_t at = 0; at + 1 < text.size(); ++at) {
        const wchar_t digit = text[at + 1];
        if (text[at] != L'%' || digit < L'1' || digit > L'9'
            || static_cast<size_t>(digit - L'1') >= args.size())
            continue;
        filled += convert(text.substr(copied, at - copied));
        filled += args.begin()[digit - L'1'];
        copied = at + 2;
        ++at;
    }
    return filled + convert(text.substr(copied));
}

} // namespace

Language UserLanguage()
{
    const UINT page = GetConsoleOutputCP(); // 0 without a console
    const bool shown = page == 0 || page == 932 || page == CP_UTF8;
    return shown && PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::kJapanese
                                                                               : Language::kEnglish;
}

bool ParseLanguage(const std::wstring& word, Language& language)
{
    if (word != L"ja" && word != L"en")
        return false;
    language = word == L"ja" ? Language::kJapanese : Language::kEnglish;
    return true;
}

void SetMessageLanguage(Language language)
{
    Chosen() = language;
}

// A string table (resource type 6, RT_STRING) is kept in blocks of 16
// strings, each a length in words and that many words.
std::wstring MessageIn(Language language, UINT id)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC block = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1),
                                        LanguageId(language));
    const HGLOBAL loaded = block ? LoadResource(module, block) : nullptr;
    const WCHAR* at = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!at)
        return std::wstring();
    const WCHAR* const end = at + SizeofResource(module, block) / sizeof(WCHAR);
    for (UINT i = 0; at < end; ++i) {
        const size_t length = *at++;
        if (length > static_cast<size_t>(end - at))
            break;
        if (i == id % 16)
            return std::wstring(at, length);
        at += length;
    }
    return std::wstring();
}

std::wstring WideMessage(UINT id, std::initializer_list<std::wstring> args)
{
    return Filled(MessageText(id), args, [](const std::wstring& text) { return text; });
}

std::string Message(UINT id, std::initializer_list<std::string> args)
{
    return Filled(MessageText(id), args, AnsiFromWide);
}

std::string Count(size_t n, UINT oneId, UINT manyId)
{
    return Message(n == 1 ? oneId : manyId, {Grouped(static_cast<int>(n))});
}
