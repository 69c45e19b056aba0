#pragma once

#include <QProxyStyle>

// The style of the icon menu's drop-down menus: items are measured and painted by
// MenuItemPainter, the panel in the menu colour, and a disabled item can be hovered (it shows the
// highlight bar, but cannot run). Everything else is the application's style.
class IconMenuStyle : public QProxyStyle
{
    Q_OBJECT

public:
    IconMenuStyle() = default;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};
