// The grey level colours, kept pictures in DIB sections, and bitmap file bytes.
#include "Picture.h"

#include <algorithm>

namespace {
constexpr std::uint32_t White = 0x00FFFFFF;

std::uint32_t PixelOf(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

template <typename T>
void Append(std::string& bytes, const T& value)
{
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

BITMAPINFOHEADER InfoHeader(int width, int height, WORD bitCount, DWORD imageSize)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // rows from the bottom, as bitmap files usually have them
    info.biPlanes = 1;
    info.biBitCount = bitCount;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780;  // 96 dots an inch
    return info;
}
}

COLORREF GreyColour(unsigned char value)
{
    const BYTE level = GreyLevelValues[std::min<unsigned char>(value, 3)];
    return RGB(level, level, level);
}

PictureImage::PictureImage(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // Either can fail when the system is short of GDI resources; the picture
    // is then false and holds nothing.
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_ || !bits) return;
    bits_ = static_cast<std::uint32_t*>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Clear();
}

PictureImage::~PictureImage()
{
    if (oldBitmap_) SelectObject(dc_, oldBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

void PictureImage::Clear()
{
    GdiFlush();
    std::fill(bits_, bits_ + width_ * height_, White);
}

bool PictureImage::SetPixel(int x, int y, COLORREF colour)
{
    std::uint32_t& pixel = bits_[y * width_ + x];
    const std::uint32_t old = pixel;
    pixel = PixelOf(colour);
    return pixel != old;
}

const std::uint32_t* PictureImage::pixels() const
{
    GdiFlush();
    return bits_;
}

GreyFrame GreyFrameOf(const PictureImage& picture, int width, int height)
{
    GreyFrame frame{width, height, {}};
    frame.levels.reserve(static_cast<size_t>(width) * height);
    const std::uint32_t* pixels = picture.pixels();
    // Green is as good as any channel: the greys have red = green = blue.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.levels.push_back(static_cast<unsigned char>((255 - ((pixels[y * picture.width() + x] >> 8) & 0xFF) + 42) / 85));
    return frame;
}

GreyFrame Enlarged(const GreyFrame& picture, int block, int width, int height)
{
    GreyFrame frame{width, height, std::vector<unsigned char>(static_cast<size_t>(width) * height, 0)};
    for (int y = 0; y < std::min(height, picture.height * block); ++y)
        for (int x = 0; x < std::min(width, picture.width * block); ++x)
            frame.levels[static_cast<size_t>(y) * width + x] =
                std::min<unsigned char>(picture.levels[static_cast<size_t>(y / block) * picture.width + x / block], 3);
    return frame;
}

std::vector<std::uint32_t> Colours(const GreyFrame& picture)
{
    // A grey's colour reads the same as 0x00BBGGRR and as 0x00RRGGBB.
    std::vector<std::uint32_t> pixels;
    pixels.reserve(picture.levels.size());
    for (const unsigned char level : picture.levels) pixels.push_back(GreyColour(level));
    return pixels;
}

std::string BitmapFileBytes(const std::uint32_t* pixels, int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    const DWORD imageSize = static_cast<DWORD>(stride) * height;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    const BITMAPINFOHEADER info = InfoHeader(width, height, 24, imageSize);

    std::string bytes;
    bytes.reserve(file.bfSize);
    Append(bytes, file);
    Append(bytes, info);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint32_t* row = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            bytes += static_cast<char>(row[x] & 0xFF);
            bytes += static_cast<char>((row[x] >> 8) & 0xFF);
            bytes += static_cast<char>((row[x] >> 16) & 0xFF);
        }
        bytes.append(stride - width * 3, '\0');
    }
    return bytes;
}

std::string DibBytes(const std::uint32_t* pixels, int width, int height)
{
    const DWORD imageSize = static_cast<DWORD>(width) * height * 4;
    std::string bytes;
    bytes.reserve(sizeof(BITMAPINFOHEADER) + imageSize);
    Append(bytes, InfoHeader(width, height, 32, imageSize));
    // 0x00RRGGBB in memory is blue, green, red and an unused byte, as a
    // 32-bit DIB has its pixels.
    for (int y = height - 1; y >= 0; --y)
        bytes.append(reinterpret_cast<const char*>(pixels + static_cast<size_t>(y) * width), static_cast<size_t>(width) * 4);
    return bytes;
}
