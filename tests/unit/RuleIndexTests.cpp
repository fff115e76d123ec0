// RuleIndexTests.cpp - a load that runs out of memory while indexing keeps
// no rules. What the index converts is compared with a model of the engine
// in module/DifferentialTests.cpp.
#include "../../engine/VarioConv.h"
#include "../../qor/QorException.h"
#include "FaultInjection.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {

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
