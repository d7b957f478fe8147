// giflib's decoding, composed frame by frame as a viewer composes it.
#include "Viewer.h"

#include "Gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
struct Input {
    const std::string& file;
    size_t at = 0;
};

int Read(GifFileType* gif, GifByteType* out, int wanted)
{
    Input& in = *static_cast<Input*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(wanted), in.file.size() - in.at);
    std::memcpy(out, in.file.data() + in.at, n);
    in.at += n;
    return static_cast<int>(n);
}

// The grey level of a palette entry; -1 for any other colour.
int LevelOf(const GifColorType& c)
{
    const unsigned char* grey = std::find(GreyLevelValues, GreyLevelValues + 4, c.Red);
    return c.Red == c.Green && c.Red == c.Blue && grey != GreyLevelValues + 4 ? static_cast<int>(grey - GreyLevelValues) : -1;
}

// Composes the frames giflib read into `view`; false with its fault at the first it cannot show.
bool Compose(const GifFileType& gif, Viewed& view)
{
    const auto fault = [&](const std::string& what, int frame) { return view.fault = what + " in frame " + std::to_string(frame), false; };
    std::vector<unsigned char> canvas(static_cast<size_t>(gif.SWidth) * gif.SHeight, 0xFF);  // 0xFF: never drawn
    for (int i = 0; i < gif.ImageCount; ++i) {
        const SavedImage& image = gif.SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* palette = d.ColorMap ? d.ColorMap : gif.SColorMap;
        GraphicsControlBlock control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(const_cast<GifFileType*>(&gif), i, &control);
        if (d.Left < 0 || d.Top < 0 || d.Width < 1 || d.Height < 1 || d.Left + d.Width > gif.SWidth || d.Top + d.Height > gif.SHeight)
            return fault("a rectangle outside the screen", i);
        if (!palette || d.Interlace) return fault("no palette, or interlaced rows", i);
        const std::vector<unsigned char> before = canvas;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int index = image.RasterBits[static_cast<size_t>(y) * d.Width + x];
                if (index == control.TransparentColor) continue;
                const int level = index < palette->ColorCount ? LevelOf(palette->Colors[index]) : -1;
                if (level < 0) return fault("a colour that is not one of the greys", i);
                canvas[static_cast<size_t>(d.Top + y) * gif.SWidth + d.Left + x] = static_cast<unsigned char>(level);
            }
        if (i == 0 && std::count(canvas.begin(), canvas.end(), 0xFF)) return fault("a pixel never drawn", i);
        view.frames.push_back({canvas, control.DelayTime});
        if (control.DisposalMode == DISPOSE_PREVIOUS) canvas = before;
        if (control.DisposalMode == DISPOSE_BACKGROUND) return fault("a frame disposed of to the background", i);
    }
    return true;
}
}  // namespace

Viewed ViewGif(const std::string& file)
{
    Viewed view;
    Input input{file};
    int error = 0;
    const std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(
        DGifOpen(&input, Read, &error), [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) {
        view.fault = gif && gif->ImageCount < 1 ? "no frame" : std::string("giflib: ") + GifErrorString(gif ? gif->Error : error);
        return view;
    }
    view.width = gif->SWidth;
    view.height = gif->SHeight;
    // NETSCAPE2.0, then its sub-block: 1 and the loop count.
    const SavedImage& first = gif->SavedImages[0];
    for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i)
        if (first.ExtensionBlocks[i].Function == APPLICATION_EXT_FUNC_CODE && first.ExtensionBlocks[i].ByteCount == 11 &&
            !std::memcmp(first.ExtensionBlocks[i].Bytes, "NETSCAPE2.0", 11) && first.ExtensionBlocks[i + 1].ByteCount == 3)
            view.loop = first.ExtensionBlocks[i + 1].Bytes[1] | first.ExtensionBlocks[i + 1].Bytes[2] << 8;
    Compose(*gif, view);
    return view;
}
