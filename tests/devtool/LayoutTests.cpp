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
    for (Window* form : std::initializer_list<Window*>{&menu, &build}) ts::ExpectLayout(*form);
}

// What the display area's inner area shows on the screen.
ts::Decoded::Frame Shown(HWND display)
{
    RECT inner = {};
    GetClientRect(display, &inner);
    ts::Decoded::Frame shown{inner.right, inner.bottom, -1, {}};
    BITMAPINFO info = {{sizeof info.bmiHeader, inner.right, -inner.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    const HDC dc = GetDC(display), memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, inner.right, inner.bottom, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (size_t i = 0; bits && i < static_cast<size_t>(inner.right) * inner.bottom; ++i) shown.pixels.push_back(pixels[i] & 0xFFFFFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(display, dc);
    return shown;
}

// The capture window laid out as every window is, then shown: each device
// pixel a block of whole screen pixels, the rest of the display area white.
TEST(Layout, TheCaptureShowsEachDevicePixelAsABlockOfWholeScreenPixels)
{
    ts::SimDevice device;
    std::string screen(128 * 88, '\0');
    for (size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<char>((i % 128 + i / 128 * 3) % 4);
    ts::WriteBytes(device / L"screen.bin", screen);
    SetDllDirectoryW(ts::BinPath(L"").c_str());  // the simulated device library
    Form7 capture;
    ts::ExpectLayout(capture);  // which leaves it at 144 dots an inch
    ShowWindow(capture.hwnd(), SW_SHOWNOACTIVATE);
    const HWND display = FindWindowExW(capture.hwnd(), nullptr, L"Static", nullptr);  // its one static control
    const auto select = [&](const wchar_t* option) {
        SendMessageW(FindWindowExW(capture.hwnd(), nullptr, L"Button", option), BM_CLICK, 0, 0);
    };
    const auto shows = [&](int block) {
        const ts::Decoded::Frame shown = Shown(display);
        return shown == ts::Shows(screen, block, shown.width, shown.height);
    };
    // At 150% a block of 1.5 pixels cannot be: the picture is drawn at the
    // whole multiple below, not cut off, white beyond. A capture at 1x over
    // a doubled one leaves none of it.
    select(L"２倍(256×176)");
    capture.Cap();
    EXPECT_TRUE(shows(2));
    select(L"１倍(128×88)");
    capture.Cap();
    EXPECT_TRUE(shows(1));
}

// A キャプチャ click while the live view's capture is on its way takes its
// turn at the device after it: that live frame, older, is not drawn over it.
// (The device answers 1, so the live view asks whether it is there before it
// tells the frame, behind the click's capture.)
TEST(CaptureWindow, ALiveFrameCapturedBeforeTheClicksIsNotDrawnOverIt)
{
    ts::SimDevice device;
    ts::WriteBytes(device / L"screen.bin", std::string(128 * 88, '\0') + std::string(128 * 88, '\3'));
    device.Set(L"delay", L"ismLCDCaptureScreen", L"200");
    const ts::Restore one = ts::SetEnv(L"PIECE_SIM_CAPTURE_RESULT", L"1");
    SetDllDirectoryW(ts::BinPath(L"").c_str());
    Form7 capture;
    ASSERT_TRUE(capture.Load(nullptr));
    ShowWindow(capture.hwnd(), SW_SHOWNOACTIVATE);
    const auto captures = [&] {
        const std::string calls = device.Calls();
        size_t count = 0;
        for (size_t at = 0; (at = calls.find("ismLCDCaptureScreen", at)) != std::string::npos; ++at) ++count;
        return count;
    };
    SendMessageW(FindWindowExW(capture.hwnd(), nullptr, L"Button", L"ライブ"), BM_CLICK, 0, 0);
    ASSERT_TRUE(ui::WaitUntil([&] { return captures() == 1; }, ts::Bound));
    capture.Cap();
    const HWND display = FindWindowExW(capture.hwnd(), nullptr, L"Static", nullptr);
    const ts::Decoded::Frame clicked = Shown(display);
    ASSERT_TRUE(ui::WaitUntil([&] { return captures() == 3; }, ts::Bound));  // the live view has told its frame
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    EXPECT_TRUE(Shown(display) == clicked);
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
