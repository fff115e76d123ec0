// ReplaceAllTests.cpp - ReplaceAll, applied rule by rule in table order,
// gives what Convert gives: what a trace of the rules shows is what they do.
#include "../../engine/ConvEngine.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Traced(CConvEngine& engine, const std::string& caption)
{
    CQorString text(caption.c_str(), 0);
    for (int i = 0; i < static_cast<int>(engine.rules.GetCount()); ++i) {
        const CConvRule* rule = static_cast<const CConvRule*>(engine.rules.GetAtIndex(i));
        text.Assign(engine.ReplaceAll(text, rule->source.data, rule->replacement.data));
    }
    return text.data;
}

TEST(ReplaceAll, RuleByRuleGivesWhatConvertGives)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs code page 932, have " << GetACP();
    // A small table, searched rule by rule, and one large enough to be
    // indexed, where "cd" and "ef" arise only from earlier replacements.
    std::string indexed = "a,c\nb,d\n,x\nx,\n\x83,y\ncd,ef\nf,\x95\x5C\n\x95\x5C,ok\n";
    for (int i = 0; i < 16; ++i)
        indexed += "w" + std::to_string(i) + ",W\n";
    const std::string files[] = {"aa,b\nb,\x83\x5C\n\\,/\n", indexed};
    const std::string captions[] = {"", "aaab", "ab\\\x83\x5C\\", "xab fab", "\x83\x5C\x83",
                                    "w1 w12 aab"};
    for (const std::string& file : files) {
        CConvEngine engine;
        ASSERT_TRUE(engine.LoadDefinitionFile(WriteScratchFile("trace.txt", file).c_str()));
        for (const std::string& caption : captions) {
            char converted[64];
            ASSERT_TRUE(engine.Convert(caption.c_str(), converted, sizeof converted));
            EXPECT_EQ(Escaped(converted), Escaped(Traced(engine, caption)))
                << "caption " << Escaped(caption) << ", rules " << Escaped(file);
        }
    }
}

} // namespace
