// The capture window's colours, kept pictures and bitmap files, read back by
// the platform's own bitmap loader.
#include "DeviceTestSupport.h"
#include "Form7.h"
#include "pieceif.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GreyColour, FourLevelsAndBlackAboveThem)
{
    EXPECT_EQ(GreyColour(0), RGB(255, 255, 255));
    EXPECT_EQ(GreyColour(1), RGB(170, 170, 170));
    EXPECT_EQ(GreyColour(2), RGB(85, 85, 85));
    EXPECT_EQ(GreyColour(3), RGB(0, 0, 0));
    EXPECT_EQ(GreyColour(4), RGB(0, 0, 0));
    EXPECT_EQ(GreyColour(255), RGB(0, 0, 0));
}

TEST(BitmapFile, HeaderAndRowsAsThePlatformReadsThem)
{
    // 3 pixels a row: each row needs padding to four bytes.
    const std::uint32_t pixels[] = {0x00FF0000, 0x0000FF00, 0x000000FF,   // top row
                                    0x00AAAAAA, 0x00555555, 0x00000000};  // bottom row
    const std::string bytes = BitmapFileBytes(pixels, 3, 2);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    DWORD fileSize;
    std::memcpy(&fileSize, bytes.data() + 2, 4);
    EXPECT_EQ(fileSize, bytes.size());
    EXPECT_EQ(bytes.size(), 54u + 2 * 12);

    ts::TempDir dir;
    ts::WriteBytes(dir / L"a.bmp", bytes);
    const dt::Picture read = dt::LoadBitmapFile(dir / L"a.bmp");
    ASSERT_EQ(read.width, 3);
    ASSERT_EQ(read.height, 2);
    EXPECT_EQ(read.pixels, std::vector<std::uint32_t>(std::begin(pixels), std::end(pixels)));
}

TEST(PictureImage, KeepsWhatIsDrawnAndStretchesByWholePixels)
{
    PictureImage small(ScreenWidth, ScreenHeight);
    PictureImage large(ScreenWidth * 2, ScreenHeight * 2);
    for (int i = 0; i < small.width() * small.height(); ++i) ASSERT_EQ(small.pixels()[i], 0x00FFFFFFu);

    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            small.SetPixel(x, y, GreyColour(static_cast<unsigned char>((x + y) % 4)));
    StretchBlt(large.dc(), 0, 0, ScreenWidth * 2, ScreenHeight * 2, small.dc(), 0, 0, ScreenWidth,
               ScreenHeight, SRCCOPY);
    const std::uint32_t grey[] = {0x00FFFFFF, 0x00AAAAAA, 0x00555555, 0x00000000};
    for (int y = 0; y < ScreenHeight * 2; ++y)
        for (int x = 0; x < ScreenWidth * 2; ++x)
            ASSERT_EQ(large.pixels()[y * ScreenWidth * 2 + x], grey[(x / 2 + y / 2) % 4]) << x << "," << y;

    small.Clear();
    for (int i = 0; i < small.width() * small.height(); ++i) ASSERT_EQ(small.pixels()[i], 0x00FFFFFFu);
}

}  // namespace
