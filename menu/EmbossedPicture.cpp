#include "menu/EmbossedPicture.h"

#include <QPainter>

namespace EmbossedPicture {

namespace {

// The pixels that carry the picture's drawing: not background, not already light.
QImage inkMask(const QImage &picture, const Colours &colours)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage mask(argb.size(), QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    const QRgb face = colours.face.rgb() & RGB_MASK;
    const QRgb highlight = colours.highlight.rgb() & RGB_MASK;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            const QRgb colour = pixel & RGB_MASK;
            if (qAlpha(pixel) < 128 || colour == face || colour == highlight)
                continue;
            mask.setPixel(x, y, 0xff000000u);
        }
    }
    return mask;
}

// `mask` with every set pixel in `colour`.
QImage tinted(const QImage &mask, const QColor &colour)
{
    QImage copy = mask;
    QPainter painter(&copy);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(copy.rect(), colour);
    return copy;
}

}  // namespace

QImage make(const QImage &picture, const Colours &colours)
{
    const QImage mask = inkMask(picture, colours);
    QImage embossed(picture.size(), QImage::Format_ARGB32);
    embossed.fill(colours.face);
    QPainter painter(&embossed);
    painter.drawImage(QPoint(1, 1), tinted(mask, colours.highlight));
    painter.drawImage(QPoint(0, 0), tinted(mask, colours.shadow));
    return embossed;
}

}  // namespace EmbossedPicture
