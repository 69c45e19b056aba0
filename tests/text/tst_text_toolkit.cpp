// The text toolkit every reader of characters shares: strict UTF-8, hex digits and the list of
// characters that are shown escaped.
#include "text/Cp932.h"
#include "text/Hex.h"
#include "text/Utf8.h"
#include "text/VisibleText.h"

#include <QtTest>

class TestTextToolkit : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<uint>("codePoint");  // with length 0: none
        QTest::addColumn<int>("length");
        QTest::newRow("ASCII") << QByteArray("A") << 0x41u << 1;
        QTest::newRow("NUL") << QByteArray(1, '\0') << 0u << 1;
        QTest::newRow("2 bytes, first") << QByteArray("\xC2\x80") << 0x80u << 2;
        QTest::newRow("2 bytes, last") << QByteArray("\xDF\xBF") << 0x7FFu << 2;
        QTest::newRow("3 bytes, first") << QByteArray("\xE0\xA0\x80") << 0x800u << 3;
        QTest::newRow("3 bytes, kana") << QByteArray("\xE3\x81\x82") << 0x3042u << 3;
        QTest::newRow("3 bytes, before the surrogates") << QByteArray("\xED\x9F\xBF") << 0xD7FFu << 3;
        QTest::newRow("3 bytes, after the surrogates") << QByteArray("\xEE\x80\x80") << 0xE000u << 3;
        QTest::newRow("3 bytes, last") << QByteArray("\xEF\xBF\xBF") << 0xFFFFu << 3;
        QTest::newRow("4 bytes, first") << QByteArray("\xF0\x90\x80\x80") << 0x10000u << 4;
        QTest::newRow("4 bytes, last") << QByteArray("\xF4\x8F\xBF\xBF") << 0x10FFFFu << 4;
        QTest::newRow("overlong 2 bytes, C0") << QByteArray("\xC0\xAF") << 0u << 0;
        QTest::newRow("overlong 2 bytes, C1") << QByteArray("\xC1\xBF") << 0u << 0;
        QTest::newRow("overlong 3 bytes") << QByteArray("\xE0\x9F\xBF") << 0u << 0;
        QTest::newRow("overlong 4 bytes") << QByteArray("\xF0\x8F\xBF\xBF") << 0u << 0;
        QTest::newRow("high surrogate") << QByteArray("\xED\xA0\x80") << 0u << 0;
        QTest::newRow("low surrogate") << QByteArray("\xED\xBF\xBF") << 0u << 0;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << 0u << 0;
        QTest::newRow("lead F5") << QByteArray("\xF5\x80\x80\x80") << 0u << 0;
        QTest::newRow("byte FF") << QByteArray("\xFF") << 0u << 0;
        QTest::newRow("cut after 1 of 2") << QByteArray("\xC3") << 0u << 0;
        QTest::newRow("cut after 2 of 3") << QByteArray("\xE3\x81") << 0u << 0;
        QTest::newRow("cut after 3 of 4") << QByteArray("\xF0\x9F\x98") << 0u << 0;
        QTest::newRow("ASCII where a continuation belongs") << QByteArray("\xE3\x81" "A") << 0u << 0;
        QTest::newRow("stray continuation") << QByteArray("\x80" "A") << 0u << 0;
        QTest::newRow("stray last continuation") << QByteArray("\xBF") << 0u << 0;
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(uint, codePoint);
        QFETCH(int, length);
        const std::string text = bytes.toStdString();
        const Utf8::Decoded decoded = Utf8::DecodeAt(text, 0);
        QCOMPARE(int(decoded.length), length);
        QCOMPARE(Utf8::IsValid(text), length == bytes.size());
        if (length > 0) {
            QCOMPARE(uint(decoded.codePoint), codePoint);
            QCOMPARE(QByteArray::fromStdString(Utf8::Encoded(decoded.codePoint)), bytes.left(length));
        }
    }

    void hex_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<qlonglong>("value");  // -1: not hex digits
        QTest::newRow("0 and 9") << "09" << 9ll;
        QTest::newRow("lower case") << "af" << 0xAFll;
        QTest::newRow("upper case") << "AF" << 0xAFll;
        QTest::newRow("eight digits") << "0010FFFF" << 0x10FFFFll;
        QTest::newRow("/") << "/" << -1ll;  // the neighbours of the digit ranges
        QTest::newRow(":") << ":" << -1ll;
        QTest::newRow("@") << "@" << -1ll;
        QTest::newRow("G") << "G" << -1ll;
        QTest::newRow("`") << "`" << -1ll;
        QTest::newRow("g") << "g" << -1ll;
        QTest::newRow("a digit and a non-digit") << "1x" << -1ll;
        QTest::newRow("a sign") << "+1" << -1ll;
        QTest::newRow("none") << "" << -1ll;
    }
    void hex()
    {
        QFETCH(QString, digits);
        QFETCH(qlonglong, value);
        const std::string text = digits.toStdString();
        QCOMPARE(qlonglong(Hex::Value(text)), value);
        if (value >= 0) {
            const int width = int(text.size());
            QCOMPARE(QString::fromStdString(Hex::Digits(static_cast<unsigned long>(value), width, Hex::Case::Upper)), digits.toUpper());
            QCOMPARE(QString::fromStdString(Hex::Digits(static_cast<unsigned long>(value), width, Hex::Case::Lower)), digits.toLower());
        }
    }

    // The one list of characters shown escaped, at the edges of each of its ranges, and how.
    void escapeList_data()
    {
        QTest::addColumn<uint>("codePoint");
        QTest::addColumn<QString>("window");    // the escape, or empty when the character is shown
        QTest::addColumn<QString>("terminal");  // the command line's escape
        QTest::newRow("NUL") << 0x0u << "\\u0000" << "\\x00";
        QTest::newRow("ESC") << 0x1Bu << "\\u001B" << "\\x1b";
        QTest::newRow("space") << 0x20u << "" << "";
        QTest::newRow("tilde") << 0x7Eu << "" << "";
        QTest::newRow("DEL") << 0x7Fu << "\\u007F" << "\\x7f";
        QTest::newRow("first C1") << 0x80u << "\\u0080" << "\\u0080";
        QTest::newRow("last C1") << 0x9Fu << "\\u009F" << "\\u009f";
        QTest::newRow("no-break space") << 0xA0u << "" << "";
        QTest::newRow("soft hyphen") << 0xADu << "\\u00AD" << "\\u00ad";
        QTest::newRow("Arabic letter mark") << 0x61Cu << "\\u061C" << "\\u061c";
        QTest::newRow("hair space") << 0x200Au << "" << "";
        QTest::newRow("zero-width space") << 0x200Bu << "\\u200B" << "\\u200b";
        QTest::newRow("right-to-left mark") << 0x200Fu << "\\u200F" << "\\u200f";
        QTest::newRow("paragraph separator") << 0x2029u << "\\u2029" << "\\u2029";
        QTest::newRow("right-to-left override") << 0x202Eu << "\\u202E" << "\\u202e";
        QTest::newRow("narrow no-break space") << 0x202Fu << "" << "";
        QTest::newRow("pop directional isolate") << 0x2069u << "\\u2069" << "\\u2069";
        QTest::newRow("last deprecated format") << 0x206Fu << "\\u206F" << "\\u206f";
        QTest::newRow("variation selector") << 0xFE0Fu << "" << "";
        QTest::newRow("byte-order mark") << 0xFEFFu << "\\uFEFF" << "\\ufeff";
        QTest::newRow("halfwidth Hangul filler") << 0xFFA0u << "\\uFFA0" << "\\uffa0";
        QTest::newRow("first tag") << 0xE0000u << "\\U000E0000" << "\\U000e0000";
        QTest::newRow("cancel tag") << 0xE007Fu << "\\U000E007F" << "\\U000e007f";
        QTest::newRow("variation selector supplement") << 0xE0100u << "" << "";
    }
    void escapeList()
    {
        QFETCH(uint, codePoint);
        QFETCH(QString, window);
        QFETCH(QString, terminal);
        const auto c = static_cast<char32_t>(codePoint);
        QCOMPARE(VisibleText::IsHidden(c), !window.isEmpty());
        const std::string character = Utf8::Encoded(c);
        QCOMPARE(QString::fromStdString(VisibleText::Escaped(character)),
                 window.isEmpty() ? QString::fromStdString(character) : window);
        if (terminal.isEmpty())
            return;
        const std::string written = VisibleText::IsAsciiControl(c)
                                        ? VisibleText::ByteEscape(static_cast<unsigned char>(c), Hex::Case::Lower)
                                        : VisibleText::UnicodeEscape(c, Hex::Case::Lower);
        QCOMPARE(QString::fromStdString(written), terminal);
    }

    // What is not UTF-8 is no character on the way to CP932 either: the overlong form of U+0080
    // is no byte 0x80, and a cut sequence is one unknown byte per byte.
    void notUtf8HasNoCp932Form_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("lossy");
        QTest::newRow("overlong U+0080") << QByteArray("A\xE0\x82\x80") << QByteArray("A???");
        QTest::newRow("overlong U+00E9") << QByteArray("\xE0\x83\xA9") << QByteArray("???");
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80" "B") << QByteArray("???B");
        QTest::newRow("stray continuation") << QByteArray("\x85") << QByteArray("?");
        QTest::newRow("cut sequence") << QByteArray("A\xE3\x81") << QByteArray("A??");
    }
    void notUtf8HasNoCp932Form()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, lossy);
        QVERIFY(!Cp932::FromShown(text.toStdString()).has_value());
        QCOMPARE(QByteArray::fromStdString(Cp932::FromShownLossy(text.toStdString())), lossy);
        QCOMPARE(Cp932::ShownLength(text.toStdString()), std::size_t(lossy.size()));
    }
};

QTEST_APPLESS_MAIN(TestTextToolkit)
#include "tst_text_toolkit.moc"
