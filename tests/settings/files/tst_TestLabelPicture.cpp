#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>

// The test-label picture as the program carries it: a 24-bit bottom-up bitmap of 1244 x 707
// whose bar codes and QR code a scanner reads.
class TestTestLabelPicture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void headerField_data();
    void headerField();
    void blackOnWhiteWithHeadingAtTheTop();
    void codesScan();

private:
    static constexpr int kWidth = 1244;
    static constexpr int kHeight = 707;
    static constexpr qsizetype kPixelOffset = 54;
    static constexpr qsizetype kStride = 3732;

    std::uint32_t field(qsizetype offset, int size) const;
    // Row `y` counted from the top of the picture, as stored bottom-up.
    QByteArray topDownRow(int y) const { return m_bytes.mid(kPixelOffset + (kHeight - 1 - y) * kStride, kStride); }

    QByteArray m_bytes;
};

void TestTestLabelPicture::initTestCase()
{
    QFile picture(QStringLiteral(":/testlabel.bmp"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    m_bytes = picture.readAll();
    QCOMPARE(m_bytes.size(), qsizetype{2638578});
}

std::uint32_t TestTestLabelPicture::field(qsizetype offset, int size) const
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(m_bytes.at(offset + i));
    return value;
}

void TestTestLabelPicture::headerField_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<uint>("expected");

    QTest::newRow("signature") << 0 << 2 << uint('B' | 'M' << 8);
    QTest::newRow("file size") << 2 << 4 << 2638578u;
    QTest::newRow("reserved") << 6 << 4 << 0u;
    QTest::newRow("pixel offset") << 10 << 4 << 54u;
    QTest::newRow("header size") << 14 << 4 << 40u;
    QTest::newRow("width") << 18 << 4 << 1244u;
    QTest::newRow("height, bottom-up") << 22 << 4 << 707u;
    QTest::newRow("planes") << 26 << 2 << 1u;
    QTest::newRow("bits per pixel") << 28 << 2 << 24u;
    QTest::newRow("uncompressed") << 30 << 4 << 0u;
    QTest::newRow("pixel data size") << 34 << 4 << 2638524u;
    QTest::newRow("horizontal resolution") << 38 << 4 << 0u;
    QTest::newRow("vertical resolution") << 42 << 4 << 0u;
    QTest::newRow("colours used") << 46 << 4 << 0u;
    QTest::newRow("important colours") << 50 << 4 << 0u;
}

void TestTestLabelPicture::headerField()
{
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(uint, expected);
    QCOMPARE(field(offset, size), expected);
}

void TestTestLabelPicture::blackOnWhiteWithHeadingAtTheTop()
{
    const QByteArray pixels = m_bytes.mid(kPixelOffset);
    for (const char byte : pixels) {
        if (byte != '\0' && byte != '\xff')
            QFAIL("a pixel is neither black nor white");
    }
    const auto hasBlack = [this](int fromY, int toY) {
        for (int y = fromY; y < toY; ++y) {
            if (topDownRow(y).contains('\0'))
                return true;
        }
        return false;
    };
    // The frame's left edge runs down this column; the heading, centred, stays clear of it.
    constexpr qsizetype kFrameColumn = 18 * 3;
    int frameTop = -1;
    int frameBottom = -1;
    for (int y = 0; y < kHeight; ++y) {
        if (topDownRow(y).at(kFrameColumn) == '\0') {
            frameTop = frameTop < 0 ? y : frameTop;
            frameBottom = y;
        }
    }
    QVERIFY2(frameTop > 0, "no frame");
    QVERIFY2(hasBlack(0, frameTop), "nothing above the frame: the heading is missing or the rows are upside down");
    QVERIFY2(!hasBlack(frameBottom + 1, kHeight), "something below the frame");
}

void TestTestLabelPicture::codesScan()
{
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbarimg.isEmpty())
        QSKIP("zbarimg is not installed");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile copy(dir.filePath(QStringLiteral("testlabel.bmp")));
    QVERIFY(copy.open(QIODevice::WriteOnly));
    QCOMPARE(copy.write(m_bytes), m_bytes.size());
    copy.close();

    QProcess scan;
    scan.start(zbarimg, {QStringLiteral("--quiet"), copy.fileName()});
    QVERIFY(scan.waitForFinished(60000));
    const QStringList found =
        QString::fromUtf8(scan.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(found.contains(QStringLiteral("CODE-39:ABCDEF")), qPrintable(found.join(" | ")));
    QVERIFY2(found.contains(QStringLiteral("CODE-128:12345678901234567890")), qPrintable(found.join(" | ")));
    QVERIFY2(found.contains(QStringLiteral("QR-Code:QAV Quillotron 740Q2 TEST")), qPrintable(found.join(" | ")));
}

QTEST_GUILESS_MAIN(TestTestLabelPicture)
#include "tst_TestLabelPicture.moc"
