// The picture formats: the GIF writer and the PNG path, read back by the
// platform's decoder pixel for pixel, and the bitmap file's bytes.
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

// A file on a disk that takes at most `room` bytes: a write that does not fit
// puts in what fits and fails, as on a full disk.
struct Disk {
    std::string file;
    size_t room = std::string::npos;
    GifAnimation Animation(int width, int height)
    {
        return GifAnimation(
            width, height,
            [this](const std::string& bytes) {
                const size_t fits = std::min(bytes.size(), room - file.size());
                file += bytes.substr(0, fits);
                return fits == bytes.size();
            },
            [this](size_t length) { return file.resize(length), true; });
    }
};

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

// A strict reading of a still picture's codes: their width grows exactly when
// the table reaches the next power of two, a code the table cannot have yet
// fails, and so does data that ends before the end code. The clears, the
// codes after the last one, the end code's width.
struct Strict {
    bool whole = false;
    int clears = 0, codes = 0, endWidth = 0;
};

Strict ReadStrict(const std::string& gif)
{
    std::string data;  // the sub-blocks after the descriptor and the code size
    for (size_t i = 36; i < gif.size() && gif[i]; i += 1 + static_cast<unsigned char>(gif[i]))
        data += gif.substr(i + 1, static_cast<unsigned char>(gif[i]));
    Strict read;
    int width = 3, size = 6, previous = -1;  // after a clear: the four levels, the clear and the end
    for (size_t bit = 0; bit + width <= data.size() * 8;) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
        if (code == 4) {
            width = 3, size = 6, previous = -1, read.codes = 0, ++read.clears;
            continue;
        }
        if (code == 5) return read.whole = true, read.endWidth = width, read;
        if (code > size || (code == size && previous < 0)) break;
        if (previous >= 0 && size < 4096 && ++size == 1 << width && width < 12) ++width;
        previous = code, ++read.codes;
    }
    return read;
}

TEST(PictureFiles, TheEndCodeHasTheWidthTheDecoderReadsItAt)
{
    // Rows of noise coded in just so many codes after just so many clears: the
    // last code makes the decoder's table reach 2^n - 1, or 2^n, where it
    // widens its codes before it reads the end code. With 11 codes after a
    // clear, an end code one bit too narrow ends at a byte boundary.
    const GreyFrame noise = Noise(40000, 1, 7);
    auto row = [&](size_t length) {
        return GreyFrame{static_cast<int>(length), 1, {noise.levels.begin(), noise.levels.begin() + length}};
    };
    const struct { int clears, codes, endWidth; } cases[] = {
        {1, 1, 3}, {1, 2, 3}, {1, 3, 4}, {1, 10, 4}, {1, 11, 5}, {1, 26, 5}, {1, 27, 6}, {1, 58, 6}, {1, 59, 7},
        {1, 122, 7}, {1, 123, 8}, {1, 250, 8}, {1, 251, 9}, {1, 506, 9}, {1, 507, 10}, {1, 1018, 10},
        {1, 1019, 11}, {1, 2042, 11}, {1, 2043, 12}, {1, 4090, 12}, {2, 1, 3}, {2, 3, 4}, {2, 10, 4}, {2, 11, 5}};
    for (const auto& c : cases) {
        // A pixel more adds one code at most: the shortest row that takes as many.
        size_t low = 1, high = noise.levels.size();
        while (low < high) {
            const size_t middle = (low + high) / 2;
            const Strict read = ReadStrict(GifFileBytes(row(middle)));
            if (std::pair(read.clears, read.codes) < std::pair(c.clears, c.codes)) low = middle + 1; else high = middle;
        }
        const Strict read = ReadStrict(GifFileBytes(row(low)));
        EXPECT_EQ((std::vector<int>{read.clears, read.codes, read.whole, read.endWidth}),
                  (std::vector<int>{c.clears, c.codes, true, c.endWidth}));
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
        // first frame; a frame shown for less than 2 gives its time to the next.
        {{{a, 1000}, {a, 1040}, {b, 1100}, {c, 1130}, {a, 1135}, {a, 1180}}, 1200,
         {Shown(a, 10), Shown(b, 3), Shown(a, 7)}},
        // The only frame, however short.
        {{{b, 0}}, 5, {Shown(b, 2)}},
        // A still screen longer than the longest delay is shown twice.
        {{{c, 0}, {b, 700000}}, 700015, {Shown(c, 65535), Shown(c, 4465), Shown(b, 2)}},
    };
    for (const Case& test : cases) {
        Disk disk;
        GifAnimation gif = disk.Animation(128, 88);
        for (const auto& [frame, ms] : test.frames) ASSERT_TRUE(gif.Add(frame, ms));
        ASSERT_TRUE(gif.Finish(test.end));
        const ts::Decoded decoded = ts::Decode(disk.file);
        EXPECT_EQ(decoded.loop, 0) << "loops for ever";
        ASSERT_EQ(decoded.frames.size(), test.expected.size());
        for (size_t i = 0; i < test.expected.size(); ++i)
            EXPECT_TRUE(decoded.frames[i] == test.expected[i]) << "frame " << i << " delay " << decoded.frames[i].delay;
    }
    Disk none;
    GifAnimation empty = none.Animation(128, 88);
    EXPECT_TRUE(empty.Empty());
    EXPECT_FALSE(empty.Finish(0)) << "no frame, no file";
}

TEST(PictureFiles, DelaysAddUpToTheRecordedTimeAtAnyPace)
{
    // 200 frames, each unlike the one before, the gaps between them taken in
    // turn from the row; the recorded time in hundredths of a second.
    const GreyFrame frames[] = {Noise(8, 8, 1), Noise(8, 8, 2)};
    const struct { std::vector<long long> gaps; int total; } cases[] = {
        {{1}, 20}, {{5}, 100}, {{10}, 200}, {{15}, 300}, {{19}, 380}, {{21}, 420}, {{33}, 660},
        {{5, 61}, 660}, {{40, 2, 2, 22}, 330}};
    for (const auto& c : cases) {
        Disk disk;
        GifAnimation gif = disk.Animation(8, 8);
        long long ms = 5000;
        for (size_t i = 0; i < 200; ms += c.gaps[i++ % c.gaps.size()]) gif.Add(frames[i % 2], ms);
        ASSERT_TRUE(gif.Finish(ms));
        int total = 0, shortest = 2;
        for (const ts::Decoded::Frame& frame : ts::Decode(disk.file).frames) total += frame.delay, shortest = std::min(shortest, frame.delay);
        EXPECT_NEAR(total, c.total, 1) << c.gaps[0];
        EXPECT_EQ(shortest, 2) << c.gaps[0];
    }
}

TEST(PictureFiles, AFullDiskKeepsTheFramesWrittenWhole)
{
    // Frames of one level each, shown from 0, 100 and 200 ms until 300, each
    // written when the next comes, the last at the end: 44 bytes of header,
    // 28 a frame. The disk fills up in the first frame, the second or the last.
    auto frame = [](int level) { return GreyFrame{8, 8, std::vector<unsigned char>(64, static_cast<unsigned char>(level))}; };
    const struct { size_t room; std::vector<bool> added; std::vector<ts::Decoded::Frame> kept; } cases[] = {
        {50, {true, false, false}, {}},
        {77, {true, true, false}, {Shown(frame(1), 10)}},
        {103, {true, true, true}, {Shown(frame(1), 10), Shown(frame(2), 10)}}};
    for (const auto& c : cases) {
        Disk disk{"", c.room};
        GifAnimation gif = disk.Animation(8, 8);
        std::vector<bool> added(3);
        for (int i = 0; i < 3; ++i) added[i] = gif.Add(frame(i + 1), i * 100LL);
        EXPECT_EQ(added, c.added) << c.room;
        EXPECT_EQ(gif.Finish(300), !c.kept.empty()) << c.room;
        EXPECT_EQ(gif.Empty(), c.kept.empty()) << c.room;
        if (!c.kept.empty()) {
            EXPECT_TRUE(ts::Decode(disk.file).frames == c.kept && disk.file.back() == ';') << c.room;
        }
    }
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
