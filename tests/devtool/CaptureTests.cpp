// The capture window of the real device tool: what each size saves, read back
// by the platform's bitmap loader, and its warnings.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

const wchar_t Capture[] = L"キャプチャ";

// Saves through the dialog, then reads the file back as rows from the top,
// 0x00RRGGBB: a 24-bit bitmap file holds its rows bottom up, each padded to
// four bytes. Empty when the file never came whole.
std::vector<std::uint32_t> Save(const std::wstring& path, int width, int height)
{
    EXPECT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(path));
    const size_t stride = (width * 3 + 3) / 4 * 4;
    std::string bytes;
    const bool whole = ui::WaitUntil([&] { return (bytes = ts::ReadBytes(path)).size() == 54 + stride * height; }, ts::Bound);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; whole && y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(&bytes[54 + (height - 1 - y) * stride + x * 3]);
            pixels.push_back(p[2] << 16 | p[1] << 8 | p[0]);
        }
    return pixels;
}

TEST(Capture, EachSizeSavesWhatItShows)
{
    ts::SimDevice device;
    ts::Project project;
    ts::TempDir out;
    std::string screen(128 * 88, '\0');
    for (size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<char>((i % 128 * 7 + i / 128 * 3) % 4);
    screen[10 * 128 + 10] = 4;  // values the screen format does not use show black
    screen[10 * 128 + 11] = static_cast<char>(200);
    ts::WriteBytes(device / L"screen.bin", screen);
    const std::string white(128 * 88, '\0');

    ts::HostSession host(project.Host(L"Capture"));
    ASSERT_TRUE(ts::Wait(Capture));
    EXPECT_TRUE(Save(out / L"empty.bmp", 128, 88) == ts::Shows(white, 1, 128, 88));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(Save(out / L"one.bmp", 128, 88) == ts::Shows(screen, 1, 128, 88));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));  // the size takes effect at the save
    EXPECT_TRUE(Save(out / L"one-in-two.bmp", 256, 176) == ts::Shows(screen, 1, 256, 176));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_TRUE(Save(out / L"two.bmp", 256, 176) == ts::Shows(screen, 2, 256, 176));
    ASSERT_TRUE(ui::SelectOption(Capture, L"１倍(128×88)", ts::Bound));
    EXPECT_TRUE(Save(out / L"two-as-one.bmp", 128, 88) == ts::Shows(screen, 1, 128, 88));

    device.Set(L"device", L"connected", L"0");  // no device: the buffer stays zero, white
    ASSERT_TRUE(ts::Click(Capture, Capture));
    ASSERT_TRUE(ui::SelectOption(Capture, L"２倍(256×176)", ts::Bound));
    EXPECT_TRUE(Save(out / L"none.bmp", 256, 176) == ts::Shows(white, 1, 256, 176));

    const std::wstring refused = L"Z:\\proc\\vortalis-capture.bmp";  // takes no new files, not even from root
    ASSERT_TRUE(ts::Click(Capture, L"保存"));
    EXPECT_TRUE(ts::FileDialog(refused));
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\n" + refused + L"への書き込みに失敗しました");
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    EXPECT_EQ(host.Finish(), ts::Texts{}) << "the capture window tells the host nothing";
    EXPECT_EQ(device.Calls(), ts::Bracket({"ismLCDCaptureScreen 11264", "ismLCDCaptureScreen 11264",
                                           "ismLCDCaptureScreen 11264"}));
}

TEST(Capture, MissingLibraryWarnsAndKeepsThePicture)
{
    ts::Project project;
    ts::TempDir bin, out;
    ts::HostSession host(project.Host(L"CAPTURE", ts::LoneCopy(bin)));
    ASSERT_TRUE(ts::Click(Capture, Capture));
    EXPECT_EQ(ts::Box(), L"warning\nVORTALIS0\npieceif.dllが見つかりません.");
    EXPECT_TRUE(Save(out / L"kept.bmp", 128, 88) == ts::Shows(std::string(128 * 88, '\0'), 1, 128, 88));
    ASSERT_TRUE(ts::Click(Capture, L"閉じる"));
    host.Finish();
}

}  // namespace
