// Record codec of the fine-adjustment page: what each record text shows and how the texts go back.
#include "FineRows.h"
#include "ImageEdits.h"
#include "fields/FieldTable.h"
#include "settings/ImageLayout.h"

#include <QTest>

#include <array>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kRecord = ImageLayout::kFineRecord;
constexpr std::size_t kRecordLength = 38;

// The page's rows: its number fields, by name.
enum Row : std::size_t {
    Feed, Cut, BackFeed, X, DensityTransfer, DensityDirect, RibbonTakeUp, RibbonBackTension,
    ThresholdReflective, ThresholdTransmissive
};

// What a row shows: the direction list's item (empty for rows without one) and the edit's text.
struct FineRowText
{
    std::string direction;
    std::string value;
};
using FineTexts = std::array<FineRowText, 10>;


FineTexts decode(const SettingsImage &image)
{
    FineTexts texts;
    const std::vector<const Fields::Field *> fields = fineRows();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i].value = fields.at(i)->decode(image).text;
        if (const Fields::Field *direction = Fields::directionOf(*fields[i]))
            texts[i].direction = direction->choices.at(direction->decode(image).choice.value()).caption;
    }
    return texts;
}

void encode(const FineTexts &texts, SettingsImage &image)
{
    const std::vector<const Fields::Field *> fields = fineRows();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (const Fields::Field *direction = Fields::directionOf(*fields[i]))
            direction->encode({direction->choiceCaptioned(texts[i].direction), {}}, image);
        fields[i]->encode({std::nullopt, texts[i].value}, image);
    }
}

std::string recordOf(const SettingsImage &image)
{
    return std::string(image.slice(kRecord, kRecordLength));
}

}  // namespace

class TestFineRecord : public QObject
{
    Q_OBJECT

private slots:
    void factoryDecodesToListedTexts();
    void factoryEncodesBackToSameRecord();
    void decodesField_data();
    void decodesField();
    void encodesField_data();
    void encodesField();
};

void TestFineRecord::factoryDecodesToListedTexts()
{
    const FineTexts texts = decode(SettingsImage::factory());
    const FineTexts expected{{
        {"後方", "0.0"}, {"後方", "0.0"}, {"後方", "0.0"}, {"右側", "0.0"},
        {"", "0"}, {"", "0"}, {"", "0"}, {"", "0"}, {"", "1.0"}, {"", "1.4"},
    }};
    for (std::size_t row = 0; row < texts.size(); ++row) {
        QCOMPARE(texts[row].direction, expected[row].direction);
        QCOMPARE(texts[row].value, expected[row].value);
    }
}

void TestFineRecord::factoryEncodesBackToSameRecord()
{
    SettingsImage image = SettingsImage::factory();
    encode(decode(image), image);
    QCOMPARE(recordOf(image), std::string("\x1bZ2;2,+000+000+00+000+00+00-00-001014\n"));
    QVERIFY(image == SettingsImage::factory());
}

void TestFineRecord::decodesField_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("value");

    QTest::newRow("feed 999 unclamped") << 6 << "+999" << int(Feed) << "後方" << "99.9";
    QTest::newRow("feed 012") << 6 << "+012" << int(Feed) << "後方" << "1.2";
    QTest::newRow("feed minus is forward") << 6 << "-123" << int(Feed) << "前方" << "12.3";
    QTest::newRow("feed other char is forward") << 6 << "x500" << int(Feed) << "前方" << "50.0";
    QTest::newRow("X minus is left") << 17 << "-995" << int(X) << "左側" << "99.5";
    QTest::newRow("X non-digit read as far as a number") << 17 << "+1a5" << int(X) << "右側"
                                                         << "1.0";
    QTest::newRow("density +05") << 21 << "+05" << int(DensityTransfer) << "" << "5";
    QTest::newRow("density -03") << 21 << "-03" << int(DensityTransfer) << "" << "-3";
    QTest::newRow("ribbon -05") << 27 << "-05" << int(RibbonTakeUp) << "" << "-5";
    QTest::newRow("ribbon positive shown as is") << 27 << "+07" << int(RibbonTakeUp) << ""
                                                 << "7";
    QTest::newRow("threshold chars as they stand") << 35 << "9Z" << int(ThresholdTransmissive)
                                                   << "" << "9.Z";
}

void TestFineRecord::decodesField()
{
    QFETCH(int, position);
    QFETCH(QString, bytes);
    QFETCH(int, row);
    QFETCH(QString, direction);
    QFETCH(QString, value);

    const FineTexts texts =
        decode(factoryWith(kRecord + std::size_t(position), bytes.toStdString()));
    QCOMPARE(QString::fromStdString(texts[std::size_t(row)].direction), direction);
    QCOMPARE(QString::fromStdString(texts[std::size_t(row)].value), value);
}

void TestFineRecord::encodesField_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("bytes");

    QTest::newRow("feed 49.99 rounds up") << int(Feed) << "後方" << "49.99" << 6 << "+500";
    QTest::newRow("feed 9.96") << int(Feed) << "前方" << "9.96" << 6 << "-100";
    QTest::newRow("feed unknown direction") << int(Feed) << "?" << "1.2" << 6 << "-012";
    QTest::newRow("cut not a number") << int(Cut) << "後方" << "abc" << 10 << "+000";
    QTest::newRow("back-feed 9.5") << int(BackFeed) << "後方" << "9.5" << 14 << "+95";
    QTest::newRow("X 10.25 half away") << int(X) << "右側" << "10.25" << 17 << "+103";
    QTest::newRow("X too large stays in digits") << int(X) << "右側" << "1e9" << 17 << "+999";
    QTest::newRow("X negative kept at zero") << int(X) << "右側" << "-1.2" << 17 << "+000";
    QTest::newRow("density 05") << int(DensityTransfer) << "" << "05" << 21 << "+05";
    QTest::newRow("density -3") << int(DensityDirect) << "" << "-3" << 24 << "-03";
    QTest::newRow("ribbon -1") << int(RibbonTakeUp) << "" << "-1" << 27 << "-01";
    QTest::newRow("ribbon 00") << int(RibbonBackTension) << "" << "00" << 30 << "-00";
    QTest::newRow("ribbon positive keeps minus") << int(RibbonTakeUp) << "" << "7" << 27
                                                 << "-07";
    QTest::newRow("ribbon huge stays two digits") << int(RibbonTakeUp) << "" << "-12345" << 27
                                                  << "-99";
    QTest::newRow("threshold 1.25") << int(ThresholdReflective) << "" << "1.25" << 33 << "13";
    QTest::newRow("threshold odd char canonical") << int(ThresholdTransmissive) << "" << "9.Z"
                                                  << 35 << "90";
}

void TestFineRecord::encodesField()
{
    QFETCH(int, row);
    QFETCH(QString, direction);
    QFETCH(QString, value);
    QFETCH(int, position);
    QFETCH(QString, bytes);

    SettingsImage image = SettingsImage::factory();
    FineTexts texts = decode(image);
    texts[std::size_t(row)] = {direction.toStdString(), value.toStdString()};
    encode(texts, image);

    const std::string expected = bytes.toStdString();
    QCOMPARE(std::string(image.slice(kRecord + std::size_t(position), expected.size())), expected);
    // The rest of the record keeps its factory bytes.
    const SettingsImage onlyThatField = factoryWith(kRecord + std::size_t(position), expected);
    QCOMPARE(recordOf(image), recordOf(onlyThatField));
}

QTEST_APPLESS_MAIN(TestFineRecord)
#include "tst_FineRecord.moc"
