#include "ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace ProgramIcon {

namespace {

// Everything is laid out on the small icon's 16 x 16 grid and scaled.
constexpr qreal kGrid = 16.0;

void drawBody(QPainter &painter)
{
    const QRectF body(0.8, 1.2, 14.4, 6.2);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0.0, QColor(86, 140, 235));
    shade.setColorAt(1.0, QColor(22, 58, 140));
    painter.setPen(QPen(QColor(10, 20, 50), 0.35));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 1.4, 1.4);

    // The lid's sheen and the front panel.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawRoundedRect(QRectF(2.0, 2.0, 6.0, 1.2), 0.6, 0.6);
    painter.setBrush(QColor(14, 34, 90));
    painter.drawRect(QRectF(1.2, 5.0, 13.6, 1.2));
    painter.setBrush(QColor(60, 230, 90));
    painter.drawEllipse(QPointF(12.8, 5.6), 0.45, 0.45);

    // The label slot.
    painter.setBrush(QColor(5, 10, 25));
    painter.drawRoundedRect(QRectF(2.6, 6.6, 10.8, 0.7), 0.3, 0.3);
}

void drawLabel(QPainter &painter)
{
    const QRectF label(3.4, 6.9, 9.2, 7.9);
    painter.setPen(QPen(QColor(70, 70, 70), 0.3));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRoundedRect(label, 0.5, 0.5);

    // Bar code: bar widths in tenths of a grid unit, gaps between them alike.
    constexpr std::array kBars{3, 2, 6, 2, 3, 4, 2, 2, 5, 3, 2, 3, 4, 2, 3};
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0));
    qreal x = 4.2;
    bool bar = true;
    for (const int width : kBars) {
        const qreal w = width / 10.0;
        if (bar)
            painter.drawRect(QRectF(x, 7.8, w, 3.8));
        x += w;
        bar = !bar;
    }
    // A line of text under the bars.
    painter.setBrush(QColor(60, 60, 60));
    painter.drawRect(QRectF(4.2, 12.5, 5.0, 0.7));
    painter.drawRect(QRectF(4.2, 13.6, 3.2, 0.5));
}

}  // namespace

QImage draw(int size, const QColor &background)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    drawBody(painter);
    drawLabel(painter);
    return image;
}

}  // namespace ProgramIcon
