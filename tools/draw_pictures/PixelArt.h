#pragma once

#include <QImage>

#include <array>

// A 16 x 16 picture written as sixteen rows of sixteen characters, one character per pixel, in
// the colours of the classic 16-colour palette. '.' is the light grey (192, 192, 192) that the
// program shows transparent.
//
//   .  light grey (background)   k  black        w  white       g  grey
//   r  red        R  dark red    G  green        l  lime        y  yellow
//   o  olive      b  blue        n  navy         c  cyan        t  teal
//   m  magenta    p  purple
namespace PixelArt {

inline constexpr int kSize = 16;
using Rows = std::array<const char *, kSize>;

// Paints `rows` into a new 16 x 16 image. Throws std::invalid_argument when a row is not
// sixteen characters long or holds a character outside the palette.
QImage paint(const Rows &rows);

// True when the bottom row is all background: menu pictures are shown 16 x 15.
bool bottomRowEmpty(const Rows &rows);

}  // namespace PixelArt
