// The proof that the GIF writer's animations show exactly what went in:
// recordings drawn at random are written, on a disk with room or one that
// fills, read back by giflib and composed as a viewer composes them.
#include "Gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string_view>

namespace {
using Levels = std::vector<unsigned char>;
using Shown = std::vector<std::pair<Levels, int>>;  // each frame's whole screen and delay

std::string In(size_t frame) { return " in frame " + std::to_string(frame); }

// The file as a viewer shows it, read by giflib: each frame drawn at its
// place over what the frames before left, which shows through its transparent
// pixels; the fault when it is not such a file of grey levels, or a frame's
// rectangle is larger than what it changes (a frame shown again: its top-left
// pixel). (That it loops for ever, the capture window's tests read.)
Shown View(const std::string& file, int width, int height, std::string& fault)
{
    std::string_view left = file;
    const auto read = [](GifFileType* gif, GifByteType* out, int wanted) {
        std::string_view& in = *static_cast<std::string_view*>(gif->UserData);
        const size_t n = in.copy(reinterpret_cast<char*>(out), static_cast<size_t>(wanted));
        return in.remove_prefix(n), static_cast<int>(n);
    };
    const std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(DGifOpen(&left, read, nullptr),
                                                                    [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    Shown shown;
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1 || gif->SWidth != width || gif->SHeight != height)
        return fault = "not a file of frames of the screen's size", shown;
    Levels canvas(static_cast<size_t>(width) * height, 0xFF), before;  // 0xFF: never drawn
    for (int i = 0; i < gif->ImageCount; ++i, before = canvas) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* palette = d.ColorMap ? d.ColorMap : gif->SColorMap;
        GraphicsControlBlock control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif.get(), i, &control);
        if (d.Left < 0 || d.Top < 0 || d.Width < 1 || d.Height < 1 || d.Left + d.Width > width || d.Top + d.Height > height ||
            !palette || d.Interlace || control.DisposalMode > DISPOSE_DO_NOT)
            return fault = "a frame outside the screen, interlaced or not left in place" + In(i), shown;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int index = image.RasterBits[static_cast<size_t>(y) * d.Width + x];
                if (index == control.TransparentColor) continue;
                const GifColorType c = index < palette->ColorCount ? palette->Colors[index] : GifColorType{1, 2, 3};
                const unsigned char* grey = std::find(GreyLevelValues, GreyLevelValues + 4, c.Red);
                if (c.Red != c.Green || c.Red != c.Blue || grey == GreyLevelValues + 4) return fault = "a colour not a grey" + In(i), shown;
                canvas[static_cast<size_t>(d.Top + y) * width + d.Left + x] = static_cast<unsigned char>(grey - GreyLevelValues);
            }
        const auto changed = [&](int x, int y) { return i == 0 || canvas[static_cast<size_t>(y) * width + x] != before[static_cast<size_t>(y) * width + x]; };
        bool edges[4] = {};
        for (int x = d.Left; x < d.Left + d.Width; ++x) edges[0] |= changed(x, d.Top), edges[1] |= changed(x, d.Top + d.Height - 1);
        for (int y = d.Top; y < d.Top + d.Height; ++y) edges[2] |= changed(d.Left, y), edges[3] |= changed(d.Left + d.Width - 1, y);
        if (std::count(canvas.begin(), canvas.end(), 0xFF) ||
            (canvas == before ? d.Left || d.Top || d.Width > 1 || d.Height > 1 : !(edges[0] && edges[1] && edges[2] && edges[3])))
            return fault = "a pixel never drawn, or a rectangle larger than the change" + In(i), shown;
        shown.emplace_back(canvas, control.DelayTime);
    }
    return shown;
}

// A strict reading of a frame's codes: true when their width grows exactly
// as the decoder's table reaches the next power of two, each is one the table
// has or makes, and the end code, at the width the decoder reads it at, ends
// the data.
bool ReadStrict(const std::string& data, int codeSize)
{
    const int clear = 1 << codeSize;
    int width = codeSize + 1, size = clear + 2, codes = 0;  // codes since the last clear
    for (size_t bit = 0; bit + width <= data.size() * 8;) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
        if (code == clear + 1) return (bit + 7) / 8 == data.size();
        if (code > size || (code == size && !codes)) return false;
        if (code == clear) width = codeSize + 1, size = clear + 2, codes = 0;
        else if (codes++ && size < 4096 && ++size == 1 << width && width < 12) ++width;
    }
    return false;
}

// Each frame's codes no wider than the palette needs (the four greys, and the
// transparent index where it is past them), and strictly read.
std::string CheckCodes(const std::string& gif)
{
    auto byte = [&](size_t i) { return i < gif.size() ? static_cast<unsigned char>(gif[i]) : 0u; };
    int transparent = -1;
    for (size_t i = 13 + (3u << ((byte(10) & 7) + 1)), frame = 0; i < gif.size() && byte(i) != 0x3B; ++i, ++frame) {
        for (; byte(i) == 0x21; ++i) {  // extensions, each its sub-blocks
            if (byte(i + 1) == 0xF9) transparent = byte(i + 3) & 1 ? byte(i + 6) : -1;
            for (i += 2; i < gif.size() && byte(i); i += byte(i) + 1) {
            }
        }
        std::string data;
        const int codeSize = static_cast<int>(byte(i + 10));
        for (i += 11; i < gif.size() && byte(i); i += byte(i) + 1) data += gif.substr(i + 1, byte(i));
        if (codeSize != (transparent == 4 ? 3 : 2) || !ReadStrict(data, codeSize)) return "codes too wide or not strictly read" + In(frame);
    }
    return "";
}

// What a recording feeds the writer: frames at their times (ms), the end, and
// the room on the disk it is written to.
struct Recorded {
    int width = 0, height = 0, scale = 1;
    std::vector<std::pair<GreyFrame, long long>> frames;
    long long end = 0;
    std::uint64_t room = UINT64_MAX;
};

// Screens of a few device pixels up to the device's, at 1x to 4x, changed in
// a rectangle (of one level or noise), in a few pixels (some above 3), wholly
// or not at all, at paces from a millisecond to minutes.
Recorded Draw(const std::function<std::uint32_t()>& next)
{
    const auto below = [&](std::uint32_t n) { return static_cast<int>(next() % n); };
    Recorded r;
    const bool device = below(8) == 0;
    r.width = device ? 128 : 1 + below(40);
    r.height = device ? 88 : 1 + below(30);
    r.scale = 1 + below(4);
    Levels screen(static_cast<size_t>(r.width) * r.height);
    long long ms = below(1000);
    for (int n = below(device ? 8 : 30); n > 0; --n) {
        const int change = below(8), level = below(4), left = below(r.width), top = below(r.height);
        const int right = left + 1 + below(r.width - left), bottom = top + 1 + below(r.height - top);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                unsigned char& pixel = screen[static_cast<size_t>(y) * r.width + x];
                const bool inside = x >= left && x < right && y >= top && y < bottom;
                if ((change == 1 && inside) || change == 4) pixel = static_cast<unsigned char>(level);
                if ((change == 2 && inside) || change == 5) pixel = static_cast<unsigned char>(below(4));
                if (change == 3 && below(64) == 0) pixel = static_cast<unsigned char>(below(256));
            }
        GreyFrame frame{r.width * r.scale, r.height * r.scale, {}};
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) frame.levels.push_back(screen[static_cast<size_t>(y / r.scale) * r.width + x / r.scale]);
        r.frames.emplace_back(std::move(frame), ms);
        const int pace = below(16);
        ms += pace < 4 ? below(20) : pace < 14 ? below(200) : pace < 15 ? 655000 + below(700000) : 0;
    }
    r.end = ms;
    if (below(4) == 0) r.room = next();  // cut below to the file's size
    return r;
}

// What a viewer should show: each frame unlike the one before, from the
// first time it reaches the hundredth of a second after the last shown for at
// least 2 hundredths, until the next such; the frames between give their time
// to it. A time over the longest delay in parts.
Shown Expected(const Recorded& r)
{
    Shown shown;
    const auto add = [&](const Levels& levels, long long delay) {
        for (long long part; delay > 0; delay -= part)
            shown.emplace_back(levels, static_cast<int>(part = delay > 65535 ? std::min(65535LL, delay - 2) : delay));
    };
    long long at = 0;
    Levels pending;
    for (const auto& [frame, ms] : r.frames) {
        Levels levels = frame.levels;
        for (unsigned char& level : levels) level = std::min<unsigned char>(level, 3);
        if (levels == pending) continue;
        if (const long long due = (ms - r.frames[0].second + 5) / 10 - at; !pending.empty() && due >= 2) add(pending, due), at += due;
        pending = levels;
    }
    const long long due = r.frames.empty() ? 0 : (r.end - r.frames[0].second + 5) / 10 - at;
    if (!pending.empty() && (due >= 2 || shown.empty())) add(pending, std::max(2LL, due));
    return shown;
}

// What is wrong with the writer's file of the recording; empty: nothing.
std::string Check(Recorded r)
{
    const Shown expected = Expected(r);
    const int width = r.width * r.scale, height = r.height * r.scale;
    // The file on a disk of `room` bytes; what each Add, then Finish, then Empty answered.
    std::vector<bool> answers;
    const auto write = [&](std::uint64_t room) {
        std::string file;
        GifAnimation gif(
            width, height,
            [&](const std::string& bytes) {
                const size_t fits = static_cast<size_t>(std::min<std::uint64_t>(bytes.size(), room - file.size()));
                return file += bytes.substr(0, fits), fits == bytes.size();
            },
            [&](std::uint64_t length) { return file.resize(static_cast<size_t>(length)), true; });
        answers.clear();
        for (const auto& [frame, ms] : r.frames) answers.push_back(gif.Add(frame, ms));
        answers.push_back(gif.Finish(r.end));
        return answers.push_back(gif.Empty()), file;
    };
    const std::string file = write(UINT64_MAX);
    if (std::count(answers.begin(), answers.end() - 2, false) || answers.end()[-2] == expected.empty() || answers.back() != expected.empty())
        return "a frame refused on a disk with room, or a recording with no frame saved";
    if (expected.empty()) return "";
    std::string fault;
    const Shown shown = View(file, width, height, fault);
    const auto [a, b] = std::mismatch(shown.begin(), shown.end(), expected.begin(), expected.end());
    if (fault.empty() && (a != shown.end() || b != expected.end()))
        fault = "a frame or delay not as recorded" + In(static_cast<size_t>(a - shown.begin())) + " of " + std::to_string(expected.size());
    if (!fault.empty() || !(fault = CheckCodes(file)).empty() || r.room == UINT64_MAX) return fault;

    // On a disk that fills: no frame taken after a refused write, and every
    // frame written whole kept, with its delay.
    const std::string kept = write(r.room % (file.size() + 1));
    const auto adds = answers.end() - 2;
    if (std::find(std::find(answers.begin(), adds, false), adds, true) != adds) return "a frame taken after a refused write";
    if (!answers.end()[-2]) return answers.back() ? "" : "a recording with whole frames lost on a full disk";
    const Shown cut = View(kept, width, height, fault);
    if (!fault.empty() || cut.empty() || cut.size() > expected.size() || !std::equal(cut.begin(), cut.end(), expected.begin()))
        return "frames kept on a full disk not as recorded: " + fault;
    return "";
}
}  // namespace

// The recording the bytes draw, read in a circle; a wrong file stops the
// program with the fault. (A fuzzer's target, built with GIF_FUZZ.)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    size_t at = 0;
    const Recorded r = Draw([&] {
        std::uint32_t n = 0;
        for (int i = 0; i < 4 && size; ++i) n = n << 8 | data[at++ % size];
        return n;
    });
    if (const std::string fault = Check(r); !fault.empty())
        std::fprintf(stderr, "%d x %d at %dx, %zu frames: %s\n", r.width, r.height, r.scale, r.frames.size(), fault.c_str()), std::abort();
    return 0;
}

#ifndef GIF_FUZZ
// As the test suite runs it: so many recordings drawn from a fixed seed.
int main()
{
    std::mt19937 random(20261208);  // NOLINT(cert-msc51-cpp): every run checks the same recordings
    std::vector<std::uint8_t> bytes(1 << 16);
    const int recordings = 300;
    for (int i = 0; i < recordings; ++i) {
        std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    return std::printf("%d recordings, each frame as recorded\n", recordings), 0;
}
#endif
