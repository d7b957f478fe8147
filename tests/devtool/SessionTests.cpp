// One session of the real device tool per flow, against the simulated device
// and the host stand-in: hosts that refuse, the menu, a missing device library.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using ts::Bracket;
using ts::Lines;
using ts::Texts;

// No host, a host without a project, one that fails the request and one that
// holds it until the tool gives up waiting: the same refusal. A host that
// refuses every line, or stops answering them, does not hold the tool up.
TEST(Sessions, HostsThatRefuseOrHoldTheRequestOrTheLines)
{
    ts::SimDevice device;
    ts::Project project;
    device.Set(L"device", L"connected", L"0");
    const std::wstring exe = L"VORTALIS0.exe";
    const struct { ts::HostOptions host; bool refused; Texts lines; } hosts[] = {
        {{L"", L"INFO", exe, L"--no-service"}, true, {}},
        {{L"", L"RUN", exe, L""}, true, {}},
        {{project.file(), L"Info", exe, L"--fail-request"}, true, {}},
        {{project.file(), L"CAPTURE", exe, L"--block-request"}, true, {}},
        {{project.file(), L"INFO", exe, L"--refuse-executes"}, false, {}},
        {{project.file(), L"INFO", exe, L"--block-executes-from 2"}, false,
         Lines({L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"})}};
    for (const auto& h : hosts) {
        ts::HostSession host(h.host);
        if (h.refused) {
            EXPECT_EQ(ts::Box(), L"error\nVORTALIS0\nこのソフトはQuandrixからでしか起動出来ません") << ts::Utf8(h.host.flags);
        }
        EXPECT_EQ(host.Finish(), h.lines) << ts::Utf8(h.host.flags);
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
    // Nor is a library planted in the current folder (here the project's) taken for it.
    CopyFileW(ts::BinPath(L"pieceif.dll").c_str(), (project / L"pieceif.dll").c_str(), FALSE);
    {
        const ts::Restore folder = ts::SetCurrentFolder(project.path());
        EXPECT_EQ(ts::HostSession(project.Host(L"INFO", alone)).Finish(), Lines({L"P/ECE Infomation", missing, L"---"}));
    }
    EXPECT_EQ(ts::HostSession(project.Host(L"RUN", partial)).Finish(), Lines({L"P/ECEへデータ転送中...", missing}));
    ts::HostSession transfer(project.Host(L"FILETRANS", alone));
    EXPECT_TRUE(ts::FileDialog(project / L"game.pex"));
    EXPECT_EQ(transfer.Finish(), Lines({L"P/ECE ファイル転送", missing, L"---"}));
    EXPECT_EQ(device.Calls(), "");
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
    ASSERT_TRUE(ts::Click(Menu, L"Information"));
    EXPECT_EQ(host.Received(3), Lines({L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"}));
    ASSERT_TRUE(ts::Click(Menu, L"ファイル転送"));
    EXPECT_TRUE(ts::FileDialog(L""));
    ASSERT_TRUE(ts::Click(Menu, L"P/ECEで実行"));
    EXPECT_EQ(host.Received(6).back(), project.path() + L"\\.\\game.srfが見つかりませんでした");

    ASSERT_TRUE(ts::Click(Menu, L"キャプチャ"));
    ASSERT_TRUE(ts::Click(L"キャプチャ", L"閉じる"));
    ASSERT_TRUE(ui::WaitUntilGone(L"キャプチャ", ts::Bound));

    ASSERT_TRUE(ts::Click(Menu, L"実行イメージ作成"));
    ASSERT_TRUE(ui::PostClose(Menu, ts::Bound));  // as a task list's "end task": the menu is shut to it
    ASSERT_TRUE(ts::SetEdit(Form6, 0, L"FIRST"));
    ASSERT_TRUE(ts::Click(Form6, L"設定保存"));
    ASSERT_TRUE(ui::WaitUntilGone(Form6, ts::Bound));
    WritePrivateProfileStringW(L"PEX", L"OUTPUT", L".\\second.pex", project.file().c_str());  // behind the window's back: read afresh
    ASSERT_TRUE(ts::Click(Menu, L"実行イメージ作成"));
    EXPECT_EQ(ts::Edit(Form6, 0, L"FIRST"), L"FIRST");
    EXPECT_EQ(ts::Edit(Form6, 2, project / L"second.pex"), project / L"second.pex");
    ASSERT_TRUE(ts::Click(Form6, L"キャンセル"));
    ASSERT_TRUE(ui::WaitUntilGone(Form6, ts::Bound));
    ASSERT_TRUE(ts::Click(Menu, L"閉じる"));
    EXPECT_EQ(host.Finish().size(), 6u);
    EXPECT_EQ(device.Calls(), Bracket({"ismGetVersion 1"}));
}

}  // namespace
