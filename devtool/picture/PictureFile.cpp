// Which picture file a name asks for, and its bytes.
#include "PictureFile.h"

#include "Picture.h"
#include "Png.h"

#include <windows.h>

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
    const GreyFrame screen{width, height, {levels, levels + static_cast<size_t>(width) * height}};
    return Enlarged(screen, factor, width * factor, height * factor);
}
