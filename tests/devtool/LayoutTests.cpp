// The device tool's windows in this process: where their controls sit at the
// session's DPI, the capture drawn in whole screen pixels as the window grows,
// and the menu shut to input while a job runs.
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

// What the display area's inner area shows on the screen.
ts::Decoded::Frame Shown(HWND display)
{
    RECT inner = {};
    GetClientRect(display, &inner);
    const HDC dc = GetDC(display);
    ts::Decoded::Frame shown{inner.right, inner.bottom, -1, ui::Pixels(dc, inner)};
    ReleaseDC(display, dc);
    return shown;
}

// The capture window shows each device pixel as a block of whole screen
// pixels, the rest of the display area white: at its designed size at the
// size of the capture, in the top left corner; grown for 4x, and maximised,
// at the largest whole multiple that fits, in the middle, its controls still
// in place. At 150%, where a block of 1.5 pixels cannot be, at the whole
// multiple below, not cut off.
TEST(Layout, TheCaptureShowsEachDevicePixelAsABlockOfWholeScreenPixels)
{
    ts::SimDevice device;
    std::string screen(128 * 88, '\0');
    for (size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<char>((i % 128 + i / 128 * 3) % 4);
    ts::WriteBytes(device / L"screen.bin", screen);
    SetDllDirectoryW(ts::BinPath(L"").c_str());  // the simulated device library
    Form7 capture;
    ASSERT_TRUE(capture.Load(nullptr));
    ShowWindow(capture.hwnd(), SW_SHOW);  // active, where option buttons take clicks
    SetForegroundWindow(capture.hwnd());
    const HWND display = FindWindowExW(capture.hwnd(), nullptr, L"Static", nullptr);  // its one static control
    const auto select = [&](const wchar_t* button) {
        SendMessageW(FindWindowExW(capture.hwnd(), nullptr, L"Button", button), BM_CLICK, 0, 0);
    };
    // Captures, then reads the screen.
    const auto shows = [&](int block, bool centred) {
        capture.Cap();
        const ts::Decoded::Frame shown = Shown(display);
        const int left = centred ? (shown.width - 128 * block) / 2 : 0, top = centred ? (shown.height - 88 * block) / 2 : 0;
        return shown == ts::Shows(screen, block, shown.width, shown.height, 128, left, top);
    };
    const int dpi = ts::SessionDpi(), whole = dpi / 96;
    RECT designed = {}, inner = {}, work = {}, frame = {};
    MINMAXINFO least = {};
    GetWindowRect(capture.hwnd(), &designed);

    // From the bottom right corner of the screen the window grows up and left.
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(capture.hwnd(), nullptr, work.right - (designed.right - designed.left),
                 work.bottom - (designed.bottom - designed.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    select(L"４倍(512×352)");
    EXPECT_TRUE(shows(4 * whole, true));
    GetWindowRect(capture.hwnd(), &frame);
    EXPECT_TRUE(frame.right == work.right && frame.bottom == work.bottom);
    ts::ExpectControls(capture.hwnd(), dpi);
    ShowWindow(capture.hwnd(), SW_MAXIMIZE);
    GetClientRect(display, &inner);
    const int fits = std::min(inner.right / 128, inner.bottom / 88);
    EXPECT_GT(fits, 4 * whole);
    EXPECT_TRUE(shows(fits, true));
    // A screen that changed in part, up to its right edge, is drawn anew there.
    for (size_t i = 20 * 128; i < 40 * 128; ++i) screen[i] = static_cast<char>(i % 128 < 60 ? screen[i] : 3 - screen[i]);
    ts::WriteBytes(device / L"screen.bin", screen);
    EXPECT_TRUE(shows(fits, true));
    ts::ExpectControls(capture.hwnd(), dpi);
    // 4x chosen again (by its key) while minimised: the window is shown
    // again, and can be made no smaller than 4x needs.
    ShowWindow(capture.hwnd(), SW_MINIMIZE);
    select(L"４倍(512×352)");
    SendMessageW(capture.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&least));
    EXPECT_TRUE(least.ptMinTrackSize.x == frame.right - frame.left && least.ptMinTrackSize.y == frame.bottom - frame.top);
    EXPECT_TRUE(shows(fits, true));

    // 2x brings back the designed size, where a capture at 1x leaves none of
    // a doubled one.
    select(L"２倍(256×176)");
    EXPECT_TRUE(shows(2 * whole, false));
    select(L"１倍(128×88)");
    EXPECT_TRUE(shows(whole, false));

    // Moved to a monitor of 150% with 4x selected, the window can be made no
    // smaller than 4x needs there (as selecting it again makes it).
    select(L"４倍(512×352)");
    ts::ExpectDpiChange(capture, 144);
    SendMessageW(capture.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&least));
    select(L"１倍(128×88)");
    select(L"４倍(512×352)");
    GetWindowRect(capture.hwnd(), &frame);
    EXPECT_TRUE(least.ptMinTrackSize.x == frame.right - frame.left && least.ptMinTrackSize.y == frame.bottom - frame.top);
    select(L"２倍(256×176)");
    EXPECT_TRUE(shows(2, false));

    // A キャプチャ click while the live view's capture is on its way takes its
    // turn at the device after it: that live frame, older, is not drawn over
    // it. (The device answers 1, so the live view asks whether it is there
    // before it tells the frame, behind the click's capture.)
    ts::WriteBytes(device / L"screen.bin", std::string(128 * 88, '\0') + std::string(128 * 88, '\3'));
    device.Set(L"delay", L"ismLCDCaptureScreen", L"200");
    const ts::Restore one = ts::SetEnv(L"PIECE_SIM_CAPTURE_RESULT", L"1");
    const size_t before = device.Captures();
    select(L"ライブ");
    ASSERT_TRUE(ui::WaitUntil([&] { return device.Captures() == before + 1; }, ts::Bound));
    capture.Cap();
    const ts::Decoded::Frame clicked = Shown(display);
    ASSERT_TRUE(ui::WaitUntil([&] { return device.Captures() == before + 3; }, ts::Bound));  // the live view has told its frame
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    EXPECT_TRUE(Shown(display) == clicked);
}

// The menu with the window base's job runner in reach.
struct JobMenu : Form2 {
    using Window::RunJob;
};

// A job shuts the window to commands (here 閉じる, and its key), to a close
// request and to a second job; once it is over, the focus is back where it
// was and commands come through again. So is it after a box that is no job,
// and after another window came to the front. (A window over it shuts it as
// well: the menu's session.)
TEST(Window, AJobShutsTheWindowToCommandsCloseAndASecondJob)
{
    JobMenu menu;
    ASSERT_TRUE(menu.Load(nullptr));
    ShowWindow(menu.hwnd(), SW_SHOW);
    const HWND close = FindWindowExW(menu.hwnd(), nullptr, L"Button", L"閉じる");
    SetFocus(close);  // not the first control, where the focus would go anyway
    const auto click = [&](WORD how = BN_CLICKED) { SendMessageW(menu.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(close), how), 0); };
    bool second = true, nested = false;
    EXPECT_TRUE(menu.RunJob([&] {
        click();
        click(1);  // as its key sends it
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
