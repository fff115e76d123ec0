// RuleIndexTests.cpp - a load that runs out of memory while indexing keeps
// no rules. What the index converts is compared with a model of the engine
// in module/DifferentialTests.cpp.
#include "../../engine/RuleTable.h"
#include "../../qor/QorException.h"
#include "FaultInjection.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

// Every allocation of a load of an indexed table fails in turn, until the
// load meets no failure.
TEST(RuleIndex, LoadThatRunsOutOfMemoryKeepsNoRules)
{
    fault::InstallHere();
    std::string file;
    for (int i = 0; i < 20; ++i)
        file += "k" + std::to_string(i) + ",v\n";
    const std::string path = WriteScratchFile("index-faults.txt", file);
    std::optional<CRuleTable> table;
    BOOL loaded = FALSE;
    const int failures = fault::Sweep([&](int) { table.emplace(); },
                                      [&] {
                                          loaded = FALSE;
                                          try {
                                              loaded = table->Load(path.c_str());
                                          } catch (CQorException*) {
                                          }
                                      },
                                      [&](int n) {
                                          char converted[16];
                                          table->Convert("k3 k7", converted, sizeof converted);
                                          if (n == 0) {
                                              EXPECT_TRUE(loaded);
                                              EXPECT_STREQ("v v", converted);
                                          } else {
                                              EXPECT_FALSE(loaded) << "the load succeeded";
                                              EXPECT_EQ(0u, table->Rules().GetCount());
                                              EXPECT_STREQ("k3 k7", converted);
                                          }
                                          table.reset();
                                      });
    EXPECT_GT(failures, 60) << "20 rules of three blocks each, their table and their index";
}

} // namespace
