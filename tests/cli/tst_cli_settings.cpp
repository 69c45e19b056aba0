// What sbq740-cli shows of a settings image and what it reports as different between two.
#include "cli/OutputText.h"
#include "cli/SettingsDiff.h"
#include "cli/ShownSettings.h"

#include "ImageEdits.h"

#include <QTest>

#include <string>

Q_DECLARE_METATYPE(std::string)

namespace {


// "page/caption" -> the text shown for the field.
QMap<QString, QString> shownTexts(const SettingsImage &image)
{
    QMap<QString, QString> texts;
    for (const ShownSettings::Page &page : ShownSettings::of(image)) {
        for (const ShownSettings::Field &field : page.fields)
            texts[QString::fromStdString(page.title + '/' + field.caption)] =
                QString::fromStdString(ShownSettings::displayText(field));
    }
    return texts;
}

QStringList changedCaptions(const SettingsDiff::Difference &difference)
{
    QStringList captions;
    for (const SettingsDiff::FieldChange &change : difference.fields)
        captions << QString::fromStdString(change.page + '/' + change.before.caption);
    return captions;
}

QStringList unshownRecords(const SettingsDiff::Difference &difference)
{
    QStringList records;
    for (const SettingsDiff::UnshownChange &change : difference.unshown)
        records << QString::fromStdString(std::string(change.record) + ' ' + SettingsDiff::offsetRuns(change.offsets));
    return records;
}

}  // namespace

class TestCliSettings : public QObject
{
    Q_OBJECT

private slots:
    // Values from files the window program didn't write, shown as the pages would show them.
    void showsUnusualValuesAsThePagesDo_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");

        QTest::newRow("cut speed other than 0 is high speed") << Edits{{46, "X"}} << "パラメータ設定/カット速度" << "高速モード(5)";
        QTest::newRow("choice out of range checks nothing") << Edits{{28, "7"}} << "パラメータ設定/[FEED]キー機能" << "(no choice)";
        QTest::newRow("adjustment off the grid") << Edits{{15, "-13"}} << "パラメータ設定/正転待機位置微調(T)" << "-1.3 mm";
        QTest::newRow("forward direction") << Edits{{49 + 6, "-123"}} << "微調設定/フィード量微調(N)" << "前方 12.3 mm";
        QTest::newRow("ASCII client ID") << Edits{{176, "4142"}} << "IPアドレス設定/クライアントID(C)" << "AB";
        QTest::newRow("HEX client ID in upper case") << Edits{{176, "12ab"}, {259, "1"}} << "IPアドレス設定/クライアントID(C)"
                                                     << "12ABFFFFFFFFFFFFFFFFFFFFFFFFFFFF";
        QTest::newRow("unknown speed code") << Edits{{222, "3"}} << "発行制御設定/印刷速度(Q)" << "ドライバ設定優先";
        // The characters weigh 822214, six digits: the port box's rule shows 65535.
        QTest::newRow("port too long for its box") << Edits{{163, "zzzzz"}} << "IPアドレス設定/ポート番号(P)" << "65535";
        QTest::newRow("damaged stop mode") << Edits{{216, "9"}} << "発行制御設定/停止位置制御" << "(no choice)";
    }

    void showsUnusualValuesAsThePagesDo()
    {
        QFETCH(Edits, edits);
        QFETCH(QString, field);
        QFETCH(QString, shown);
        const QMap<QString, QString> texts = shownTexts(factoryWith(edits));
        QVERIFY2(texts.contains(field), qPrintable(field));
        QCOMPARE(texts.value(field), shown);
    }

    void diffFindsExactlyTheChangedFields_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("unshown");

        QTest::newRow("nothing") << Edits{} << QStringList{} << QStringList{};
        QTest::newRow("one choice on each page")
            << Edits{{46, "F"}, {49 + 10, "-"}, {161, "0"}, {226, "3"}}
            << QStringList{"パラメータ設定/カット速度", "微調設定/カット（ハクリ）位置微調(C)",
                           "IPアドレス設定/ソケット通信ポート設定", "発行制御設定/タグローテーション(T)"}
            << QStringList{};
        QTest::newRow("last octet of the gateway") << Edits{{129, "001"}} << QStringList{"IPアドレス設定/ゲートウェイ(G)"}
                                                   << QStringList{};
        QTest::newRow("input type also changes the client ID shown")
            << Edits{{259, "1"}} << QStringList{"IPアドレス設定/入力タイプ(T)", "IPアドレス設定/クライアントID(C)"}
            << QStringList{};
        QTest::newRow("extended record and unedited parameter bytes")
            << Edits{{240, "99"}, {8, "7"}} << QStringList{}
            << QStringList{"parameter record 8", "extended record 240-241"};
        QTest::newRow("damaged separator of the issue record") << Edits{{217, ";"}} << QStringList{}
                                                               << QStringList{"issue-control record 217"};
    }

    void diffFindsExactlyTheChangedFields()
    {
        QFETCH(Edits, edits);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, unshown);
        const SettingsImage edited = factoryWith(edits);
        const SettingsDiff::Difference difference = SettingsDiff::compare(SettingsImage::factory(), edited);
        QCOMPARE(changedCaptions(difference), fields);
        QCOMPARE(unshownRecords(difference), unshown);
        QCOMPARE(difference.empty(), fields.isEmpty() && unshown.isEmpty());
    }

    // Cut speed "X" shows like "F", but is another byte, and goes to the printer as it stands.
    void fieldsThatLookAlikeButAreStoredDifferentlyDiffer()
    {
        const SettingsDiff::Difference difference =
            SettingsDiff::compare(factoryWith({{46, "F"}}), factoryWith({{46, "X"}}));
        QCOMPARE(changedCaptions(difference), QStringList{"パラメータ設定/カット速度"});
        QCOMPARE(ShownSettings::displayText(difference.fields[0].before),
                 ShownSettings::displayText(difference.fields[0].after));
    }

    // Bytes from a file reach neither a terminal nor a JSON document as they stand.
    void outputTextIsSafe_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<std::string>("terminal");
        QTest::addColumn<std::string>("json");

        QTest::newRow("plain") << std::string("0.0") << std::string("0.0") << std::string("\"0.0\"");
        QTest::newRow("escape and newline") << std::string("\x1b[2J\n") << std::string("\\x1b[2J\\x0a")
                                            << std::string("\"\\u001b[2J\\n\"");
        QTest::newRow("quote and backslash") << std::string("a\"b\\") << std::string("a\"b\\")
                                             << std::string("\"a\\\"b\\\\\"");
        QTest::newRow("Japanese stays") << std::string("後方") << std::string("後方") << std::string("\"後方\"");
        QTest::newRow("stray byte") << std::string("1\xff") << std::string("1\xEF\xBF\xBD")
                                    << std::string("\"1\xEF\xBF\xBD\"");
        QTest::newRow("cut sequence") << std::string("\xE5\xBE") << std::string("\xEF\xBF\xBD\xEF\xBF\xBD")
                                      << std::string("\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
        QTest::newRow("overlong slash") << std::string("\xC0\xAF") << std::string("\xEF\xBF\xBD\xEF\xBF\xBD")
                                        << std::string("\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
        QTest::newRow("C1 control") << std::string("a\xC2\x9B" "2J") << std::string("a\\u009b2J")
                                    << std::string("\"a\\u009b2J\"");
        QTest::newRow("bidi override") << std::string("bidi-\xE2\x80\xAEgnp.exe") << std::string("bidi-\\u202egnp.exe")
                                       << std::string("\"bidi-\\u202egnp.exe\"");
        QTest::newRow("zero-width") << std::string("a\u200Bb\u200D\u2060\uFEFF\u00AD") << std::string("a\\u200bb\\u200d\\u2060\\ufeff\\u00ad")
                                    << std::string("\"a\\u200bb\\u200d\\u2060\\ufeff\\u00ad\"");
        QTest::newRow("tag character") << std::string("a\U000E0041") << std::string("a\\U000e0041")
                                       << std::string("\"a\\udb40\\udc41\"");
    }

    // Printer names are printed so that every one can be named back on the command line.
    void printerNamesComeBack_data()
    {
        QTest::addColumn<std::string>("name");
        QTest::addColumn<std::string>("printed");
        QTest::newRow("plain") << std::string("Line_A") << std::string("Line_A");
        QTest::newRow("Japanese") << std::string("ラベル1") << std::string("ラベル1");
        QTest::newRow("not UTF-8") << std::string("caf\xE9") << std::string("caf\\xe9");
        QTest::newRow("backslash") << std::string("a\\x41") << std::string("a\\\\x41");
        QTest::newRow("bidi override") << std::string("bidi-\xE2\x80\xAEgnp.exe") << std::string("bidi-\\u202egnp.exe");
        QTest::newRow("C1 control") << std::string("q\xC2\x85") << std::string("q\\u0085");
        QTest::newRow("zero-width and tag characters") << std::string("q\u200B\U000E0041") << std::string("q\\u200b\\U000e0041");
    }

    void printerNamesComeBack()
    {
        QFETCH(std::string, name);
        QFETCH(std::string, printed);
        QCOMPARE(OutputText::printerName(name), printed);
        QCOMPARE(OutputText::unescapePrinterName(printed), name);
    }

    // An escape that names no character is no escape: it never writes a surrogate into a name.
    void escapesOfNoCharacterStay_data()
    {
        QTest::addColumn<std::string>("typed");
        QTest::addColumn<std::string>("name");
        QTest::newRow("last character") << std::string("\\U0010ffff") << std::string("\xF4\x8F\xBF\xBF");
        QTest::newRow("beyond U+10FFFF") << std::string("\\U00110000") << std::string("\\U00110000");
        QTest::newRow("high surrogate") << std::string("a\\ud800") << std::string("a\\ud800");
        QTest::newRow("low surrogate, long form") << std::string("\\U0000DFFF") << std::string("\\U0000DFFF");
    }

    void escapesOfNoCharacterStay()
    {
        QFETCH(std::string, typed);
        QFETCH(std::string, name);
        QCOMPARE(OutputText::unescapePrinterName(typed), name);
    }

    void outputTextIsSafe()
    {
        QFETCH(std::string, bytes);
        QFETCH(std::string, terminal);
        QFETCH(std::string, json);
        QCOMPARE(OutputText::forTerminal(bytes), terminal);
        QCOMPARE(OutputText::jsonString(bytes), json);
    }

    // The adjustment's raw characters are shown as the page's edit shows them: CP932 text.
    void adjustmentBytesAreShownAsThePageShowsThem()
    {
        const QMap<QString, QString> texts = shownTexts(factoryWith({{15, "\xB5" "1" "\x1b"}}));
        QCOMPARE(texts.value("パラメータ設定/正転待機位置微調(T)"), QString::fromUtf8("ｵ1.\x1b mm"));
    }
};

QTEST_GUILESS_MAIN(TestCliSettings)
#include "tst_cli_settings.moc"
