// The GIF writer and the PNG path, read back by the platform's decoder pixel
// for pixel.
#include "Gif.h"
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
    const std::uint32_t grey[] = {0xFFFFFF, 0xAAAAAA, 0x555555, 0x000000};
    ts::Decoded::Frame shown{frame.width, frame.height, delay, {}};
    for (unsigned char level : frame.levels) shown.pixels.push_back(grey[level]);
    return shown;
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

TEST(PictureFiles, AnimationsMergeTimeAndLoop)
{
    const GreyFrame a = Noise(128, 88, 4), b = Noise(128, 88, 5), c = Noise(128, 88, 6);
    struct Case {
        std::vector<std::pair<GreyFrame, long long>> frames;  // each shown from its time in ms
        long long end;
        std::vector<ts::Decoded::Frame> expected;
    } cases[] = {
        // Identical frames become one; delays follow the clock from the
        // first frame; none is shorter than 2.
        {{{a, 1000}, {a, 1040}, {b, 1100}, {c, 1130}, {a, 1135}, {a, 1180}}, 1200,
         {Shown(a, 10), Shown(b, 3), Shown(c, 2), Shown(a, 6)}},
        // A still screen longer than the longest delay is shown twice.
        {{{c, 0}, {b, 700000}}, 700015, {Shown(c, 65535), Shown(c, 4465), Shown(b, 2)}},
    };
    for (const Case& test : cases) {
        std::string file;
        GifAnimation gif(128, 88, [&](const std::string& bytes) { return file += bytes, true; });
        for (const auto& [frame, ms] : test.frames) ASSERT_TRUE(gif.Add(frame, ms));
        ASSERT_TRUE(gif.Finish(test.end));
        const ts::Decoded decoded = ts::Decode(file);
        EXPECT_EQ(decoded.loop, 0) << "loops for ever";
        ASSERT_EQ(decoded.frames.size(), test.expected.size());
        for (size_t i = 0; i < test.expected.size(); ++i)
            EXPECT_TRUE(decoded.frames[i] == test.expected[i]) << "frame " << i << " delay " << decoded.frames[i].delay;
    }
    GifAnimation empty(128, 88, [](const std::string&) { return true; });
    EXPECT_FALSE(empty.Finish(0)) << "no frame, no file";
}

}  // namespace
