// INFO, FILETRANS and RUN driven through the host stand-in against the
// simulated device: the lines the host receives and the calls the device sees.
#include "DeviceTestSupport.h"
#include "pieceif.h"

#include <gtest/gtest.h>

namespace {

using dt::Bracket;
using dt::Concat;
using dt::Lines;

ts::HostOptions Options(const dt::Project& project, const std::wstring& verb,
                        const std::wstring& program = L"VORTALIS0.exe")
{
    ts::HostOptions options;
    options.project = project.file();
    options.args = verb;
    options.program = program;
    return options;
}

ts::HostResult RunVerb(const dt::Project& project, const std::wstring& verb,
                       const std::wstring& program = L"VORTALIS0.exe")
{
    ts::HostResult result = ts::RunHost(Options(project, verb, program));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0u);
    return result;
}

// FILETRANS with the open dialog answered by `answer` (a path, or --cancel).
ts::HostResult Transfer(const dt::Project& project, const std::wstring& answer,
                        const std::wstring& program = L"VORTALIS0.exe")
{
    ts::HostSession session(Options(project, L"FILETRANS", program));
    const ts::ProcessResult driver =
        ts::Ui(L"file-dialog " + (answer == L"--cancel" ? answer : ts::Quote(answer)));
    EXPECT_EQ(driver.exitCode, 0u) << driver.output;
    ts::HostResult result = session.Finish();
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0u);
    return result;
}

std::vector<std::wstring> InfoLines(const std::wstring& hardware, const std::wstring& bios,
                                    const std::wstring& date, const std::wstring& free)
{
    return Lines({L"P/ECE Infomation", L"HARD Version:" + hardware, L"BIOS Version:" + bios,
                  L"BIOS Date   :" + date, L"PFFS Free   :" + free, L"---"});
}

TEST(DeviceInfo, VersionsDateAndFreeSpace)
{
    dt::SimDevice device;
    dt::Project project;
    device.Set(L"device", L"hardware", L"0x0102");
    device.Set(L"device", L"bios", L"0x0114");
    device.Set(L"device", L"biosdate", L"0x068F");
    device.Set(L"pffs", L"freesectors", L"12");
    device.Set(L"pffs", L"freebytes", L"6144");
    EXPECT_EQ(RunVerb(project, L"INFO").executes,
              InfoLines(L"1.2", L"1.20", L"2003/4/15", L"12 sectors (6144 bytes) Free"));
    EXPECT_EQ(device.Calls(), Concat(Bracket("ismGetVersion 1"), Bracket("ismPFFSDir 4096 0")));

    // No leading zeros; free sectors beyond 16 bits as they are.
    device.Set(L"device", L"hardware", L"0x010A");
    device.Set(L"device", L"bios", L"0x0105");
    device.Set(L"device", L"biosdate", L"0");
    device.Set(L"pffs", L"freesectors", L"40000");
    device.Set(L"pffs", L"freebytes", L"163840000");
    EXPECT_EQ(RunVerb(project, L"info").executes,
              InfoLines(L"1.10", L"1.5", L"2000/0/0", L"40000 sectors (163840000 bytes) Free"));

    // The free space the files leave, read from a listing that names them.
    device.Set(L"pffs", L"freesectors", L"");
    device.Set(L"pffs", L"freebytes", L"");
    device.Set(L"pffs", L"capacity", L"100");
    CreateDirectoryW((device / L"pffs").c_str(), nullptr);
    ts::WriteBytes(device / L"pffs\\game.pex", std::string(5000, 'g'));
    ts::WriteBytes(device / L"pffs\\readme.txt", "ten bytes.");
    EXPECT_EQ(RunVerb(project, L"INFO").executes,
              InfoLines(L"1.10", L"1.5", L"2000/0/0", L"97 sectors (397312 bytes) Free"));
}

TEST(DeviceInfo, ListingsWithoutASummaryShowNoFreeSpace)
{
    dt::SimDevice device;
    dt::Project project;
    const auto freeLine = [&] {
        const std::vector<std::wstring> lines = RunVerb(project, L"INFO").executes;
        return lines.size() == 6 ? lines[4] : L"(" + std::to_wstring(lines.size()) + L" lines)";
    };
    const std::wstring none = L"PFFS Free   :0 sectors (0 bytes) Free\r\n";

    device.Set(L"pffs", L"dirresult", L"1003");
    EXPECT_EQ(freeLine(), none);
    EXPECT_EQ(device.Calls(), Concat(Bracket("ismGetVersion 1"), Bracket("ismPFFSDir 4096 0")));
    device.Set(L"pffs", L"dirresult", L"");

    device.Set(L"pffs", L"empty", L"1");
    EXPECT_EQ(freeLine(), none);
    device.Set(L"pffs", L"empty", L"");

    device.Set(L"pffs", L"nolinefeed", L"1");
    EXPECT_EQ(freeLine(), none);
    device.Set(L"pffs", L"nolinefeed", L"");
}

TEST(DeviceInfo, ListingThatFillsTheWholeBuffer)
{
    dt::SimDevice device;
    dt::Project project;
    device.Set(L"pffs", L"capacity", L"100000");
    device.Set(L"pffs", L"freesectors", L"12");
    device.Set(L"pffs", L"freebytes", L"6144");
    // 111 lines of 36 bytes, one of 63 and the 37-byte summary: 4096 bytes,
    // which the device gives without a terminating zero.
    CreateDirectoryW((device / L"pffs").c_str(), nullptr);
    for (int i = 0; i < 111; ++i) ts::WriteBytes(device / (L"pffs\\f" + std::to_wstring(1000 + i)), "x");
    ts::WriteBytes(device / (L"pffs\\" + std::wstring(51, L'z')), "x");
    EXPECT_EQ(RunVerb(project, L"INFO").executes,
              InfoLines(L"1.2", L"1.20", L"2003/4/15", L"12 sectors (6144 bytes) Free"));
}

TEST(DeviceInfo, NoDevice)
{
    dt::SimDevice device;
    dt::Project project;
    device.Set(L"device", L"connected", L"0");
    EXPECT_EQ(RunVerb(project, L"INFO").executes,
              Lines({L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"}));
    EXPECT_EQ(device.Calls(), Bracket("ismGetVersion 1"));
}

TEST(FileTransfer, CopiesThePickedFileUnderItsLowerCaseName)
{
    dt::SimDevice device;
    dt::Project project;
    ts::TempDir source;
    const std::wstring file = source / L"GAME.PEX";
    const std::string content("PEX\0\x01\x02\xff game", 13);
    ts::WriteBytes(file, content);

    EXPECT_EQ(Transfer(project, file).executes, Lines({L"P/ECE ファイル転送", L"転送完了.", L"---"}));
    EXPECT_EQ(ts::ReadBytes(device / L"pffs\\game.pex"), content);
    EXPECT_EQ(device.Calls(), Bracket("ismPFFSWrite game.pex " + ts::ToCp932(file)));

    device.ClearCalls();
    EXPECT_TRUE(Transfer(project, L"--cancel").executes.empty());
    EXPECT_TRUE(device.Calls().empty());
}

TEST(FileTransfer, RefusalsAreReportedByTheirCode)
{
    dt::SimDevice device;
    dt::Project project;
    ts::TempDir source;
    const auto refused = [](const std::wstring& line) {
        return Lines({L"P/ECE ファイル転送", line, L"---"});
    };

    // A name the device cannot hold, a file that is not there, a flash too small.
    const std::wstring blank = source / L"MY GAME.PEX";
    ts::WriteBytes(blank, "x");
    EXPECT_EQ(Transfer(project, blank).executes, refused(L"転送失敗. エラーコード:1001"));
    EXPECT_EQ(Transfer(project, source / L"absent.pex").executes, refused(L"転送失敗. エラーコード:1002"));
    const std::wstring huge = source / L"huge.pex";
    ts::WriteBytes(huge, std::string(5000, 'h'));
    device.Set(L"pffs", L"capacity", L"1");
    EXPECT_EQ(Transfer(project, huge).executes, refused(L"転送失敗. エラーコード:1003"));
    EXPECT_FALSE(ts::FileExists(device / L"pffs\\huge.pex"));

    const std::wstring file = source / L"game.pex";
    ts::WriteBytes(file, "x");
    device.Set(L"device", L"connected", L"0");
    EXPECT_EQ(Transfer(project, file).executes, refused(L"転送失敗. エラーコード:1000"));
    device.Set(L"device", L"connected", L"1");
    device.Set(L"pffs", L"writeresult", L"1007");
    EXPECT_EQ(Transfer(project, file).executes, refused(L"転送失敗. エラーコード:1007"));

    // Any other code says the same.
    device.Set(L"pffs", L"writeresult", L"999");
    EXPECT_EQ(Transfer(project, file).executes, refused(L"転送失敗. エラーコード:999"));
    device.Set(L"pffs", L"writeresult", L"1008");
    EXPECT_EQ(Transfer(project, file).executes, refused(L"転送失敗. エラーコード:1008"));
    device.Set(L"pffs", L"writeresult", L"-1");
    EXPECT_EQ(Transfer(project, file).executes, refused(L"転送失敗. エラーコード:-1"));
}

TEST(RunOnDevice, LoadsTheProgramBesideTheProject)
{
    dt::SimDevice device;
    dt::Project project;
    const std::string program("SRF\0program", 11);
    ts::WriteBytes(project / L"main.srf", program);
    const std::wstring path = project.dir() + L"\\.\\main.srf";

    EXPECT_EQ(RunVerb(project, L"RUN").executes, Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送完了."}));
    EXPECT_EQ(ts::ReadBytes(device / L"run\\main.srf"), program);
    EXPECT_EQ(ts::ReadBytes(device / L"run\\last.txt"), ts::ToCp932(path) + "\r\n1\r\n");
    EXPECT_EQ(device.Calls(), Bracket("ismWriteSrfFile " + ts::ToCp932(path) + " 1"));

    // A source entry in Japanese and in quotes names its program the same way.
    dt::Project japanese(L"\".\\ゲーム.c\"");
    ts::WriteBytes(japanese / L"ゲーム.srf", program);
    EXPECT_EQ(RunVerb(japanese, L"run").executes, Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送完了."}));
    EXPECT_EQ(ts::ReadBytes(device / L"run\\ゲーム.srf"), program);
}

TEST(RunOnDevice, MissingProgramOrRefusingDevice)
{
    dt::SimDevice device;
    dt::Project project;
    const std::wstring path = project.dir() + L"\\.\\main.srf";
    EXPECT_EQ(RunVerb(project, L"RUN").executes,
              (std::vector<std::wstring>{L"P/ECEへデータ転送中...\r\n", L"P/ECEへデータ転送失敗.\r\n",
                                         path + L"が見つかりませんでした"}));
    EXPECT_TRUE(device.Calls().empty());

    dt::Project noSource(L"");
    EXPECT_EQ(RunVerb(noSource, L"RUN").executes.back(), noSource.dir() + L"\\.srfが見つかりませんでした");

    // Only a program the device took is reported as sent.
    ts::WriteBytes(project / L"main.srf", "SRF");
    device.Set(L"srf", L"result", L"1004");
    EXPECT_EQ(RunVerb(project, L"RUN").executes,
              Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送失敗.", L"エラーコード:1004"}));
    device.Set(L"srf", L"result", L"");
    device.Set(L"device", L"connected", L"0");
    device.ClearCalls();
    EXPECT_EQ(RunVerb(project, L"RUN").executes,
              Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送失敗.", L"エラーコード:1000"}));
    EXPECT_EQ(device.Calls(), Bracket("ismWriteSrfFile " + ts::ToCp932(path) + " 1"));
}

// A copy of the device tool in a folder of its own, where the device library
// is missing or lacks the operations.
class LibraryMissing : public ::testing::Test {
protected:
    LibraryMissing()
    {
        CopyFileW(ts::BinPath(L"VORTALIS0.exe").c_str(), program().c_str(), FALSE);
        ts::WriteBytes(project / L"main.srf", "SRF");
        ts::WriteBytes(source / L"game.pex", "PEX");
    }
    std::wstring program() const { return bin / L"VORTALIS0.exe"; }

    void ExpectVerbsSayTheLibraryIsMissing()
    {
        const std::wstring missing = L"pieceif.dllが見つかりません.";
        EXPECT_EQ(RunVerb(project, L"INFO", program()).executes,
                  Lines({L"P/ECE Infomation", missing, L"---"}));
        EXPECT_EQ(Transfer(project, source / L"game.pex", program()).executes,
                  Lines({L"P/ECE ファイル転送", missing, L"---"}));
        EXPECT_EQ(RunVerb(project, L"RUN", program()).executes,
                  Lines({L"P/ECEへデータ転送中...", missing}));
        EXPECT_TRUE(device.Calls().empty());
    }

    dt::SimDevice device;
    dt::Project project;
    ts::TempDir bin, source;
};

TEST_F(LibraryMissing, NoLibraryBesideTheProgram) { ExpectVerbsSayTheLibraryIsMissing(); }

TEST_F(LibraryMissing, LibraryWithoutTheOperations)
{
    const std::wstring partial = ts::BinDir() + L"\\..\\tests\\partial-pieceif\\pieceif.dll";
    ASSERT_TRUE(CopyFileW(partial.c_str(), (bin / L"pieceif.dll").c_str(), FALSE));
    ExpectVerbsSayTheLibraryIsMissing();
}

}  // namespace
