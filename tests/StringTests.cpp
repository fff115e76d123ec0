// StringTests.cpp - CQorString: capacities, copies and multibyte searches.
#include "../qor/QorString.h"
#include <gtest/gtest.h>

namespace {

TEST(StringSearch, ZeTrailByteIsNoBracket)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs code page 932, have " << GetACP();
    const CQorString ze("\x83\x5B[", 0);
    EXPECT_EQ(2, ze.Find('[', 0));
}

} // namespace
