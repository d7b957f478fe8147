#pragma once
// Picture files of the device's screen as the programs write them: the type
// a file name asks for, the file's bytes, and the screen at a larger size.
#include "Gif.h"

#include <optional>
#include <string>

enum class PictureType { Bitmap, Png, Gif };

// The type whose extension `extension` is: ".bmp", ".png" or ".gif", in any
// case; none for any other.
std::optional<PictureType> PictureTypeOf(const std::wstring& extension);

// The file that holds `picture` in `type`; empty when it could not be made.
std::string PictureFileBytes(PictureType type, const GreyFrame& picture);

// A screen of `width` x `height` grey levels at `factor` times its size, each
// pixel a square block; levels above 3 are black.
GreyFrame ScaledFrame(const unsigned char* levels, int width, int height, int factor);
