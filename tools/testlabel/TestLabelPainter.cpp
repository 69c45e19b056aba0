#include "TestLabelPainter.h"

#include "Code128.h"
#include "Code39.h"
#include "QrMatrix.h"

#include <QFontInfo>
#include <QPainter>

#include <numeric>
#include <stdexcept>

namespace TestLabelPainter {

namespace {

constexpr char kFontFamily[] = "IPAPGothic";
constexpr char kCode39Text[] = "*ABCDEF*";
constexpr char kDigits[] = "12345678901234567890";

// Layout in pixels.
constexpr QRect kHeadingArea{0, 10, kWidth, 70};
constexpr QRect kFrame{16, 88, kWidth - 32, kHeight - 104};
constexpr int kFrameLine = 4;
constexpr int kLeftColumn = 72;  // leaves a quiet zone of more than ten modules inside the frame

constexpr int kCode39Top = 124;
constexpr int kCode39Height = 110;
constexpr int kCode39Narrow = 3;
constexpr int kCode39Wide = 8;

constexpr int kGothicTop = 282;
constexpr int kGothicHeight = 130;

constexpr int kCode128Top = 436;
constexpr int kCode128Height = 150;
constexpr int kCode128Module = 4;

constexpr int kCaptionGap = 6;
constexpr int kCaptionHeight = 40;

constexpr int kQrModule = 8;
constexpr int kQrRight = kFrame.right() - 72;

QFont labelFont(int pixelSize)
{
    QFont font(kFontFamily);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    if (QFontInfo(font).family() != kFontFamily)
        throw std::runtime_error("the font IPAPGothic is not installed");
    return font;
}

void drawText(QPainter &painter, const QRect &area, const QString &text, int pixelSize, int alignment)
{
    painter.setFont(labelFont(pixelSize));
    painter.drawText(area, alignment, text);
}

// Draws the bars from `left`, returns the pattern's width.
int drawBars(QPainter &painter, const BarPattern &pattern, int left, int top, int height)
{
    int x = left;
    bool bar = true;
    for (const int width : pattern) {
        if (bar)
            painter.fillRect(x, top, width, height, Qt::black);
        x += width;
        bar = !bar;
    }
    return x - left;
}

void drawFrame(QPainter &painter)
{
    const QRect &f = kFrame;
    painter.fillRect(f.left(), f.top(), f.width(), kFrameLine, Qt::black);
    painter.fillRect(f.left(), f.bottom() - kFrameLine + 1, f.width(), kFrameLine, Qt::black);
    painter.fillRect(f.left(), f.top(), kFrameLine, f.height(), Qt::black);
    painter.fillRect(f.right() - kFrameLine + 1, f.top(), kFrameLine, f.height(), Qt::black);
}

// A bar code with its human-readable text centred below it.
void drawBarCode(QPainter &painter, const BarPattern &pattern, int top, int height, const QString &caption)
{
    const int width = drawBars(painter, pattern, kLeftColumn, top, height);
    const QRect captionArea(kLeftColumn, top + height + kCaptionGap, width, kCaptionHeight);
    drawText(painter, captionArea, caption, 30, Qt::AlignHCenter | Qt::AlignTop);
}

void drawQrCode(QPainter &painter)
{
    const QrMatrix matrix = QrMatrix::encode(kQrText);
    const int side = matrix.size() * kQrModule;
    const int left = kQrRight - side;
    const int top = kFrame.center().y() - side / 2;
    for (int y = 0; y < matrix.size(); ++y) {
        for (int x = 0; x < matrix.size(); ++x) {
            if (matrix.isDark(x, y))
                painter.fillRect(left + x * kQrModule, top + y * kQrModule, kQrModule, kQrModule, Qt::black);
        }
    }
}

}  // namespace

QImage paint()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setPen(Qt::black);

    drawText(painter, kHeadingArea, QStringLiteral("印刷試験"), 56, Qt::AlignCenter);
    drawFrame(painter);
    drawBarCode(painter, Code39::encode(kCode39Text, kCode39Narrow, kCode39Wide), kCode39Top, kCode39Height,
                QString::fromLatin1(kCode39Text));
    drawText(painter, QRect(kLeftColumn, kGothicTop, kQrRight - kLeftColumn, kGothicHeight),
             QStringLiteral("ゴシック"), 112, Qt::AlignLeft | Qt::AlignVCenter);
    drawBarCode(painter, Code128::encodeDigits(kDigits, kCode128Module), kCode128Top, kCode128Height,
                QString::fromLatin1(kDigits));
    drawQrCode(painter);
    painter.end();
    return image;
}

}  // namespace TestLabelPainter
