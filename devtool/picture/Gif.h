#pragma once
// GIF89a files of pictures in the device's four grey levels: a single picture,
// or an animation that loops for ever and is written as its frames come.
#include <functional>
#include <string>
#include <vector>

// A picture as grey levels, one a pixel, rows from the top: 0 white to 3 black.
// The level is also the pixel's index in the files' palettes.
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
// after it, so the delays add up to the recorded time whatever the pace. Only
// the frame that waits for its successor is kept, so a recording of any
// length takes the memory of one frame.
class GifAnimation {
public:
    // `write` takes the file's bytes piece by piece, in order; once it fails,
    // so does every later call. `cut` shortens the file to the given length.
    GifAnimation(int width, int height, std::function<bool(const std::string&)> write,
                 std::function<bool(size_t)> cut);
    // A frame of the animation's size, shown from `ms` on (milliseconds on a
    // clock that never goes back). False once a write has failed: the frames
    // written whole before are kept.
    bool Add(const GreyFrame& frame, long long ms);
    // No frame to end the file with: none came, or after a failed write none
    // was written whole.
    bool Empty() const { return whole_ == 0 && (!ok_ || pending_.levels.empty()); }
    // The last frame lasts until `ms`; the file is then whole. After a failed
    // write the file is cut back to end after the last frame written whole.
    // False when no frame is in it or the end could not be written.
    bool Finish(long long ms);

private:
    bool Write(const std::string& bytes);
    bool Emit(long long delay);

    int width_, height_;
    std::function<bool(const std::string&)> write_;
    std::function<bool(size_t)> cut_;
    bool ok_ = true;
    bool started_ = false;  // the header is out
    GreyFrame pending_;     // shown since the delays so far, not yet written
    long long firstMs_ = 0;
    long long shown_ = 0;   // the delays written, in hundredths
    size_t written_ = 0;    // bytes the file took
    size_t whole_ = 0;      // up to the end of the last frame written whole; 0: none
};
