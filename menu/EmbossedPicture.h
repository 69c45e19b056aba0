#pragma once

#include <QColor>
#include <QImage>

// The look of a picture beside a disabled command: its outline pressed into the menu. Every pixel
// that is neither transparent nor face- or highlight-coloured is painted in the highlight colour
// one pixel right and down, then in the shadow colour in place, on the face colour.
namespace EmbossedPicture {

struct Colours
{
    QColor face;
    QColor highlight;
    QColor shadow;
};

QImage make(const QImage &picture, const Colours &colours);

}  // namespace EmbossedPicture
