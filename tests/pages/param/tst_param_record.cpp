#include "ImageEdits.h"
#include "fields/FieldTable.h"
#include "fields/ParamRecord.h"
#include "res/Strings.h"

#include <QtTest>

#include <optional>

namespace {

constexpr char kFactoryRecord[] = "\x1bZ2;1,002101250+00000000000100B0000000000000000\n";
constexpr std::size_t kAdjustmentSign = 15;

// The parameter page's radio groups, in record order, and its adjustment.
std::vector<const Fields::Field *> groups()
{
    std::vector<const Fields::Field *> choices;
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Param)) {
        if (field->kind == Fields::Kind::Choice)
            choices.push_back(field);
    }
    return choices;
}

const Fields::Field &adjustment()
{
    return Fields::named("param.forward_standby_adjustment");
}

// The choices and the adjustment text, as the page shows them, written back.
void encode(const std::vector<std::size_t> &choices, const std::string &text, SettingsImage &image)
{
    const std::vector<const Fields::Field *> fields = groups();
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i]->encode({choices[i], {}}, image);
    adjustment().encode({std::nullopt, text}, image);
}

SettingsImage withAdjustment(const QByteArray &characters)
{
    SettingsImage image = SettingsImage::factory();
    for (std::size_t i = 0; i < 3; ++i)
        image[kAdjustmentSign + i] = characters.at(qsizetype(i));
    return image;
}

QByteArray adjustmentBytes(const SettingsImage &image)
{
    return QByteArray(image.data() + kAdjustmentSign, 3);
}

}  // namespace

class TestParamRecord : public QObject
{
    Q_OBJECT

private slots:
    void factoryRecordRoundTrips();
    void decode_data();
    void decode();
    void encodeAdjustment_data();
    void encodeAdjustment();
    void unselectableCodesAreWrittenBack();
    void encodeTouchesOnlyOwnedPositions();
    void filter_data();
    void filter();
    void spinStepText_data();
    void spinStepText();
    void validate_data();
    void validate();
};

void TestParamRecord::factoryRecordRoundTrips()
{
    const SettingsImage &factory = SettingsImage::factory();
    QCOMPARE(QByteArray(factory.data(), 48), QByteArray(kFactoryRecord));

    for (const Fields::Field *group : groups())
        QCOMPARE(group->decode(factory).choice, std::optional<std::size_t>(0));
    QCOMPARE(adjustment().decode(factory).text, std::string("0.0"));

    SettingsImage image = factory;
    encode(std::vector<std::size_t>(groups().size(), 0), adjustment().decode(factory).text, image);
    QCOMPARE(QByteArray(image.data(), 48), QByteArray(kFactoryRecord));
    QVERIFY(image == factory);
}

void TestParamRecord::decode_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<char>("code");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("selects");

    // Groups in record order: 0 automatic forward standby, 1 FEED key, 5 ribbon near-end,
    // 6 Plug and Play, 7 label end, 8 pre-peel, 9 back-feed speed, 10 cut speed.
    QTest::newRow("auto standby on") << 14 << '1' << 0 << 1 << true;
    QTest::newRow("feed key print") << 28 << '1' << 1 << 1 << true;
    QTest::newRow("ribbon 70 m") << 36 << '2' << 5 << 2 << true;
    QTest::newRow("ribbon code 3 is none") << 36 << '3' << 5 << 3 << false;
    QTest::newRow("back-feed 2 ips") << 42 << '1' << 9 << 1 << true;
    QTest::newRow("plug and play code 2 is none") << 39 << '2' << 6 << 2 << false;
    QTest::newRow("pre-peel code / is none") << 41 << '/' << 8 << -1 << false;
    QTest::newRow("label end letter is none") << 40 << 'A' << 7 << 17 << false;
    QTest::newRow("cut speed F") << 46 << 'F' << 10 << 1 << true;
    QTest::newRow("cut speed 1") << 46 << '1' << 10 << 1 << true;
    QTest::newRow("cut speed NUL") << 46 << '\0' << 10 << 1 << true;
    QTest::newRow("cut speed 0") << 46 << '0' << 10 << 0 << true;
}

void TestParamRecord::decode()
{
    QFETCH(int, position);
    QFETCH(char, code);
    QFETCH(int, group);
    QFETCH(int, index);
    QFETCH(bool, selects);

    SettingsImage image = SettingsImage::factory();
    image[std::size_t(position)] = code;
    // A code that selects no button shows none (its code minus "0", `index`, is no button's).
    const std::optional<std::size_t> choice = groups()[std::size_t(group)]->decode(image).choice;
    QCOMPARE(choice.has_value(), selects);
    if (selects)
        QCOMPARE(int(*choice), index);
}

void TestParamRecord::encodeAdjustment_data()
{
    QTest::addColumn<QByteArray>("stored");  // positions 15-17 as read
    QTest::addColumn<QByteArray>("shown");   // the text decoded from them
    QTest::addColumn<QByteArray>("text");    // a text to encode
    QTest::addColumn<QByteArray>("written"); // positions 15-17 written for it

    QTest::newRow("+25") << QByteArray("+25") << QByteArray("2.5") << QByteArray("2.5") << QByteArray("+25");
    QTest::newRow("-15") << QByteArray("-15") << QByteArray("-1.5") << QByteArray("-1.5") << QByteArray("-15");
    QTest::newRow("+00") << QByteArray("+00") << QByteArray("0.0") << QByteArray("-0.0") << QByteArray("+00");
    QTest::newRow("+95 unclamped") << QByteArray("+95") << QByteArray("9.5") << QByteArray("9.5") << QByteArray("+95");
    QTest::newRow("-50") << QByteArray("-50") << QByteArray("-5.0") << QByteArray("-5") << QByteArray("-50");
    QTest::newRow("off grid") << QByteArray("+13") << QByteArray("1.3") << QByteArray("1.3") << QByteArray("+13");
    QTest::newRow("half away from zero") << QByteArray("+00") << QByteArray("0.0") << QByteArray("1.25") << QByteArray("+13");
    QTest::newRow("negative half") << QByteArray("+00") << QByteArray("0.0") << QByteArray("-1.25") << QByteArray("-13");
    QTest::newRow("tiny negative") << QByteArray("+00") << QByteArray("0.0") << QByteArray("-0.04") << QByteArray("+00");
    QTest::newRow("not a number") << QByteArray("+00") << QByteArray("0.0") << QByteArray("abc") << QByteArray("+00");
    QTest::newRow("empty") << QByteArray("+00") << QByteArray("0.0") << QByteArray("") << QByteArray("+00");
    QTest::newRow("no sign character") << QByteArray("123") << QByteArray("12.3") << QByteArray("12.3") << QByteArray("+99");
    QTest::newRow("large negative") << QByteArray("-99") << QByteArray("-9.9") << QByteArray("-1e9") << QByteArray("-99");
}

void TestParamRecord::encodeAdjustment()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, shown);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);

    const SettingsImage image = withAdjustment(stored);
    QCOMPARE(QByteArray::fromStdString(adjustment().decode(image).text), shown);

    SettingsImage target = SettingsImage::factory();
    adjustment().encode({std::nullopt, text.toStdString()}, target);
    QCOMPARE(adjustmentBytes(target), written);
}

void TestParamRecord::unselectableCodesAreWrittenBack()
{
    // Any code read is written back unchanged, except at 46, where every code but "0" is "F".
    for (int code = -128; code <= 127; ++code) {
        SettingsImage image = SettingsImage::factory();
        for (const Fields::Field *group : groups())
            image[group->owned.front().offset] = static_cast<char>(code);
        SettingsImage written = SettingsImage::factory();
        Fields::storeUnedited(image, written);
        for (const Fields::Field *group : groups()) {
            const std::size_t position = group->owned.front().offset;
            const char expected = position == 46 && code != '0' ? 'F' : static_cast<char>(code);
            QCOMPARE(written[position], expected);
        }
    }
}

void TestParamRecord::encodeTouchesOnlyOwnedPositions()
{
    const SettingsImage before = patternedImage();
    SettingsImage image = before;

    encode({1, 1, 0, 1, 0, 2, 1, 0, 1, 0, 1}, "-2.5", image);

    SettingsImage expected = before;
    const char owned[][2] = {{14, '1'}, {15, '-'}, {16, '2'}, {17, '5'}, {28, '1'}, {32, '0'},
                             {33, '1'}, {35, '0'}, {36, '2'}, {39, '1'}, {40, '0'}, {41, '1'},
                             {42, '0'}, {46, 'F'}};
    for (const auto &[position, code] : owned)
        expected[std::size_t(position)] = code;
    for (std::size_t i = 0; i < SettingsImage::size(); ++i)
        QVERIFY2(image[i] == expected[i], qPrintable(QString("byte %1").arg(i)));
}

void TestParamRecord::filter_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("focus");
    QTest::addColumn<QByteArray>("replacement");  // "none" when the text stays

    const QByteArray none("none");
    QTest::newRow("7 focused") << QByteArray("7") << true << QByteArray("5.0");
    QTest::newRow("-9 focused") << QByteArray("-9") << true << QByteArray("-5.0");
    QTest::newRow("0.3 focused") << QByteArray("0.3") << true << QByteArray("0.0");
    QTest::newRow("-0.2 focused") << QByteArray("-0.2") << true << QByteArray("0.0");
    QTest::newRow("1.3 focused") << QByteArray("1.3") << true << none;
    QTest::newRow("5.0 focused") << QByteArray("5.0") << true << none;
    QTest::newRow("-5.0 focused") << QByteArray("-5.0") << true << none;
    QTest::newRow("0.5 focused") << QByteArray("0.5") << true << none;
    QTest::newRow("-0.5 focused") << QByteArray("-0.5") << true << none;
    QTest::newRow("0.0 focused") << QByteArray("0.0") << true << none;
    QTest::newRow("sign only focused") << QByteArray("-") << true << none;
    QTest::newRow("exponent focused") << QByteArray("1e1") << true << QByteArray("5.0");
    QTest::newRow("7 unfocused") << QByteArray("7") << false << none;
    QTest::newRow("9.5 unfocused") << QByteArray("9.5") << false << none;
    QTest::newRow("0.3 unfocused") << QByteArray("0.3") << false << none;
    QTest::newRow("0.500 focused") << QByteArray("0.500") << true << QByteArray("5.0");
    QTest::newRow("0.500 unfocused") << QByteArray("0.500") << false << QByteArray("5.0");
    QTest::newRow("-4.50 focused") << QByteArray("-4.50") << true << QByteArray("-5.0");
    QTest::newRow("-4.50 unfocused") << QByteArray("-4.50") << false << QByteArray("-5.0");
    QTest::newRow("long text, small value, focused") << QByteArray("0.300") << true << QByteArray("0.0");
    QTest::newRow("long text, small negative, focused") << QByteArray("-0.20") << true << QByteArray("0.0");
    QTest::newRow("long text not a number") << QByteArray("abcde") << false << QByteArray("5.0");
    QTest::newRow("only six characters read") << QByteArray("1234567") << false << QByteArray("5.0");
    QTest::newRow("seventh character ignored") << QByteArray("-0.000009") << true << QByteArray("5.0");
}

void TestParamRecord::filter()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, focus);
    QFETCH(QByteArray, replacement);

    const std::optional<std::string> result = adjustment().filter(text.toStdString(), focus);
    QCOMPARE(result ? QByteArray::fromStdString(*result) : QByteArray("none"), replacement);
}

void TestParamRecord::spinStepText_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("3") << 3 << QByteArray("1.5");
    QTest::newRow("-10") << -10 << QByteArray("-5.0");
    QTest::newRow("10") << 10 << QByteArray("5.0");
    QTest::newRow("0") << 0 << QByteArray("0.0");
    QTest::newRow("-1") << -1 << QByteArray("-0.5");
}

void TestParamRecord::spinStepText()
{
    QFETCH(int, position);
    QFETCH(QByteArray, text);
    QCOMPARE(QByteArray::fromStdString(adjustment().number->spin.stepText(position)), text);
}

void TestParamRecord::validate_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("valid");
    QTest::newRow("+13") << QByteArray("+13") << false;
    QTest::newRow("+05") << QByteArray("+05") << true;
    QTest::newRow("-50") << QByteArray("-50") << true;
    QTest::newRow("+50") << QByteArray("+50") << true;
    QTest::newRow("+00") << QByteArray("+00") << true;
    QTest::newRow("-45") << QByteArray("-45") << true;
    QTest::newRow("+55") << QByteArray("+55") << false;
    QTest::newRow("-55") << QByteArray("-55") << false;
    QTest::newRow("+95") << QByteArray("+95") << false;
    QTest::newRow("+60") << QByteArray("+60") << false;
    QTest::newRow("no sign") << QByteArray("005") << false;
    QTest::newRow("blank tenths") << QByteArray("+0 ") << false;
}

void TestParamRecord::validate()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, valid);

    const SettingsImage image = withAdjustment(stored);
    const ParamRecord::Validation check = ParamRecord::ValidateImage(image);
    QCOMPARE(check.valid(), valid);
    QCOMPARE(check.message, valid ? std::string() : std::string(Str::kBadForwardStandby));
}

QTEST_APPLESS_MAIN(TestParamRecord)
#include "tst_param_record.moc"
