// HostMessageTests.cpp - vario-try's messages in two languages, from this
// program's copy of its string tables.
#include "../../host/HostText.h"
#include "../../host/Messages.h"
#include "../../host/WhyText.h"
#include "ErrorText.h"
#include "HeapCheck.h"
#include "TestSupport.h"
#include "../../res/Settings.h"
#include <gtest/gtest.h>
#include <set>
#include <stdlib.h>

namespace {

const Language kBoth[] = {Language::kEnglish, Language::kJapanese};

// The arguments a message names: "%1", "%3".
std::set<std::wstring> Arguments(const std::wstring& text)
{
    std::set<std::wstring> named;
    for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 1))
        if (at + 1 < text.size() && text[at + 1] >= L'1' && text[at + 1] <= L'9')
            named.insert(text.substr(at, 2));
    return named;
}

// Whether code page 932, the engine's and the console's, holds every character.
bool InCodePage932(const std::wstring& text)
{
    BOOL lost = FALSE;
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                        nullptr, 0, nullptr, &lost);
    return !lost;
}

// Each message is in both tables, names the same arguments in both, and
// loses no character at a console of code page 932.
TEST(HostMessages, EveryMessageInBothLanguages)
{
    int messages = 0;
    for (UINT id = 1000; id < 2000; ++id) {
        const std::wstring english = MessageIn(Language::kEnglish, id);
        const std::wstring japanese = MessageIn(Language::kJapanese, id);
        messages += !english.empty();
        EXPECT_EQ(english.empty(), japanese.empty()) << "message " << id << " is in one table only";
        EXPECT_EQ(Arguments(english), Arguments(japanese)) << "message " << id;
        EXPECT_TRUE(InCodePage932(english) && InCodePage932(japanese)) << "message " << id;
    }
    EXPECT_GE(messages, 100) << "the tables are not in this program";
}

// The help and the line a console opened by a double click shows fit
// 80 columns; in code page 932 a character takes as many columns as bytes.
TEST(HostMessages, HelpAndPromptFitTheConsole)
{
    const UINT help[] = {IDS_HELP_USAGE,       IDS_HELP_OPTIONS, IDS_HELP_LANG,
                         IDS_HELP_OPTIONS_END, IDS_HELP_RULES,   IDS_HELP_EXIT};
    for (Language language : kBoth) {
        SetMessageLanguage(language);
        std::string lines = "vario-try: "
            + Message(IDS_PROMPT_CONSOLE, {Message(IDS_PROMPT_NO_RULES)})
            + "\nvario-try: " + Message(IDS_PROMPT_TERMINAL, {Message(IDS_PROMPT_NO_RULES)}) + "\n";
        for (UINT id : help)
            lines += Message(id, {VARIO_DEFFILE_VALUE, VARIO_SETTINGS_KEY});
        for (size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
            EXPECT_LT(end - at, 80u) << Escaped(lines.substr(at, end - at));
    }
}

// A message the chosen language lacks comes in English, whether its block
// of 16 is in that table or not; one neither has is empty.
TEST(HostMessages, MissingInJapaneseComesInEnglish)
{
    const struct {
        UINT id;
        Language language;
        const wchar_t* expected;
    } cases[] = {
        {9984, Language::kJapanese, L"両方にある"},
        {9984, Language::kEnglish, L"in both"},
        {9985, Language::kJapanese, L"in English only"},
        {10000, Language::kJapanese, L"in English only, in a block of its own"},
        {10001, Language::kJapanese, L""},
        {10001, Language::kEnglish, L""},
        {IDS_PROMPT_NO_RULES, Language::kJapanese, L"なし"},
        {IDS_PROMPT_NO_RULES, Language::kEnglish, L"none"},
    };
    for (const auto& c : cases) {
        SetMessageLanguage(c.language);
        EXPECT_EQ(c.expected, WideMessage(c.id)) << "message " << c.id;
    }
}

// Arguments go in as they are, never read for % themselves; a % that names
// no argument stays. Engine text goes in byte for byte, a byte that is no
// character too.
TEST(HostMessages, ArgumentsGoInAsTheyAre)
{
    SetMessageLanguage(Language::kEnglish);
    EXPECT_EQ(L"b%1 → %2a (100%), %3, %0, %%2a, %", WideMessage(9986, {L"%2a", L"b%1"}));
    EXPECT_EQ(L"%2 → %1 (100%), %3, %0, %%1, %", WideMessage(9986));
    EXPECT_EQ(Escaped(Sjis(L"無題 → ") + "\x83%1 (100%), %3, %0, %\x83%1, %"),
              Escaped(Message(9986, {"\x83%1", Sjis(L"無題")})));
    SetMessageLanguage(Language::kJapanese);
    EXPECT_EQ(Escaped(Sjis(L"%2 を 無題 に (100%)、%3、%0、%%2、%")),
              Escaped(Message(9986, {"%2", Sjis(L"無題")})));
}

// The client's reasons, which it gives in English, come in words of the
// chosen language, for every Windows error it names and any other; one
// the host does not know stays as it is.
TEST(HostMessages, TheClientsReasonsInTheChosenLanguage)
{
    const DWORD errors[] = {ERROR_FILE_NOT_FOUND,
                            ERROR_MOD_NOT_FOUND,
                            ERROR_PATH_NOT_FOUND,
                            ERROR_ACCESS_DENIED,
                            ERROR_SHARING_VIOLATION,
                            ERROR_FILENAME_EXCED_RANGE,
                            ERROR_BAD_EXE_FORMAT,
                            ERROR_FILE_TOO_LARGE,
                            ERROR_NOT_ENOUGH_MEMORY,
                            ERROR_HANDLE_EOF,
                            1234};
    for (Language language : kBoth) {
        SetMessageLanguage(language);
        for (DWORD error : errors) {
            EXPECT_EQ(WhyText(error), LoadWhyText({error, false, ""})) << error;
            EXPECT_EQ(language == Language::kEnglish, WhyText(error) == ErrorText(error)) << error;
        }
    }
    SetMessageLanguage(Language::kJapanese);
    const struct {
        CEngineLoadFailure why;
        const char* english; // what the client's tests and bench print
        const wchar_t* japanese;
    } cases[] = {
        {{1234, false, ""}, "Windows error 1234", L"Windows のエラー 1234"},
        {{ERROR_MOD_NOT_FOUND, true, ""},
         "a DLL that it needs is missing",
         L"必要な DLL が見つかりません"},
        {{0, false, "TFEOnAbout"},
         "it has no function TFEOnAbout: it is not a TitleForge engine",
         L"関数 TFEOnAbout がありません: TitleForge の変換エンジンではありません"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.english, c.why.Text());
        EXPECT_EQ(Escaped(Sjis(c.japanese)), Escaped(LoadWhyText(c.why))) << c.english;
    }
}

TEST(HostMessages, LanguageWords)
{
    const struct {
        const wchar_t* word;
        bool known;
        Language language;
    } cases[] = {
        {L"ja", true, Language::kJapanese}, {L"en", true, Language::kEnglish},
        {L"JA", false, Language::kEnglish}, {L"jp", false, Language::kEnglish},
        {L"", false, Language::kEnglish},   {L"ja ", false, Language::kEnglish},
    };
    for (const auto& c : cases) {
        for (Language poison : kBoth) {
            Language language = poison;
            EXPECT_EQ(c.known, ParseLanguage(c.word, language)) << "\"" << Sjis(c.word) << "\"";
            EXPECT_EQ(c.known ? c.language : poison, language) << "\"" << Sjis(c.word) << "\"";
        }
    }
}

// Under Wine the locale of the run is the user's interface language; its
// console shows Japanese in a Japanese locale.
TEST(HostMessages, UserLanguageFollowsTheLocale)
{
    const char* locale = getenv("LC_ALL");
    const bool japanese = locale && std::string(locale).compare(0, 3, "ja_") == 0;
    EXPECT_EQ(japanese ? Language::kJapanese : Language::kEnglish, UserLanguage())
        << "LC_ALL=" << (locale ? locale : "");
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ValidateHeapsAfterEachTest();
    return RUN_ALL_TESTS();
}
