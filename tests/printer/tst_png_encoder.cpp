// PNG files of plain pixel pictures, read back with Qt's own PNG reader.
#include "spooler/PngEncoder.h"

#include <QtTest>

namespace {

// Every pixel a different colour, so that swapped channels, rows or columns show.
RgbImage patterned(int width, int height)
{
    RgbImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.pixels += {static_cast<char>(x * 7 + 1), static_cast<char>(y * 13 + 2), static_cast<char>((x + y) * 29)};
    }
    return image;
}

std::string pixelsOf(const QImage &decoded)
{
    const QImage rgb = decoded.convertToFormat(QImage::Format_RGB888);
    std::string pixels;
    for (int y = 0; y < rgb.height(); ++y)
        pixels.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), static_cast<std::size_t>(rgb.width()) * 3);
    return pixels;
}

}  // namespace

class TestPngEncoder : public QObject
{
    Q_OBJECT

private slots:
    void readsBackUnchanged_data();
    void readsBackUnchanged();
    void invalidPicturesGiveNothing();
};

void TestPngEncoder::readsBackUnchanged_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("xDpi");
    QTest::addColumn<int>("yDpi");
    QTest::addColumn<int>("xDotsPerMetre");  // 0: the file states no size
    QTest::addColumn<int>("yDotsPerMetre");
    QTest::newRow("one pixel, 300 dpi") << 1 << 1 << 300 << 300 << 11811 << 11811;
    QTest::newRow("odd width, 203 dpi") << 5 << 3 << 203 << 203 << 7992 << 7992;
    QTest::newRow("one column, 300 x 600 dpi") << 1 << 40 << 300 << 600 << 11811 << 23622;
    QTest::newRow("the test label's size, resolution unknown") << 1244 << 707 << 0 << 0 << 0 << 0;
}

void TestPngEncoder::readsBackUnchanged()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, xDpi);
    QFETCH(int, yDpi);
    QFETCH(int, xDotsPerMetre);
    QFETCH(int, yDotsPerMetre);
    const RgbImage image = patterned(width, height);

    const std::string png = PngEncoder::encode(image, {xDpi, yDpi});
    const QImage decoded = QImage::fromData(QByteArray::fromStdString(png), "PNG");

    QCOMPARE(decoded.size(), QSize(width, height));
    QVERIFY(pixelsOf(decoded) == image.pixels);
    if (xDotsPerMetre == 0) {
        QCOMPARE(png.find("pHYs"), std::string::npos);
    } else {
        QCOMPARE(decoded.dotsPerMeterX(), xDotsPerMetre);
        QCOMPARE(decoded.dotsPerMeterY(), yDotsPerMetre);
    }
}

void TestPngEncoder::invalidPicturesGiveNothing()
{
    QVERIFY(PngEncoder::encode({0, 0, {}}).empty());
    QVERIFY(PngEncoder::encode({4, 4, std::string(36, '\x7f')}).empty());  // a row short
    QVERIFY(PngEncoder::encode({4, 4, std::string(49, '\x7f')}).empty());  // a byte too many
}

QTEST_MAIN(TestPngEncoder)
#include "tst_png_encoder.moc"
