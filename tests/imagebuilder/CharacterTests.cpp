// Where a chunk of the tool's output may be cut without cutting a character.
#include "ConsoleTool.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(WholeCharacterLength, KeepsBackOnlyALeadByteWithoutItsTrailByte)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests run in code page 932";
    const std::string a = ts::ToCp932(L"あ");  // 0x82 0xA0
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(WholeCharacterLength(""), 0u);
    EXPECT_EQ(WholeCharacterLength("abc"), 3u);
    EXPECT_EQ(WholeCharacterLength(a), 2u);
    EXPECT_EQ(WholeCharacterLength(a.substr(0, 1)), 0u);
    EXPECT_EQ(WholeCharacterLength("x" + a + a.substr(0, 1)), 3u);
    // Half-width katakana are single bytes in the lead byte range's gap.
    EXPECT_EQ(WholeCharacterLength(ts::ToCp932(L"ｱｲｳ")), 3u);
}

TEST(WholeCharacterLength, ScansFromTheStartSoTrailBytesAreNotTakenForLeadBytes)
{
    // "ソ" is 0x83 0x5C and "表" 0x95 0x5C: trail bytes that are also ASCII; and
    // "＝" is 0x81 0x81, a trail byte that could itself be a lead byte.
    const std::string lead = ts::ToCp932(L"あ").substr(0, 1);
    for (const wchar_t* text : {L"ソ表", L"＝＝＝", L"x＝＝", L"漢字カナ"}) {
        const std::string bytes = ts::ToCp932(text);
        EXPECT_EQ(WholeCharacterLength(bytes), bytes.size()) << text;
        EXPECT_EQ(WholeCharacterLength(bytes + lead), bytes.size()) << text;
    }
    // The same byte last: a trail byte after its lead byte, or a lead byte alone.
    const std::string equals = ts::ToCp932(L"＝");
    EXPECT_EQ(WholeCharacterLength("ab" + equals), 4u);
    EXPECT_EQ(WholeCharacterLength("a" + equals.substr(1)), 1u);
}

}  // namespace
