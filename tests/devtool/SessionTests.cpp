// The device verbs against the simulated device: their variations in this
// process over a link to the host stand-in, and one session of the real device
// tool per flow (refusal, each verb, the menu, a missing device library).
#include "DeviceCommands.h"
#include "Linked.h"

#include <gtest/gtest.h>

namespace {

using ts::Bracket;
using ts::Lines;

Texts Info(const std::wstring& hardware, const std::wstring& bios, const std::wstring& date, const std::wstring& free)
{
    return Lines({L"P/ECE Infomation", L"HARD Version:" + hardware, L"BIOS Version:" + bios, L"BIOS Date   :" + date,
                  L"PFFS Free   :" + free + L" Free", L"---"});
}

TEST(DeviceVerbs, InfoTransferAndRunInEveryOutcome)
{
    ts::SimDevice device;
    ts::Project project(L"[SOURCE]\r\n1=\".\\ゲーム.c\"\r\n");
    ts::TempDir source;
    Linked link(project);

    device.Set(L"device", L"hardware", L"0x010A");
    device.Set(L"device", L"bios", L"0x0105");
    device.Set(L"pffs", L"freesectors", L"40000");
    device.Set(L"pffs", L"freebytes", L"163840000");
    EXPECT_EQ(link.During(ShowDeviceInfo), Info(L"1.10", L"1.5", L"2003/4/15", L"40000 sectors (163840000 bytes)"));
    EXPECT_EQ(device.Calls(), Bracket({"ismGetVersion 1", "ismPFFSDir 4096 0"}));
    device.Set(L"pffs", L"dirresult", L"1003");
    EXPECT_EQ(link.During(ShowDeviceInfo), Info(L"1.10", L"1.5", L"2003/4/15", L"0 sectors (0 bytes)"));

    const std::wstring pex = source / L"GAME.PEX";
    ts::WriteBytes(pex, std::string("PEX\0\xff", 5));
    device.ClearCalls();
    EXPECT_EQ(link.Transfer(pex), Lines({L"P/ECE ファイル転送", L"転送完了.", L"---"}));
    EXPECT_EQ(ts::ReadBytes(device / L"pffs\\game.pex"), std::string("PEX\0\xff", 5));
    EXPECT_EQ(device.Calls(), Bracket({"ismPFFSWrite game.pex " + ts::Cp932(pex)}));
    EXPECT_EQ(link.Transfer(L""), Texts{});
    const struct { std::wstring result, line; } refusals[] = {
        {L"1000", L"P/ECEが接続されていません."}, {L"1001", L"P/ECEに書き込めないファイル名です."},
        {L"1002", L"転送するファイルを読み込めません."}, {L"1003", L"P/ECEのフラッシュメモリに空きが足りません."},
        {L"1004", L"P/ECEのフラッシュメモリへの書き込みに失敗しました."},
        {L"1005", L"P/ECEとの通信が時間切れになりました."}, {L"1006", L"P/ECEとの通信中にエラーが起きました."},
        {L"1007", L"P/ECEのファイルシステムが壊れています."}, {L"999", L"転送失敗. エラーコード:999"},
        {L"1008", L"転送失敗. エラーコード:1008"}, {L"-1", L"転送失敗. エラーコード:-1"}};
    for (const auto& r : refusals) {
        device.Set(L"pffs", L"writeresult", r.result);
        EXPECT_EQ(link.Transfer(pex), Lines({L"P/ECE ファイル転送", r.line, L"---"}));
    }

    const std::wstring srf = project.dir() + L"\\.\\ゲーム.srf";
    EXPECT_EQ(link.During(RunOnDevice), (Texts{L"P/ECEへデータ転送中...\r\n", L"P/ECEへデータ転送失敗.\r\n",
                                              srf + L"が見つかりませんでした"}));
    ts::WriteBytes(project / L"ゲーム.srf", "SRF");
    device.ClearCalls();
    EXPECT_EQ(link.During(RunOnDevice), Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送完了."}));
    EXPECT_EQ(device.Calls(), Bracket({"ismWriteSrfFile " + ts::Cp932(srf) + " 1"}));
    EXPECT_EQ(ts::ReadBytes(device / L"run\\ゲーム.srf"), "SRF");
    device.Set(L"srf", L"result", L"1004");
    EXPECT_EQ(link.During(RunOnDevice), Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送失敗.", L"エラーコード:1004"}));

    device.Set(L"device", L"connected", L"0");
    device.ClearCalls();
    EXPECT_EQ(link.During(ShowDeviceInfo), Lines({L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"}));
    EXPECT_EQ(device.Calls(), Bracket({"ismGetVersion 1"}));
}

// No host, a host without a project, one that fails the request and one that
// holds it until the tool gives up waiting: the same refusal.
TEST(Sessions, RefusedWithoutHostOrProjectWhateverTheVerb)
{
    ts::Project project;
    const ts::HostOptions hosts[] = {{L"", L"INFO", L"VORTALIS0.exe", L"--no-service"},
                                     {L"", L"RUN", L"VORTALIS0.exe", L""},
                                     {project.file(), L"Info", L"VORTALIS0.exe", L"--fail-request"},
                                     {project.file(), L"CAPTURE", L"VORTALIS0.exe", L"--block-request"}};
    for (const auto& options : hosts) {
        ts::HostSession host(options);
        EXPECT_EQ(ts::Box(), L"error\nVORTALIS0\nこのソフトはQuandrixからでしか起動出来ません") << ts::Utf8(options.flags);
        EXPECT_EQ(host.Finish(), Texts{});
    }
}

TEST(Sessions, EachDeviceVerbOnceThroughTheRealProgram)
{
    ts::SimDevice device;
    ts::Project project;
    device.Set(L"pffs", L"freesectors", L"12");
    device.Set(L"pffs", L"freebytes", L"6144");
    EXPECT_EQ(project.Run(L"Info"), Info(L"1.2", L"1.20", L"2003/4/15", L"12 sectors (6144 bytes)"));
    EXPECT_EQ(project.Run(L"rUn").back(), project.dir() + L"\\.\\game.srfが見つかりませんでした");
    ts::WriteBytes(project / L"game.pex", "PEX");
    ts::HostSession transfer(project.Host(L"filetrans"));
    EXPECT_TRUE(ts::FileDialog(project / L"game.pex"));
    EXPECT_EQ(transfer.Finish(), Lines({L"P/ECE ファイル転送", L"転送完了.", L"---"}));
    // A host that refuses every line, or stops answering them, does not hold the tool up.
    device.Set(L"device", L"connected", L"0");
    for (const std::wstring flags : {L"--refuse-executes", L"--block-executes-from 2"}) {
        ts::HostOptions options = project.Host(L"INFO");
        options.flags = flags;
        EXPECT_EQ(ts::HostSession(options).Finish(),
                  flags == L"--refuse-executes" ? Texts{} : Lines({L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"}));
    }
}
TEST(Sessions, WithoutTheDeviceLibraryOrItsOperationsEveryVerbSaysSo)
{
    ts::SimDevice device;
    ts::Project project;
    ts::TempDir bin, partialBin;
    const std::wstring alone = ts::LoneCopy(bin), partial = ts::LoneCopy(partialBin);
    CopyFileW(ts::BinPath(L"..\\tests\\partial-pieceif\\pieceif.dll").c_str(),
              (partialBin / L"pieceif.dll").c_str(), FALSE);
    ts::WriteBytes(project / L"game.srf", "SRF");
    ts::WriteBytes(project / L"game.pex", "PEX");
    const std::wstring missing = L"pieceif.dllが見つかりません.";
    EXPECT_EQ(project.Run(L"INFO", alone), Lines({L"P/ECE Infomation", missing, L"---"}));
    EXPECT_EQ(project.Run(L"RUN", partial), Lines({L"P/ECEへデータ転送中...", missing}));
    ts::HostSession transfer(project.Host(L"FILETRANS", alone));
    EXPECT_TRUE(ts::FileDialog(project / L"game.pex"));
    EXPECT_EQ(transfer.Finish(), Lines({L"P/ECE ファイル転送", missing, L"---"}));
    EXPECT_EQ(device.Calls(), std::vector<std::string>{});
}

const wchar_t Menu[] = L"Vortalis０ Ver 0.10";
const wchar_t Form6[] = L"実行イメージ作成";

TEST(Sessions, TheMenuRunsEachJobInTurnAndStays)
{
    ts::SimDevice device;
    ts::Project project;
    device.Set(L"device", L"connected", L"0");
    ts::HostSession host(project.Host(L"INFO X"));
    ASSERT_TRUE(ts::Wait(Menu));
    const auto received = [&](size_t count) {
        Texts all;
        ui::WaitUntil([&] { return (all = host.Received()).size() >= count; }, ts::Bound);
        return all;
    };
    ASSERT_TRUE(ts::Click(Menu, L"Information"));
    EXPECT_EQ(received(3), Lines({L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"}));
    ASSERT_TRUE(ts::Click(Menu, L"ファイル転送"));
    EXPECT_TRUE(ts::FileDialog(L""));
    ASSERT_TRUE(ts::Click(Menu, L"P/ECEで実行"));
    EXPECT_EQ(received(6).back(), project.dir() + L"\\.\\game.srfが見つかりませんでした");

    ASSERT_TRUE(ts::Click(Menu, L"キャプチャ"));
    ASSERT_TRUE(ts::Click(L"キャプチャ", L"閉じる"));
    ASSERT_TRUE(ts::Gone(L"キャプチャ"));

    ASSERT_TRUE(ts::Click(Menu, L"実行イメージ作成"));
    ASSERT_TRUE(ts::SetEdit(Form6, 0, L"FIRST"));
    ASSERT_TRUE(ts::Click(Form6, L"設定保存"));
    ASSERT_TRUE(ts::Gone(Form6));
    WritePrivateProfileStringW(L"PEX", L"OUTPUT", L".\\second.pex", project.file().c_str());  // behind the window's back: read afresh
    ASSERT_TRUE(ts::Click(Menu, L"実行イメージ作成"));
    EXPECT_EQ(ts::Edit(Form6, 0, L"FIRST"), L"FIRST");
    EXPECT_EQ(ts::Edit(Form6, 2, project / L"second.pex"), project / L"second.pex");
    ASSERT_TRUE(ts::Click(Form6, L"キャンセル"));
    ASSERT_TRUE(ts::Gone(Form6));
    ASSERT_TRUE(ts::Click(Menu, L"閉じる"));
    EXPECT_EQ(host.Finish().size(), 6u);
    EXPECT_EQ(device.Calls(), Bracket({"ismGetVersion 1"}));
}

}  // namespace
