#include "menu/Pictures.h"

#include <QBitmap>
#include <QColor>
#include <QImage>

namespace Pictures {

QPixmap load(const QString &name)
{
    QImage image(QStringLiteral(":/pictures/%1.png").arg(name));
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparentKey = qRgb(192, 192, 192);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00ffffffu) == (transparentKey & 0x00ffffffu))
                line[x] = 0;
        }
    }
    return QPixmap::fromImage(image);
}

QString menuPicture(int bitmapId) { return QStringLiteral("menu_%1").arg(bitmapId); }
QString toolbarPicture(int buttonId) { return QStringLiteral("tool_%1").arg(buttonId); }
QString tabPicture(int index) { return QStringLiteral("tab_%1").arg(index); }

QIcon windowIcon()
{
    QIcon icon;
    for (const int size : {16, 48, 256})
        icon.addFile(QStringLiteral(":/desktop/sbq740-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace Pictures
