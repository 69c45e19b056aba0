// Codecs of the network records and the client-ID conversions, without widgets.
#include "fields/ClientIdText.h"
#include "fields/FieldTable.h"
#include "fields/NetworkCodecs.h"
#include "text/Cp932.h"

#include <QTest>

#include <string>

namespace {

std::string filled(std::string digits)
{
    digits.resize(32, 'F');
    return digits;
}

QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

constexpr std::size_t kPortDigits = 163;
constexpr std::size_t kClientIdField = 176;

const Fields::Field &port()
{
    return Fields::named("ip.port");
}

Fields::Octets readOctets(const SettingsImage &image, std::string_view key)
{
    return Fields::addressOctets(Fields::named(key).decode(image).text);
}

// The client-ID field's 32 characters, entered in the given input type.
SettingsImage withClientId(const QByteArray &field, bool hex)
{
    SettingsImage image = SettingsImage::factory();
    image[ImageLayout::kInputTypeByte] = hex ? '1' : '0';
    for (qsizetype i = 0; i < field.size(); ++i)
        image[kClientIdField + std::size_t(i)] = field[i];
    return image;
}

}  // namespace

class TestIpCodecs : public QObject
{
    Q_OBJECT

private slots:
    void octetsGoToTheirOwnPositions()
    {
        SettingsImage image = SettingsImage::factory();
        Fields::named("ip.gateway").encode({std::nullopt, Fields::addressText({10, 0, 255, 7})}, image);
        QCOMPARE(image.slice(ImageLayout::kGatewayRecord, 22), std::string_view("\x1bIP;3,010,000,255,007\n"));
        QCOMPARE(readOctets(image, "ip.gateway"), (Fields::Octets{10, 0, 255, 7}));
        image[ImageLayout::kIpRecord + 6] = '9';  // "992": a damaged file; the field can show 255 at most
        QCOMPARE(readOctets(image, "ip.address"), (Fields::Octets{255, 168, 10, 20}));
    }

    // Found by fuzzing: a port field weighing below zero drifted on every load and store.
    void damagedPortSettlesAfterOneStore_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("a minus sign") << QByteArray("000-1") << QByteArray("0") << QByteArray("00000");
        QTest::newRow("slash in front") << QByteArray("/0000") << QByteArray("0") << QByteArray("00000");
        QTest::newRow("slash behind a digit") << QByteArray("1000/") << QByteArray("9999") << QByteArray("09999");
        QTest::newRow("letter") << QByteArray("0000z") << QByteArray("74") << QByteArray("00074");
    }
    void damagedPortSettlesAfterOneStore()
    {
        QFETCH(QByteArray, field);
        QFETCH(QByteArray, shown);
        QFETCH(QByteArray, stored);
        SettingsImage image = SettingsImage::factory();
        for (int i = 0; i < 5; ++i)
            image[kPortDigits + static_cast<std::size_t>(i)] = field.at(i);
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(bytes(port().decode(image).text), shown);
            port().encode(port().decode(image), image);
            QCOMPARE(bytes(std::string(image.slice(kPortDigits, 5))), stored);
        }
    }

    void portBoxRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<QString>("replacement");  // empty: the text stays
        QTest::newRow("sixth character, program") << "123456" << false << "65535";
        QTest::newRow("70000 loaded") << "70000" << false << "";
        QTest::newRow("65535 stays") << "65535" << true << "";
    }
    void portBoxRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, focused);
        QFETCH(QString, replacement);
        const auto result = port().filter(text.toStdString(), focused);
        QCOMPARE(QString::fromStdString(result.value_or("")), replacement);
    }

    void fieldFromBox_data()
    {
        QTest::addColumn<QByteArray>("box");  // CP932 bytes
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("double-byte") << QByteArray("\x82\xa0") << false << bytes(filled("82a0"));
        QTest::newRow("empty") << QByteArray() << false << bytes(filled(""));
        QTest::newRow("hex cut to 32") << QByteArray(40, '1') << true << QByteArray(32, '1');
    }
    void fieldFromBox()
    {
        QFETCH(QByteArray, box);
        QFETCH(bool, hex);
        QFETCH(QByteArray, field);
        QCOMPARE(bytes(ClientIdText::fieldFromBox(box.toStdString(), hex)), field);
    }

    void shownFromField_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("factory ascii") << bytes(filled("")) << false << QByteArray();
        QTest::newRow("lower-case digits") << bytes(filled("7a")) << false << QByteArray("z");
        QTest::newRow("0xE0 and up") << bytes(filled("E0E1F0FE")) << false << QByteArray();
        QTest::newRow("0xDF kept") << bytes(filled("DF")) << false << QByteArray("\xdf");
        QTest::newRow("double-byte") << bytes(filled("82A0")) << false << QByteArray("\x82\xa0");
    }
    void shownFromField()
    {
        QFETCH(QByteArray, field);
        QFETCH(bool, hex);
        QFETCH(QByteArray, shown);
        QCOMPARE(bytes(ClientIdText::shownFromField(field.toStdString(), hex)), shown);
    }

    void modeClicks_data()
    {
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<bool>("toHex");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("double-byte to hex") << QByteArray("\x88\xe0") << true << QByteArray("88E0");
        QTest::newRow("lower case to ascii") << QByteArray("7a") << false << QByteArray("z");
        QTest::newRow("space kept") << QByteArray("412042") << false << QByteArray("A B");
        QTest::newRow("odd last digit") << QByteArray("414") << false << QByteArray("A");
        QTest::newRow("outside 0x20-0x7E") << QByteArray("1F7F82A0") << false << QByteArray();
        QTest::newRow("fill dropped") << QByteArray("41FFFFFF") << false << QByteArray("A");
    }
    void modeClicks()
    {
        QFETCH(QByteArray, box);
        QFETCH(bool, toHex);
        QFETCH(QByteArray, result);
        const std::string text = box.toStdString();
        QCOMPARE(bytes(toHex ? ClientIdText::hexFromAsciiBox(text) : ClientIdText::asciiFromHexBox(text)), result);
    }

    // Loading and storing without an edit gives back the field byte for byte, even where the box
    // can't show every byte; an edit stores what the box holds.
    void uneditedFieldRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<bool>("hex");
        QTest::newRow("ascii with space") << bytes(filled("412042")) << false;
        QTest::newRow("hex typed lower case") << bytes(filled("12ab")) << true;
        QTest::newRow("double-byte with 0xE0 trail") << bytes(filled("88E041")) << false;
        QTest::newRow("factory") << bytes(filled("")) << false;
    }
    void uneditedFieldRoundTrip()
    {
        QFETCH(QByteArray, field);
        QFETCH(bool, hex);
        const Fields::Field &clientId = Fields::named("ip.client_id");
        const SettingsImage image = withClientId(field, hex);
        const std::string shown = Cp932::ToUtf8(ClientIdText::shownFromField(field.toStdString(), hex));
        const Fields::Loaded loaded = clientId.load(image, {std::nullopt, shown});
        const auto stored = [&](const std::string &box, bool storedHex) {
            SettingsImage written = withClientId(QByteArray(32, '?'), storedHex);
            clientId.encode({std::nullopt, box}, written, &loaded);
            return bytes(std::string(written.slice(kClientIdField, 32)));
        };
        QCOMPARE(stored(shown, hex), field);
        QCOMPARE(stored("XY", false), bytes(filled("5859")));
        QCOMPARE(stored(shown, !hex), bytes(ClientIdText::fieldFromBox(Cp932::FromUtf8Lossy(shown), !hex)));
    }

    // How the pages show the image's bytes, and the way back; lengths as CP932 counts them.
    void shownBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("single-byte") << QByteArray("A1.\\~") << "A1.\\~";
        QTest::newRow("double-byte and kana") << QByteArray("\x82\xa0\x82\x50\xb1") << "あ１ｱ";
        QTest::newRow("lead byte at the end") << QByteArray("1\x82") << "1\u0082";
        QTest::newRow("lead byte before no trail byte") << QByteArray("\x82.") << "\u0082.";
        QTest::newRow("lead byte with its own character in CP932") << QByteArray("\xf7" "1") << "\u00f7" "1";
        QTest::newRow("bytes that start nothing") << QByteArray("\x80\xa0\xfd\xfe\xff") << "\u0080\u00a0\u00fd\u00fe\u00ff";
    }
    void shownBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const std::string utf8 = Cp932::ToShown(bytes.toStdString());
        QCOMPARE(QString::fromStdString(utf8), shown);
        QCOMPARE(QByteArray::fromStdString(Cp932::FromShown(utf8).value()), bytes);
        QCOMPARE(Cp932::ShownLength(utf8), std::size_t(bytes.size()));
    }

    void shownTextWithoutBytes()
    {
        QVERIFY(!Cp932::FromShown("A\u0100").has_value());  // no CP932 form, no byte of its own
        QCOMPARE(QByteArray::fromStdString(Cp932::FromShownLossy("A\xF0\x9F\x98\x80" "B")), QByteArray("A?B"));
        QCOMPARE(QByteArray::fromStdString(Cp932::FromShownLossy("\u00a7")), QByteArray("\x81\x98"));  // § has one
    }

    void cp932()
    {
        QCOMPARE(bytes(Cp932::FromUtf8("あ漾A").value()), QByteArray("\x82\xa0\xe0\x40" "A"));
        QCOMPARE(QString::fromStdString(Cp932::ToUtf8("\x82\xa0\xe0\x40" "A")), QStringLiteral("あ漾A"));
        QCOMPARE(QString::fromStdString(Cp932::ToUtf8("\xb1")), QStringLiteral("ｱ"));  // half-width kana
        QVERIFY(!Cp932::FromUtf8("A\xF0\x9F\x98\x80").has_value());  // an emoji has no CP932 form
        QCOMPARE(bytes(Cp932::FromUtf8Lossy("A\xF0\x9F\x98\x80" "B")), QByteArray("A?B"));
        QCOMPARE(QString::fromStdString(Cp932::ToUtf8("A\x82")), QStringLiteral("A\uFFFD"));
    }
};

QTEST_APPLESS_MAIN(TestIpCodecs)
#include "tst_ip_codecs.moc"
