// The GIF89a writer: palette, loop block, frames compressed with LZW.
#include "Gif.h"

#include <algorithm>
#include <cstdint>

namespace {
// Two bits a pixel: the smallest code size the format allows.
constexpr int MinCodeSize = 2;
constexpr int ClearCode = 1 << MinCodeSize;
constexpr int EndCode = ClearCode + 1;
constexpr int MaxCode = 4095;
// Hundredths of a second: what players honour, and what 16 bits hold.
constexpr long long MinDelay = 2;
constexpr long long MaxDelay = 65535;

void Word(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// Header and logical screen with the four-entry global palette.
std::string Header(int width, int height)
{
    std::string out = "GIF89a";
    Word(out, width);
    Word(out, height);
    out += static_cast<char>(0x91);  // global palette of 2^(1+1) entries, 2 bits of colour
    out.append(2, '\0');             // background index, aspect ratio
    for (unsigned char level : GreyLevelValues) out.append(3, static_cast<char>(level));
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

// Image descriptor at the origin, no local palette, then the LZW data.
std::string ImageBlock(const GreyFrame& frame)
{
    std::string out = "\x2C";
    Word(out, 0);
    Word(out, 0);
    Word(out, frame.width);
    Word(out, frame.height);
    out += '\0';
    out += static_cast<char>(MinCodeSize);

    CodeWriter codes;
    // A string's code and the pixel after it give the longer string's code
    // (0: none yet); four pixel values make the table a flat array.
    std::vector<std::uint16_t> next(static_cast<size_t>(MaxCode + 1) * 4);
    int width = MinCodeSize + 1, free = EndCode + 1;
    codes.Put(ClearCode, width);
    auto level = [&](size_t i) { return std::min<int>(frame.levels[i], 3); };
    int prefix = frame.levels.empty() ? -1 : level(0);
    for (size_t i = 1; i < frame.levels.size(); ++i) {
        const int pixel = level(i);
        if (const int code = next[prefix * 4 + pixel]) {
            prefix = code;
            continue;
        }
        codes.Put(prefix, width);
        next[prefix * 4 + pixel] = static_cast<std::uint16_t>(free);
        if (free == (1 << width)) ++width;
        // A full table starts again: the decoder clears its own on this code.
        if (++free > MaxCode) {
            codes.Put(ClearCode, width);
            std::fill(next.begin(), next.end(), 0);
            width = MinCodeSize + 1;
            free = EndCode + 1;
        }
        prefix = pixel;
    }
    if (prefix >= 0) codes.Put(prefix, width);
    // The decoder adds an entry for the last code as well, and widens its
    // codes when that entry fills them, before it reads the end code.
    if (free == (1 << width)) ++width;
    codes.Put(EndCode, width);
    return out + codes.Finish();
}

// Graphic control: the frame stays in place under the next; its delay.
std::string Control(int delay)
{
    std::string out = "\x21\xF9\x04\x04";
    Word(out, delay);
    out.append(2, '\0');
    return out;
}

// Hundredths of a second since `from`, rounded to the nearest.
long long Centis(long long from, long long ms) { return (ms - from + 5) / 10; }
}

const unsigned char GreyLevelValues[4] = {255, 170, 85, 0};

std::string GifFileBytes(const GreyFrame& frame) { return Header(frame.width, frame.height) + ImageBlock(frame) + ';'; }

GifAnimation::GifAnimation(int width, int height, std::function<bool(const std::string&)> write,
                           std::function<bool(size_t)> cut)
    : width_(width), height_(height), write_(std::move(write)), cut_(std::move(cut))
{
}

bool GifAnimation::Add(const GreyFrame& frame, long long ms)
{
    if (!ok_) return false;
    if (pending_.levels.empty()) {
        firstMs_ = ms;
    } else {
        if (frame.levels == pending_.levels) return true;
        // The delays written add up to the clock's time since the first
        // frame; a frame shown too short for a delay gives its time to this one.
        const long long due = Centis(firstMs_, ms) - shown_;
        if (due >= MinDelay && !Emit(due)) return false;
    }
    pending_ = frame;
    return true;
}

bool GifAnimation::Finish(long long ms)
{
    if (ok_ && !pending_.levels.empty()) {
        // A last frame too short to be shown is left out, unless it is all there is.
        const long long due = Centis(firstMs_, ms) - shown_;
        if (due >= MinDelay || !started_) Emit(std::max(MinDelay, due));
        pending_.levels.clear();
        if (ok_ && Write(";")) return true;
    }
    return whole_ > 0 && cut_(whole_) && write_(";");
}

bool GifAnimation::Write(const std::string& bytes)
{
    ok_ = ok_ && write_(bytes);
    if (ok_) written_ += bytes.size();
    return ok_;
}

bool GifAnimation::Emit(long long delay)
{
    // The loop block: the animation repeats for ever.
    if (!started_) started_ = Write(Header(width_, height_) + std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0", 19));
    const std::string image = ImageBlock(pending_);
    shown_ += delay;
    // A still screen longer than the format's longest delay is shown again,
    // each part at least as long as the shortest delay.
    while (ok_ && delay > 0) {
        const long long part = delay > MaxDelay ? std::min<long long>(MaxDelay, delay - MinDelay) : delay;
        if (Write(Control(static_cast<int>(part)) + image)) whole_ = written_;
        delay -= part;
    }
    return ok_;
}
