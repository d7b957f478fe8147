// The picture formats: the GIF writer and the PNG path, read back by the
// platform's decoder pixel for pixel, and the bitmap file's bytes. (Every
// frame of the GIF writer's animations, its delays and its codes: its native
// proof against giflib, tests/gif.)
#include "Gif.h"
#include "Picture.h"
#include "Png.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A picture that holds every grey level in no simple pattern, so the
// compressor's table fills and starts again on the larger ones.
GreyFrame Noise(int width, int height, unsigned seed)
{
    GreyFrame frame{width, height, {}};
    for (int i = 0; i < width * height; ++i) frame.levels.push_back(static_cast<unsigned char>((seed = seed * 1103515245 + 12345) >> 16 & 3));
    return frame;
}

ts::Decoded::Frame Shown(const GreyFrame& frame, int delay)
{
    ts::Decoded::Frame shown = ts::Shows({frame.levels.begin(), frame.levels.end()}, 1, frame.width, frame.height, frame.width);
    return shown.delay = delay, shown;
}

TEST(PictureFiles, StillPicturesRoundTrip)
{
    for (const GreyFrame& picture : {Noise(128, 88, 1), Noise(256, 176, 2), Noise(5, 3, 3), GreyFrame{1, 1, {3}}}) {
        const std::string png = PngFileBytes(picture);
        EXPECT_EQ(png.substr(0, 4), "\x89PNG");
        EXPECT_EQ(png.substr(24, 2), std::string("\x02\x03")) << "two bits a pixel, with a palette";
        for (const std::string& file : {GifFileBytes(picture), png}) {
            const ts::Decoded decoded = ts::Decode(file);
            ASSERT_EQ(decoded.frames.size(), 1u) << file.substr(0, 4) << picture.width;
            EXPECT_TRUE(decoded.frames[0] == Shown(picture, -1)) << file.substr(0, 4) << picture.width;
            EXPECT_EQ(decoded.loop, -1) << "a still picture does not loop";
        }
    }
}

TEST(PictureFiles, AnAnimationAsThePlatformComposesIt)
{
    // A block that moves over noise, two corners that change, a new screen,
    // an earlier one again, each shown 100 ms: frames of their own rectangles
    // with transparent pixels where the noise stays, as the platform composes
    // them. (That frames show what came at any pace, whatever changes, and
    // that a disk that fills keeps the frames written whole: the writer's
    // native proof, tests/gif.)
    std::vector<GreyFrame> frames(4, Noise(64, 48, 8));
    for (int i = 1; i < 4; ++i)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) frames[i].levels[(6 * std::min(i, 2) + y) * 64 + 5 * std::min(i, 2) + x] = static_cast<unsigned char>((x ^ y) & 3);
    frames[3].levels.front() ^= 1, frames[3].levels.back() ^= 2;
    frames.push_back(Noise(64, 48, 9));
    frames.push_back(frames[1]);
    std::string file;
    GifAnimation gif(
        64, 48, [&](const std::string& bytes) { return file += bytes, true; },
        [&](std::uint64_t length) { return file.resize(static_cast<size_t>(length)), true; });
    std::vector<ts::Decoded::Frame> shown;
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_TRUE(gif.Add(frames[i], i * 100LL)) << i;
        shown.push_back(Shown(frames[i], 10));
    }
    EXPECT_TRUE(gif.Finish(frames.size() * 100LL));
    EXPECT_TRUE(ts::Decode(file).frames == shown);
    EXPECT_NE(file.find("\x21\xF9\x04\x05"), std::string::npos) << "a frame with transparent pixels";
}

TEST(BitmapFile, PaddedRowsBottomUpAsThePlatformReadsThem)
{
    const std::uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xAAAAAA, 0x555555, 0x000000};
    const std::string bytes = BitmapFileBytes(pixels, 3, 2);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);
    EXPECT_EQ(bytes.substr(0, 6), std::string("BM\x4e\0\0\0", 6));
    EXPECT_EQ(bytes.substr(54, 12), std::string("\xaa\xaa\xaa\x55\x55\x55\0\0\0\0\0\0", 12));
    EXPECT_EQ(bytes.substr(66, 12), std::string("\0\0\xff\0\xff\0\xff\0\0\0\0\0", 12));
    EXPECT_FALSE(PictureImage(32768, 32768)) << "a picture the platform cannot make is none";
}

}  // namespace
