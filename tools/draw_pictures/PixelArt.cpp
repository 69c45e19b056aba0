#include "PixelArt.h"

#include <QColor>
#include <QPainter>

#include <cstring>
#include <stdexcept>
#include <string>

namespace PixelArt {

namespace {

QColor paletteColour(char code)
{
    switch (code) {
    case '.': return {192, 192, 192};
    case 'k': return {0, 0, 0};
    case 'w': return {255, 255, 255};
    case 'g': return {128, 128, 128};
    case 'r': return {255, 0, 0};
    case 'R': return {128, 0, 0};
    case 'G': return {0, 128, 0};
    case 'l': return {0, 255, 0};
    case 'y': return {255, 255, 0};
    case 'o': return {128, 128, 0};
    case 'b': return {0, 0, 255};
    case 'n': return {0, 0, 128};
    case 'c': return {0, 255, 255};
    case 't': return {0, 128, 128};
    case 'm': return {255, 0, 255};
    case 'p': return {128, 0, 128};
    default: break;
    }
    throw std::invalid_argument(std::string("no palette colour for '") + code + "'");
}

}  // namespace

QImage paint(const Rows &rows)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int y = 0; y < kSize; ++y) {
        const char *row = rows[static_cast<std::size_t>(y)];
        if (std::strlen(row) != kSize)
            throw std::invalid_argument("row " + std::to_string(y) + " is not 16 pixels wide: " + row);
        for (int x = 0; x < kSize; ++x)
            painter.fillRect(x, y, 1, 1, paletteColour(row[x]));
    }
    return image;
}

bool bottomRowEmpty(const Rows &rows)
{
    return std::strspn(rows[kSize - 1], ".") == kSize;
}

}  // namespace PixelArt
