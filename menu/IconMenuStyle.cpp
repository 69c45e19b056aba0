#include "menu/IconMenuStyle.h"

#include "menu/MenuItemPainter.h"

#include <QPainter>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

namespace {

// Items this style paints itself; section headers and sub-menu entries stay with the base.
const QStyleOptionMenuItem *ownItem(const QStyleOption *option)
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item)
        return nullptr;
    switch (item->menuItemType) {
    case QStyleOptionMenuItem::Normal:
    case QStyleOptionMenuItem::DefaultItem:
        return item;
    case QStyleOptionMenuItem::Separator:
        return item->text.isEmpty() ? item : nullptr;
    default:
        return nullptr;
    }
}

}  // namespace

void IconMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    if (element == CE_MenuItem) {
        if (const QStyleOptionMenuItem *item = ownItem(option)) {
            MenuItemPainter::paint(*painter, *item);
            return;
        }
    }
    if (element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void IconMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    if (element == PE_PanelMenu) {
        const QBrush fill(option->palette.color(QPalette::Window));
        qDrawShadePanel(painter, option->rect, option->palette, false, pixelMetric(PM_MenuPanelWidth, option, widget),
                        &fill);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize IconMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                      const QWidget *widget) const
{
    if (type == CT_MenuItem) {
        if (const QStyleOptionMenuItem *item = ownItem(option))
            return MenuItemPainter::sizeOf(*item);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int IconMenuStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                             QStyleHintReturn *returnData) const
{
    if (hint == SH_Menu_AllowActiveAndDisabled)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
