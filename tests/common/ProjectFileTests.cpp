// Numbers and stored paths in project files.
#include "ProjectFile.h"

#include <gtest/gtest.h>

namespace {

TEST(ProjectNumbers, ReadNumberTakesTheLeadingDecimal)
{
    EXPECT_DOUBLE_EQ(ReadNumber(L"0.34"), 0.34);
    EXPECT_EQ(ReadNumber(L"0.35"), 0.35) << "exactly the double nearest 0.35";
    EXPECT_DOUBLE_EQ(ReadNumber(L"  12abc"), 12);
    EXPECT_DOUBLE_EQ(ReadNumber(L"1 2\t3\n4"), 1234) << "blanks never end a number";
    EXPECT_DOUBLE_EQ(ReadNumber(L"-2.5"), -2.5);
    EXPECT_DOUBLE_EQ(ReadNumber(L".5"), 0.5);
    EXPECT_DOUBLE_EQ(ReadNumber(L"3,5"), 3) << "the decimal point is always \".\"";
    EXPECT_DOUBLE_EQ(ReadNumber(L"1e3"), 1000);
    EXPECT_DOUBLE_EQ(ReadNumber(L"2e"), 2);
    EXPECT_DOUBLE_EQ(ReadNumber(L"abc"), 0);
    EXPECT_DOUBLE_EQ(ReadNumber(L""), 0);
    EXPECT_DOUBLE_EQ(ReadNumber(L"-"), 0);
    EXPECT_DOUBLE_EQ(ReadNumber(L"１２"), 0) << "full-width digits are no number";
    EXPECT_LT(ReadNumber(L"0.34999999"), 0.35);
}

TEST(ProjectNumbers, CountsRoundHalfToEvenAndMustFitSixteenBits)
{
    EXPECT_EQ(ReadCount(L"2.5"), 2);
    EXPECT_EQ(ReadCount(L"3.5"), 4);
    EXPECT_EQ(ReadCount(L"-2.5"), -2);
    EXPECT_EQ(ReadCount(L"2.51"), 3);
    EXPECT_EQ(ReadCount(L"text"), 0);
    EXPECT_EQ(ReadCount(L"32767"), 32767);
    EXPECT_EQ(ReadCount(L"32767.4"), 32767);
    EXPECT_EQ(ReadCount(L"-32768"), -32768);
    EXPECT_EQ(ReadCount(L"-32768.5"), -32768);
    EXPECT_EQ(ReadCount(L"32767.5"), std::nullopt);
    EXPECT_EQ(ReadCount(L"32768"), std::nullopt);
    EXPECT_EQ(ReadCount(L"-32769"), std::nullopt);
    EXPECT_EQ(ReadCount(L"1e400"), std::nullopt);
    EXPECT_EQ(ReadCount(L"1e-400"), 0);
    EXPECT_EQ(ReadCount(L"99999999999999999999"), std::nullopt);
}

TEST(ProjectNumbers, NumbersAreWrittenAsPlainDecimal)
{
    EXPECT_EQ(FormatNumber(0), L"0");
    EXPECT_EQ(FormatNumber(12), L"12");
    EXPECT_EQ(FormatNumber(-32768), L"-32768");
}

TEST(ProjectPaths, StoredPathsAreRelativeToTheProjectFolder)
{
    EXPECT_EQ(MakeStoredPath(L"C:\\work\\main.c", L"C:\\work"), L".\\main.c");
    EXPECT_EQ(MakeStoredPath(L"C:\\lib\\util.c", L"C:\\work"), L"..\\lib\\util.c");
    EXPECT_EQ(MakeStoredPath(L"D:\\lib\\util.c", L"C:\\work"), L"");
    EXPECT_EQ(MakeStoredPath(L"main.c", L"C:\\work"), L"") << "a relative path has no stored form";
    EXPECT_EQ(ResolveStoredPath(L".\\game.srf", L"C:\\dev"), L"C:\\dev\\game.srf");
    EXPECT_EQ(ResolveStoredPath(L"..\\lib\\util.c", L"C:\\work"), L"C:\\lib\\util.c");
    EXPECT_EQ(ResolveStoredPath(MakeStoredPath(L"C:\\dev\\out\\g.pex", L"C:\\dev"), L"C:\\dev"),
              L"C:\\dev\\out\\g.pex");
}

}  // namespace
