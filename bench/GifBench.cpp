// Figures of the GIF writer: three recordings of a minute at 30 frames a
// second, made from generated screens at 1x, 2x and 4x, each written to a file;
// the size and the writer's CPU time a frame of each.
#include "Gif.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
constexpr int Width = 128, Height = 88, Frames = 60 * 30;
constexpr long ScreenPixels = static_cast<long>(Width) * Height;

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Back and forth between 0 and `span`, a step a frame.
int Bounce(int step, int span) { return span - std::abs(step % (2 * span) - span); }

// The device's screen of frame `i` of a recording, one level a byte.
using Screen = std::vector<unsigned char>;
Screen Animation(const std::string& screens, int i)
{
    const long at = i % static_cast<long>(screens.size() / ScreenPixels) * ScreenPixels;
    return {screens.begin() + at, screens.begin() + at + ScreenPixels};
}

// The animation's first screen, still, with two 8 x 8 sprites that move a pixel a frame.
Screen Sprites(const std::string& screens, int i)
{
    Screen screen = Animation(screens, 0);
    const int at[2][2] = {{i % (Width + 8) - 8, 20}, {Bounce(i, Width - 8), Bounce(i + 30, Height - 8)}};
    for (const auto& [left, top] : at)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (left + x >= 0 && left + x < Width) screen[(top + y) * Width + left + x] = static_cast<unsigned char>((x ^ y) % 4);
    return screen;
}

// The animation's screens one above the other, moving up a row a frame.
Screen Scroll(const std::string& screens, int i)
{
    const size_t rows = screens.size() / Width;
    Screen screen;
    for (int y = 0; y < Height; ++y) {
        const size_t row = (i + y) % rows * Width;
        screen.insert(screen.end(), screens.begin() + row, screens.begin() + row + Width);
    }
    return screen;
}

GreyFrame Scaled(const Screen& screen, int scale)
{
    GreyFrame frame{Width * scale, Height * scale, {}};
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) frame.levels.push_back(screen[y / scale * Width + x / scale]);
    return frame;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        // NOLINTNEXTLINE(cert-err33-c): standard error is the only channel left
        std::fputs("usage: gifbench SCREEN.BIN FOLDER\n", stderr);
        return 2;
    }
    const std::string screens = ReadFile(argv[1]);
    const std::pair<const char*, Screen (*)(const std::string&, int)> recordings[] = {
        {"animation", Animation}, {"sprites", Sprites}, {"scroll", Scroll}};
    for (const auto& [name, screen] : recordings)
        for (int scale : {1, 2, 4}) {
            std::string file;
            GifAnimation gif(Width * scale, Height * scale, [&](const std::string& bytes) { return file += bytes, true; },
                             [&](std::uint64_t length) { return file.resize(length), true; });
            std::clock_t cpu = 0;
            for (int i = 0; i <= Frames; ++i) {
                const GreyFrame frame = Scaled(screen(screens, i), scale);
                const std::clock_t start = std::clock();
                // Frame i shows from i / 30 s; the minute ends where frame 1800 would start.
                const long long ms = i * 1000LL / 30;
                i < Frames ? gif.Add(frame, ms) : gif.Finish(ms);
                cpu += std::clock() - start;
            }
            const std::string path = std::string(argv[2]) + "/" + name + "-" + std::to_string(scale) + "x.gif";
            std::ofstream(path, std::ios::binary) << file;
            std::printf("%s %s %d %zu %.3f\n", path.c_str(), name, scale, file.size(), cpu * 1000.0 / CLOCKS_PER_SEC / Frames);
        }
    return 0;
}
