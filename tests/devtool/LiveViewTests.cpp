// The live view of the real device tool against a simulated device that
// hangs in a capture. (What starts and stops it, and captures that return 1,
// the capture window's session shows.)
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const wchar_t Capture[] = L"キャプチャ";

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
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\nP/ECEが応答しません. ライブ表示を止めました.");
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(live, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, ts::Bound));
    ui::PostSelect(live);
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    EXPECT_EQ(host.Finish(), ts::Texts{});
    EXPECT_EQ(device.Calls(), ts::Bracket({"ismGetVersion 1"}) + "ismInit\r\nismLCDCaptureScreen 11264\r\n");
}

}  // namespace
