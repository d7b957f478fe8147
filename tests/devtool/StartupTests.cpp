// The real device tool refuses to run without a project from the host.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kRefusal[] = L"VORTALIS0\nこのソフトはQuandrixからでしか起動出来ません";

TEST(Startup, RefusedWithoutHostOrProjectWhateverTheVerb)
{
    ts::TempDir dir;
    for (const wchar_t* verb : {L"INFO", L"CREATEPEX", L"", L"capture"}) {
        for (bool service : {false, true}) {
            ts::HostOptions o;
            o.args = verb;
            o.service = service;  // with the service: the empty answer
            ts::HostSession host(o);
            ts::ProcessResult box = ts::Ui(L"msgbox --press ok");
            ASSERT_EQ(box.exitCode, 0u) << box.output;
            EXPECT_EQ(ts::FromUtf8(box.output), kRefusal);
            ts::HostResult run = host.Finish(10000);
            EXPECT_FALSE(run.timedOut) << "the program ends once the box is closed";
            EXPECT_TRUE(run.executes.empty());
        }
    }
}

}  // namespace

namespace {

// A project folder and a disconnected simulated device, for the verbs' first lines.
struct VerbSetup {
    ts::TempDir project, device;
    ts::ScopedEnv env{L"PIECE_SIM_DIR", device.path()};
    VerbSetup()
    {
        ts::WriteBytes(project / L"game.sds", "[MAIN]\r\nPROJECT-NAME=GAME\r\n[SOURCE]\r\nN=1\r\n1=.\\game.c\r\n");
        ts::WriteBytes(device / L"device.ini", "[device]\r\nconnected=0\r\n");
    }
    ts::HostOptions Host(const std::wstring& args) const
    {
        ts::HostOptions o;
        o.project = project / L"game.sds";
        o.args = args;
        return o;
    }
};

bool WaitThenClose(const std::wstring& caption)
{
    if (ts::Ui(L"wait " + ts::Quote(caption)).exitCode != 0) return false;
    return ts::Ui(L"close " + ts::Quote(caption)).exitCode == 0;
}

TEST(Startup, VerbsInAnyCaseRunTheirJobs)
{
    VerbSetup setup;
    for (const wchar_t* verb : {L"createpex", L"CreatePex", L"CREATEPEX"}) {
        ts::HostSession host(setup.Host(verb));
        EXPECT_TRUE(WaitThenClose(L"実行イメージ作成")) << verb;
        EXPECT_TRUE(host.Finish(15000).executes.empty()) << "closing the window builds nothing";
    }
    for (const wchar_t* verb : {L"capture", L"Capture"}) {
        ts::HostSession host(setup.Host(verb));
        EXPECT_TRUE(WaitThenClose(L"キャプチャ")) << verb;
        EXPECT_FALSE(host.Finish(15000).timedOut);
    }
    for (const wchar_t* verb : {L"info", L"Info"}) {
        const ts::HostResult run = ts::RunHost(setup.Host(verb));
        ASSERT_FALSE(run.executes.empty()) << verb;
        EXPECT_EQ(run.executes.front(), L"P/ECE Infomation\r\n");
        EXPECT_EQ(run.executes.back(), L"---\r\n");
    }
    const ts::HostResult run = ts::RunHost(setup.Host(L"rUn"));
    ASSERT_FALSE(run.executes.empty());
    EXPECT_EQ(run.executes.front(), L"P/ECEへデータ転送中...\r\n");
    // The stored ".\game.c" is joined as it is, without canonicalising.
    EXPECT_EQ(run.executes.back(), setup.project.path() + L"\\.\\game.srfが見つかりませんでした");

    ts::HostSession transfer(setup.Host(L"FileTrans"));
    EXPECT_EQ(ts::Ui(L"file-dialog --cancel").exitCode, 0u);
    EXPECT_TRUE(transfer.Finish(15000).executes.empty()) << "a cancelled choice sends nothing";
}

}  // namespace

namespace {

TEST(Startup, AHostThatRefusesEveryLineDoesNotHoldTheToolUp)
{
    VerbSetup setup;
    ts::HostOptions o = setup.Host(L"INFO");
    o.refuseExecutes = true;
    const DWORD start = GetTickCount();
    const ts::HostResult run = ts::RunHost(o, 20000);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.executes.empty());
    EXPECT_LT(GetTickCount() - start, 10000u);
}

}  // namespace
