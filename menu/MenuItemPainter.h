#pragma once

#include <QRect>
#include <QSize>

class QPainter;
class QStyleOptionMenuItem;

// How a drop-down item of the icon menu is measured and painted: the 16 x 15 picture in a box at
// the left edge, the label after it, the accelerator text right-aligned one picture width in from
// the right edge, and the embossed look of disabled items.
namespace MenuItemPainter {

inline constexpr int kImageWidth = 16;
inline constexpr int kImageHeight = 15;

// Separators: half a menu-bar height. Other items: the caption's width plus twice the picture
// width and one pixel (plus one picture width of right margin behind an accelerator text), and
// at least the picture's box in height.
QSize sizeOf(const QStyleOptionMenuItem &item);

void paint(QPainter &painter, const QStyleOptionMenuItem &item);

// The picture box of an item painted in `itemRect`: the picture sits 2 pixels inside it.
QRect pictureBox(const QRect &itemRect);

}  // namespace MenuItemPainter
