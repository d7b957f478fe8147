// The link window's conversation with the host stand-in, in this process.
#include "Form1.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The host stand-in serves while a program of its runs; uidriver waiting for a
// window that never comes keeps it up long enough.
ts::HostOptions ServingHost(const std::wstring& project)
{
    ts::HostOptions o;
    o.project = project;
    o.program = ts::BinPath(L"uidriver.exe");
    o.args = L"--timeout 4000 wait \"no such window\"";
    return o;
}

void WaitForService()
{
    // The stand-in registers its service right after it starts.
    Sleep(700);
}

TEST(HostLink, ProjectPathAndFolderComeFromTheHost)
{
    struct Case {
        std::wstring answer, dir;
    } cases[] = {
        {L"C:\\dev\\game\\game.sds", L"C:\\dev\\game"},
        {L"game.sds", L""},
        {L"C:\\表示\\ゲーム.sds", L"C:\\表示"},
    };
    for (const Case& c : cases) {
        ts::HostSession host(ServingHost(c.answer));
        WaitForService();
        Form1::Instance().Form_Load();
        EXPECT_EQ(ProjectFilePath, c.answer);
        EXPECT_EQ(ProjectDir, c.dir);
        Form1::Instance().Unload();
        host.Finish();
    }
}

TEST(HostLink, MessagesArriveAsSeparateExecutesInOrder)
{
    ts::HostSession host(ServingHost(L"C:\\p\\p.sds"));
    WaitForService();
    Form1::Instance().Form_Load();
    const std::vector<std::wstring> sent = {L"実行イメージ作成中...\r\n", L"", L"two\r\nlines\r\n",
                                            L"no line end", L"\r\n", std::wstring(5000, L'x')};
    for (const auto& text : sent) HostMessage(text);
    Form1::Instance().Unload();
    EXPECT_EQ(host.Finish().executes, sent);
    HostMessage(L"after the link closed is dropped");
}

TEST(HostLink, NoServiceOrEmptyAnswerLeavesThePathEmpty)
{
    ProjectFilePath = L"";
    Form1::Instance().Form_Load();
    EXPECT_EQ(ProjectFilePath, L"");
    HostMessage(L"nobody hears this");
    Form1::Instance().Unload();

    ts::HostSession host(ServingHost(L""));
    WaitForService();
    Form1::Instance().Form_Load();
    EXPECT_EQ(ProjectFilePath, L"");
    EXPECT_EQ(ProjectDir, L"");
    Form1::Instance().Unload();
    host.Finish();
}

}  // namespace
