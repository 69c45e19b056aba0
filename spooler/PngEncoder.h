#pragma once

#include "spooler/RgbImage.h"

#include <string>

// Writes a picture as a PNG file (8-bit RGB, not interlaced). A known resolution goes into the
// file's physical-size chunk, so that whoever prints the file knows how many dots each pixel
// takes; without one the file states no size.
namespace PngEncoder {

struct DotsPerInch
{
    int x = 0;
    int y = 0;

    bool isKnown() const { return x > 0 && y > 0; }
};

// Empty when the picture is not valid or can't be compressed.
std::string encode(const RgbImage &image, DotsPerInch resolution = {});

}  // namespace PngEncoder
