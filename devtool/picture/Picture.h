#pragma once
// Pictures of the device's screen: the grey level colours, a picture that keeps
// what is drawn into it, and the bytes of a bitmap file and of a DIB.
#include "Gif.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The colour of a device pixel value: 0 white, 1 and 2 the greys between, 3
// black. Values above 3, which the screen format does not use, are black too.
COLORREF GreyColour(unsigned char value);

// A picture that keeps what is drawn into it: a white 32-bit DIB section of
// its own, selected into its own memory DC. One that could not be made is
// false and must not be drawn into.
class PictureImage {
public:
    PictureImage(int width, int height);
    ~PictureImage();
    PictureImage(const PictureImage&) = delete;
    PictureImage& operator=(const PictureImage&) = delete;

    explicit operator bool() const { return bits_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_; }
    void Clear();
    // True when the pixel was of another colour.
    bool SetPixel(int x, int y, COLORREF colour);
    // Rows from the top, each pixel 0x00RRGGBB; drawing through dc() is finished.
    const std::uint32_t* pixels() const;

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

// The grey levels of the top-left `width` x `height` pixels of a picture that
// holds only the four grey colours.
GreyFrame GreyFrameOf(const PictureImage& picture, int width, int height);

// The picture at `block` times its size in the top left corner of a white
// picture of `width` x `height`, each pixel a square block; levels above 3
// are black.
GreyFrame Enlarged(const GreyFrame& picture, int block, int width, int height);

// The picture's pixels (rows from the top, each 0x00RRGGBB).
std::vector<std::uint32_t> Colours(const GreyFrame& picture);

// A Windows bitmap file of 24 bits a pixel holding exactly the given pixels
// (rows from the top, each 0x00RRGGBB).
std::string BitmapFileBytes(const std::uint32_t* pixels, int width, int height);

// A 32-bit DIB (header, then the rows from the bottom) of exactly the given
// pixels, as the clipboard carries one.
std::string DibBytes(const std::uint32_t* pixels, int width, int height);
