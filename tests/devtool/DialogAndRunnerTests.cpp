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

// The box is owned by the window that shows it, even one that is not the
// active window (here: hidden), and bears the program's title. (Another
// refused write, a folder in the file's place: the converter's session.)
TEST(Profile, ARefusedWriteIsOneWarningBoxOverItsOwnerAndChangesNothing)
{
    SetAppTitle(L"VORTALIS0");
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ts::TempDir dir;
    const std::wstring missing = dir / L"no such folder\\p.sds";
    ts::WhileShown([&] { EXPECT_FALSE(WriteIniValue(L"PEX", L"TITLE", L"new", missing, owner)); }, [&] {
        EXPECT_EQ(GetWindow(ui::WaitForMessageBox(ts::Bound), GW_OWNER), owner);
        EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + missing + L"\rへの書き込みに失敗しました");
    });
    EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    DestroyWindow(owner);
}

// The runner's output for one packer run with the stand-in's settings, joined:
// where the pipe reads end is not the runner's choice.
std::wstring RunPacker(std::initializer_list<std::pair<const wchar_t*, std::wstring>> env, bool* succeeded = nullptr,
                       Texts* chunks = nullptr)
{
    std::vector<ts::Restore> set;
    for (const auto& [name, value] : env) set.push_back(ts::SetEnv(name, value));
    Texts texts;
    const bool ok = RunConsoleTool(L"", ts::Quote(ts::BinPath(L"PPACK.EXE")) + L" -e x.srf -ox.pex -nX", ToolExitWaitMs,
                                   [&](const std::wstring& text) { texts.push_back(text); }).Succeeded();
    if (succeeded) *succeeded = ok;
    if (chunks) *chunks = texts;
    return ts::Joined(texts);
}

TEST(Runner, OutputForwardedInOrderInWholeCharactersAndTheResult)
{
    ts::TempDir dir;
    bool ok = false;
    Texts chunks;
    RunPacker({{L"PPACK_SIM_TEXT", L"0123456789"}}, &ok, &chunks);
    EXPECT_EQ(chunks, (Texts{L"0123456789", L"", L"\r\n"}));  // the end: one empty text, one line end
    EXPECT_TRUE(ok);
    EXPECT_EQ(RunPacker({{L"PPACK_SIM_TEXT", L""}}), L"\r\n");
    EXPECT_EQ(RunPacker({{L"PPACK_SIM_TEXT", L"before|"}, {L"PPACK_SIM_NUL", L"1"}}), L"before|NUL><NUL\r\n\r\n");
    // The packer's errors go to its standard error alone.
    EXPECT_EQ(RunPacker({}, &ok), L"PPACK: 実行イメージを作成します.\r\nPPACK: 入力ファイルが見つかりません: x.srf\r\n\r\n");
    EXPECT_FALSE(ok);
    // A write of no bytes wakes the runner with nothing: what follows it in the tool's last moments still comes.
    EXPECT_EQ(RunPacker({{L"PPACK_SIM_TEXT", L""}, {L"PPACK_SIM_LAST", L"last words"}}), L"last words\r\n");
    for (const wchar_t* code : {L"3", L"-1"}) {
        EXPECT_EQ(RunPacker({{L"PPACK_SIM_TEXT", L"x"}, {L"PPACK_SIM_EXIT", code}}, &ok), L"x\r\n");
        EXPECT_FALSE(ok) << ts::Utf8(code);
    }
    // After one single-byte character every full read ends in a lead byte; no
    // line may be empty before the end or longer than the host takes.
    std::wstring text = L"x";
    for (int i = 0; i < 3000; ++i) text += L"あ表ソ";
    EXPECT_TRUE(RunPacker({{L"PPACK_SIM_TEXT", text}}, nullptr, &chunks) == text + L"\r\n") << "characters garbled";
    for (size_t i = 0; i + 2 < chunks.size(); ++i) EXPECT_TRUE(!chunks[i].empty() && ts::Cp932(chunks[i]).size() <= 4094) << i;
    // A megabyte, far more than a pipe holds: a runner that waits for the tool
    // before reading stalls it for good.
    EXPECT_EQ(RunPacker({{L"PPACK_SIM_TEXT", L"S"}, {L"PPACK_SIM_EXTRA", L"1048576"}}).size(), 1048579u);

    // A tool that closes its output and runs on is waited for a while, then left to run.
    const std::wstring packer = ts::BinPath(L"PPACK.EXE"), event = L"vtest-packer-" + std::to_wstring(GetCurrentProcessId());
    const ts::Restore set[] = {ts::SetEnv(L"PPACK_SIM_CLOSE_OUTPUT", L"1"), ts::SetEnv(L"PPACK_SIM_WAIT_EVENT", event),
                               ts::SetEnv(L"PPACK_SIM_TEXT", L"x")};
    Texts texts;
    const auto collect = [&](const std::wstring& piece) { texts.push_back(piece); };
    const ConsoleToolResult result = RunConsoleTool(L"", ts::Quote(packer) + L" -e", 1, collect);
    EXPECT_EQ(ts::Joined(texts), L"x" + packer + L"が終了しませんでした.\r\n\r\n");
    EXPECT_TRUE(result.started && !result.ended);
    sim::SetNamedEvent(event);

    const std::wstring missing = dir / L"none.exe -e";
    texts.clear();
    EXPECT_FALSE(RunConsoleTool(L"", missing, ToolExitWaitMs, collect).Succeeded());
    EXPECT_EQ(ts::Joined(texts), L"起動できませんでした (エラー 2): " + missing + L"\r\n\r\n");
}

}  // namespace
