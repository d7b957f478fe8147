// The conversion through the real profile functions.
#include "Conversion.h"
#include "Ini.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::wstring Read(const std::wstring& file, const std::wstring& section, const std::wstring& key)
{
    return ReadIniValue(section, key, L"<absent>", file);
}

TEST(Conversion, OutputGoesBesideTheInput)
{
    EXPECT_EQ(OutputPathFor(L"C:\\work\\game.vtp"), L"C:\\work\\game.sds");
    EXPECT_EQ(OutputPathFor(L"C:\\work\\Game.VTP"), L"C:\\work\\Game.sds");
    EXPECT_EQ(OutputPathFor(L"C:\\my.dir\\game"), L"C:\\my.dir\\game.sds");
    EXPECT_EQ(OutputPathFor(L"C:\\work\\a.b.vtp"), L"C:\\work\\a.b.sds");
    EXPECT_EQ(OutputPathFor(L"game.vtp"), L"game.sds");
    EXPECT_TRUE(OutputIsInput(L"C:\\work\\game.sds"));
    EXPECT_TRUE(OutputIsInput(L"C:\\work\\game.SDS"));
    EXPECT_FALSE(OutputIsInput(L"C:\\work\\game.vtp"));
    EXPECT_FALSE(OutputIsInput(L"C:\\work.sds\\game"));
}

TEST(Conversion, ListsAndImagePathsBecomeRelativeEntries)
{
    ts::TempDir dir;
    const std::wstring work = dir / L"work";
    CreateDirectoryW(work.c_str(), nullptr);
    const std::wstring vtp = work + L"\\game.vtp";
    ts::WriteBytes(vtp, ts::ToCp932(
        L"[MAIN]\r\nPROJECT-NAME=ゲーム\r\nVER=0.34\r\n"
        L"[C]\r\nN=3\r\n1=" + work + L"\\main.c\r\n2=" + dir.path() + L"\\lib\\util.c\r\n3=Q:\\other\\x.c\r\n"
        L"[FILE]\r\nN=2\r\n1=" + work + L"\\表\\data.bin\r\n"
        L"[PEX]\r\nINPUT=" + work + L"\\main.srf\r\nOUTPUT=" + work + L"\\game.pex\r\n"));

    ASSERT_EQ(ConvertProject(vtp, work).outcome, ConversionResult::Done);
    const std::wstring sds = work + L"\\game.sds";
    EXPECT_EQ(Read(sds, L"MAIN", L"PROJECT-NAME"), L"ゲーム");
    EXPECT_EQ(Read(sds, L"MAIN", L"LANGFILE"), L"piece.slf");
    EXPECT_EQ(Read(sds, L"SOURCE", L"N"), L"3");
    EXPECT_EQ(Read(sds, L"SOURCE", L"1"), L".\\main.c");
    EXPECT_EQ(Read(sds, L"SOURCE", L"2"), L"..\\lib\\util.c");
    EXPECT_EQ(Read(sds, L"SOURCE", L"3"), L"<absent>") << "another drive has no relative form";
    EXPECT_EQ(Read(sds, L"OTHER", L"N"), L"2");
    EXPECT_EQ(Read(sds, L"OTHER", L"1"), L".\\表\\data.bin");
    EXPECT_EQ(Read(sds, L"OTHER", L"2"), L"<absent>") << "missing in the VTP file";
    EXPECT_EQ(Read(sds, L"PEX", L"INPUT"), L".\\main.srf");
    EXPECT_EQ(Read(sds, L"PEX", L"OUTPUT"), L".\\game.pex");
    EXPECT_EQ(Read(sds, L"PEX", L"ICON"), L"<absent>");
    EXPECT_EQ(Read(sds, L"PEX", L"TITLE"), L"<absent>");
    EXPECT_EQ(Read(sds, L"MAIN", L"VER"), L"<absent>");

    // A new file holds its sections in the order of the steps, in code page 932.
    const std::string bytes = ts::ReadBytes(sds);
    const size_t main = bytes.find("[MAIN]"), source = bytes.find("[SOURCE]"), other = bytes.find("[OTHER]"),
                 pex = bytes.find("[PEX]");
    EXPECT_EQ(main, 0u);
    EXPECT_LT(main, source);
    EXPECT_LT(source, other);
    EXPECT_LT(other, pex);
    EXPECT_LT(bytes.find("N=3"), bytes.find("1=.\\main.c"));
    EXPECT_NE(bytes.find(ts::ToCp932(L"PROJECT-NAME=ゲーム\r\n")), std::string::npos);
}

TEST(Conversion, CountsRoundHalfToEvenAndTextCountsNothing)
{
    ts::TempDir dir;
    const std::wstring vtp = dir / L"c.vtp";
    std::wstring entries;
    for (int i = 1; i <= 5; ++i) entries += std::to_wstring(i) + L"=" + dir.path() + L"\\s" + std::to_wstring(i) + L".c\r\n";
    for (auto [count, expected] : {std::pair{L"2.5", 2}, {L"3.5", 4}, {L"many", 0}, {L"", 0}}) {
        ts::WriteBytes(vtp, ts::ToCp932(L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=" + std::wstring(count) + L"\r\n" +
                                        entries + L"[FILE]\r\n"));
        const std::wstring sds = dir / L"c.sds";
        DeleteFileW(sds.c_str());
        ASSERT_EQ(ConvertProject(vtp, dir.path()).outcome, ConversionResult::Done);
        EXPECT_EQ(Read(sds, L"SOURCE", L"N"), std::to_wstring(expected)) << count;
        EXPECT_EQ(Read(sds, L"OTHER", L"N"), L"0");
        for (int i = 1; i <= 5; ++i)
            EXPECT_EQ(Read(sds, L"SOURCE", std::to_wstring(i)) != L"<absent>", i <= expected) << count << i;
        EXPECT_EQ(ts::ReadBytes(sds).find("[PEX]"), std::string::npos) << "no PEX section without values";
    }
}

TEST(Conversion, AnExistingOutputIsUpdatedEntryByEntry)
{
    ts::TempDir dir;
    const std::wstring vtp = dir / L"g.vtp", sds = dir / L"g.sds";
    ts::WriteBytes(sds, "[HOST]\r\nKEEP=1\r\n[SOURCE]\r\nN=5\r\n1=.\\old.c\r\n5=.\\five.c\r\n"
                        "[PEX]\r\nTITLE=T\r\nICON=.\\keep.pid\r\nINPUT=.\\old.srf\r\n");
    ts::WriteBytes(vtp, ts::ToCp932(L"[MAIN]\r\nPROJECT-NAME=g\r\n[C]\r\nN=2\r\n1=" + dir.path() +
                                    L"\\new.c\r\n[PEX]\r\nINPUT=" + dir.path() + L"\\new.srf\r\n"));
    ASSERT_EQ(ConvertProject(vtp, dir.path()).outcome, ConversionResult::Done);
    EXPECT_EQ(Read(sds, L"HOST", L"KEEP"), L"1");
    EXPECT_EQ(Read(sds, L"SOURCE", L"N"), L"2");
    EXPECT_EQ(Read(sds, L"SOURCE", L"1"), L".\\new.c");
    EXPECT_EQ(Read(sds, L"SOURCE", L"2"), L"<absent>");
    EXPECT_EQ(Read(sds, L"SOURCE", L"5"), L".\\five.c");
    EXPECT_EQ(Read(sds, L"PEX", L"TITLE"), L"T");
    EXPECT_EQ(Read(sds, L"PEX", L"ICON"), L".\\keep.pid");
    EXPECT_EQ(Read(sds, L"PEX", L"INPUT"), L".\\new.srf");
}

TEST(Conversion, ACountOutOfRangeStopsBeforeItIsWritten)
{
    ts::TempDir dir;
    const std::wstring vtp = dir / L"g.vtp", sds = dir / L"g.sds";
    ts::WriteBytes(vtp, "[MAIN]\r\nPROJECT-NAME=g\r\n[C]\r\nN=1\r\n1=" + ts::ToCp932(dir.path()) +
                        "\\a.c\r\n[FILE]\r\nN=40000\r\n");
    const ConversionResult result = ConvertProject(vtp, dir.path());
    EXPECT_EQ(result.outcome, ConversionResult::CountOutOfRange);
    EXPECT_EQ(result.section, L"FILE");
    EXPECT_EQ(Read(sds, L"SOURCE", L"1"), L".\\a.c") << "what came before stays";
    EXPECT_EQ(Read(sds, L"OTHER", L"N"), L"<absent>");

    ts::WriteBytes(vtp, "[MAIN]\r\nPROJECT-NAME=g\r\n[C]\r\nN=-32769\r\n");
    EXPECT_EQ(ConvertProject(vtp, dir.path()).section, L"C");
}

TEST(Conversion, TheVtpFileIsNeverWritten)
{
    ts::TempDir dir;
    const std::wstring vtp = dir / L"g.vtp";
    const std::string original = "[MAIN]\r\nPROJECT-NAME=g\r\nVER=0.3\r\n[C]\r\nN=1\r\n1=Q:\\x.c\r\n";
    ts::WriteBytes(vtp, original);
    ConvertProject(vtp, dir.path());
    EXPECT_EQ(ts::ReadBytes(vtp), original);
}

}  // namespace
