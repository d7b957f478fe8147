// The link window's conversation with the host stand-in, in this process, and
// the file dialog of the device tool.
#include "Form1.h"
#include "Host.h"
#include "TestSupport.h"
#include "pubForm.h"

#include <gtest/gtest.h>

namespace {

TEST(HostLink, PathFolderAndMessagesInOrder)
{
    ProjectFilePath.clear();
    Form1::Instance().Form_Load();
    EXPECT_EQ(ProjectFilePath, L"") << "no host: no path";
    HostMessage(L"nobody hears this");
    Form1::Instance().Unload();

    // The host serves while its program runs: a driver waiting for this window to go.
    HWND alive = CreateWindowExW(0, L"STATIC", L"host-link-test", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ts::HostSession host({L"C:\\表示\\ゲーム.sds", L"--timeout 60000 gone host-link-test", ts::BinPath(L"uidriver.exe"), L""});
    ASSERT_TRUE(ui::WaitUntil([] {
        Form1::Instance().Form_Load();
        if (!ProjectFilePath.empty()) return true;
        Form1::Instance().Unload();
        return false;
    }, ts::Bound));
    EXPECT_EQ(ProjectFilePath, L"C:\\表示\\ゲーム.sds");
    EXPECT_EQ(ProjectDir, L"C:\\表示");
    const ts::Texts sent = {L"実行イメージ作成中...\r\n", L"", L"two\r\nlines\r\n", L"no line end", std::wstring(5000, L'x')};
    for (const auto& text : sent) HostMessage(text);
    Form1::Instance().Unload();
    HostMessage(L"after the link closed is dropped");
    DestroyWindow(alive);
    EXPECT_EQ(host.Finish(), sent);
}

TEST(FileGet, ModeInitialNameOwnerAndAnswers)
{
    ts::TempDir dir;
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    const std::wstring typed = dir / L"ゲーム";  // no must-exist check, no default extension
    std::wstring chosen, shownName, openCaption, saveCaption;
    HWND seenOwner = nullptr;
    const auto answer = [&](const std::wstring& text, std::wstring& caption) {
        return [&, text] {
            const HWND dialog = ui::WaitForFileDialog(ts::Bound);
            seenOwner = GetWindow(dialog, GW_OWNER);
            shownName = ui::ControlText(GetDlgItem(dialog, 1148));
            caption = ui::Caption(dialog);
            ts::FileDialog(text);
        };
    };
    ts::WhileShown([&] { chosen = pubForm::FileGet(L"入力(*.SRF)|*.SRF", L"open", dir.path() + L"\\a\\", owner); },
                   answer(typed, openCaption));
    EXPECT_EQ(chosen, typed);
    EXPECT_EQ(seenOwner, owner);
    EXPECT_EQ(shownName, L"a");  // the folder is the dialog's; the name has lost its backslash
    DestroyWindow(owner);

    ts::WriteBytes(dir / L"shot.bmp", "old");  // saving over it asks nothing: no second dialog
    ts::WhileShown([&] { chosen = pubForm::FileGet(L"b|*.bmp", L"SAVE", L"", nullptr); },
                   answer(dir / L"shot.bmp", saveCaption));
    EXPECT_EQ(chosen, dir / L"shot.bmp");
    EXPECT_NE(saveCaption, openCaption);
    ts::WhileShown([&] { chosen = pubForm::FileGet(L"b|*.bmp", L"OPEN", L"", nullptr); }, answer(L"", openCaption));
    EXPECT_EQ(chosen, L"");
    EXPECT_EQ(DialogFilter(L"a(*.pex)|*.pex|b|*.*"), std::wstring(L"a(*.pex)\0*.pex\0b\0*.*\0\0", 22));
}

}  // namespace
