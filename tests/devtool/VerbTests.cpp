// The verb on the command line and the argument text it is taken from.
#include "Verbs.h"

#include <gtest/gtest.h>

namespace {

TEST(Verbs, WholeTextComparedAfterUpperCasing)
{
    for (const wchar_t* text : {L"createpex", L"CreatePex", L"CREATEPEX"})
        EXPECT_EQ(MatchVerb(text), Verb::CreatePex) << text;
    EXPECT_EQ(MatchVerb(L"filetrans"), Verb::FileTrans);
    EXPECT_EQ(MatchVerb(L"Info"), Verb::Info);
    EXPECT_EQ(MatchVerb(L"capture"), Verb::Capture);
    EXPECT_EQ(MatchVerb(L"run"), Verb::Run);
    for (const wchar_t* text : {L"", L"INFO ", L" INFO", L"INFO X", L"X", L"RUNX", L"ＩＮＦＯ", L"\"INFO\""})
        EXPECT_EQ(MatchVerb(text), Verb::Menu) << text;
}

TEST(Verbs, ArgumentTextFollowsTheProgramNameAndItsBlanks)
{
    EXPECT_EQ(ArgumentText(L"VORTALIS0.exe INFO"), L"INFO");
    EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\q\\VORTALIS0.exe\"  \tINFO "), L"INFO ");
    EXPECT_EQ(ArgumentText(L"\"C:\\a b\\VORTALIS0.exe\"INFO"), L"INFO");
    EXPECT_EQ(ArgumentText(L"VORTALIS0.exe INFO X"), L"INFO X");
    EXPECT_EQ(ArgumentText(L"VORTALIS0.exe"), L"");
    EXPECT_EQ(ArgumentText(L"\"C:\\a b\\VORTALIS0.exe\""), L"");
    EXPECT_EQ(ArgumentText(L"\"unterminated INFO"), L"");
    EXPECT_EQ(ArgumentText(L""), L"");
}

}  // namespace
