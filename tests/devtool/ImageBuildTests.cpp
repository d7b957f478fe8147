// The image build window of the real device tool with the stand-in packer.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using ts::Texts;

const wchar_t Form6[] = L"実行イメージ作成";

TEST(ImageBuild, SavesFirstThenPacksWithTheSettingsWhole)
{
    ts::Project project(std::wstring(ts::Project::DefaultText) + L"[HOST]\r\nOWN=kept\r\n");
    CreateDirectoryW((project / L"my dir").c_str(), nullptr);
    ts::WriteBytes(project / L"my dir\\game.srf", "program");
    ts::WriteBytes(project / L"アイコン.pid", "icon");
    const std::wstring cmdline = project / L"cmdline.txt";
    const ts::Restore record = ts::SetEnv(L"PPACK_SIM_CMDLINE", cmdline);
    ts::HostSession host(project.Host(L"CreatePex"));
    ASSERT_TRUE(ts::Wait(Form6));
    EXPECT_EQ(ts::Focus(Form6), ui::WaitForEdit(Form6, 0, ts::Bound)) << "the title box has the focus";
    // Without a PEX section: defaults from the name and the first source.
    const Texts defaults = {L"GAME", project / L"game.srf", project / L"game.pex", L""};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(ts::Edit(Form6, i, defaults[i]), defaults[i]) << i;
    const Texts boxes = {L"MY ゲーム", project / L"my dir\\game.srf", project / L"my dir\\game.pex", project / L"アイコン.pid"};
    for (size_t i = 0; i < 4; ++i) ASSERT_TRUE(ts::SetEdit(Form6, i, boxes[i]));
    ASSERT_TRUE(ts::Click(Form6, L"作成"));
    const std::wstring run = ts::Joined(host.Finish());
    EXPECT_EQ(run.find(L"実行イメージ作成中...\r\n"), 0u) << ts::Utf8(run);
    EXPECT_NE(run.find(L"PPACK: 完了.\r\n"), std::wstring::npos);
    EXPECT_EQ(run.substr(run.size() - 13), L"実行イメージ作成完了.\r\n");
    EXPECT_EQ(sim::FromCodePage(932, ts::ReadBytes(cmdline)),
              L"PPACK.EXE -e \"" + boxes[1] + L"\" -o\"" + boxes[2] + L"\" -n\"MY ゲーム\" -i" + boxes[3]);
    EXPECT_EQ(ts::ReadBytes(boxes[2]).substr(0, 8), "PEXSIM1\n");
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"MY ゲーム");
    EXPECT_EQ(project.Read(L"PEX", L"INPUT"), L".\\my dir\\game.srf");
    EXPECT_EQ(project.Read(L"PEX", L"OUTPUT"), L".\\my dir\\game.pex");
    EXPECT_EQ(project.Read(L"PEX", L"ICON"), L".\\アイコン.pid");
    EXPECT_EQ(project.Read(L"HOST", L"OWN"), L"kept");
}

TEST(ImageBuild, StoredPathsShowAbsoluteAndOnlyRelativeFormsAreSaved)
{
    ts::Project project(std::wstring(ts::Project::DefaultText) +
                        L"[PEX]\r\nTITLE=保存済み\r\nINPUT=.\\src\\game.srf\r\nOUTPUT=..\\out\\game.pex\r\nICON=.\\i.pid\r\n");
    const std::wstring parent = project.path().substr(0, project.path().rfind(L'\\'));
    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(ts::Wait(Form6));
    const Texts shown = {L"保存済み", project / L"src\\game.srf", parent + L"\\out\\game.pex", project / L"i.pid"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(ts::Edit(Form6, i, shown[i]), shown[i]) << i;
    ASSERT_TRUE(ts::SetEdit(Form6, 1, L"Z:\\dev\\..\\x.y\\a.b.srf"));
    ASSERT_TRUE(ts::Click(Form6, L"↓"));  // only the extension changes
    EXPECT_EQ(ts::Edit(Form6, 2, L"Z:\\dev\\..\\x.y\\a.b.pex"), L"Z:\\dev\\..\\x.y\\a.b.pex");
    ASSERT_TRUE(ts::Click(Form6, L"..."));
    EXPECT_TRUE(ts::FileDialog(L"", Form6));  // a cancel keeps the text
    EXPECT_EQ(ts::Edit(Form6, 1, L"Z:\\dev\\..\\x.y\\a.b.srf"), L"Z:\\dev\\..\\x.y\\a.b.srf");
    ASSERT_TRUE(ts::Click(Form6, L"..."));
    EXPECT_TRUE(ts::FileDialog(L"Z:\\elsewhere\\game.srf", Form6));
    ASSERT_TRUE(ts::SetEdit(Form6, 0, L""));
    ASSERT_TRUE(ts::SetEdit(Form6, 3, L""));
    ASSERT_TRUE(ts::Click(Form6, L"設定保存"));
    EXPECT_EQ(host.Finish(), Texts{});
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"<absent>");
    EXPECT_EQ(project.Read(L"PEX", L"INPUT"), L"<absent>");  // no relative form on another drive
    EXPECT_EQ(project.Read(L"PEX", L"OUTPUT"), L"<absent>");  // the stored one goes too
    EXPECT_EQ(project.Read(L"PEX", L"ICON"), L"<absent>");
}

// A downloaded project could bring a packer of its own; the tool is started in
// the project's folder, and a packer only there is not run.
TEST(ImageBuild, APackerOnlyInTheCurrentFolderIsNotRun)
{
    ts::Project project;
    ts::TempDir bin;
    const std::wstring alone = ts::LoneCopy(bin);
    CopyFileW(ts::BinPath(L"PPACK.EXE").c_str(), (project / L"PPACK.EXE").c_str(), FALSE);
    const std::wstring cmdline = project / L"cmdline.txt";
    const ts::Restore record = ts::SetEnv(L"PPACK_SIM_CMDLINE", cmdline);
    const ts::Restore folder = ts::SetCurrentFolder(project.path());
    ts::HostSession host(project.Host(L"CREATEPEX", alone));
    ASSERT_TRUE(ts::Wait(Form6));
    ASSERT_TRUE(ts::Click(Form6, L"作成"));
    const Texts lines = host.Finish();
    ASSERT_EQ(lines.size(), 4u) << ts::Utf8(ts::Joined(lines));
    const std::wstring cannotStart = L"起動できませんでした (エラー 2): PPACK.EXE -e ";
    EXPECT_EQ(lines[1].substr(0, cannotStart.size()), cannotStart);
    EXPECT_EQ(lines[3], L"実行イメージ作成失敗.\r\n");
    EXPECT_EQ(ts::ReadBytes(cmdline), "");
}

}  // namespace
