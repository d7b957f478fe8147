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

// An animated GIF. Identical frames in a row become one; each frame lasts
// until the next different one comes, in hundredths of a second, at least 2
// (what players honour). Only the frame that waits for its successor is kept,
// so a recording of any length takes the memory of one frame.
class GifAnimation {
public:
    // `write` takes the file's bytes piece by piece, in order; once it fails,
    // so does every later call.
    GifAnimation(int width, int height, std::function<bool(const std::string&)> write);
    // A frame of the animation's size, shown from `ms` on (milliseconds on a
    // clock that never goes back).
    bool Add(const GreyFrame& frame, long long ms);
    // The last frame lasts until `ms`; the file is then whole. False when no
    // frame came or a write failed.
    bool Finish(long long ms);

private:
    bool Emit(long long untilMs);

    int width_, height_;
    std::function<bool(const std::string&)> write_;
    bool ok_ = true;
    bool started_ = false;  // the header is out
    GreyFrame pending_;     // shown since pendingMs_, not yet written
    long long firstMs_ = 0, pendingMs_ = 0;
};
