#pragma once
// PNG files through the platform's imaging component.
#include "Gif.h"

#include <string>

// A PNG file of the picture: two bits a pixel with a palette of the four grey
// levels. The empty text when the imaging component fails.
std::string PngFileBytes(const GreyFrame& frame);
