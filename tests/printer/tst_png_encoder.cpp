// PNG files of plain pixel pictures, read back with Qt's own PNG reader.
#include "PngEncoder.h"

#include <QtTest>

namespace {

// Every pixel a different colour, so that swapped channels, rows or columns show.
RgbImage patterned(int width, int height)
{
    RgbImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back(static_cast<char>(x * 7 + 1));
            image.pixels.push_back(static_cast<char>(y * 13 + 2));
            image.pixels.push_back(static_cast<char>((x + y) * 29 + 3));
        }
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

QImage decode(const std::string &png)
{
    return QImage::fromData(QByteArray::fromStdString(png), "PNG");
}

}  // namespace

class TestPngEncoder : public QObject
{
    Q_OBJECT

private slots:
    void picturesReadBackUnchanged_data();
    void picturesReadBackUnchanged();
    void resolutionTellsTheDotsPerMetre_data();
    void resolutionTellsTheDotsPerMetre();
    void unknownResolutionStatesNoSize();
    void invalidPicturesGiveNothing_data();
    void invalidPicturesGiveNothing();
};

void TestPngEncoder::picturesReadBackUnchanged_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("one pixel") << 1 << 1;
    QTest::newRow("odd width, rows not a multiple of four bytes") << 5 << 3;
    QTest::newRow("one column") << 1 << 40;
    QTest::newRow("the test label's size") << 1244 << 707;
}

void TestPngEncoder::picturesReadBackUnchanged()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const RgbImage image = patterned(width, height);

    const QImage decoded = decode(PngEncoder::encode(image, {300, 300}));

    QCOMPARE(decoded.size(), QSize(width, height));
    QVERIFY(pixelsOf(decoded) == image.pixels);
}

void TestPngEncoder::resolutionTellsTheDotsPerMetre_data()
{
    QTest::addColumn<int>("xDpi");
    QTest::addColumn<int>("yDpi");
    QTest::addColumn<int>("xDpm");
    QTest::addColumn<int>("yDpm");
    QTest::newRow("300 dpi") << 300 << 300 << 11811 << 11811;
    QTest::newRow("203 dpi") << 203 << 203 << 7992 << 7992;
    QTest::newRow("300 x 600 dpi") << 300 << 600 << 11811 << 23622;
}

void TestPngEncoder::resolutionTellsTheDotsPerMetre()
{
    QFETCH(int, xDpi);
    QFETCH(int, yDpi);
    QFETCH(int, xDpm);
    QFETCH(int, yDpm);

    const QImage decoded = decode(PngEncoder::encode(patterned(4, 4), {xDpi, yDpi}));

    QCOMPARE(decoded.dotsPerMeterX(), xDpm);
    QCOMPARE(decoded.dotsPerMeterY(), yDpm);
}

void TestPngEncoder::unknownResolutionStatesNoSize()
{
    const std::string png = PngEncoder::encode(patterned(4, 4));
    QVERIFY(!decode(png).isNull());
    QCOMPARE(png.find("pHYs"), std::string::npos);
}

void TestPngEncoder::invalidPicturesGiveNothing_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pixelBytes");
    QTest::newRow("no pixels") << 0 << 0 << 0;
    QTest::newRow("a row short") << 4 << 4 << 36;
    QTest::newRow("a byte too many") << 4 << 4 << 49;
}

void TestPngEncoder::invalidPicturesGiveNothing()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, pixelBytes);
    const RgbImage image{width, height, std::string(static_cast<std::size_t>(pixelBytes), '\x7f')};
    QVERIFY(PngEncoder::encode(image, {300, 300}).empty());
}

QTEST_MAIN(TestPngEncoder)
#include "tst_png_encoder.moc"
