// Which picture file a name asks for, and its bytes.
#include "PictureFile.h"

#include "Picture.h"
#include "Png.h"

#include <windows.h>

#include <algorithm>

std::optional<PictureType> PictureTypeOf(const std::wstring& extension)
{
    const struct { const wchar_t* extension; PictureType type; } types[] = {
        {L".bmp", PictureType::Bitmap}, {L".png", PictureType::Png}, {L".gif", PictureType::Gif}};
    for (const auto& t : types)
        if (CompareStringOrdinal(extension.c_str(), -1, t.extension, -1, TRUE) == CSTR_EQUAL) return t.type;
    return std::nullopt;
}

std::string PictureFileBytes(PictureType type, const GreyFrame& picture)
{
    if (type == PictureType::Png) return PngFileBytes(picture);
    if (type == PictureType::Gif) return GifFileBytes(picture);
    return BitmapFileBytes(Colours(picture).data(), picture.width, picture.height);
}

GreyFrame ScaledFrame(const unsigned char* levels, int width, int height, int factor)
{
    GreyFrame frame{width * factor, height * factor, {}};
    frame.levels.reserve(static_cast<size_t>(frame.width) * frame.height);
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            frame.levels.push_back(std::min<unsigned char>(levels[y / factor * width + x / factor], 3));
    return frame;
}
