// The image build window of the real device tool, driven through the host
// stand-in, with the stand-in packer doing the packing.
#include "EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using e2e::Form6Boxes;
using e2e::Form6Caption;
using e2e::Project;

using Boxes = std::vector<std::wstring>;

// What the stand-in packer writes for a title, an input path, a program and an icon.
std::string Container(const std::wstring& title, const std::wstring& input, const std::string& program,
                      const std::wstring& iconPath, const std::string& icon)
{
    auto sized = [](const std::string& bytes) {
        std::string out;
        for (int i = 0; i < 4; ++i) out += static_cast<char>((bytes.size() >> (8 * i)) & 0xFF);
        return out + bytes;
    };
    return "PEXSIM1\ntitle=" + ts::ToUtf8(title) + "\ninput=" + ts::ToUtf8(input) + "\nicon=" +
           ts::ToUtf8(iconPath) + "\n" + sized(program) + sized(icon);
}

TEST(ImageBuild, WithoutPexSectionTheDefaultsComeFromNameAndFirstSource)
{
    struct Case {
        std::wstring sds;
        std::wstring input, output;  // relative to the project folder
    };
    const Case cases[] = {
        {Project::DefaultText(), L"game.srf", L"game.pex"},
        {L"[MAIN]\r\nPROJECT-NAME=GAME\r\n[SOURCE]\r\nN=1\r\n1=.\\src\\..\\main.c\r\n", L"main.srf", L"main.pex"},
        {L"[MAIN]\r\nPROJECT-NAME=GAME\r\n", L".srf", L".pex"},
    };
    for (const Case& c : cases) {
        Project project(c.sds);
        const std::string before = ts::ReadBytes(project.file());
        ts::HostSession host(project.Host(L"CREATEPEX"));
        ASSERT_TRUE(e2e::Wait(Form6Caption));
        EXPECT_EQ(Form6Boxes(), (Boxes{L"GAME", project / c.input, project / c.output, L""}));
        ASSERT_TRUE(e2e::SetEdit(Form6Caption, 0, L"edited"));
        ASSERT_TRUE(e2e::Click(Form6Caption, L"キャンセル"));
        const ts::HostResult run = host.Finish(10000);
        EXPECT_FALSE(run.timedOut);
        EXPECT_TRUE(run.executes.empty()) << run.Joined();
        EXPECT_EQ(ts::ReadBytes(project.file()), before) << "cancel saves nothing";
    }
}

TEST(ImageBuild, CreateSavesFirstThenPacksWithTheExampleCommandLine)
{
    Project project;
    ASSERT_EQ(project.dir().find(L' '), std::wstring::npos) << "the scratch folder must hold no blank";
    const std::wstring cmdline = project / L"cmdline.txt";
    ts::ScopedEnv record(L"PPACK_SIM_CMDLINE", cmdline);
    ts::ScopedEnv sleep(L"PPACK_SIM_SLEEP_MS", L"2000");
    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"作成"));

    // While the packer runs, the settings are already in the project file.
    const DWORD start = GetTickCount();
    while (ts::ReadBytes(cmdline).empty() && GetTickCount() - start < 10000) Sleep(20);
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"GAME");
    EXPECT_EQ(project.Read(L"PEX", L"INPUT"), L".\\game.srf");
    EXPECT_EQ(project.Read(L"PEX", L"OUTPUT"), L".\\game.pex");
    EXPECT_EQ(project.Read(L"PEX", L"ICON"), L"<absent>");
    EXPECT_EQ(ts::FromCp932(ts::ReadBytes(cmdline)),
              L"PPACK.EXE -e " + (project / L"game.srf") + L" -o" + (project / L"game.pex") + L" -nGAME");

    const ts::HostResult run = host.Finish();
    const std::wstring output = e2e::Join(e2e::ToolChunks(run));
    EXPECT_EQ(output.rfind(L"PPACK: 実行イメージを作成します.\r\n", 0), 0u) << output;
    EXPECT_NE(output.find(L"PPACK: 完了.\r\n"), std::wstring::npos) << output;
    EXPECT_EQ(ts::ReadBytes(project / L"game.pex"),
              Container(L"GAME", project / L"game.srf", ts::ReadBytes(project / L"game.srf"), L"", ""));
}

TEST(ImageBuild, EditedSettingsWithIconBlanksAndJapaneseReachThePackerWhole)
{
    Project project;
    CreateDirectoryW((project / L"my dir").c_str(), nullptr);
    CreateDirectoryW((project / L"画像").c_str(), nullptr);
    ts::WriteBytes(project / L"my dir\\game.srf", "program");
    ts::WriteBytes(project / L"画像\\アイコン.pid", "icon");
    const std::wstring cmdline = project / L"cmdline.txt";
    ts::ScopedEnv record(L"PPACK_SIM_CMDLINE", cmdline);
    const Boxes boxes = {L"MY ゲーム", project / L"my dir\\game.srf", project / L"my dir\\game.pex",
                         project / L"画像\\アイコン.pid"};

    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(e2e::SetEdit(Form6Caption, i, boxes[i]));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"作成"));
    const ts::HostResult run = host.Finish();
    e2e::ToolChunks(run);

    EXPECT_EQ(ts::FromCp932(ts::ReadBytes(cmdline)),
              L"PPACK.EXE -e \"" + boxes[1] + L"\" -o\"" + boxes[2] + L"\" -n\"MY ゲーム\" -i" + boxes[3]);
    EXPECT_EQ(ts::ReadBytes(boxes[2]), Container(boxes[0], boxes[1], "program", boxes[3], "icon"));
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"MY ゲーム");
    EXPECT_EQ(project.Read(L"PEX", L"INPUT"), L".\\my dir\\game.srf");
    EXPECT_EQ(project.Read(L"PEX", L"OUTPUT"), L".\\my dir\\game.pex");
    EXPECT_EQ(project.Read(L"PEX", L"ICON"), L".\\画像\\アイコン.pid");
}

TEST(ImageBuild, APackerThatFailsIsHeardOnItsErrorOutputAndFailsTheBuild)
{
    Project project;
    DeleteFileW((project / L"game.srf").c_str());
    const ts::HostResult run = e2e::BuildImage(project);
    const std::wstring output = e2e::Join(e2e::ToolChunks(run, e2e::BuildFailed));
    EXPECT_NE(output.find(L"PPACK: 入力ファイルが見つかりません: " + (project / L"game.srf") + L"\r\n"),
              std::wstring::npos)
        << output;
    EXPECT_FALSE(ts::FileExists(project / L"game.pex"));
}

TEST(ImageBuild, StoredPathsShowAbsoluteAndSaveBackUnchanged)
{
    Project project(Project::DefaultText() +
                    L"[PEX]\r\nTITLE=保存済み\r\nINPUT=.\\src\\game.srf\r\nOUTPUT=..\\out\\game.pex\r\n"
                    L"ICON=.\\game.pid\r\n[HOST]\r\nOWN=kept\r\n");
    const std::wstring parent = project.dir().substr(0, project.dir().rfind(L'\\'));
    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    EXPECT_EQ(Form6Boxes(), (Boxes{L"保存済み", project / L"src\\game.srf", parent + L"\\out\\game.pex",
                                   project / L"game.pid"}));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"設定保存"));
    const ts::HostResult run = host.Finish(10000);
    EXPECT_TRUE(run.executes.empty()) << run.Joined();
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"保存済み");
    EXPECT_EQ(project.Read(L"PEX", L"INPUT"), L".\\src\\game.srf");
    EXPECT_EQ(project.Read(L"PEX", L"OUTPUT"), L"..\\out\\game.pex");
    EXPECT_EQ(project.Read(L"PEX", L"ICON"), L".\\game.pid");
    EXPECT_EQ(project.Read(L"HOST", L"OWN"), L"kept");
}

TEST(ImageBuild, SavedEmptyOrForeignPathsRemoveTheirEntriesAndTheDefaultsReturn)
{
    Project project(Project::DefaultText() + L"[PEX]\r\nTITLE=T\r\nICON=.\\old.pid\r\n");
    {
        ts::HostSession host(project.Host(L"CREATEPEX"));
        ASSERT_TRUE(e2e::Wait(Form6Caption));
        ASSERT_TRUE(e2e::SetEdit(Form6Caption, 0, L""));
        // The scratch folder is on C:, the Unix root is Z:.
        ASSERT_TRUE(e2e::SetEdit(Form6Caption, 1, L"Z:\\elsewhere\\game.srf"));
        ASSERT_TRUE(e2e::SetEdit(Form6Caption, 2, project / L"出力\\ゲーム.pex"));
        ASSERT_TRUE(e2e::SetEdit(Form6Caption, 3, L""));
        ASSERT_TRUE(e2e::Click(Form6Caption, L"設定保存"));
        EXPECT_FALSE(host.Finish(10000).timedOut);
    }
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"<absent>");
    EXPECT_EQ(project.Read(L"PEX", L"INPUT"), L"<absent>");
    EXPECT_EQ(project.Read(L"PEX", L"OUTPUT"), L".\\出力\\ゲーム.pex");
    EXPECT_EQ(project.Read(L"PEX", L"ICON"), L"<absent>");

    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    EXPECT_EQ(Form6Boxes(), (Boxes{L"GAME", project / L"game.srf", project / L"出力\\ゲーム.pex", L""}));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"キャンセル"));
    EXPECT_FALSE(host.Finish(10000).timedOut);
}

TEST(ImageBuild, DeriveButtonAndBrowseButton)
{
    Project project;
    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    ASSERT_TRUE(e2e::SetEdit(Form6Caption, 1, L"C:\\dev\\game.srf"));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"↓"));
    EXPECT_EQ(e2e::Edit(Form6Caption, 2), L"C:\\dev\\game.pex");
    // Only the extension changes; the path is not canonicalised.
    ASSERT_TRUE(e2e::SetEdit(Form6Caption, 1, L"C:\\dev\\..\\x.y\\a.b.srf"));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"↓"));
    EXPECT_EQ(e2e::Edit(Form6Caption, 2), L"C:\\dev\\..\\x.y\\a.b.pex");

    // The first "..." is the input's: the dialog belongs to the window, a
    // choice replaces the box's text, a cancel keeps it.
    const std::wstring chosen = project / L"picked.srf";
    ASSERT_TRUE(e2e::Click(Form6Caption, L"..."));
    ts::ProcessResult dialog = ts::Ui(L"file-dialog --owner " + ts::Quote(Form6Caption) + L" " + ts::Quote(chosen));
    EXPECT_EQ(dialog.exitCode, 0u) << dialog.output;
    EXPECT_EQ(e2e::Edit(Form6Caption, 1), chosen);
    ASSERT_TRUE(e2e::Click(Form6Caption, L"..."));
    dialog = ts::Ui(L"file-dialog --cancel");
    EXPECT_EQ(dialog.exitCode, 0u) << dialog.output;
    EXPECT_EQ(e2e::Edit(Form6Caption, 1), chosen);

    const std::string before = ts::ReadBytes(project.file());
    ASSERT_TRUE(e2e::Click(Form6Caption, L"キャンセル"));
    EXPECT_FALSE(host.Finish(10000).timedOut);
    EXPECT_EQ(ts::ReadBytes(project.file()), before);
}

TEST(ImageBuild, ALockedProjectFileWarnsOncePerKeyAndTheBuildGoesOn)
{
    Project project;
    ts::LockedFile lock(project.file());
    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    EXPECT_EQ(Form6Boxes()[0], L"GAME") << "reading still works";
    ASSERT_TRUE(e2e::Click(Form6Caption, L"作成"));
    for (int key = 0; key < 4; ++key) {
        const ts::ProcessResult box = ts::Ui(L"msgbox --press ok");
        ASSERT_EQ(box.exitCode, 0u) << "box " << key << ": " << box.output;
        EXPECT_EQ(ts::FromUtf8(box.output), L"VORTALIS0\n" + project.file() + L"\rへの書き込みに失敗しました");
    }
    const ts::HostResult run = host.Finish();
    EXPECT_NE(e2e::Join(e2e::ToolChunks(run)).find(L"PPACK: 完了."), std::wstring::npos);
    EXPECT_TRUE(ts::FileExists(project / L"game.pex"));
}

}  // namespace
