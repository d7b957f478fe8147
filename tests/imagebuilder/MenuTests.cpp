// The menu window of the real device tool: it opens for anything that is no
// verb, and its buttons run the verbs' jobs one after the other.
#include "EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using e2e::Form6Caption;
using e2e::MenuCaption;
using e2e::Project;

using Lines = std::vector<std::wstring>;

// The simulated device's folder, for the life of a test.
class Device {
public:
    Device() : env_(L"PIECE_SIM_DIR", dir_.path()) { CreateDirectoryW((dir_ / L"pffs").c_str(), nullptr); }
    std::wstring operator/(const std::wstring& name) const { return dir_ / name; }
    std::string Calls() const { return ts::ReadBytes(dir_ / L"calls.log"); }

private:
    ts::TempDir dir_;
    ts::ScopedEnv env_;
};

// The texts of the menu's buttons, in the order the window holds them.
Lines ButtonTexts()
{
    const ts::ProcessResult list = ts::Ui(L"list " + ts::Quote(MenuCaption));
    Lines texts;
    const std::wstring all = ts::FromUtf8(list.output);
    size_t start = 0;
    for (size_t end; (end = all.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring line = all.substr(start, end - start);
        if (line.rfind(L"Button\t", 0) == 0) texts.push_back(line.substr(line.rfind(L'\t') + 1));
    }
    return texts;
}

// Waits until the host has received `count` executes.
Lines ExecutesOnceThere(const ts::HostSession& host, size_t count)
{
    Lines soFar;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(25)) {
        soFar = host.ExecutesSoFar();
        if (soFar.size() >= count) break;
    }
    return soFar;
}

TEST(Menu, OpensForNoVerbAndClosesAtOnceWithoutDeviceOrHost)
{
    Project project;
    for (const wchar_t* args : {L"", L"INFO ", L"INFO X", L"X"}) {
        Device device;
        ts::HostSession host(project.Host(args));
        ASSERT_TRUE(e2e::Wait(MenuCaption)) << args;
        EXPECT_EQ(ButtonTexts(), (Lines{L"Information", L"ファイル転送", L"キャプチャ", L"実行イメージ作成",
                                        L"閉じる", L"P/ECEで実行"}));
        const DWORD start = GetTickCount();
        ASSERT_TRUE(e2e::Click(MenuCaption, L"閉じる"));
        const ts::HostResult run = host.Finish(10000);
        EXPECT_FALSE(run.timedOut);
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_TRUE(run.executes.empty()) << run.Joined();
        EXPECT_FALSE(ts::FileExists(device / L"calls.log")) << "the device was touched";
    }
}

TEST(Menu, BuildsTheImageTwiceWithTheProjectFilesCurrentValues)
{
    Project project;
    ts::HostSession host(project.Host(L""));
    ASSERT_TRUE(e2e::Wait(MenuCaption));

    ASSERT_TRUE(e2e::Click(MenuCaption, L"実行イメージ作成"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    EXPECT_EQ(e2e::Form6Boxes(), (Lines{L"GAME", project / L"game.srf", project / L"game.pex", L""}));
    ASSERT_TRUE(e2e::SetEdit(Form6Caption, 0, L"FIRST"));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"設定保存"));
    ASSERT_TRUE(e2e::Gone(Form6Caption));
    EXPECT_EQ(project.Read(L"PEX", L"TITLE"), L"FIRST");

    // Changed behind the window's back: the next opening reads it afresh.
    project.Write(L"PEX", L"OUTPUT", L".\\second.pex");
    ASSERT_TRUE(e2e::Click(MenuCaption, L"実行イメージ作成"));
    ASSERT_TRUE(e2e::Wait(Form6Caption));
    EXPECT_EQ(e2e::Form6Boxes(), (Lines{L"FIRST", project / L"game.srf", project / L"second.pex", L""}));
    ASSERT_TRUE(e2e::Click(Form6Caption, L"作成"));
    ASSERT_TRUE(e2e::Gone(Form6Caption));

    ASSERT_TRUE(e2e::Wait(MenuCaption)) << "the menu stays for the next job";
    ASSERT_TRUE(e2e::Click(MenuCaption, L"閉じる"));
    const ts::HostResult run = host.Finish();
    EXPECT_NE(e2e::Join(e2e::ToolChunks(run)).find(L"タイトル : FIRST"), std::wstring::npos) << run.Joined();
    EXPECT_TRUE(ts::FileExists(project / L"second.pex"));
    EXPECT_FALSE(ts::FileExists(project / L"game.pex"));
}

// What the host and the device saw of one job started by its verb.
struct Seen {
    Lines executes;
    std::string calls;
};

TEST(Menu, DeviceButtonsDoWhatTheirVerbsDo)
{
    Project project;
    ts::WriteBytes(project / L"game.pex", "image");
    struct Job {
        const wchar_t* verb;
        const wchar_t* button;
        bool picksFile;
    };
    for (const Job& job : {Job{L"INFO", L"Information", false}, Job{L"RUN", L"P/ECEで実行", false},
                           Job{L"FILETRANS", L"ファイル転送", true}}) {
        Seen byVerb;
        {
            Device device;
            ts::HostSession host(project.Host(job.verb));
            if (job.picksFile) {
                const ts::ProcessResult dialog = ts::Ui(L"file-dialog " + ts::Quote(project / L"game.pex"));
                EXPECT_EQ(dialog.exitCode, 0u) << dialog.output;
            }
            const ts::HostResult run = host.Finish(20000);
            ASSERT_FALSE(run.timedOut) << job.verb;
            ASSERT_FALSE(run.executes.empty()) << job.verb;
            byVerb = {run.executes, device.Calls()};
        }
        Device device;
        ts::HostSession host(project.Host(L""));
        ASSERT_TRUE(e2e::Wait(MenuCaption));
        ASSERT_TRUE(e2e::Click(MenuCaption, job.button));
        if (job.picksFile) {
            const ts::ProcessResult dialog = ts::Ui(L"file-dialog " + ts::Quote(project / L"game.pex"));
            EXPECT_EQ(dialog.exitCode, 0u) << dialog.output;
        }
        EXPECT_EQ(ExecutesOnceThere(host, byVerb.executes.size()), byVerb.executes) << job.button;
        ASSERT_TRUE(e2e::Click(MenuCaption, L"閉じる"));
        const ts::HostResult run = host.Finish(10000);
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.executes, byVerb.executes) << job.button;
        EXPECT_EQ(device.Calls(), byVerb.calls) << job.button;
    }
}

TEST(Menu, CaptureOpensOverTheMenuAndTheMenuStays)
{
    Project project;
    Device device;
    ts::HostSession host(project.Host(L"menu"));
    ASSERT_TRUE(e2e::Wait(MenuCaption));
    ASSERT_TRUE(e2e::Click(MenuCaption, L"キャプチャ"));
    ASSERT_TRUE(e2e::Wait(L"キャプチャ"));
    ASSERT_TRUE(e2e::Click(L"キャプチャ", L"閉じる"));
    ASSERT_TRUE(e2e::Gone(L"キャプチャ"));
    ASSERT_TRUE(e2e::Click(MenuCaption, L"閉じる"));
    const ts::HostResult run = host.Finish(10000);
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(run.executes.empty()) << "the capture window sends nothing";
}

}  // namespace
