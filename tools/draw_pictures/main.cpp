// Draws the program's pictures.
//
//   draw_pictures <pictures folder> <desktop folder>
//
// writes every 16 x 16 picture and the 48 and 256 pixel program icons, all on light grey, into
// the pictures folder, and the desktop icons (16, 48 and 256 pixels) with a transparent
// background into <desktop folder>/icons/.

#include "Drawings.h"
#include "ProgramIcon.h"
#include "menu/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <exception>

namespace {

const QColor kLightGrey(192, 192, 192);

bool save(const QImage &image, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "draw_pictures: cannot write %s\n", qPrintable(path));
    return false;
}

bool drawSmallPictures(const QDir &folder)
{
    bool ok = true;
    for (const Drawings::Picture &picture : Drawings::all()) {
        if (picture.shownInMenu && !PixelArt::bottomRowEmpty(picture.rows)) {
            std::fprintf(stderr, "draw_pictures: %s uses its bottom row, which a menu cuts off\n",
                         qPrintable(picture.name));
            ok = false;
        }
        ok = save(PixelArt::paint(picture.rows), folder, picture.name) && ok;
    }
    return ok;
}

// The small icon with its light grey made transparent, for the desktop's 16 pixel size.
QImage transparentSmallIcon()
{
    for (const Drawings::Picture &picture : Drawings::all()) {
        if (picture.name != Pictures::programIcon())
            continue;
        QImage icon = PixelArt::paint(picture.rows).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                if (icon.pixelColor(x, y) == kLightGrey)
                    icon.setPixel(x, y, 0);
            }
        }
        return icon;
    }
    return {};
}

bool drawDesktopIcons(const QDir &pictures, const QDir &desktopIcons)
{
    bool ok = save(transparentSmallIcon(), desktopIcons, QStringLiteral("sbq740-16"));
    for (const int size : {48, 256}) {
        const QString name = QStringLiteral("icon-%1").arg(size);
        ok = save(ProgramIcon::draw(size, kLightGrey), pictures, name) && ok;
        ok = save(ProgramIcon::draw(size, Qt::transparent), desktopIcons, QStringLiteral("sbq740-%1").arg(size))
             && ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: draw_pictures <pictures folder> <desktop folder>\n");
        return 2;
    }
    const QDir pictures(args.at(1));
    QDir desktop(args.at(2));
    if (!pictures.exists() || !desktop.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "draw_pictures: missing output folder\n");
        return 2;
    }
    try {
        const bool ok = drawSmallPictures(pictures) && drawDesktopIcons(pictures, QDir(desktop.filePath("icons")));
        return ok ? 0 : 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "draw_pictures: %s\n", error.what());
        return 1;
    }
}
