// The image build window of the real device tool with the stand-in packer, and
// the console tool runner in this process, forwarding the packer's output.
#include "ConsoleTool.h"
#include "Linked.h"

#include <gtest/gtest.h>

namespace {

const wchar_t Form6[] = L"実行イメージ作成";

TEST(ImageBuild, SavesFirstThenPacksWithTheSettingsWhole)
{
    ts::Project project(std::wstring(ts::Project::DefaultText) + L"[HOST]\r\nOWN=kept\r\n");
    CreateDirectoryW((project / L"my dir").c_str(), nullptr);
    ts::WriteBytes(project / L"my dir\\game.srf", "program");
    ts::WriteBytes(project / L"アイコン.pid", "icon");
    const std::wstring cmdline = project / L"cmdline.txt";
    ts::ScopedEnv record(L"PPACK_SIM_CMDLINE", cmdline);
    ts::HostSession host(project.Host(L"CreatePex"));
    ASSERT_TRUE(ts::Wait(Form6));
    // Without a PEX section: defaults from the name and the first source.
    const Texts defaults = {L"GAME", project / L"game.srf", project / L"game.pex", L""};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ts::Edit(Form6, i), defaults[i]) << i;
    const Texts boxes = {L"MY ゲーム", project / L"my dir\\game.srf", project / L"my dir\\game.pex", project / L"アイコン.pid"};
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(ts::SetEdit(Form6, i, boxes[i]));
    ASSERT_TRUE(ts::Click(Form6, L"作成"));
    const ts::HostResult run = host.Finish();
    ASSERT_GE(run.executes.size(), 4u) << ts::ToUtf8(run.Joined());
    EXPECT_EQ(run.executes.front(), L"実行イメージ作成中...\r\n");
    EXPECT_EQ(run.executes.back(), L"実行イメージ作成完了.\r\n");
    EXPECT_NE(run.Joined().find(L"PPACK: 完了.\r\n"), std::wstring::npos);
    EXPECT_EQ(ts::FromCp932(ts::ReadBytes(cmdline)),
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
    const std::wstring parent = project.dir().substr(0, project.dir().rfind(L'\\'));
    ts::HostSession host(project.Host(L"CREATEPEX"));
    ASSERT_TRUE(ts::Wait(Form6));
    const Texts shown = {L"保存済み", project / L"src\\game.srf", parent + L"\\out\\game.pex", project / L"i.pid"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ts::Edit(Form6, i), shown[i]) << i;
    ASSERT_TRUE(ts::SetEdit(Form6, 1, L"C:\\dev\\..\\x.y\\a.b.srf"));
    ASSERT_TRUE(ts::Click(Form6, L"↓"));  // only the extension changes
    EXPECT_EQ(ts::Edit(Form6, 2), L"C:\\dev\\..\\x.y\\a.b.pex");
    ASSERT_TRUE(ts::Click(Form6, L"..."));
    EXPECT_TRUE(ts::FileDialog(L"", Form6));  // a cancel keeps the text
    EXPECT_EQ(ts::Edit(Form6, 1), L"C:\\dev\\..\\x.y\\a.b.srf");
    ASSERT_TRUE(ts::Click(Form6, L"..."));
    EXPECT_TRUE(ts::FileDialog(L"Z:\\elsewhere\\game.srf", Form6));
    ASSERT_TRUE(ts::SetEdit(Form6, 0, L""));
    ASSERT_TRUE(ts::SetEdit(Form6, 3, L""));
    ASSERT_TRUE(ts::Click(Form6, L"設定保存"));
    EXPECT_EQ(host.Finish().executes, Texts{});
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"<absent>");
    EXPECT_EQ(project.Read(L"PEX", L"INPUT"), L"<absent>");  // no relative form on another drive
    EXPECT_EQ(project.Read(L"PEX", L"OUTPUT"), L"..\\out\\game.pex");
    EXPECT_EQ(project.Read(L"PEX", L"ICON"), L"<absent>");
}

// The runner's executes for one packer run with the stand-in's settings.
Texts RunPacker(Linked& link, const std::wstring& program, std::initializer_list<std::pair<const wchar_t*, std::wstring>> env,
                bool* succeeded = nullptr)
{
    std::vector<std::unique_ptr<ts::ScopedEnv>> set;
    for (const auto& [name, value] : env) set.push_back(std::make_unique<ts::ScopedEnv>(name, value));
    return link.During([&] {
        const bool ok = RunConsoleTool(L"", ts::Quote(program) + L" -e x.srf -ox.pex -nX").Succeeded();
        if (succeeded) *succeeded = ok;
    });
}

std::wstring Joined(const Texts& texts, size_t end)
{
    std::wstring all;
    for (size_t i = 0; i + end < texts.size(); ++i) {
        EXPECT_FALSE(texts[i].empty()) << "an empty execute before the end, at " << i;
        EXPECT_LE(ts::ToCp932(texts[i]).size(), 4094u) << i;
        all += texts[i];
    }
    return all;
}

TEST(Runner, OutputForwardedInOrderInWholeCharactersAndTheResult)
{
    ts::Project project;
    Linked link(project);
    const std::wstring packer = ts::BinPath(L"PPACK.EXE");
    bool ok = false;
    EXPECT_EQ(RunPacker(link, packer, {{L"PPACK_SIM_TEXT", L"0123456789"}}, &ok), (Texts{L"0123456789", L"", L"\r\n"}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(RunPacker(link, packer, {{L"PPACK_SIM_TEXT", L""}}), (Texts{L"", L"\r\n"}));
    EXPECT_EQ(RunPacker(link, packer, {{L"PPACK_SIM_TEXT", L"before|"}, {L"PPACK_SIM_NUL", L"1"}}),
              (Texts{L"before|NUL><NUL\r\n", L"", L"\r\n"}));
    for (const wchar_t* code : {L"3", L"-1"}) {
        EXPECT_EQ(RunPacker(link, packer, {{L"PPACK_SIM_TEXT", L"x"}, {L"PPACK_SIM_EXIT", code}}, &ok),
                  (Texts{L"x", L"", L"\r\n"}));
        EXPECT_FALSE(ok) << ts::ToUtf8(code);
    }
    std::wstring text = L"x";  // after one single-byte character every full read ends in a lead byte
    for (int i = 0; i < 3000; ++i) text += L"あ表ソ";
    const Texts japanese = RunPacker(link, packer, {{L"PPACK_SIM_TEXT", text}});
    EXPECT_GE(japanese.size(), 7u);
    EXPECT_TRUE(Joined(japanese, 2) == text) << "characters were garbled";
    // Sixteen megabytes: a runner that waits for the tool before reading stalls it for good.
    const Texts large = RunPacker(link, packer, {{L"PPACK_SIM_TEXT", L"S"}, {L"PPACK_SIM_EXTRA", L"16777216"}});
    EXPECT_GE(large.size(), 16777217u / 4094);
    EXPECT_EQ(Joined(large, 2).size(), 16777217u);

    const Texts missing = link.During([] { EXPECT_FALSE(RunConsoleTool(L"", L"Z:\\none\\PPACK.EXE -e").Succeeded()); });
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[0], L"起動できませんでした (エラー 3): Z:\\none\\PPACK.EXE -e\r\n");
    EXPECT_EQ(missing[1], L"\r\n");
}

}  // namespace
