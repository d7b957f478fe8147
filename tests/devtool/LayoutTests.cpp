// The device tool's windows in this process: where their controls sit at the
// session's DPI, the capture drawn in whole screen pixels, and the menu shut
// to input while a job runs.
#include "Form2.h"
#include "Form6.h"
#include "Form7.h"
#include "MsgBox.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Layout, EveryWindowOfTheDeviceTool)
{
    Form2 menu;
    Form6 build;
    Form7 capture;
    for (Window* form : std::initializer_list<Window*>{&menu, &build, &capture}) ts::ExpectLayout(*form);
}

// What the display area shows on the screen, from its top left inner corner.
ts::Decoded::Frame Shown(HWND display, int width, int height)
{
    ts::Decoded::Frame shown{width, height, -1, {}};
    const HDC dc = GetDC(display);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = GetPixel(dc, x, y);
            shown.pixels.push_back(GetRValue(pixel) << 16 | GetGValue(pixel) << 8 | GetBValue(pixel));
        }
    ReleaseDC(display, dc);
    return shown;
}

TEST(Layout, TheCaptureShowsEachDevicePixelAsABlockOfWholeScreenPixels)
{
    ts::SimDevice device;
    std::string screen(128 * 88, '\0');
    for (size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<char>((i % 128 + i / 128 * 3) % 4);
    ts::WriteBytes(device / L"screen.bin", screen);
    SetDllDirectoryW(ts::BinPath(L"").c_str());  // the simulated device library
    Form7 capture;
    ASSERT_TRUE(capture.Load(nullptr));
    ShowWindow(capture.hwnd(), SW_SHOWNOACTIVATE);
    capture.Cap();  // at 1×
    const HWND display = FindWindowExW(capture.hwnd(), nullptr, L"Static", nullptr);  // its one static control
    const int block = ts::SessionDpi() / 96;
    EXPECT_TRUE(Shown(display, 256 * block, 176 * block) == ts::Shows(screen, block, 256 * block, 176 * block));
}

// The menu with the window base's job runner in reach.
struct JobMenu : Form2 {
    using Window::RunJob;
};

// A job shuts the window to commands (here 閉じる), to a close request and to
// a second job; once it is over, the focus is back where it was and commands
// come through again. So is it after a box that is no job, and after another
// window came to the front. (A window over it shuts it as well: the menu's
// session.)
TEST(Window, AJobShutsTheWindowToCommandsCloseAndASecondJob)
{
    JobMenu menu;
    ASSERT_TRUE(menu.Load(nullptr));
    ShowWindow(menu.hwnd(), SW_SHOW);
    const HWND close = FindWindowExW(menu.hwnd(), nullptr, L"Button", L"閉じる");
    SetFocus(close);  // not the first control, where the focus would go anyway
    const auto click = [&] { SendMessageW(menu.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(close), BN_CLICKED), 0); };
    bool second = true, nested = false;
    EXPECT_TRUE(menu.RunJob([&] {
        click();
        second = menu.RunJob([&] { nested = true; });
        SendMessageW(menu.hwnd(), WM_CLOSE, 0, 0);
    }));
    EXPECT_FALSE(second || nested);
    ASSERT_TRUE(IsWindow(menu.hwnd()));
    EXPECT_EQ(GetFocus(), close);
    ts::WhileShown([&] { MsgBox(menu.hwnd(), L"box", MB_OK); }, [] { ts::Box(); });
    EXPECT_EQ(GetFocus(), close);
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(SetActiveWindow(menu.hwnd()), other);  // shown, it came to the front
    DestroyWindow(other);
    EXPECT_EQ(GetFocus(), close);
    click();
    EXPECT_FALSE(IsWindow(menu.hwnd()));
}

}  // namespace
