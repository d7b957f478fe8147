// The conversion itself, against the real profile functions, on files in a
// scratch folder.
#include "Conversion.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::wstring Absent = L"<absent>";

void WriteProjectText(const std::wstring& path, const std::wstring& text) { ts::WriteBytes(path, ts::ToCp932(text)); }

std::wstring Entry(const std::wstring& section, const std::wstring& key, const std::wstring& file)
{
    return ts::Entry(file, section, key);
}

// A VTP file named `name` in `dir` with the given text; returns its path.
std::wstring Vtp(const ts::TempDir& dir, const std::wstring& name, const std::wstring& text)
{
    const std::wstring path = dir / name;
    WriteProjectText(path, text);
    return path;
}

ConversionStop Convert(const std::wstring& vtp)
{
    return ConvertProject(vtp, vtp.substr(0, vtp.rfind(L'\\'))).stop;
}

// Positions of `lines` in `bytes`, each after the one before; npos when one is missing.
size_t InOrder(const std::string& bytes, const std::vector<std::wstring>& lines, std::wstring& missing)
{
    size_t at = 0;
    for (const std::wstring& line : lines) {
        const size_t found = bytes.find(ts::ToCp932(line) + "\r\n", at);
        if (found == std::string::npos) {
            missing = line;
            return found;
        }
        at = found + 1;
    }
    return at;
}

TEST(OutputPath, BesideTheInputWithTheNamesOwnExtensionReplaced)
{
    EXPECT_EQ(OutputPath(L"C:\\work\\game.vtp"), L"C:\\work\\game.sds");
    EXPECT_EQ(OutputPath(L"C:\\work\\Game.VTP"), L"C:\\work\\Game.sds");
    EXPECT_EQ(OutputPath(L"C:\\work\\a.b.vtp"), L"C:\\work\\a.b.sds");
    EXPECT_EQ(OutputPath(L"C:\\my.dir\\game"), L"C:\\my.dir\\game.sds");
    EXPECT_EQ(OutputPath(L"C:/my.dir/game"), L"C:/my.dir/game.sds");
    EXPECT_EQ(OutputPath(L"game.vtp"), L"game.sds");
    EXPECT_EQ(OutputPath(L"C:\\作業.dir\\ゲーム"), L"C:\\作業.dir\\ゲーム.sds");
}

TEST(OutputIsInput, WhenTheOutputNameOrALinkLeadsToTheInput)
{
    ts::TempDir dir;
    const std::wstring sds = Vtp(dir, L"game.sds", L"[MAIN]\r\nPROJECT-NAME=x\r\n");
    EXPECT_TRUE(OutputIsInput(sds));
    EXPECT_TRUE(OutputIsInput(dir / L"GAME.SDS"));
    EXPECT_TRUE(OutputIsInput(dir / L"game.Sds"));
    // The platform drops trailing blanks and dots: this names game.sds too.
    EXPECT_TRUE(OutputIsInput(dir / L"game.sds "));

    const std::wstring vtp = Vtp(dir, L"other.vtp", L"[MAIN]\r\nPROJECT-NAME=x\r\n");
    EXPECT_FALSE(OutputIsInput(vtp));
    WriteProjectText(dir / L"other.sds", L"[MAIN]\r\n");
    EXPECT_FALSE(OutputIsInput(vtp));

    const std::wstring linked = Vtp(dir, L"linked.vtp", L"[MAIN]\r\nPROJECT-NAME=x\r\n");
    ASSERT_TRUE(CreateHardLinkW((dir / L"linked.sds").c_str(), linked.c_str(), nullptr));
    EXPECT_TRUE(OutputIsInput(linked));
}

// C:\work\game.vtp: entries in its folder, one folder up, on another drive.
TEST(Conversion, StoresPathsRelativeToTheVtpFolder)
{
    ts::TempDir dir;
    CreateDirectoryW((dir / L"work").c_str(), nullptr);
    const std::wstring work = dir / L"work";
    const std::wstring text =
        L"[MAIN]\r\nPROJECT-NAME=game\r\nVER=0.34\r\n"
        L"[C]\r\nN=3\r\n1=" + work + L"\\main.c\r\n2=" + dir.path() + L"\\lib\\util.c\r\n3=Q:\\lib\\x.c\r\n"
        L"[FILE]\r\nN=2\r\n1=" + work + L"\\doc\\readme.txt\r\n2=Q:\\doc\\other.txt\r\n"
        L"[PEX]\r\nINPUT=" + work + L"\\game.srf\r\nOUTPUT=" + dir.path() + L"\\out\\game.pex\r\nICON=Q:\\icons\\game.pid\r\n";
    const std::wstring vtp = Vtp(dir, L"work\\game.vtp", text);
    const std::string before = ts::ReadBytes(vtp);

    ASSERT_EQ(ConvertProject(vtp, work).stop, ConversionStop::None);

    const std::wstring sds = work + L"\\game.sds";
    ASSERT_TRUE(ts::FileExists(sds));
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", sds), L"game");
    EXPECT_EQ(Entry(L"MAIN", L"LANGFILE", sds), L"piece.slf");
    EXPECT_EQ(Entry(L"MAIN", L"VER", sds), Absent);
    EXPECT_EQ(Entry(L"SOURCE", L"N", sds), L"3");
    EXPECT_EQ(Entry(L"SOURCE", L"1", sds), L".\\main.c");
    EXPECT_EQ(Entry(L"SOURCE", L"2", sds), L"..\\lib\\util.c");
    EXPECT_EQ(Entry(L"SOURCE", L"3", sds), Absent);
    EXPECT_EQ(Entry(L"OTHER", L"N", sds), L"2");
    EXPECT_EQ(Entry(L"OTHER", L"1", sds), L".\\doc\\readme.txt");
    EXPECT_EQ(Entry(L"OTHER", L"2", sds), Absent);
    EXPECT_EQ(Entry(L"PEX", L"INPUT", sds), L".\\game.srf");
    EXPECT_EQ(Entry(L"PEX", L"OUTPUT", sds), L"..\\out\\game.pex");
    EXPECT_EQ(Entry(L"PEX", L"ICON", sds), Absent);
    EXPECT_EQ(Entry(L"PEX", L"TITLE", sds), Absent);
    EXPECT_EQ(ts::ReadBytes(vtp), before);
}

TEST(Conversion, NewOutputHoldsItsSectionsInOrderInCodePage932)
{
    ts::TempDir dir;
    const std::wstring name = L"ゲーム計画ソ表";  // ソ and 表 end in the byte of a backslash
    const std::wstring vtp = Vtp(dir, L"ゲーム.vtp",
        L"[MAIN]\r\nPROJECT-NAME=" + name + L"\r\n"
        L"[PEX]\r\nICON=" + dir.path() + L"\\アイコン.pid\r\nINPUT=" + dir.path() + L"\\ゲーム.srf\r\n"
        L"[FILE]\r\nN=1\r\n1=" + dir.path() + L"\\データ\\画像.bmp\r\n"
        L"[C]\r\nN=2\r\n1=" + dir.path() + L"\\main.c\r\n2=" + dir.path() + L"\\ソース\\sub.c\r\n");

    ASSERT_EQ(Convert(vtp), ConversionStop::None);

    const std::string bytes = ts::ReadBytes(dir / L"ゲーム.sds");
    std::wstring missing;
    EXPECT_NE(InOrder(bytes, {L"[MAIN]", L"PROJECT-NAME=" + name, L"LANGFILE=piece.slf",
                              L"[SOURCE]", L"N=2", L"1=.\\main.c", L"2=.\\ソース\\sub.c",
                              L"[OTHER]", L"N=1", L"1=.\\データ\\画像.bmp",
                              L"[PEX]", L"INPUT=.\\ゲーム.srf", L"ICON=.\\アイコン.pid"}, missing),
              std::string::npos)
        << "missing or out of order: " << ts::ToUtf8(missing) << "\n" << bytes;
    EXPECT_EQ(bytes.find(ts::ToUtf8(name)), std::string::npos);
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", dir / L"ゲーム.sds"), name);
}

TEST(Conversion, CountsAndMissingEntries)
{
    ts::TempDir dir;
    const std::wstring d = dir.path();
    const std::wstring entries = L"1=" + d + L"\\1.c\r\n2=" + d + L"\\2.c\r\n3=" + d + L"\\3.c\r\n4=" + d + L"\\4.c\r\n";
    struct Case { const wchar_t* count; const wchar_t* written; int entries; } cases[] = {
        {L"2.5", L"2", 2}, {L"3.5", L"4", 4}, {L"abc", L"0", 0}, {L" 2 ", L"2", 2},
        {L"-3", L"-3", 0}, {L"1.49", L"1", 1}};
    for (const Case& c : cases) {
        const std::wstring vtp = Vtp(dir, L"count.vtp",
            L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=" + std::wstring(c.count) + L"\r\n" + entries +
            L"[FILE]\r\nN=" + c.count + L"\r\n" + entries);
        DeleteFileW((dir / L"count.sds").c_str());
        ASSERT_EQ(Convert(vtp), ConversionStop::None) << ts::ToUtf8(c.count);
        const std::wstring sds = dir / L"count.sds";
        for (const wchar_t* section : {L"SOURCE", L"OTHER"}) {
            EXPECT_EQ(Entry(section, L"N", sds), c.written) << ts::ToUtf8(c.count);
            for (int i = 1; i <= 4; ++i)
                EXPECT_EQ(Entry(section, std::to_wstring(i), sds),
                          i <= c.entries ? L".\\" + std::to_wstring(i) + L".c" : Absent)
                    << ts::ToUtf8(c.count) << " " << ts::ToUtf8(section) << " " << i;
        }
    }

    // N of 2 with only entry 1; no list sections at all counts as 0.
    const std::wstring gap = Vtp(dir, L"gap.vtp",
        L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=2\r\n1=" + d + L"\\main.c\r\n");
    ASSERT_EQ(Convert(gap), ConversionStop::None);
    EXPECT_EQ(Entry(L"SOURCE", L"N", dir / L"gap.sds"), L"2");
    EXPECT_EQ(Entry(L"SOURCE", L"1", dir / L"gap.sds"), L".\\main.c");
    EXPECT_EQ(Entry(L"SOURCE", L"2", dir / L"gap.sds"), Absent);
    EXPECT_EQ(Entry(L"OTHER", L"N", dir / L"gap.sds"), L"0");
    EXPECT_EQ(Entry(L"OTHER", L"1", dir / L"gap.sds"), Absent);
}

TEST(Conversion, UpdatesAnExistingOutputEntryByEntry)
{
    ts::TempDir dir;
    const std::wstring d = dir.path();
    const std::wstring sds = dir / L"game.sds";
    const std::string host =
        "[HOST]\r\nKEEP=1\r\n[MAIN]\r\nPROJECT-NAME=old\r\nMINE=x\r\n"
        "[SOURCE]\r\nN=5\r\n1=.\\old1.c\r\n2=.\\old2.c\r\n3=.\\old3.c\r\n4=.\\old4.c\r\n5=.\\old5.c\r\n"
        "[OTHER]\r\nN=1\r\n1=.\\old.txt\r\n7=.\\seven.txt\r\n"
        "[PEX]\r\nTITLE=Title\r\nINPUT=.\\old.srf\r\nICON=.\\old.pid\r\n";
    ts::WriteBytes(sds, host);
    const std::wstring vtp = Vtp(dir, L"game.vtp",
        L"[MAIN]\r\nPROJECT-NAME=new\r\n[C]\r\nN=3\r\n1=" + d + L"\\a.c\r\n3=" + d + L"\\c.c\r\n"
        L"[PEX]\r\nINPUT=" + d + L"\\new.srf\r\n");

    ASSERT_EQ(Convert(vtp), ConversionStop::None);
    EXPECT_EQ(Entry(L"HOST", L"KEEP", sds), L"1");
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", sds), L"new");
    EXPECT_EQ(Entry(L"MAIN", L"MINE", sds), L"x");
    EXPECT_EQ(Entry(L"SOURCE", L"N", sds), L"3");
    EXPECT_EQ(Entry(L"SOURCE", L"1", sds), L".\\a.c");
    EXPECT_EQ(Entry(L"SOURCE", L"2", sds), Absent);  // within N and missing in the VTP file
    EXPECT_EQ(Entry(L"SOURCE", L"3", sds), L".\\c.c");
    EXPECT_EQ(Entry(L"SOURCE", L"4", sds), L".\\old4.c");
    EXPECT_EQ(Entry(L"SOURCE", L"5", sds), L".\\old5.c");
    EXPECT_EQ(Entry(L"OTHER", L"N", sds), L"0");
    EXPECT_EQ(Entry(L"OTHER", L"1", sds), L".\\old.txt");
    EXPECT_EQ(Entry(L"OTHER", L"7", sds), L".\\seven.txt");
    EXPECT_EQ(Entry(L"PEX", L"TITLE", sds), L"Title");
    EXPECT_EQ(Entry(L"PEX", L"INPUT", sds), L".\\new.srf");
    EXPECT_EQ(Entry(L"PEX", L"ICON", sds), L".\\old.pid");
    EXPECT_EQ(Entry(L"PEX", L"OUTPUT", sds), Absent);
    EXPECT_EQ(ts::ReadBytes(sds).find("[HOST]\r\nKEEP=1\r\n"), 0u);

    // The same file once more changes nothing.
    const std::string once = ts::ReadBytes(sds);
    ASSERT_EQ(Convert(vtp), ConversionStop::None);
    EXPECT_EQ(ts::ReadBytes(sds), once);
}

TEST(Conversion, EmptyPexSectionGivesNoPexSection)
{
    ts::TempDir dir;
    for (const wchar_t* pex : {L"[PEX]\r\n", L"[PEX]\r\nINPUT=\r\nOUTPUT=\r\nICON=\r\n", L""}) {
        const std::wstring vtp = Vtp(dir, L"game.vtp", L"[MAIN]\r\nPROJECT-NAME=p\r\n" + std::wstring(pex));
        DeleteFileW((dir / L"game.sds").c_str());
        ASSERT_EQ(Convert(vtp), ConversionStop::None);
        const std::string bytes = ts::ReadBytes(dir / L"game.sds");
        EXPECT_EQ(bytes.find("[PEX]"), std::string::npos) << bytes;
        EXPECT_NE(bytes.find("[OTHER]"), std::string::npos) << bytes;
    }
}

TEST(Conversion, StopsBeforeACountThatDoesNotFitSixteenBits)
{
    ts::TempDir dir;
    const std::wstring d = dir.path();
    const std::wstring sds = dir / L"game.sds";

    const std::wstring sources = Vtp(dir, L"game.vtp",
        L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=32768\r\n1=" + d + L"\\a.c\r\n[FILE]\r\nN=1\r\n1=" + d + L"\\b.txt\r\n");
    ConversionResult result = ConvertProject(sources, d);
    EXPECT_EQ(result.stop, ConversionStop::CountOutOfRange);
    EXPECT_EQ(result.section, L"C");
    EXPECT_EQ(Entry(L"MAIN", L"PROJECT-NAME", sds), L"p");
    EXPECT_EQ(Entry(L"MAIN", L"LANGFILE", sds), L"piece.slf");
    std::string bytes = ts::ReadBytes(sds);
    EXPECT_EQ(bytes.find("[SOURCE]"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find("[OTHER]"), std::string::npos) << bytes;

    DeleteFileW(sds.c_str());
    const std::wstring files = Vtp(dir, L"game.vtp",
        L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=1\r\n1=" + d + L"\\a.c\r\n[FILE]\r\nN=-32768.6\r\n1=" + d + L"\\b.txt\r\n"
        L"[PEX]\r\nINPUT=" + d + L"\\game.srf\r\n");
    result = ConvertProject(files, d);
    EXPECT_EQ(result.stop, ConversionStop::CountOutOfRange);
    EXPECT_EQ(result.section, L"FILE");
    EXPECT_EQ(Entry(L"SOURCE", L"N", sds), L"1");
    EXPECT_EQ(Entry(L"SOURCE", L"1", sds), L".\\a.c");
    bytes = ts::ReadBytes(sds);
    EXPECT_EQ(bytes.find("[OTHER]"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find("[PEX]"), std::string::npos) << bytes;
}

}  // namespace
