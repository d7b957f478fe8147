#pragma once
// A GIF as a viewer shows it, read by giflib: each frame drawn over what the
// frames before left (offsets, transparency, disposal honoured), as grey levels.
#include <string>
#include <vector>

struct Viewed {
    struct Frame {
        std::vector<unsigned char> levels;  // the whole screen, rows from the top
        int delay;                          // hundredths of a second
        bool operator==(const Frame& o) const { return levels == o.levels && delay == o.delay; }
    };
    int width = 0, height = 0;
    int loop = -1;  // the loop block's count; -1: none
    std::vector<Frame> frames;
    // Empty when a viewer shows the file as meant; else what it could not show:
    // giflib's refusal, a frame outside the screen, a colour not one of the
    // greys, a pixel the first frame leaves undrawn.
    std::string fault;
};

Viewed ViewGif(const std::string& file);
