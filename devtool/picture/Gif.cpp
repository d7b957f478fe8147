// The GIF89a writer: palette, loop block, frames compressed with LZW; an
// animation's later frames only the rectangle that changed.
#include "Gif.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int MaxCode = 4095;
// Hundredths of a second: what players honour, and what 16 bits hold.
constexpr long long MinDelay = 2;
constexpr long long MaxDelay = 65535;
// The transparent index when the frame draws all four greys: past them.
constexpr int PastTheGreys = 4;
// A code one pixel short of the longest string wastes the entry the decoder
// makes of it (that string, which the table has): worth it only when the
// string after it reaches so many pixels further.
constexpr long long Shorter = 5;
constexpr long long Greedy = 1LL << 40;  // never stops short
// An area of more pixels than this tries its transparent coding only on
// every third frame after that coding lost, and tries no other.
constexpr long long LargeArea = 65536;
constexpr int LargeAreaSkips = 2;

void Word(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// Header and logical screen with a global palette of 2^bits entries, the
// four greys first.
std::string Header(int width, int height, int bits)
{
    std::string out = "GIF89a";
    Word(out, width);
    Word(out, height);
    out += static_cast<char>(0x80 | (bits - 1) << 4 | (bits - 1));  // the palette's size, bits of colour
    out.append(2, '\0');                                            // background index, aspect ratio
    for (unsigned char level : GreyLevelValues) out.append(3, static_cast<char>(level));
    out.append(3 * ((1 << bits) - 4), '\0');
    return out;
}

// LSB-first codes of growing width, packed into sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    void Put(int code, int width)
    {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        for (count_ += width; count_ >= 8; count_ -= 8, bits_ >>= 8) Byte(static_cast<char>(bits_ & 0xFF));
    }
    std::string Finish()
    {
        if (count_ > 0) Byte(static_cast<char>(bits_ & 0xFF));
        if (!block_.empty()) Flush();
        return data_ + '\0';
    }

private:
    void Byte(char byte)
    {
        block_ += byte;
        if (block_.size() == 255) Flush();
    }
    void Flush()
    {
        data_ += static_cast<char>(block_.size());
        data_ += block_;
        block_.clear();
    }
    std::uint32_t bits_ = 0;
    int count_ = 0;
    std::string block_, data_;
};

// How the coder may write the pixels that show what is beneath already.
enum class Under { Drawn, Transparent, Either };

// A rectangle of a frame to code: every pixel drawn, or where `under` (the
// screen the viewer shows beneath it) has the pixel's level already, the
// pixel written as `transparent`, or as whichever of the two continues the
// string the coder has.
struct Area {
    const GreyFrame& frame;
    int left, top, width, height;
    const GreyFrame* under = nullptr;
    int transparent = -1;
    Under mode = Under::Drawn;
    long long shorter = Shorter;
};

// A pixel the coder may write as its level or as the transparent index.
constexpr unsigned char Either = 0x80;

// The area's pixels as the coder reads them, rows from the top.
std::vector<unsigned char> Pixels(const Area& area)
{
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<size_t>(area.width) * area.height);
    for (int y = area.top; y < area.top + area.height; ++y) {
        const size_t row = static_cast<size_t>(y) * area.frame.width + area.left;
        const unsigned char* own = area.frame.levels.data() + row;
        if (area.mode == Under::Drawn) {
            pixels.insert(pixels.end(), own, own + area.width);
            continue;
        }
        const unsigned char* under = area.under->levels.data() + row;
        for (int x = 0; x < area.width; ++x)
            pixels.push_back(own[x] != under[x] || own[x] == area.transparent ? own[x]
                             : area.mode == Under::Either ? Either | own[x] : static_cast<unsigned char>(area.transparent));
    }
    return pixels;
}

// The LZW table: a string's code and the pixel after it give the longer
// string's code (0: none yet); so few pixel values make it a flat array.
class Table {
public:
    Table(int bits, int transparent) : bits_(bits), transparent_(transparent), next_(static_cast<size_t>(MaxCode + 1) << bits)
    {
        for (int code = 0; code < 1 << bits; ++code) first_[code] = static_cast<std::uint16_t>(code);
    }
    // The decoder's next entry: the string of `code` and the first pixel of
    // the string of `then`. One the table has already takes a code that no
    // later string uses.
    void Add(int code, int then, int longer)
    {
        std::uint16_t& entry = next_[static_cast<size_t>(code) << bits_ | first_[then]];
        if (entry) return;
        entry = static_cast<std::uint16_t>(longer);
        prefix_[longer] = static_cast<std::uint16_t>(code);
        first_[longer] = first_[code];
        length_[longer] = static_cast<std::uint16_t>(length_[code] + 1);
        longest_ = std::max<int>(longest_, length_[longer]);
    }
    int Prefix(int code) const { return prefix_[code]; }
    // The length of the longest string in the table.
    int Longest() const { return longest_ + 1; }
    void Clear()
    {
        std::fill(next_.begin(), next_.end(), 0);
        longest_ = 0;
    }
    // The longest string in the table from `at` on; `at` moves past it.
    int Match(const unsigned char*& at, const unsigned char* end) const
    {
        int budget = Branches;
        const int pixel = *at++;
        if (!(pixel & Either)) return Extend(pixel, at, end, budget);
        const unsigned char* other = at;
        const int own = Extend(pixel & ~Either, at, end, budget), clear = Extend(transparent_, other, end, budget);
        if (other < at) return own;
        at = other;
        return clear;
    }
    // The string of `code`, ending before `at`, made as long as the table has
    // it before `end`; `at` moves past it. Where a pixel may be either, the
    // longer of both ways, as long as the budget of branches lasts.
    // NOLINTNEXTLINE(misc-no-recursion): as deep as the budget of branches, Branches at most
    int Extend(int code, const unsigned char*& at, const unsigned char* end, int& budget) const
    {
        for (; at != end; ++at) {
            const int pixel = *at;
            if (!(pixel & Either)) {
                const int longer = Next(code, pixel);
                if (!longer) break;
                code = longer;
                continue;
            }
            const int own = Next(code, pixel & ~Either), clear = Next(code, transparent_);
            if (own && clear && budget > 0) {
                --budget;
                const unsigned char *ownEnd = at + 1, *clearEnd = at + 1;
                const int ownCode = Extend(own, ownEnd, end, budget), clearCode = Extend(clear, clearEnd, end, budget);
                at = std::max(ownEnd, clearEnd);
                return clearEnd >= ownEnd ? clearCode : ownCode;
            }
            if (!own && !clear) break;
            code = clear ? clear : own;
        }
        return code;
    }

private:
    // Both ways at so many pixels of a string at most: the choice of the
    // longest string stays within a constant factor of the pixels' count.
    static constexpr int Branches = 8;
    int Next(int code, int pixel) const { return next_[static_cast<size_t>(code) << bits_ | pixel]; }

    int bits_;  // of a pixel
    int transparent_;
    std::vector<std::uint16_t> next_;
    std::uint16_t prefix_[MaxCode + 1] = {};
    std::uint16_t first_[MaxCode + 1] = {};
    std::uint16_t length_[MaxCode + 1] = {};
    int longest_ = 0;  // less one
};

// The image descriptor, no local palette, then the LZW data. Each code is
// the longest string in the table, or that string less its last pixel where
// the string after it then reaches further.
std::string ImageBlock(const Area& area)
{
    const int minCodeSize = area.transparent == PastTheGreys ? 3 : 2;
    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    std::string out = "\x2C";
    Word(out, area.left);
    Word(out, area.top);
    Word(out, area.width);
    Word(out, area.height);
    out += '\0';
    out += static_cast<char>(minCodeSize);

    const std::vector<unsigned char> pixels = Pixels(area);
    const unsigned char *at = pixels.data(), *end = at + pixels.size();
    CodeWriter codes;
    Table table(minCodeSize, area.transparent);
    int width = minCodeSize + 1, free = endCode + 1;
    codes.Put(clearCode, width);
    const unsigned char* start = at;
    int code = at != end ? table.Match(at, end) : 0;
    while (at != end) {
        // The string after this one, and the one after this one less its last pixel.
        const unsigned char* after = at;
        int afterCode = table.Match(after, end);
        if (at - start > 1 && table.Longest() > after - at + area.shorter) {
            const unsigned char* shortAfter = at - 1;
            const int shortCode = table.Match(shortAfter, end);
            if (shortAfter - (at - 1) > after - at + area.shorter) {
                code = table.Prefix(code);
                --at;
                after = shortAfter;
                afterCode = shortCode;
            }
        }
        codes.Put(code, width);
        table.Add(code, afterCode, free);
        if (free == (1 << width)) ++width;
        // A full table starts again: the decoder clears its own on this code.
        if (++free > MaxCode) {
            codes.Put(clearCode, width);
            table.Clear();
            width = minCodeSize + 1;
            free = endCode + 1;
            afterCode = table.Match(after = at, end);
        } else if (after != end) {
            // The entry just made may carry the next string further.
            int budget = 0;
            afterCode = table.Extend(afterCode, after, end, budget);
        }
        start = at, code = afterCode, at = after;
    }
    if (start != end) codes.Put(code, width);
    // The decoder adds an entry for the last code as well, and widens its
    // codes when that entry fills them, before it reads the end code.
    if (free == (1 << width)) ++width;
    codes.Put(endCode, width);
    return out + codes.Finish();
}

// Graphic control: the frame stays in place under the next; its transparent
// index (-1: none). The delay, at DelayAt, is set as the frame is written.
constexpr size_t DelayAt = 4;
std::string Control(int transparent)
{
    std::string out = "\x21\xF9\x04";
    out += static_cast<char>(transparent < 0 ? 0x04 : 0x05);
    out.append(2, '\0');
    out += static_cast<char>(std::max(transparent, 0));
    out += '\0';
    return out;
}

// Hundredths of a second since `from`, rounded to the nearest.
long long Centis(long long from, long long ms) { return (ms - from + 5) / 10; }
}  // namespace

const unsigned char GreyLevelValues[4] = {255, 170, 85, 0};

std::string GifFileBytes(const GreyFrame& frame)
{
    GreyFrame levels = frame;
    for (unsigned char& level : levels.levels) level = std::min<unsigned char>(level, 3);
    // The plain longest strings, or the codes that stop short where that pays,
    // whichever is smaller: a picture is never larger than with the former.
    Area area{levels, 0, 0, frame.width, frame.height};
    std::string image = ImageBlock(area);
    area.shorter = Greedy;
    std::string greedy = ImageBlock(area);
    if (greedy.size() <= image.size()) image.swap(greedy);
    return Header(frame.width, frame.height, 2) + image + ';';
}

GifAnimation::GifAnimation(int width, int height, std::function<bool(const std::string&)> write,
                           std::function<bool(std::uint64_t)> cut)
    : width_(width), height_(height), write_(std::move(write)), cut_(std::move(cut)), shown_{width, height, {}},
      pending_{width, height, {}}
{
}

bool GifAnimation::Add(const GreyFrame& frame, long long ms)
{
    if (!ok_ || frame.width != width_ || frame.height != height_ ||
        frame.levels.size() != static_cast<size_t>(width_) * height_)
        return false;
    const auto level = [](unsigned char value) { return std::min<unsigned char>(value, 3); };
    if (pending_.levels.empty()) {
        firstMs_ = ms;
    } else {
        if (std::equal(frame.levels.begin(), frame.levels.end(), pending_.levels.begin(),
                       [&](unsigned char a, unsigned char b) { return level(a) == b; }))
            return true;
        // The delays written add up to the clock's time since the first
        // frame; a frame shown too short for a delay gives its time to this one.
        const long long due = Centis(firstMs_, ms) - shownCentis_;
        if (due >= MinDelay && !Emit(due)) return false;
    }
    pending_.levels.resize(frame.levels.size());
    std::transform(frame.levels.begin(), frame.levels.end(), pending_.levels.begin(), level);
    return true;
}

bool GifAnimation::Finish(long long ms)
{
    if (ok_ && !pending_.levels.empty()) {
        // A last frame too short to be shown is left out, unless it is all there is.
        const long long due = Centis(firstMs_, ms) - shownCentis_;
        if (due >= MinDelay || shown_.levels.empty()) Emit(std::max(MinDelay, due));
        pending_.levels.clear();
        if (ok_) return true;
    }
    // The end the last frame written whole came with, where the next frame
    // began: its byte was the file's before, so the disk has room for it.
    return whole_ > 0 && cut_(whole_ - 1) && write_(";");
}

bool GifAnimation::Write(const std::string& bytes)
{
    ok_ = ok_ && write_(bytes);
    if (ok_) written_ += bytes.size();
    return ok_;
}

// The rectangle of the pending frame that holds every pixel unlike the one
// shown, coded opaque and with the pixels that stay as they were
// transparent: the smallest. Nothing changed (a frame shown again): its
// top-left pixel.
std::string GifAnimation::ChangedImage()
{
    int left = width_, right = -1, top = -1, bottom = -1;
    unsigned drawn = 0;  // the levels of the changed pixels, a bit each
    for (int y = 0; y < height_; ++y) {
        const unsigned char* now = pending_.levels.data() + static_cast<size_t>(y) * width_;
        const unsigned char* before = shown_.levels.data() + static_cast<size_t>(y) * width_;
        if (!std::memcmp(now, before, width_)) continue;
        if (top < 0) top = y;
        bottom = y;
        for (int x = 0; x < width_; ++x)
            if (now[x] != before[x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                drawn |= 1u << now[x];
            }
    }
    if (top < 0) return Control(-1) + ImageBlock({pending_, 0, 0, 1, 1});
    const Area opaque{pending_, left, top, right - left + 1, bottom - top + 1};
    std::string best = Control(-1) + ImageBlock(opaque);
    // Any grey that no changed pixel takes serves as the transparent index;
    // past the greys it widens the codes by a bit.
    Area clear = opaque;
    clear.under = &shown_;
    clear.mode = Under::Transparent;
    while (drawn >> ++clear.transparent & 1) {
    }
    Area either = clear;
    either.mode = Under::Either;
    std::vector<Area> tries;
    // A large area tries transparency less often after it lost: it seldom
    // wins there once it has lost, and costs as much time as the opaque coding.
    const bool large = static_cast<long long>(opaque.width) * opaque.height > LargeArea;
    if (!large || skipClear_ == 0) tries.push_back(clear);
    if (!large) tries.push_back(either);
    if (large && skipClear_ > 0) --skipClear_;
    for (const Area& area : tries) {
        std::string image = Control(area.transparent) + ImageBlock(area);
        const bool smaller = image.size() < best.size();
        if (smaller) best.swap(image);
        if (large) skipClear_ = smaller ? 0 : LargeAreaSkips;
    }
    return best;
}

bool GifAnimation::Emit(long long delay)
{
    // A palette with room for the transparent index past the greys; the loop
    // block: the animation repeats for ever.
    if (shown_.levels.empty() && !Write(Header(width_, height_, 3) + std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0", 19)))
        return false;
    std::string image = shown_.levels.empty() ? Control(-1) + ImageBlock({pending_, 0, 0, width_, height_}) : ChangedImage();
    shown_.levels.swap(pending_.levels);
    shownCentis_ += delay;
    // A still screen longer than the format's longest delay is shown again,
    // each part at least as long as the shortest delay.
    while (ok_ && delay > 0) {
        const long long part = delay > MaxDelay ? std::min<long long>(MaxDelay, delay - MinDelay) : delay;
        image[DelayAt] = static_cast<char>(part & 0xFF);
        image[DelayAt + 1] = static_cast<char>(part >> 8 & 0xFF);
        // Each frame comes with the file's end, which the next one replaces.
        if (whole_ > 0 && !(ok_ = cut_(written_ = whole_ - 1))) break;
        if (Write(image + ';')) whole_ = written_;
        delay -= part;
        image = Control(-1) + ImageBlock({shown_, 0, 0, 1, 1});
    }
    return ok_;
}
