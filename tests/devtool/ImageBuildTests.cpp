// The image build window of the real device tool with the stand-in packer.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using ts::Texts;

const wchar_t Form6[] = L"実行イメージ作成";
const Texts Keys = {L"TITLE", L"INPUT", L"OUTPUT", L"ICON"};  // the PEX section's, in the order of the boxes

// Stored paths show absolute; each browse fills its own box; the build saves
// the settings before the packer runs, and packs with them whole. (The
// defaults without a PEX section, a failed build and leaving unsaved: the
// sessions of the menu and of the program alone.)
TEST(ImageBuild, StoredPathsShowAbsoluteEachBrowseFillsItsOwnBoxAndTheBuildSavesFirst)
{
    ts::Project project(std::wstring(ts::Project::DefaultText) +
                        L"[PEX]\r\nTITLE=保存済み\r\nINPUT=.\\src\\game.srf\r\nOUTPUT=..\\out\\game.pex\r\nICON=.\\i.pid\r\n");
    const std::wstring parent = project.path().substr(0, project.path().rfind(L'\\'));
    CreateDirectoryW((project / L"my dir").c_str(), nullptr);
    ts::WriteBytes(project / L"my dir\\game.srf", "program");
    ts::WriteBytes(project / L"アイコン.pid", "icon");
    const std::wstring cmdline = project / L"cmdline.txt", held = L"vtest-pack-" + std::to_wstring(GetCurrentProcessId());
    const ts::Restore record = ts::SetEnv(L"PPACK_SIM_CMDLINE", cmdline), hold = ts::SetEnv(L"PPACK_SIM_WAIT_EVENT", held),
                      startup = ts::SetEnv(L"PPACK_SIM_STARTUP", L"1");
    ts::HostSession host(project.Host(L"CreatePex"));
    EXPECT_TRUE(ts::Focused(Form6, 0)) << "the title box has the focus";
    const Texts shown = {L"保存済み", project / L"src\\game.srf", parent + L"\\out\\game.pex", project / L"i.pid"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(ts::Edit(Form6, i, shown[i]), shown[i]) << i;
    ASSERT_TRUE(ts::SetEdit(Form6, 1, L"Z:\\dev\\..\\x.y\\a.b.srf"));
    ASSERT_TRUE(ts::Click(Form6, L"↓"));  // only the extension changes
    EXPECT_EQ(ts::Edit(Form6, 2, L"Z:\\dev\\..\\x.y\\a.b.pex"), L"Z:\\dev\\..\\x.y\\a.b.pex");
    ASSERT_TRUE(ts::Click(Form6, L"..."));
    EXPECT_TRUE(ts::FileDialog(L"", Form6));  // a cancel keeps the text
    EXPECT_EQ(ts::Edit(Form6, 1, L"Z:\\dev\\..\\x.y\\a.b.srf"), L"Z:\\dev\\..\\x.y\\a.b.srf");
    std::vector<HWND> browse;  // the three "..." buttons, in the order of their boxes
    for (const HWND control : ui::Descendants(ui::WaitForWindow(Form6, ts::Bound)))
        if (ui::ControlText(control) == L"...") browse.push_back(control);
    ASSERT_EQ(browse.size(), 3u);
    const Texts filters = {L"入力ファイル(*.SRF)", L"出力ファイル(*.PEX)", L"アイコンファイル(*.PID)"};
    const Texts boxes = {L"MY ゲーム", project / L"my dir\\game.srf", project / L"my dir\\game.pex", project / L"アイコン.pid"};
    for (size_t i = 0; i < 3; ++i) {
        ui::PostClick(browse[i]);
        EXPECT_EQ(ui::ControlText(GetDlgItem(ui::WaitForFileDialog(ts::Bound), 1136)), filters[i]) << i;
        EXPECT_TRUE(ts::FileDialog(boxes[i + 1], Form6));
        EXPECT_EQ(ts::Edit(Form6, i + 1, boxes[i + 1]), boxes[i + 1]);
    }
    ASSERT_TRUE(ts::SetEdit(Form6, 0, boxes[0]));
    ASSERT_TRUE(ts::Click(Form6, L"作成"));
    // The packer, held once its image is written, finds the settings saved.
    EXPECT_TRUE(ui::WaitUntil([&] { return ts::ReadBytes(boxes[2]).substr(0, 8) == "PEXSIM1\n"; }, ts::Bound));
    const Texts stored = {L"MY ゲーム", L".\\my dir\\game.srf", L".\\my dir\\game.pex", L".\\アイコン.pid"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(project.Read(L"PEX", Keys[i]), stored[i]);
    sim::SetNamedEvent(held);
    // The packer's output, then the runner's end (an empty text of its own and
    // a line end) and the build's.
    const Texts lines = host.Finish();
    ASSERT_GE(lines.size(), 3u);
    const std::wstring run = ts::Joined(lines);
    EXPECT_EQ(run.find(L"実行イメージ作成中...\r\nPPACK: 起動 flags=0x00000101 show=0 console=hidden\r\n"), 0u) << ts::Utf8(run);
    EXPECT_EQ(Texts(lines.end() - 3, lines.end()), (Texts{L"", L"\r\n", L"実行イメージ作成完了.\r\n"}));
    EXPECT_EQ(sim::FromCodePage(932, ts::ReadBytes(cmdline)),
              L"PPACK.EXE -e \"" + boxes[1] + L"\" -o\"" + boxes[2] + L"\" -n\"MY ゲーム\" -i" + boxes[3]);
}

}  // namespace
