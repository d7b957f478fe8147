// This process as the device tool, linked to the host stand-in: the file
// dialog, and the device verbs and the console tool runner in every outcome
// the simulated device and the stand-in packer can give.
#include "ConsoleTool.h"
#include "DeviceCommands.h"
#include "Form1.h"
#include "Host.h"
#include "TestSupport.h"
#include "pubForm.h"

#include <gtest/gtest.h>

namespace {

using ts::Bracket;
using ts::Lines;
using ts::Texts;

// This process linked to a host that serves the project for the life of the
// object: the host's program is a driver waiting for this object's window to go.
class Linked {
public:
    explicit Linked(const std::wstring& projectFile)
        : alive_(CreateWindowExW(0, L"STATIC", L"linked-verbs", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr)),
          host_({projectFile, L"--timeout 300000 gone linked-verbs", ts::BinPath(L"uidriver.exe"), L""})
    {
        SetDllDirectoryW(ts::BinPath(L"").c_str());  // the simulated device library
        EXPECT_TRUE(ui::WaitUntil([] {
            ProjectFilePath.clear();
            Form1::Instance().Form_Load();
            if (!ProjectFilePath.empty()) return true;
            Form1::Instance().Unload();
            return false;
        }, ts::Bound));
    }
    ~Linked()
    {
        Form1::Instance().Unload();
        DestroyWindow(alive_);
        host_.Finish();
    }
    // What the host received while `verb` ran: a mark sent after it shows when
    // every line before it has arrived.
    Texts During(const std::function<void()>& verb)
    {
        const size_t before = host_.Received().size();
        verb();
        HostMessage(L"<end>");
        Texts all;
        const bool marked = ui::WaitUntil([&] { return !(all = host_.Received()).empty() && all.back() == L"<end>"; }, ts::Bound);
        return marked ? Texts(all.begin() + before, all.end() - 1) : Texts{L"<no mark>"};
    }
    Texts Transfer(const std::wstring& path)
    {
        return During([&] { ts::WhileShown(TransferFile, [&] { ts::FileDialog(path); }); });
    }

private:
    HWND alive_;
    ts::HostSession host_;
};

// A typed name is taken as typed in the open dialog, which has no check that
// the file exists; a name given with a backslash at its end shows without
// it; the save dialog asks nothing of a file it replaces.
TEST(FileGet, InitialNameAndAnswers)
{
    ts::TempDir dir;
    const std::wstring typed = dir / L"ゲーム", replaced = dir / L"shot.bmp";
    std::wstring chosen, shown;
    ts::WhileShown([&] { chosen = pubForm::FileGet(L"入力(*.SRF)|*.SRF", L"open", dir.path() + L"\\a\\", nullptr); }, [&] {
        shown = ui::ControlText(GetDlgItem(ui::WaitForFileDialog(ts::Bound), 1148));
        ts::FileDialog(typed);
    });
    EXPECT_EQ((ts::Texts{chosen, shown}), (ts::Texts{typed, L"a"}));
    ts::WriteBytes(replaced, "old");
    ts::WhileShown([&] { chosen = pubForm::FileGet(L"b|*.bmp", L"SAVE", L"", nullptr); }, [&] { ts::FileDialog(replaced); });
    EXPECT_EQ(chosen, replaced);
    EXPECT_EQ(DialogFilter(L"a(*.pex)|*.pex|b|*.*"), std::wstring(L"a(*.pex)\0*.pex\0b\0*.*\0\0", 22));
}

// (A cancelled transfer and a device not found: the menu's session.)
TEST(DeviceVerbs, InfoTransferAndRunInEveryOutcome)
{
    ts::SimDevice device;
    ts::Project project(L"[SOURCE]\r\n1=\".\\ゲーム.c\"\r\n");
    ts::TempDir source;
    Linked link(project.file());

    device.Set(L"device", L"hardware", L"0x010A");
    device.Set(L"device", L"bios", L"0x0105");
    device.Set(L"pffs", L"freesectors", L"40000");
    device.Set(L"pffs", L"freebytes", L"163840000");
    EXPECT_EQ(link.During(ShowDeviceInfo), Lines({L"P/ECE Infomation", L"HARD Version:1.10", L"BIOS Version:1.5",
              L"BIOS Date   :2003/4/15", L"PFFS Free   :40000 sectors (163840000 bytes) Free", L"---"}));
    EXPECT_EQ(device.Calls(), Bracket({"ismGetVersion 1", "ismPFFSDir 4096 0"}));
    device.Set(L"pffs", L"dirresult", L"1003");
    device.Set(L"device", L"biosdate", L"0x148F");  // year 10
    EXPECT_EQ(link.During(ShowDeviceInfo), Lines({L"P/ECE Infomation", L"HARD Version:1.10",
              L"BIOS Version:1.5", L"BIOS Date   :2010/4/15", L"PFFS Free   :0 sectors (0 bytes) Free", L"---"}));

    const std::wstring pex = source / L"GAME.PEX";
    ts::WriteBytes(pex, std::string("PEX\0\xff", 5));
    device.ClearCalls();
    EXPECT_EQ(link.Transfer(pex), Lines({L"P/ECE ファイル転送", L"転送完了.", L"---"}));
    EXPECT_EQ(ts::ReadBytes(device / L"pffs\\game.pex"), std::string("PEX\0\xff", 5));
    EXPECT_EQ(device.Calls(), Bracket({"ismPFFSWrite game.pex " + ts::Cp932(pex)}));
    for (const std::wstring code : {L"1000", L"1003", L"1007", L"999", L"-1"}) {
        device.Set(L"pffs", L"writeresult", code);
        EXPECT_EQ(link.Transfer(pex), Lines({L"P/ECE ファイル転送", L"転送失敗. エラーコード:" + code, L"---"}));
    }

    const std::wstring srf = project.path() + L"\\.\\ゲーム.srf";
    EXPECT_EQ(link.During(RunOnDevice), (Texts{L"P/ECEへデータ転送中...\r\n", L"P/ECEへデータ転送失敗.\r\n",
                                              srf + L"が見つかりませんでした"}));
    ts::WriteBytes(project / L"ゲーム.srf", "SRF");
    device.ClearCalls();
    EXPECT_EQ(link.During(RunOnDevice), Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送完了."}));
    EXPECT_EQ(device.Calls(), Bracket({"ismWriteSrfFile " + ts::Cp932(srf) + " 1"}));
    EXPECT_EQ(ts::ReadBytes(device / L"run\\ゲーム.srf"), "SRF");
    device.Set(L"srf", L"result", L"1004");
    EXPECT_EQ(link.During(RunOnDevice), Lines({L"P/ECEへデータ転送中...", L"P/ECEへデータ転送失敗.", L"エラーコード:1004"}));
}

// The runner's output for one packer run with the stand-in's settings, joined:
// where the pipe reads end is not the runner's choice.
std::wstring RunPacker(Linked& link, std::initializer_list<std::pair<const wchar_t*, std::wstring>> env,
                       bool* succeeded = nullptr, Texts* chunks = nullptr)
{
    std::vector<ts::Restore> set;
    for (const auto& [name, value] : env) set.push_back(ts::SetEnv(name, value));
    const Texts texts = link.During([&] {
        const bool ok = RunConsoleTool(L"", ts::Quote(ts::BinPath(L"PPACK.EXE")) + L" -e x.srf -ox.pex -nX").Succeeded();
        if (succeeded) *succeeded = ok;
    });
    if (chunks) *chunks = texts;
    return ts::Joined(texts);
}

TEST(Runner, OutputForwardedInOrderInWholeCharactersAndTheResult)
{
    ts::Project project;
    Linked link(project.file());
    bool ok = false;
    Texts chunks;
    RunPacker(link, {{L"PPACK_SIM_TEXT", L"0123456789"}}, &ok, &chunks);
    EXPECT_EQ(chunks, (Texts{L"0123456789", L"", L"\r\n"}));  // the end: one empty text, one line end
    EXPECT_TRUE(ok);
    EXPECT_EQ(RunPacker(link, {{L"PPACK_SIM_TEXT", L""}}), L"\r\n");
    EXPECT_EQ(RunPacker(link, {{L"PPACK_SIM_TEXT", L"before|"}, {L"PPACK_SIM_NUL", L"1"}}), L"before|NUL><NUL\r\n\r\n");
    // The packer's errors go to its standard error alone.
    EXPECT_EQ(RunPacker(link, {}, &ok), L"PPACK: 実行イメージを作成します.\r\nPPACK: 入力ファイルが見つかりません: x.srf\r\n\r\n");
    EXPECT_FALSE(ok);
    // A write of no bytes wakes the runner with nothing: what follows it in the tool's last moments still comes.
    EXPECT_EQ(RunPacker(link, {{L"PPACK_SIM_TEXT", L""}, {L"PPACK_SIM_LAST", L"last words"}}), L"last words\r\n");
    for (const wchar_t* code : {L"3", L"-1"}) {
        EXPECT_EQ(RunPacker(link, {{L"PPACK_SIM_TEXT", L"x"}, {L"PPACK_SIM_EXIT", code}}, &ok), L"x\r\n");
        EXPECT_FALSE(ok) << ts::Utf8(code);
    }
    // After one single-byte character every full read ends in a lead byte; no
    // line may be empty before the end or longer than the host takes.
    std::wstring text = L"x";
    for (int i = 0; i < 3000; ++i) text += L"あ表ソ";
    EXPECT_TRUE(RunPacker(link, {{L"PPACK_SIM_TEXT", text}}, nullptr, &chunks) == text + L"\r\n") << "characters garbled";
    for (size_t i = 0; i + 2 < chunks.size(); ++i) EXPECT_TRUE(!chunks[i].empty() && ts::Cp932(chunks[i]).size() <= 4094) << i;
    // A megabyte, far more than a pipe holds: a runner that waits for the tool
    // before reading stalls it for good.
    EXPECT_EQ(RunPacker(link, {{L"PPACK_SIM_TEXT", L"S"}, {L"PPACK_SIM_EXTRA", L"1048576"}}).size(), 1048579u);

    // A tool that closes its output and runs on is waited for a while, then left to run.
    const std::wstring packer = ts::BinPath(L"PPACK.EXE"), event = L"vtest-packer-" + std::to_wstring(GetCurrentProcessId());
    const ts::Restore set[] = {ts::SetEnv(L"PPACK_SIM_CLOSE_OUTPUT", L"1"), ts::SetEnv(L"PPACK_SIM_WAIT_EVENT", event),
                               ts::SetEnv(L"PPACK_SIM_TEXT", L"x")};
    ConsoleToolResult result{};
    EXPECT_EQ(ts::Joined(link.During([&] { result = RunConsoleTool(L"", ts::Quote(packer) + L" -e", 1); })),
              L"x" + packer + L"が終了しませんでした.\r\n\r\n");
    EXPECT_TRUE(result.started && !result.ended);
    sim::SetNamedEvent(event);

    const std::wstring missing = project / L"none.exe -e";
    EXPECT_EQ(ts::Joined(link.During([&] { EXPECT_FALSE(RunConsoleTool(L"", missing).Succeeded()); })),
              L"起動できませんでした (エラー 2): " + missing + L"\r\n\r\n");
}

}  // namespace
