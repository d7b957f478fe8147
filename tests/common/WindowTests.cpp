// The window base and the boxes, in this process: jobs shut the window to
// input, boxes are owned by the window that shows them.
#include "Ini.h"
#include "MsgBox.h"
#include "TestSupport.h"
#include "Window.h"

#include <gtest/gtest.h>

namespace {

class JobForm : public Window {
public:
    JobForm() : Window(L"JobFormTest", L"job form", 3000, 1500) {}
    using Window::RunJob;
    int commands = 0;

protected:
    void Form_Load() override { AddControls(Controls); }

private:
    static const Control Controls[2];
    void Command1_Click() { ++commands; }
};

// Ids 100 and 101. Only the button has a handler: the edit box reports its
// focus coming back after the job.
const Control JobForm::Controls[2] = {
    {L"Edit", L"", WS_TABSTOP, {0, 0, 1000, 300}},
    {L"Button", L"b", WS_TABSTOP, {0, 600, 1000, 300}, 0, &JobForm::Command1_Click},
};

TEST(Window, AJobOrAWindowOverItShutsTheWindowToCommandsCloseAndASecondJob)
{
    JobForm form;
    ASSERT_TRUE(form.Load(nullptr));
    ShowWindow(form.hwnd(), SW_SHOW);
    const HWND edit = GetDlgItem(form.hwnd(), 100);
    SetFocus(edit);
    bool second = true, nested = false;
    EXPECT_TRUE(form.RunJob([&] {
        SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0);
        second = form.RunJob([&] { nested = true; });
        SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    }));
    EXPECT_EQ(form.commands, 0);
    EXPECT_FALSE(second);
    EXPECT_FALSE(nested);
    ASSERT_TRUE(IsWindow(form.hwnd()));
    EXPECT_EQ(GetFocus(), edit);
    // A modal window or box over it shuts it to input as well: a close request
    // from outside leaves it, and the window over it, at work.
    EnableWindow(form.hwnd(), FALSE);
    SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(form.hwnd()));
    EnableWindow(form.hwnd(), TRUE);
    SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0);
    EXPECT_EQ(form.commands, 1);
    form.Unload();
}

// The box is owned by the window that shows it, even one that is not the
// active window (here: hidden), and bears the program's title. (Another
// refused write, a folder in the file's place: the converter's session.)
TEST(Profile, ARefusedWriteIsOneWarningBoxOverItsOwnerAndChangesNothing)
{
    SetAppTitle(L"VORTALIS0");
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ts::TempDir dir;
    const std::wstring missing = dir / L"no such folder\\p.sds";
    std::wstring seen;
    HWND seenOwner = nullptr;
    bool written = true;
    ts::WhileShown([&] { written = WriteIniValue(L"PEX", L"TITLE", L"new", missing, owner); }, [&] {
        seenOwner = GetWindow(ui::WaitForMessageBox(ts::Bound), GW_OWNER);
        seen = ts::Box();
    });
    EXPECT_FALSE(written);
    EXPECT_EQ(seenOwner, owner);
    EXPECT_EQ(seen, L"warning\nVORTALIS0\n" + missing + L"\rへの書き込みに失敗しました");
    EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    DestroyWindow(owner);
}

}  // namespace
