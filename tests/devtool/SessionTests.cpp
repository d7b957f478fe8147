// One session of the real device tool per flow, against the simulated device
// and the host stand-in: hosts that refuse, the program alone without its
// device library or packer, the device verbs in every outcome the simulated
// device can give, the menu, and every device job on a device that hangs.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

namespace {

using ts::Lines;
using ts::Texts;

const wchar_t Menu[] = L"Vortalis０ Ver 0.10";
const wchar_t Form6[] = L"実行イメージ作成";
const wchar_t Capture[] = L"キャプチャ";

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
        {{L"", L"INFO", exe, L"--no-service"}, true, {}}, {{L"", L"RUN", exe, L""}, true, {}},
        {{project.file(), L"Info", exe, L"--fail-request"}, true, {}},
        {{project.file(), L"CAPTURE", exe, L"--block-request"}, true, {}},
        {{project.file(), L"INFO", exe, L"--refuse-executes"}, false, {}},
        {{project.file(), L"INFO", exe, L"--block-executes-from 3"}, false,
         Lines({L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"})}};
    for (const auto& h : hosts) {
        ts::HostSession host(h.host);
        if (h.refused) {
            EXPECT_EQ(ts::Box(), L"error\nVORTALIS0\nこのソフトはQuandrixからでしか起動出来ません") << ts::Utf8(h.host.flags);
        }
        EXPECT_EQ(host.Finish(), h.lines) << ts::Utf8(h.host.flags);
    }
}

// The program alone in a folder, started in the project's folder, where a
// downloaded project could have planted a device library and a packer: neither
// is taken, and each verb says what it misses. A library without the
// operations is as good as none.
TEST(Sessions, AloneWithoutTheDeviceLibraryOrThePackerEachVerbSaysSo)
{
    ts::SimDevice device;
    ts::Project project;
    ts::TempDir bin, partialBin;
    const std::wstring alone = bin / L"VORTALIS0.exe", partial = partialBin / L"VORTALIS0.exe";
    const std::pair<std::wstring, std::wstring> copies[] = {
        {L"VORTALIS0.exe", alone}, {L"VORTALIS0.exe", partial}, {L"..\\tests\\partial-pieceif\\pieceif.dll", partialBin / L"pieceif.dll"},
        {L"pieceif.dll", project / L"pieceif.dll"}, {L"PPACK.EXE", project / L"PPACK.EXE"}};
    for (const auto& [from, to] : copies) CopyFileW(ts::BinPath(from).c_str(), to.c_str(), FALSE);
    ts::WriteBytes(project / L"game.srf", "SRF");
    ts::WriteBytes(project / L"game.pex", "PEX");
    const std::wstring cmdline = project / L"cmdline.txt", missing = L"pieceif.dllが見つかりません.";
    const ts::Restore record = ts::SetEnv(L"PPACK_SIM_CMDLINE", cmdline);
    EXPECT_EQ(ts::HostSession(project.Host(L"INFO", alone, project.path())).Finish(), Lines({L"P/ECE Infomation", missing, L"---"}));
    EXPECT_EQ(ts::HostSession(project.Host(L"RUN", partial, project.path())).Finish(), Lines({L"P/ECEへデータ転送中...", missing}));
    ts::HostSession transfer(project.Host(L"FILETRANS", alone, project.path()));
    EXPECT_TRUE(ts::FileDialog(project / L"game.pex"));
    EXPECT_EQ(transfer.Finish(), Lines({L"P/ECE ファイル転送", missing, L"---"}));

    ts::HostSession capture(project.Host(L"CAPTURE", alone, project.path()));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + missing);
    ASSERT_TRUE(ts::Click(Capture, L"録画"));  // and so the live view
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + missing);
    const HWND live = ui::WaitForButton(Capture, L"ライブ", ts::Bound);
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(live, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, L"停止"));
    EXPECT_TRUE(ui::WaitForButton(Capture, L"録画", ts::Bound));
    EXPECT_TRUE(ts::NoBox(Capture)) << "a recording without a frame ends without a word";
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    EXPECT_EQ(capture.Finish(), Texts{});

    ts::HostSession build(project.Host(L"CREATEPEX", alone, project.path()));
    ASSERT_TRUE(ts::Click(Form6, L"作成"));
    const Texts lines = build.Finish();
    EXPECT_TRUE(lines.size() == 4 && lines[3] == L"実行イメージ作成失敗.\r\n") << ts::Utf8(ts::Joined(lines));
    EXPECT_EQ(ts::ReadBytes(cmdline), "") << "the packer in the current folder is not run";
    EXPECT_EQ(device.Calls(), "");
}

// (A cancelled transfer and a device not found: the menu's in the session of a hung device.)
TEST(Sessions, InfoTransferAndRunInEveryOutcome)
{
    ts::SimDevice device;
    ts::Project project(L"[SOURCE]\r\n1=\".\\ゲーム.c\"\r\n");
    // The verb's session: the file dialog answered with `file`, when one is given.
    const auto run = [&](const std::wstring& verb, const std::wstring& file = L"") {
        ts::HostSession host(project.Host(verb));
        EXPECT_TRUE(file.empty() || ts::FileDialog(file));
        return host.Finish();
    };

    device.Set(L"device", L"hardware", L"0x010A");
    device.Set(L"device", L"bios", L"0x0105");
    device.Set(L"pffs", L"freesectors", L"40000");
    device.Set(L"pffs", L"freebytes", L"163840000");
    EXPECT_EQ(run(L"INFO"), Lines({L"P/ECE Infomation", L"HARD Version:1.10", L"BIOS Version:1.5",
              L"BIOS Date   :2003/4/15", L"PFFS Free   :40000 sectors (163840000 bytes) Free", L"---"}));
    EXPECT_EQ(device.Calls(), ts::Bracket({"ismGetVersion 1", "ismPFFSDir 4096 0"}));
    device.Set(L"pffs", L"dirresult", L"1003");
    device.Set(L"device", L"biosdate", L"0x148F");  // year 10
    EXPECT_EQ(run(L"INFO"), Lines({L"P/ECE Infomation", L"HARD Version:1.10",
              L"BIOS Version:1.5", L"BIOS Date   :2010/4/15", L"PFFS Free   :0 sectors (0 bytes) Free", L"---"}));

    const std::wstring pex = project / L"GAME.PEX";
    ts::WriteBytes(pex, std::string("PEX\0\xff", 5));
    device.ClearCalls();
    EXPECT_EQ(run(L"FILETRANS", pex), Lines({L"P/ECE ファイル転送", L"転送完了.", L"---"}));
    EXPECT_EQ(ts::ReadBytes(device / L"pffs\\game.pex"), std::string("PEX\0\xff", 5));
    EXPECT_EQ(device.Calls(), ts::Bracket({"ismPFFSWrite game.pex " + ts::Cp932(pex)}));
    for (const std::wstring code : {L"1000", L"1003", L"1007", L"999", L"-1"}) {
        device.Set(L"pffs", L"writeresult", code);
        EXPECT_EQ(run(L"FILETRANS", pex), Lines({L"P/ECE ファイル転送", L"転送失敗. エラーコード:" + code, L"---"}));
    }

    const std::wstring srf = project.path() + L"\\.\\ゲーム.srf";
    EXPECT_EQ(run(L"RUN"), (Texts{L"P/ECEへデータ転送中...\r\n", L"P/ECEへデータ転送失敗.\r\n", srf + L"が見つかりませんでした"}));
    ts::WriteBytes(project / L"ゲーム.srf", "SRF");
    device.ClearCalls();
    EXPECT_EQ(run(L"RUN"), Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送完了."}));
    EXPECT_EQ(device.Calls(), ts::Bracket({"ismWriteSrfFile " + ts::Cp932(srf) + " 1"}));
    EXPECT_EQ(ts::ReadBytes(device / L"run\\ゲーム.srf"), "SRF");
    device.Set(L"srf", L"result", L"1004");
    EXPECT_EQ(run(L"RUN"), Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送失敗.", L"エラーコード:1004"}));
}

TEST(Sessions, TheMenuRunsEachJobInTurnAndStays)
{
    ts::Project project;
    ts::HostSession host(project.Host(L"INFO X"));
    EXPECT_TRUE(ts::Centred(Menu));
    ASSERT_TRUE(ts::Click(Menu, Capture));
    EXPECT_TRUE(ts::Centred(Capture));
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    ASSERT_TRUE(ui::WaitUntilGone(Capture, ts::Bound));

    ASSERT_TRUE(ts::Click(Menu, L"実行イメージ作成"));
    ASSERT_TRUE(ui::PostClose(Menu, ts::Bound));  // as a task list's "end task": the menu is shut to it
    // Without a PEX section: defaults from the name and the first source.
    const Texts defaults = {L"GAME", project / L"game.srf", project / L"game.pex", L""};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(ts::Edit(Form6, i, defaults[i]), defaults[i]) << i;
    EXPECT_TRUE(ts::Centred(Form6));
    ASSERT_TRUE(ts::SetEdit(Form6, 0, L"FIRST"));
    ASSERT_TRUE(ts::Click(Form6, L"設定保存"));
    ASSERT_TRUE(ui::WaitUntilGone(Form6, ts::Bound));
    WritePrivateProfileStringW(L"PEX", L"OUTPUT", L".\\second.pex", project.file().c_str());  // behind the window's back: read afresh
    ASSERT_TRUE(ts::Click(Menu, L"実行イメージ作成"));
    EXPECT_EQ(ts::Edit(Form6, 0, L"FIRST"), L"FIRST");
    EXPECT_EQ(ts::Edit(Form6, 2, project / L"second.pex"), project / L"second.pex");
    // Cancel, Esc or the close box after edits leave the project file as it is.
    const std::string before = ts::ReadBytes(project.file());
    const std::function<bool()> leave[] = {
        [] { return ts::Click(Form6, L"キャンセル"); },
        [] { return PostMessageW(ui::WaitForEdit(Form6, 0, ts::Bound), WM_KEYDOWN, VK_ESCAPE, 0) != FALSE; },
        [] { return ui::PostClose(Form6, ts::Bound); }};
    for (const auto& way : leave) {
        ASSERT_TRUE(&way == leave || ts::Click(Menu, L"実行イメージ作成"));
        ASSERT_TRUE(ts::SetEdit(Form6, 0, L"EDITED"));
        ASSERT_TRUE(ts::SetEdit(Form6, 3, project / L"icon.pid"));
        ASSERT_TRUE(way());
        ASSERT_TRUE(ui::WaitUntilGone(Form6, ts::Bound));
        EXPECT_EQ(ts::ReadBytes(project.file()), before);
    }
    ASSERT_TRUE(PostMessageW(ui::WaitForButton(Menu, L"Information", ts::Bound), WM_KEYDOWN, VK_ESCAPE, 0));  // as 閉じる
    EXPECT_EQ(host.Finish(), Texts{});
}

// A device that hangs in every call. The live view's first call hangs and
// holds the device; a capture clicked meanwhile, a device job of the menu (its
// box is the menu's one rule; the jobs are the verbs'), each device verb and
// pece's info wait for their turn, programs beside each other, and a few
// seconds later each says "P/ECEが応答しません.": in a box over its window,
// as its last line to the host before the verb's usual end, or on pece's
// standard error. No other call reaches the
// device. The capture window paints on while it waits, every window takes
// input again and closes, and every program ends, the one in the hung call
// too, whose turn is free again. (The steps once the device hangs expect
// boxes to come at any time.)
TEST(Sessions, EveryJobGivesUpOnAHungDeviceWhichProgramsTakeInTurn)
{
    ts::SimDevice device;
    ts::Project project;
    const std::wstring pex = project / L"game.pex", delaying = L"vtest-delay-" + std::to_wstring(GetCurrentProcessId());
    ts::WriteBytes(pex, "PEX");
    ts::WriteBytes(project / L"game.srf", "SRF");
    const sim::Handle delayed = sim::NamedEvent(delaying);
    device.Set(L"delay", L"event", delaying);
    device.Set(L"delay", L"all", L"4294967295");
    const std::wstring hung = L"P/ECEが応答しません.";
    const auto click = [](HWND form, const wchar_t* button) { ui::PostClick(FindWindowExW(form, nullptr, L"Button", button)); };

    // Each program through a host of its own, started once the one before has
    // connected to its host: its window, its file dialog or its first line shows it.
    ts::HostSession capture(project.Host(L"CAPTURE"));
    const HWND live = ui::WaitForButton(Capture, L"ライブ", ts::Bound), window = GetParent(live);
    ts::HostSession menu(project.Host(L"MENU"));
    const HWND menuWindow = ui::WaitForWindow(Menu, ts::Bound);
    std::deque<ts::HostSession> verbs;
    verbs.emplace_back(project.Host(L"FILETRANS"));
    const HWND dialog = ui::WaitForFileDialog(ts::Bound);

    ui::PostSelect(live);
    ASSERT_EQ(WaitForSingleObject(delayed.get(), ts::Bound), WAIT_OBJECT_0) << "the live view's first call hangs";
    click(window, Capture);
    EXPECT_TRUE(ui::WaitUntil([&] { return !IsWindowEnabled(window); }, ts::Bound) &&
                SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, ts::Bound, nullptr));
    EXPECT_FALSE(IsWindowEnabled(window) || ui::WaitForMessageBox(0)) << "answered while the capture waits";
    click(menuWindow, L"Information");
    EXPECT_TRUE(ui::AnswerFileDialog(dialog, pex, ts::Bound));
    for (const wchar_t* verb : {L"INFO", L"RUN"})
        EXPECT_TRUE(ui::WaitUntil([&, host = &verbs.emplace_back(project.Host(verb))] { return !host->Received().empty(); }, ts::Bound));
    ts::Output said;  // and the console program beside them
    ts::Process pece(ts::Quote(ts::BinPath(L"pece.exe")) + L" info", L"", &said);

    // Each box over the window it tells about. They lie one over the other,
    // so their icons cannot be told from the screen.
    std::multiset<std::pair<HWND, std::wstring>> boxes;
    for (int i = 0; i < 3; ++i) {
        const HWND box = ui::WaitForMessageBox(ts::Bound);
        boxes.emplace(GetWindow(box, GW_OWNER), ui::MessageText(box));
        EXPECT_TRUE(ui::PressButton(box, IDOK) && ui::WaitUntil([&] { return !IsWindowVisible(box); }, ts::Bound));
    }
    EXPECT_EQ(boxes, (std::multiset<std::pair<HWND, std::wstring>>{{window, hung}, {window, hung + L" ライブ表示を止めました."}, {menuWindow, hung}}));
    const Texts lines[] = {Lines({L"P/ECE ファイル転送", hung, L"---"}), Lines({L"P/ECE Infomation", hung, L"---"}),
                           Lines({L"P/ECEへデータ転送中...", hung})};
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(verbs[i].Finish(), lines[i]) << i;
    EXPECT_EQ(pece.Wait(false), 4u);
    EXPECT_EQ(said.err, ts::Cp932(hung) + "\r\n");
    ui::PostSelect(live);  // waits behind the hung call; the window still closes at once
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    EXPECT_EQ(capture.Finish(), Texts{});

    // The device answers again, none being connected: the turn is free. A
    // transfer cancelled in its dialog sends nothing and calls nothing.
    device.Set(L"delay", L"all", L"");
    device.Set(L"device", L"connected", L"0");
    ASSERT_TRUE(ts::Click(Menu, L"ファイル転送"));
    EXPECT_TRUE(ts::FileDialog(L""));
    ASSERT_TRUE(ts::Click(Menu, L"Information"));
    ASSERT_TRUE(ts::Click(Menu, L"閉じる"));
    EXPECT_EQ(menu.Finish(), Lines({L"P/ECE Infomation", hung, L"---", L"P/ECE Infomation", L"P/ECEが見つかりません.", L"---"}));
    EXPECT_EQ(device.Calls(), "ismInit\r\n" + ts::Bracket({"ismGetVersion 1"}));
}

}  // namespace
