// RuleIndexTests.cpp - the rule index seen from the engine: ReplaceAll,
// applied rule by rule in table order, gives what Convert gives through the
// index, and a load that runs out of memory while indexing keeps no rules.
#include "../../engine/VarioConv.h"
#include "../../qor/QorException.h"
#include "FaultInjection.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Traced(CConvEngine& engine, const std::string& caption)
{
    CQorString text(caption.c_str(), 0);
    for (int i = 0; i < static_cast<int>(engine.rules.Rules().GetCount()); ++i) {
        const CConvRule* rule = static_cast<const CConvRule*>(engine.rules.Rules().GetAtIndex(i));
        text.Assign(CRuleTable::ReplaceAll(text, rule->source.data, rule->replacement.data));
    }
    return text.data;
}

TEST(ReplaceAll, RuleByRuleGivesWhatConvertGives)
{
    SKIP_UNLESS_CODE_PAGE_932();
    // A small table, searched rule by rule, and one large enough to be
    // indexed, where "cd" and "ef" arise only from earlier replacements.
    std::string indexed = "a,c\nb,d\n,x\nx,\n\x83,y\ncd,ef\nf,\x95\x5C\n\x95\x5C,ok\n";
    for (int i = 0; i < 16; ++i)
        indexed += "w" + std::to_string(i) + ",W\n";
    const std::string files[] = {"aa,b\nb,\x83\x5C\n\\,/\n", indexed};
    const std::string captions[] = {"",        "aaab",         "ab\\\x83\x5C\\",
                                    "xab fab", "\x83\x5C\x83", "w1 w12 aab"};
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

// Every allocation of a load of an indexed table fails in turn, until the
// load meets no failure.
TEST(RuleIndex, LoadThatRunsOutOfMemoryKeepsNoRules)
{
    fault::Install(GetModuleHandleA(nullptr));
    // The runtime keeps what it sets up for the first exception it sees:
    // have that done before blocks are counted.
    try {
        fault::CFailAt fail(1);
        CQorString first(128);
    } catch (CQorException*) {
    }
    std::string file;
    for (int i = 0; i < 20; ++i)
        file += "k" + std::to_string(i) + ",v\n";
    const std::string path = WriteScratchFile("index-faults.txt", file);
    int failures = 0;
    for (int n = 1; n < 1000; ++n) {
        const long heap = fault::LiveHeapBlocks(), global = fault::LiveGlobalBlocks();
        {
            CConvEngine engine;
            BOOL loaded = FALSE;
            bool failed = false;
            {
                fault::CFailAt fail(n);
                try {
                    loaded = engine.LoadDefinitionFile(path.c_str());
                } catch (CQorException*) {
                }
                failed = fault::Failed();
            }
            char converted[16];
            engine.Convert("k3 k7", converted, sizeof converted);
            if (!failed) {
                EXPECT_TRUE(loaded);
                EXPECT_STREQ("v v", converted);
                break;
            }
            ++failures;
            EXPECT_FALSE(loaded) << "allocation " << n << " failed, yet the load succeeded";
            EXPECT_EQ(0u, engine.rules.Rules().GetCount()) << "allocation " << n << " failed";
            EXPECT_STREQ("k3 k7", converted) << "allocation " << n << " failed";
        }
        EXPECT_EQ(heap, fault::LiveHeapBlocks()) << "heap blocks leaked, failing " << n;
        EXPECT_EQ(global, fault::LiveGlobalBlocks()) << "global blocks leaked, failing " << n;
    }
    EXPECT_GT(failures, 80) << "20 rules of three blocks each, their table and their index";
}

} // namespace
