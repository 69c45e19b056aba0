#include "menu/MenuItemPainter.h"

#include "menu/EmbossedPicture.h"
#include "menu/MenuCaption.h"
#include "menu/MenuColours.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace MenuItemPainter {

namespace {

constexpr int w = kImageWidth;
constexpr int h = kImageHeight;

int menuBarHeight(const QFontMetrics &metrics)
{
    return metrics.height() + 6;
}

using MenuColours::Colours;

struct Item
{
    const QStyleOptionMenuItem &option;
    Colours colours;
    bool selected;
    bool enabled;
    bool hasPicture;

    explicit Item(const QStyleOptionMenuItem &item)
        : option(item)
        , colours(MenuColours::of(item.palette))
        , selected(item.state.testFlag(QStyle::State_Selected))
        , enabled(item.state.testFlag(QStyle::State_Enabled))
        , hasPicture(!item.icon.isNull())
    {
    }
};

void paintSeparator(QPainter &painter, const QRect &rect, const Colours &colours)
{
    // An etched line along the top of the item's lower half.
    const int y = rect.top() + rect.height() / 2;
    painter.setPen(colours.frameShadow);
    painter.drawLine(rect.left(), y, rect.right(), y);
    painter.setPen(colours.frameLight);
    painter.drawLine(rect.left(), y + 1, rect.right(), y + 1);
}

void paintBackground(QPainter &painter, const Item &item)
{
    const QRect &rect = item.option.rect;
    painter.fillRect(rect, item.colours.menu);
    if (!item.selected)
        return;
    QRect bar = rect;
    if (item.hasPicture)
        bar.setLeft(rect.left() + w + 5);
    painter.fillRect(bar, item.colours.highlight);
}

void paintRaisedFrame(QPainter &painter, const QRect &box, const Colours &colours)
{
    painter.setPen(colours.frameLight);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(colours.frameShadow);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
}

void paintPicture(QPainter &painter, const Item &item)
{
    const QRect box = pictureBox(item.option.rect);
    // On a dark menu the pictures, drawn in dark ink for a light face, sit on a light tile.
    if (item.colours.dark)
        painter.fillRect(box, item.colours.pictureFace);
    if (item.selected && item.enabled)
        paintRaisedFrame(painter, box, item.colours);
    const QRect place(box.left() + 2, box.top() + 2, w, h);
    const QPixmap picture = item.option.icon.pixmap(QSize(w, h));
    if (item.enabled) {
        painter.drawPixmap(place, picture);
        return;
    }
    const EmbossedPicture::Colours emboss{item.colours.pictureFace, item.colours.pictureHighlight,
                                          item.colours.pictureShadow};
    painter.drawImage(place, EmbossedPicture::make(picture.toImage().scaled(w, h), emboss));
}

void drawCaption(QPainter &painter, const QRect &textRect, const MenuCaption::Parts &parts, const QColor &colour)
{
    constexpr int line = Qt::TextSingleLine | Qt::AlignVCenter;
    painter.setPen(colour);
    painter.drawText(textRect, line | Qt::AlignLeft | Qt::TextShowMnemonic, QString::fromStdString(parts.label));
    if (!parts.hasTab)
        return;
    const QRect acceleratorRect = textRect.adjusted(0, 0, -w, 0);
    painter.drawText(acceleratorRect, line | Qt::AlignRight, QString::fromStdString(parts.accelerator));
}

void paintCaption(QPainter &painter, const Item &item)
{
    const QRect &rect = item.option.rect;
    const QRect textRect(QPoint(rect.left() + w + 9, rect.top() - 1), QPoint(rect.right(), rect.bottom() - 1));
    const MenuCaption::Parts parts = MenuCaption::split(item.option.text.toStdString());
    painter.setFont(item.option.font);
    if (item.enabled) {
        drawCaption(painter, textRect, parts, item.selected ? item.colours.highlightText : item.colours.menuText);
    } else if (item.selected) {
        drawCaption(painter, textRect, parts, item.colours.disabledOnBar);
    } else {
        // Embossed on a light menu; a light copy would only blur the caption on a dark one.
        if (!item.colours.dark)
            drawCaption(painter, textRect.translated(1, 1), parts, item.colours.relief);
        drawCaption(painter, textRect, parts, item.colours.disabledText);
    }
}

}  // namespace

QRect pictureBox(const QRect &itemRect)
{
    const int gap = std::max(0, (itemRect.height() - h - 4) / 2);
    return {itemRect.left(), itemRect.top() + gap, w + 4, h + 4};
}

QSize sizeOf(const QStyleOptionMenuItem &item)
{
    const QFontMetrics metrics(item.font);
    const int barHeight = menuBarHeight(metrics);
    if (item.menuItemType == QStyleOptionMenuItem::Separator)
        return {1, barHeight / 2};
    const MenuCaption::Parts parts = MenuCaption::split(item.text.toStdString());
    const int labelWidth = metrics.horizontalAdvance(QString::fromStdString(MenuCaption::withoutMnemonicMarks(parts.label)));
    // The accelerator column itself is added by the menu (the widest accelerator text).
    const int width = labelWidth + 2 * w + 1 + (parts.hasTab ? w : 0);
    return {width, std::max(barHeight, h + 4)};
}

void paint(QPainter &painter, const QStyleOptionMenuItem &option)
{
    painter.save();
    if (option.menuItemType == QStyleOptionMenuItem::Separator) {
        const Colours colours = MenuColours::of(option.palette);
        painter.fillRect(option.rect, colours.menu);
        paintSeparator(painter, option.rect, colours);
    } else {
        const Item item(option);
        paintBackground(painter, item);
        if (item.hasPicture)
            paintPicture(painter, item);
        paintCaption(painter, item);
    }
    painter.restore();
}

}  // namespace MenuItemPainter
