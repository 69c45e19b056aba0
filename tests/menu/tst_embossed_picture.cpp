// The disabled look of a menu picture.

#include "menu/EmbossedPicture.h"

#include <QTest>

namespace {

const EmbossedPicture::Colours kColours{QColor(212, 208, 200), QColor(255, 255, 255), QColor(128, 128, 128)};

}  // namespace

class TestEmbossedPicture : public QObject
{
    Q_OBJECT

private slots:
    void onePixel_data();
    void onePixel();
    void keepsTheSize();
};

void TestEmbossedPicture::onePixel_data()
{
    QTest::addColumn<QColor>("ink");
    QTest::addColumn<bool>("embossed");

    QTest::newRow("black") << QColor(0, 0, 0) << true;
    QTest::newRow("red") << QColor(255, 0, 0) << true;
    QTest::newRow("dark grey") << QColor(128, 128, 128) << true;
    QTest::newRow("white is already light") << QColor(255, 255, 255) << false;
    QTest::newRow("face colour") << QColor(212, 208, 200) << false;
    QTest::newRow("transparent") << QColor(0, 0, 0, 0) << false;
}

// A picture with one pixel of `ink` at (3, 4): embossed, it becomes shadow there and highlight at
// (4, 5); everything else is face.
void TestEmbossedPicture::onePixel()
{
    QFETCH(QColor, ink);
    QFETCH(bool, embossed);

    QImage picture(16, 15, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixelColor(3, 4, ink);

    const QImage result = EmbossedPicture::make(picture, kColours);
    QCOMPARE(result.size(), picture.size());
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            QColor expected = kColours.face;
            if (embossed && x == 3 && y == 4)
                expected = kColours.shadow;
            else if (embossed && x == 4 && y == 5)
                expected = kColours.highlight;
            QCOMPARE(result.pixelColor(x, y).rgb(), expected.rgb());
        }
    }
}

void TestEmbossedPicture::keepsTheSize()
{
    QImage picture(16, 15, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    const QImage result = EmbossedPicture::make(picture, kColours);
    QCOMPARE(result.size(), QSize(16, 15));
    // The highlight copy shifted right and down is hidden under the shadow except at the edge.
    QCOMPARE(result.pixelColor(0, 0).rgb(), kColours.shadow.rgb());
    QCOMPARE(result.pixelColor(15, 14).rgb(), kColours.shadow.rgb());
}

QTEST_APPLESS_MAIN(TestEmbossedPicture)
#include "tst_embossed_picture.moc"
