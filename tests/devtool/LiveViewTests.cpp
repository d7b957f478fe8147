// The live view of the real device tool against the simulated device: what
// starts and stops its captures, whatever a capture returns, and a device
// that hangs in one.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const wchar_t Capture[] = L"キャプチャ";
const std::string OneCapture = ts::Bracket({"ismLCDCaptureScreen 11264"});
const std::string Version = ts::Bracket({"ismGetVersion 1"});
const wchar_t Stopped[] = L"warning\nVORTALIS0\nP/ECEが応答しません. ライブ表示を止めました.";

size_t Captures(const std::string& calls)
{
    size_t count = 0;
    for (size_t at = calls.find(OneCapture); at != std::string::npos; at = calls.find(OneCapture, at + 1)) ++count;
    return count;
}

// A library whose captures return 1 when they have copied the screen: the
// live view asks whether a device is there, and goes on while one is.
// Unchecked, it captures no more; checked again once the device that went
// away is back, it captures again.
TEST(LiveView, GoesOnWhateverACaptureReturnsAndStopsAndStartsWithItsBox)
{
    ts::SimDevice device;
    ts::Project project;
    const ts::Restore result = ts::SetEnv(L"PIECE_SIM_CAPTURE_RESULT", L"1");
    ts::HostSession host(project.Host(L"Capture"));
    const HWND live = ui::WaitForButton(Capture, L"ライブ", ts::Bound);
    ui::PostSelect(live);
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device.Calls()) >= 5; }, ts::Bound));

    ui::PostSelect(live);
    ASSERT_TRUE(ts::Click(Capture, Capture));  // a capture of its own marks where the live view stopped
    std::string calls;
    ASSERT_TRUE(ui::WaitUntil([&] {
        calls = device.Calls();
        return calls.size() > OneCapture.size() && calls.substr(calls.size() - OneCapture.size()) == OneCapture;
    }, ts::Bound));
    std::string expected = Version;
    for (size_t i = Captures(calls) - 1; i > 0; --i) expected += OneCapture + Version;
    EXPECT_EQ(calls, expected + OneCapture) << "each capture's 1 makes the live view ask for the device";
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Calls().size() >= calls.size() + OneCapture.size(); }, ts::Bound));
    EXPECT_EQ(device.Calls(), calls + OneCapture) << "no live capture between two of the button's";

    device.Set(L"device", L"connected", L"0");
    ui::PostSelect(live);
    EXPECT_EQ(ts::Box(), Stopped);
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(live, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, ts::Bound));
    device.Set(L"device", L"connected", L"1");
    const size_t before = Captures(device.Calls());
    ui::PostSelect(live);
    EXPECT_TRUE(ui::WaitUntil([&] { return Captures(device.Calls()) >= before + 3; }, ts::Bound));
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    EXPECT_EQ(host.Finish(), ts::Texts{});
}

// A capture that never comes back: the live view says so after a few seconds
// and stops. Checked again, it waits behind the hung capture, and the window
// still closes at once and the program ends.
TEST(LiveView, ADeviceThatHangsHoldsUpNeitherTheWindowNorItsClosing)
{
    ts::SimDevice device;
    ts::Project project;
    const ts::Restore hang = ts::SetEnv(L"PIECE_SIM_CAPTURE_MS", L"4294967295");
    ts::HostSession host(project.Host(L"Capture"));
    const HWND live = ui::WaitForButton(Capture, L"ライブ", ts::Bound);
    ui::PostSelect(live);
    EXPECT_EQ(ts::Box(), Stopped);
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(live, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, ts::Bound));
    ui::PostSelect(live);
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    EXPECT_EQ(host.Finish(), ts::Texts{});
    EXPECT_EQ(device.Calls(), Version + "ismInit\r\nismLCDCaptureScreen 11264\r\n");
}

}  // namespace
