#include "menu/MenuColours.h"

#include <QPalette>

#include <cmath>

namespace MenuColours {

namespace {

// The face of the classic light button, which the menu pictures were drawn for.
const QColor kClassicFace(212, 208, 200);
const QColor kClassicShadow(128, 128, 128);

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor mixed(const QColor &from, const QColor &to, double share)
{
    const auto channel = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

}  // namespace

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrast(const QColor &one, const QColor &other)
{
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor &preferred, const QColor &background, double minimum)
{
    if (contrast(preferred, background) >= minimum)
        return preferred;
    const QColor extreme = contrast(Qt::black, background) >= contrast(Qt::white, background) ? QColor(Qt::black)
                                                                                              : QColor(Qt::white);
    // The least change that is enough; the extreme itself always is for 4.5:1 and below.
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 16; ++step) {
        const double middle = (low + high) / 2;
        (contrast(mixed(preferred, extreme, middle), background) >= minimum ? high : low) = middle;
    }
    return mixed(preferred, extreme, high);
}

Colours of(const QPalette &palette)
{
    const auto role = [&palette](QPalette::ColorRole colourRole) { return palette.color(QPalette::Active, colourRole); };
    Colours colours;
    colours.menu = role(QPalette::Window);
    colours.highlight = role(QPalette::Highlight);
    colours.dark = luminance(role(QPalette::WindowText)) > luminance(colours.menu);
    colours.menuText = readableOn(role(QPalette::WindowText), colours.menu, kTextContrast);
    colours.highlightText = readableOn(role(QPalette::HighlightedText), colours.highlight, kTextContrast);
    colours.disabledText = readableOn(role(QPalette::Dark), colours.menu, kDisabledContrast);
    colours.disabledOnBar = readableOn(colours.menu, colours.highlight, kDisabledContrast);
    colours.relief = role(QPalette::Light);
    colours.frameLight = role(QPalette::Light);
    colours.frameShadow = role(QPalette::Dark);
    if (colours.dark) {
        colours.pictureFace = kClassicFace;
        colours.pictureHighlight = Qt::white;
        colours.pictureShadow = readableOn(kClassicShadow, kClassicFace, kDisabledContrast);
    } else {
        colours.pictureFace = role(QPalette::Button);
        colours.pictureHighlight = role(QPalette::Light);
        colours.pictureShadow = readableOn(role(QPalette::Dark), colours.pictureFace, kDisabledContrast);
    }
    return colours;
}

}  // namespace MenuColours
