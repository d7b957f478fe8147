#pragma once
// GIF89a files of pictures in the device's four grey levels: a single picture,
// or an animation that loops for ever and is written as its frames come, each
// frame after the first only the rectangle that changed.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A picture as grey levels, one a pixel, rows from the top: 0 white to 3 black.
// The level is also the pixel's index in the files' palettes; levels above 3
// are written as 3.
struct GreyFrame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> levels;
};

// The four grey levels as the files' palette: red = green = blue.
extern const unsigned char GreyLevelValues[4];

// A GIF file that holds the one picture.
std::string GifFileBytes(const GreyFrame& frame);

// An animated GIF. Identical frames that come one after the other become one;
// each frame lasts until the next different one comes, in hundredths of a
// second, at least 2 (what players honour). The delays keep to the clock: a
// frame shown for less than the shortest delay gives its time to the one
// after it, so the delays add up to the recorded time whatever the pace.
// The first frame is written whole; each later one only the smallest
// rectangle that holds every pixel it changes, left in place over the frames
// before, with the pixels in it that stay as they were transparent where
// that codes smaller than drawing them. At 2x to 4x the rectangle falls on
// the device pixels' blocks, as the changes do. Only the frame that waits
// for its successor and the one shown before it are kept, and while a frame
// is coded its rectangle once more: a recording of any length takes the
// memory of about two frames.
class GifAnimation {
public:
    // `write` takes the file's bytes piece by piece, in order; once it fails,
    // so does every later call. `cut` shortens the file to the given length.
    GifAnimation(int width, int height, std::function<bool(const std::string&)> write,
                 std::function<bool(std::uint64_t)> cut);
    // A frame of the animation's size, shown from `ms` on (milliseconds on a
    // clock that never goes back); a frame of another size is refused. False
    // once a write has failed: the frames written whole before are kept.
    bool Add(const GreyFrame& frame, long long ms);
    // No frame to end the file with: none came, or after a failed write none
    // was written whole.
    bool Empty() const { return whole_ == 0 && (!ok_ || pending_.levels.empty()); }
    // The last frame lasts until `ms`; the file is then whole. After a failed
    // write the file is cut back to end after the last frame written whole.
    // False when no frame is in it, or the last could not be written or the
    // file not cut.
    bool Finish(long long ms);

private:
    bool Write(const std::string& bytes);
    bool Emit(long long delay);
    std::string ChangedImage();

    int width_, height_;
    std::function<bool(const std::string&)> write_;
    std::function<bool(std::uint64_t)> cut_;
    bool ok_ = true;
    GreyFrame shown_;          // what the frames written show; none before the first
    GreyFrame pending_;        // shown since the delays so far, not yet written
    long long firstMs_ = 0;
    long long shownCentis_ = 0;  // the delays written, in hundredths
    int skipClear_ = 0;          // large frames to go before transparency is tried again
    std::uint64_t written_ = 0;  // bytes the file took
    std::uint64_t whole_ = 0;    // up to the file's end after the last frame written whole; 0: none
    // A recording cut by a full disk may have passed 4 GiB.
    static_assert(sizeof written_ == 8 && sizeof whole_ == 8, "the file's length needs 64 bits");
};
