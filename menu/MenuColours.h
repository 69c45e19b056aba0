#pragma once

#include <QColor>

class QPalette;

// The colours the icon menu paints with. They come from the palette, the classic menu's roles,
// and are then made readable: a caption keeps at least 4.5:1 contrast against what it is drawn on
// (3:1 when disabled), and a picture's ink and relief keep 3:1 against the face behind it, under
// light and dark palettes alike. A light palette keeps the embossed look of disabled items; a dark
// one (lighter text than menu) draws disabled captions flat, and shows the pictures, drawn for a
// light button face, on a light tile of their own.
namespace MenuColours {

inline constexpr double kTextContrast = 4.5;
inline constexpr double kDisabledContrast = 3.0;

// WCAG 2 relative luminance (0 for black, 1 for white) and contrast ratio (1 to 21).
double luminance(const QColor &colour);
double contrast(const QColor &one, const QColor &other);

// `preferred` when it keeps `minimum` contrast on `background`; otherwise the nearest colour on the
// way from it to black or white (whichever stands out more on that background) that does.
QColor readableOn(const QColor &preferred, const QColor &background, double minimum);

struct Colours
{
    bool dark = false;         // lighter text than menu
    QColor menu;               // the menu's background
    QColor menuText;           // an enabled caption
    QColor highlight;          // the bar under the selected item
    QColor highlightText;      // an enabled caption on the bar
    QColor disabledText;       // a disabled caption on the menu
    QColor disabledOnBar;      // a disabled caption on the bar
    QColor relief;             // the light copy behind a disabled caption (light palettes only)
    QColor frameLight;         // the raised frame of a selected picture
    QColor frameShadow;
    QColor pictureFace;        // what a picture is drawn on
    QColor pictureHighlight;   // a disabled picture's relief
    QColor pictureShadow;
};

Colours of(const QPalette &palette);

}  // namespace MenuColours
