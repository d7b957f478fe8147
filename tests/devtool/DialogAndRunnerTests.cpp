// Parts of the device tool's jobs in this process: the file dialog, the
// boxes, and the console tool runner in every outcome the stand-in packer can
// give.
#include "ConsoleTool.h"
#include "Ini.h"
#include "MsgBox.h"
#include "TestSupport.h"
#include "pubForm.h"

#include <gtest/gtest.h>

namespace {

using ts::Texts;

// "open" in any case opens the open dialog, which takes a typed name as typed,
// with no check that the file exists; a name given with a backslash at its end
// shows without it; the save dialog asks nothing of a file it replaces.
TEST(FileGet, InitialNameAndAnswers)
{
    ts::TempDir dir;
    const std::wstring typed = dir / L"ゲーム", replaced = dir / L"shot.bmp";
    std::wstring chosen, shown, caption;
    ts::WhileShown([&] { chosen = pubForm::FileGet(L"入力(*.SRF)|*.SRF", L"open", dir.path() + L"\\a\\", nullptr); }, [&] {
        const HWND dialog = ui::WaitForFileDialog(ts::Bound);
        shown = ui::ControlText(GetDlgItem(dialog, 1148)), caption = ui::Caption(dialog);
        ts::FileDialog(typed);
    });
    EXPECT_EQ((ts::Texts{chosen, shown, caption}), (ts::Texts{typed, L"a", L"開く"}));
    ts::WriteBytes(replaced, "old");
    ts::WhileShown([&] { chosen = pubForm::FileGet(L"b|*.bmp", L"SAVE", L"", nullptr); }, [&] { ts::FileDialog(replaced); });
    EXPECT_EQ(chosen, replaced);
    EXPECT_EQ(DialogFilter(L"a(*.pex)|*.pex|b|*.*"), std::wstring(L"a(*.pex)\0*.pex\0b\0*.*\0\0", 22));
}

// The box is owned by the window that shows it, even one that is not the
// active window (here: hidden), and bears the program's title. (Another
// refused write, a folder in the file's place: the converter's session.)
TEST(Profile, ARefusedWriteIsOneWarningBoxOverItsOwner)
{
    SetAppTitle(L"VORTALIS0");
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ts::TempDir dir;
    const std::wstring missing = dir / L"no such folder\\p.sds";
    ts::WhileShown([&] { EXPECT_FALSE(WriteIniValue(L"PEX", L"TITLE", L"new", missing, owner)); }, [&] {
        EXPECT_EQ(GetWindow(ui::WaitForMessageBox(ts::Bound), GW_OWNER), owner);
        EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + missing + L"\rへの書き込みに失敗しました");
    });
    DestroyWindow(owner);
}

const std::wstring Packer = ts::BinPath(L"PPACK.EXE");

// One run of a tool (the stand-in packer) with the stand-in's settings: the
// texts it gave, piece by piece, and its result.
struct ToolRun {
    Texts pieces;
    ConsoleToolResult result;
    // Joined: where the pipe reads end is not the runner's choice.
    std::wstring Text() const { return ts::Joined(pieces); }
};

ToolRun RunTool(std::initializer_list<std::pair<const wchar_t*, std::wstring>> env,
            const std::wstring& line = ts::Quote(Packer) + L" -e x.srf -ox.pex -nX", DWORD exitWaitMs = ToolExitWaitMs)
{
    std::vector<ts::Restore> set;
    for (const auto& [name, value] : env) set.push_back(ts::SetEnv(name, value));
    ToolRun run;
    run.result = RunConsoleTool(L"", line, exitWaitMs, [&](const std::wstring& piece) { run.pieces.push_back(piece); });
    return run;
}

TEST(Runner, OutputForwardedInOrderInWholeCharactersAndTheResult)
{
    const ToolRun numbers = RunTool({{L"PPACK_SIM_TEXT", L"0123456789"}});
    EXPECT_EQ(numbers.pieces, (Texts{L"0123456789", L"", L"\r\n"}));  // the end: one empty text, one line end
    EXPECT_TRUE(numbers.result.Succeeded());
    EXPECT_EQ(RunTool({{L"PPACK_SIM_TEXT", L"before|"}, {L"PPACK_SIM_NUL", L"1"}}).Text(), L"before|NUL><NUL\r\n\r\n");
    // The packer's errors go to its standard error alone; its exit code fails the run.
    const ToolRun failed = RunTool({});
    EXPECT_EQ(failed.Text(), L"PPACK: 実行イメージを作成します.\r\nPPACK: 入力ファイルが見つかりません: x.srf\r\n\r\n");
    EXPECT_FALSE(failed.result.Succeeded());
    // A write of no bytes wakes the runner with nothing: what follows it in
    // the tool's last moments still comes, and nothing else.
    EXPECT_EQ(RunTool({{L"PPACK_SIM_TEXT", L""}, {L"PPACK_SIM_LAST", L"last words"}}).Text(), L"last words\r\n");
    // After one single-byte character every full read ends in a lead byte; no
    // piece may be empty before the end or longer than the host takes.
    std::wstring text = L"x";
    for (int i = 0; i < 3000; ++i) text += L"あ表ソ";
    const ToolRun japanese = RunTool({{L"PPACK_SIM_TEXT", text}});
    EXPECT_TRUE(japanese.Text() == text + L"\r\n") << "characters garbled";
    const Texts& pieces = japanese.pieces;
    for (size_t i = 0; i + 2 < pieces.size(); ++i) EXPECT_TRUE(!pieces[i].empty() && ts::Cp932(pieces[i]).size() <= 4094) << i;
    // A megabyte, far more than a pipe holds: a runner that waits for the tool
    // before reading stalls it for good.
    EXPECT_EQ(RunTool({{L"PPACK_SIM_TEXT", L"S"}, {L"PPACK_SIM_EXTRA", L"1048576"}}).Text().size(), 1048579u);

    // A tool that closes its output and runs on is waited for a while, then left to run.
    const std::wstring event = L"vtest-packer-" + std::to_wstring(GetCurrentProcessId());
    const ToolRun closed = RunTool({{L"PPACK_SIM_CLOSE_OUTPUT", L"1"}, {L"PPACK_SIM_WAIT_EVENT", event}, {L"PPACK_SIM_TEXT", L"x"}},
                               ts::Quote(Packer) + L" -e", 1);
    EXPECT_EQ(closed.Text(), L"x" + Packer + L"が終了しませんでした.\r\n\r\n");
    EXPECT_TRUE(closed.result.started && !closed.result.ended);
    sim::SetNamedEvent(event);

    ts::TempDir dir;
    const std::wstring missing = dir / L"none.exe -e";
    const ToolRun none = RunTool({}, missing);
    EXPECT_EQ(none.Text(), L"起動できませんでした (エラー 2): " + missing + L"\r\n\r\n");
    EXPECT_FALSE(none.result.Succeeded());
}

}  // namespace
