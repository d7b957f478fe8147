// The conversion itself, against the real profile functions, on files in a
// scratch folder: one table of VTP files and the output each gives, and the
// whole-section profile access that it reads and writes through; the
// converter's window laid out at the session's DPI.
#include "Conversion.h"
#include "Form1.h"
#include "Ini.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(OutputPath, BesideTheInputWithTheNamesOwnExtensionReplaced)
{
    const struct { std::wstring vtp, sds; } cases[] = {
        {L"C:\\work\\game.vtp", L"C:\\work\\game.sds"}, {L"C:\\work\\Game.VTP", L"C:\\work\\Game.sds"},
        {L"C:\\work\\a.b.vtp", L"C:\\work\\a.b.sds"}, {L"C:\\my.dir\\game", L"C:\\my.dir\\game.sds"},
        {L"C:/my.dir/game", L"C:/my.dir/game.sds"}, {L"game.vtp", L"game.sds"},
        {L"C:\\作業.dir\\ゲーム", L"C:\\作業.dir\\ゲーム.sds"}};
    for (const auto& c : cases) EXPECT_EQ(OutputPath(c.vtp), c.sds) << ts::Utf8(c.vtp);
}

TEST(OutputIsInput, WhenTheOutputNameOrALinkLeadsToTheInput)
{
    ts::TempDir dir;
    const std::wstring sds = ts::Vtp(dir / L"game.sds", L"[MAIN]\r\nPROJECT-NAME=x\r\n");
    const std::wstring vtp = ts::Vtp(dir / L"other.vtp", L"[MAIN]\r\nPROJECT-NAME=x\r\n");
    ts::Vtp(dir / L"other.sds", L"[MAIN]\r\n");
    const std::wstring linked = ts::Vtp(dir / L"linked.vtp", L"[MAIN]\r\nPROJECT-NAME=x\r\n");
    ASSERT_TRUE(CreateHardLinkW((dir / L"linked.sds").c_str(), linked.c_str(), nullptr));
    // The platform drops trailing blanks and dots: "game.sds " names game.sds too.
    for (const std::wstring& same : {sds, dir / L"GAME.SDS", dir / L"game.Sds", dir / L"game.sds ", linked})
        EXPECT_TRUE(OutputIsInput(same)) << ts::Utf8(same);
    EXPECT_FALSE(OutputIsInput(vtp));
}

// Every path in the VTP file below is absolute; %D stands for the scratch
// folder, and the VTP file is %D\w\ゲーム.vtp.
struct Case {
    std::wstring vtp;
    std::string existing;  // the output before; empty: none
    std::wstring after;  // the output's text in code page 932
    ConversionStop stop = ConversionStop::None;
    std::wstring section = L"";  // of the count out of range
};

const Case Cases[] = {
    // Paths without a relative form are left out, and so are other keys.
    {L"[MAIN]\r\nPROJECT-NAME=game\r\nVER=0.34\r\n[C]\r\nN=3\r\n1=%D\\w\\main.c\r\n2=%D\\lib\\util.c\r\n3=Q:\\lib\\x.c\r\n"
     L"[FILE]\r\nN=2\r\n1=%D\\w\\doc\\readme.txt\r\n2=Q:\\doc\\other.txt\r\n"
     L"[PEX]\r\nINPUT=%D\\w\\game.srf\r\nOUTPUT=%D\\out\\game.pex\r\nICON=Q:\\icons\\game.pid\r\n", "",
     L"[MAIN]\r\nPROJECT-NAME=game\r\nLANGFILE=piece.slf\r\n[SOURCE]\r\nN=3\r\n1=.\\main.c\r\n2=..\\lib\\util.c\r\n"
     L"[OTHER]\r\nN=2\r\n1=.\\doc\\readme.txt\r\n[PEX]\r\nINPUT=.\\game.srf\r\nOUTPUT=..\\out\\game.pex\r\n"},
    // Entries within N that the VTP file lacks; a count read as the numbers
    // of the project file are (there rounded half to even), written even when
    // negative, with no entries; a PEX section of empty paths gives none.
    {L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=2.5\r\n1=%D\\w\\main.c\r\n3=%D\\w\\3.c\r\n[FILE]\r\nN=-3\r\n1=%D\\w\\a.txt\r\n"
     L"[PEX]\r\nINPUT=\r\nOUTPUT=\r\nICON=\r\n", "",
     L"[MAIN]\r\nPROJECT-NAME=p\r\nLANGFILE=piece.slf\r\n[SOURCE]\r\nN=2\r\n1=.\\main.c\r\n[OTHER]\r\nN=-3\r\n"},
    // An existing output is updated entry by entry, in place whatever the
    // key's case or blanks, the first of two alike; the rest stays, and the
    // file is written again as the platform writes it. A PEX path with no
    // relative form removes the stored one.
    {L"[MAIN]\r\nPROJECT-NAME=new\r\n[C]\r\nN=3\r\n1=%D\\w\\a.c\r\n3=%D\\w\\c.c\r\n"
     L"[PEX]\r\nINPUT=%D\\w\\new.srf\r\nICON=Q:\\x.pid\r\n",
     "[HOST]\nKEEP=1\n[MAIN]\r\nproject-name=old\r\nMINE=x\r\n"
     "[SOURCE]\r\nn = 5\r\n1=.\\old1.c\r\n1=dup\r\n2=.\\old2.c\r\n3=.\\old3.c\r\n4=.\\old4.c\r\n5=.\\old5.c\r\n"
     "[OTHER]\r\nN=1\r\n1=.\\old.txt\r\n7=.\\seven.txt\r\n[PEX]\r\nTITLE=Title\r\nINPUT=.\\old.srf\r\nICON=.\\old.pid\r\n",
     L"[HOST]\r\nKEEP=1\r\n[MAIN]\r\nproject-name=new\r\nMINE=x\r\nLANGFILE=piece.slf\r\n"
     L"[SOURCE]\r\nn=3\r\n1=.\\a.c\r\n1=dup\r\n3=.\\c.c\r\n4=.\\old4.c\r\n5=.\\old5.c\r\n"
     L"[OTHER]\r\nN=0\r\n1=.\\old.txt\r\n7=.\\seven.txt\r\n[PEX]\r\nTITLE=Title\r\nINPUT=.\\new.srf\r\n"},
    // The host's keys in a second section of a name, and a line without "=",
    // stay as they are, byte for byte, when a key beside them changes.
    {L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=1\r\n1=%D\\w\\a.c\r\n[PEX]\r\nINPUT=%D\\w\\new.srf\r\n",
     "[PEX]\r\nINPUT=.\\old.srf\r\nOWN=first\r\n[SOURCE]\r\nN=1\r\n1=.\\old.c\r\nHOSTFLAG\r\n[pex]\r\nOWN=second\r\nICON=.\\i.pid\r\n",
     L"[PEX]\r\nINPUT=.\\new.srf\r\nOWN=first\r\n[SOURCE]\r\nN=1\r\n1=.\\a.c\r\nHOSTFLAG\r\n[pex]\r\nOWN=second\r\nICON=.\\i.pid\r\n"
     L"[MAIN]\r\nPROJECT-NAME=p\r\nLANGFILE=piece.slf\r\n[OTHER]\r\nN=0\r\n"},
    // So does a comment in a section that changes.
    {L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=1\r\n1=%D\\w\\a.c\r\n", "[SOURCE]\r\n;note\r\nN=1\r\n1=.\\old.c\r\n",
     L"[SOURCE]\r\n;note\r\nN=1\r\n1=.\\a.c\r\n[MAIN]\r\nPROJECT-NAME=p\r\nLANGFILE=piece.slf\r\n[OTHER]\r\nN=0\r\n"},
    // A new output: its sections in order, in code page 932 (ソ and 表 end in
    // the byte of a backslash).
    {L"[MAIN]\r\nPROJECT-NAME=ゲーム計画ソ表\r\n[PEX]\r\nICON=%D\\w\\アイコン.pid\r\nINPUT=%D\\w\\ゲーム.srf\r\n"
     L"[FILE]\r\nN=1\r\n1=%D\\w\\データ\\画像.bmp\r\n[C]\r\nN=2\r\n1=%D\\w\\main.c\r\n2=%D\\w\\ソース\\sub.c\r\n", "",
     L"[MAIN]\r\nPROJECT-NAME=ゲーム計画ソ表\r\nLANGFILE=piece.slf\r\n[SOURCE]\r\nN=2\r\n1=.\\main.c\r\n"
     L"2=.\\ソース\\sub.c\r\n[OTHER]\r\nN=1\r\n1=.\\データ\\画像.bmp\r\n[PEX]\r\nINPUT=.\\ゲーム.srf\r\nICON=.\\アイコン.pid\r\n"},
    // Counts that do not fit sixteen bits stop the conversion before their section.
    {L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=32768\r\n1=%D\\w\\a.c\r\n[FILE]\r\nN=1\r\n1=%D\\w\\b.txt\r\n", "",
     L"[MAIN]\r\nPROJECT-NAME=p\r\nLANGFILE=piece.slf\r\n", ConversionStop::CountOutOfRange, L"C"},
    {L"[MAIN]\r\nPROJECT-NAME=p\r\n[C]\r\nN=1\r\n1=%D\\w\\a.c\r\n[FILE]\r\nN=-32768.6\r\n1=%D\\w\\b.txt\r\n"
     L"[PEX]\r\nINPUT=%D\\w\\game.srf\r\n", "",
     L"[MAIN]\r\nPROJECT-NAME=p\r\nLANGFILE=piece.slf\r\n[SOURCE]\r\nN=1\r\n1=.\\a.c\r\n", ConversionStop::CountOutOfRange,
     L"FILE"},
};

TEST(Conversion, TheOutputOfEachVtpFile)
{
    for (const Case& c : Cases) {
        ts::TempDir dir;
        CreateDirectoryW((dir / L"w").c_str(), nullptr);
        std::wstring text = c.vtp;
        for (size_t at; (at = text.find(L"%D")) != std::wstring::npos;) text.replace(at, 2, dir.path());
        const std::wstring vtp = ts::Vtp(dir / L"w\\ゲーム.vtp", text), sds = dir / L"w\\ゲーム.sds";
        if (!c.existing.empty()) ts::WriteBytes(sds, c.existing);
        const std::string before = ts::ReadBytes(vtp);
        const ConversionResult result = ConvertProject(vtp, dir / L"w");
        EXPECT_TRUE(result.stop == c.stop && result.section == c.section) << ts::Utf8(c.vtp);
        const std::string bytes = ts::ReadBytes(sds);
        EXPECT_EQ(bytes, ts::Cp932(c.after)) << ts::Utf8(c.vtp);
        EXPECT_EQ(ts::ReadBytes(vtp), before) << "the VTP file is only read";
        if (c.stop != ConversionStop::None) continue;
        ConvertProject(vtp, dir / L"w");
        EXPECT_EQ(ts::ReadBytes(sds), bytes) << "the same file once more changes nothing";
    }
}

// A section read whole gives what the profile functions give entry by entry.
// (How it writes, the conversion's table shows.)
TEST(IniSections, ReadAsEntryByEntry)
{
    ts::TempDir dir;
    const std::wstring read = dir / L"read.ini";
    ts::WriteBytes(read, "[S]\r\n  a  =  \"q v\"  \r\nA=dup\r\nK\r\nK=2\r\nB= 'x' \r\nC=\"open\r\n"
                         "D=\"\"\r\nE=\"\r\n[s]\r\nG=second\r\n");
    const IniSections sections(read, {L"S"});
    const struct { const wchar_t *key, *value; } reads[] = {
        {L"a", L"q v"}, {L"A", L"q v"}, {L"K", L"-"}, {L"B", L"x"}, {L"C", L"\"open"},
        {L"D", L""}, {L"E", L"\""}, {L"G", L"-"}, {L"Z", L"-"}};
    for (const auto& r : reads) {
        EXPECT_EQ(sections.Value(L"S", r.key, L"-"), r.value) << ts::Utf8(r.key);
        EXPECT_EQ(ReadIniValue(L"S", r.key, L"-", read), r.value) << ts::Utf8(r.key);
    }
}

TEST(Layout, TheConverterWindow)
{
    Form1 converter;
    ts::ExpectLayout(converter);
}

}  // namespace
