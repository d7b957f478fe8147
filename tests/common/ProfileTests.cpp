// Profile entries through the real platform functions.
#include "Ini.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Profile, AbsentEntriesGiveTheDefaultUnchanged)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"p.sds";
    EXPECT_EQ(ReadIniValue(L"MAIN", L"X", L"", file), L"");
    EXPECT_EQ(ReadIniValue(L"MAIN", L"X", L"0.34", file), L"0.34");
    WriteIniValue(L"MAIN", L"Y", L"1", file);
    EXPECT_EQ(ReadIniValue(L"MAIN", L"X", L" keep", file), L" keep");
    EXPECT_EQ(ReadIniValue(L"OTHER", L"Y", L"d", file), L"d");
    EXPECT_EQ(ReadIniValue(L"main", L"y", L"", file), L"1") << "names match without regard to case";
}

TEST(Profile, EmptyValueRemovesTheEntry)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"p.sds";
    ASSERT_TRUE(WriteIniValue(L"PEX", L"TITLE", L"GAME", file));
    ASSERT_TRUE(WriteIniValue(L"PEX", L"ICON", L".\\a.pid", file));
    ASSERT_TRUE(WriteIniValue(L"PEX", L"TITLE", L"", file));
    EXPECT_EQ(ReadIniValue(L"PEX", L"TITLE", L"default", file), L"default");
    const std::string bytes = ts::ReadBytes(file);
    EXPECT_EQ(bytes.find("TITLE"), std::string::npos);
    EXPECT_NE(bytes.find("ICON=.\\a.pid"), std::string::npos);
}

TEST(Profile, LongValuesAreReadWhole)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"p.sds";
    for (size_t length : {254u, 255u, 256u, 300u, 2000u, 30000u}) {
        std::wstring value;
        for (size_t i = 0; i < length; ++i) value += static_cast<wchar_t>(L'a' + i % 26);
        ASSERT_TRUE(WriteIniValue(L"S", L"K", value, file));
        const std::wstring back = ReadIniValue(L"S", L"K", L"", file);
        EXPECT_EQ(back.size(), length);
        EXPECT_TRUE(back == value) << length;
    }
    // 200 Japanese characters are 400 bytes in the file.
    const std::wstring japanese(200, L'漢');
    ASSERT_TRUE(WriteIniValue(L"S", L"J", japanese, file));
    EXPECT_EQ(ReadIniValue(L"S", L"J", L"", file), japanese);
}

TEST(Profile, JapaneseTextIsStoredInCodePage932)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"ゲーム.sds";
    ASSERT_TRUE(WriteIniValue(L"MAIN", L"PROJECT-NAME", L"表示テスト", file));
    EXPECT_EQ(ReadIniValue(L"MAIN", L"PROJECT-NAME", L"", file), L"表示テスト");
    const std::string bytes = ts::ReadBytes(file);
    EXPECT_NE(bytes.find(ts::ToCp932(L"PROJECT-NAME=表示テスト")), std::string::npos);
    // "表" ends in the byte of a backslash; it must survive as a character.
    EXPECT_EQ(ts::ToCp932(L"表"), std::string("\x95\x5c"));
}

TEST(Profile, CharactersTheCodePageLacksBecomeTheSubstitute)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"p.sds";
    ASSERT_TRUE(WriteIniValue(L"MAIN", L"PROJECT-NAME", L"a\u00e9\u0416b", file));
    const std::wstring back = ReadIniValue(L"MAIN", L"PROJECT-NAME", L"", file);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back.front(), L'a');
    EXPECT_EQ(back.back(), L'b');
    EXPECT_NE(back, L"a\u00e9\u0416b");
}

TEST(Profile, OtherLinesOfTheFileStay)
{
    ts::TempDir dir;
    const std::wstring file = dir / L"p.sds";
    ts::WriteBytes(file, "[HOST]\r\nKEEP=yes\r\n; a comment\r\n[PEX]\r\nTITLE=old\r\n");
    ASSERT_TRUE(WriteIniValue(L"PEX", L"TITLE", L"new", file));
    EXPECT_EQ(ts::ReadBytes(file), "[HOST]\r\nKEEP=yes\r\n; a comment\r\n[PEX]\r\nTITLE=new\r\n");
}

}  // namespace
