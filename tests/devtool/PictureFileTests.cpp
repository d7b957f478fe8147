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

// What a strict decoder makes of a still picture's codes: it widens them
// exactly when its table reaches the next power of two, and fails when the
// data ends before the end code. Counts the clears and the codes after the
// last one, and the width the end code was read at.
struct Strict {
    bool whole = false;
    std::vector<unsigned char> pixels;
    int clears = 0, codes = 0, endWidth = 0;
};

Strict ReadStrict(const std::string& gif)
{
    std::string data;  // the sub-blocks after the descriptor and the code size
    for (size_t i = 36; i < gif.size() && gif[i]; i += 1 + static_cast<unsigned char>(gif[i]))
        data += gif.substr(i + 1, static_cast<unsigned char>(gif[i]));
    Strict read;
    std::vector<std::vector<unsigned char>> table;
    int width = 3, previous = -1;
    for (size_t bit = 0; bit + width <= data.size() * 8;) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
        if (code == 4) {
            table = {{0}, {1}, {2}, {3}, {}, {}};
            width = 3, previous = -1, read.codes = 0, ++read.clears;
            continue;
        }
        if (code == 5) {
            read.whole = true, read.endWidth = width;
            break;
        }
        const bool known = code < static_cast<int>(table.size()) && code != 4 && code != 5;
        if (table.empty() || (!known && (previous < 0 || code != static_cast<int>(table.size())))) break;
        std::vector<unsigned char> entry = known ? table[code] : table[previous];
        if (!known) entry.push_back(entry[0]);
        if (previous >= 0 && table.size() < 4096) {
            table.push_back(table[previous]);
            table.back().push_back(entry[0]);
            if (table.size() == 1u << width && width < 12) ++width;
        }
        read.pixels.insert(read.pixels.end(), entry.begin(), entry.end());
        previous = code, ++read.codes;
    }
    return read;
}

TEST(PictureFiles, TheEndCodeHasTheWidthTheDecoderReadsItAt)
{
    // Rows of pixels coded in just so many codes after just so many clears:
    // the last code makes the decoder's table reach 2^n - 1, or 2^n, where it
    // widens its codes before reading the end code. 11 codes after a clear end
    // at a byte boundary when the end code is one bit too narrow.
    const GreyFrame noise = Noise(40000, 1, 7);
    auto rowOf = [&](size_t length) { return GreyFrame{static_cast<int>(length), 1, std::vector<unsigned char>(noise.levels.begin(), noise.levels.begin() + length)}; };
    auto key = [&](size_t length) { const Strict read = ReadStrict(GifFileBytes(rowOf(length))); return std::pair(read.clears, read.codes); };
    const struct { int clears, codes, endWidth; } cases[] = {
        {1, 1, 3}, {1, 2, 3}, {1, 3, 4}, {1, 10, 4}, {1, 11, 5}, {1, 26, 5}, {1, 27, 6}, {1, 58, 6}, {1, 59, 7},
        {1, 122, 7}, {1, 123, 8}, {1, 250, 8}, {1, 251, 9}, {1, 506, 9}, {1, 507, 10}, {1, 1018, 10},
        {1, 1019, 11}, {1, 2042, 11}, {1, 2043, 12}, {1, 4090, 12}, {2, 1, 3}, {2, 3, 4}, {2, 10, 4}, {2, 11, 5}};
    for (const auto& c : cases) {
        // Each pixel more adds at most one code: the shortest row that takes as many.
        size_t low = 1, high = noise.levels.size();
        while (low < high) {
            const size_t middle = (low + high) / 2;
            if (key(middle) < std::pair(c.clears, c.codes)) low = middle + 1; else high = middle;
        }
        const GreyFrame row = rowOf(low);
        const Strict read = ReadStrict(GifFileBytes(row));
        ASSERT_EQ(std::pair(read.clears, read.codes), std::pair(c.clears, c.codes));
        EXPECT_TRUE(read.whole) << c.codes << " codes after clear " << c.clears;
        EXPECT_EQ(read.endWidth, c.endWidth) << c.codes << " codes after clear " << c.clears;
        EXPECT_TRUE(read.pixels == row.levels) << c.codes << " codes after clear " << c.clears;
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
    // 200 frames, each different from the one before, the gaps between them
    // taken in turn from the row; the total in hundredths of a second.
    const GreyFrame a = Noise(8, 8, 1), b = Noise(8, 8, 2);
    const struct { std::vector<long long> gaps; int total; } cases[] = {
        {{1}, 20}, {{5}, 100}, {{10}, 200}, {{15}, 300}, {{19}, 380}, {{21}, 420}, {{33}, 660},
        {{5, 61}, 660}, {{40, 2, 2, 22}, 330}};
    for (const auto& c : cases) {
        Disk disk;
        GifAnimation gif = disk.Animation(8, 8);
        long long ms = 5000;
        for (size_t i = 0; i < 200; ms += c.gaps[i++ % c.gaps.size()]) ASSERT_TRUE(gif.Add(i % 2 ? b : a, ms));
        ASSERT_TRUE(gif.Finish(ms));
        int total = 0;
        for (const ts::Decoded::Frame& frame : ts::Decode(disk.file).frames) {
            EXPECT_GE(frame.delay, 2) << c.gaps[0];
            total += frame.delay;
        }
        EXPECT_NEAR(total, c.total, 1) << c.gaps[0];
    }
}

TEST(PictureFiles, AFullDiskKeepsTheFramesWrittenWhole)
{
    // Three frames, at 0, 100 and 200 ms, ended at 300; the disk fills up
    // after the header, inside the second frame, or inside the third, which
    // is written only at the end.
    const GreyFrame a{8, 8, std::vector<unsigned char>(64, 1)}, b{8, 8, std::vector<unsigned char>(64, 2)},
                    last{8, 8, std::vector<unsigned char>(64, 3)};
    const std::pair<GreyFrame, long long> frames[] = {{a, 0}, {b, 100}, {last, 200}};
    Disk roomy;
    GifAnimation whole = roomy.Animation(8, 8);
    for (const auto& [frame, ms] : frames) whole.Add(frame, ms);
    whole.Finish(300);
    std::vector<size_t> frameEnds;  // where each frame's graphic control begins, and the trailer
    for (size_t at = roomy.file.find("\x21\xF9"); at != std::string::npos; at = roomy.file.find("\x21\xF9", at + 1))
        frameEnds.push_back(at);
    ASSERT_EQ(frameEnds.size(), 3u);
    frameEnds.push_back(roomy.file.size() - 1);
    const struct { size_t framesThatFit, more; std::vector<bool> added; bool empty; std::vector<ts::Decoded::Frame> kept; } cases[] = {
        {0, 0, {true, false, false}, true, {}},
        {1, 5, {true, true, false}, false, {Shown(a, 10)}},
        {2, 3, {true, true, true}, false, {Shown(a, 10), Shown(b, 10)}}};
    for (const auto& c : cases) {
        Disk disk;
        disk.room = frameEnds[c.framesThatFit] + c.more;
        GifAnimation gif = disk.Animation(8, 8);
        std::vector<bool> added;
        for (const auto& [frame, ms] : frames) added.push_back(gif.Add(frame, ms));
        EXPECT_EQ(added, c.added) << c.framesThatFit;
        EXPECT_EQ(gif.Finish(300), !c.empty) << c.framesThatFit;
        EXPECT_EQ(gif.Empty(), c.empty) << c.framesThatFit;
        if (c.empty) continue;
        EXPECT_TRUE(ts::Decode(disk.file).frames == c.kept) << c.framesThatFit;
        EXPECT_EQ(disk.file.back(), ';') << c.framesThatFit;
    }
}

}  // namespace
