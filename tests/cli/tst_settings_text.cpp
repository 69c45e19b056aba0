// Settings as text: sbq740-cli's export, import and set, the documents they read and write, and
// the JSON reader under them.
#include "FakeSpooler.h"
#include "TestText.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "cli/SettingsText.h"
#include "fields/FieldTable.h"
#include "res/Strings.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include "ImageEdits.h"

#include <QTest>

#include <sstream>

namespace {


QByteArray hexOf(const SettingsImage &image)
{
    return QByteArray(image.data(), qsizetype(image.size())).toHex();
}

// What the window's pages write back for an image nobody edited (tst_page_codec_property holds
// the window to it).
SettingsImage pagesWrite(const SettingsImage &image)
{
    SettingsImage written = image;
    Fields::storeUnedited(image, written);
    return written;
}

std::optional<SettingsImage> exportedAndImported(const SettingsImage &image)
{
    return SettingsText::importDocument(SettingsText::exportImage(image).document, SettingsImage::factory()).image;
}

QString document(const QString &fields, const QString &more = {})
{
    return R"({"format": "sbq740-settings", "version": 1, "fields": {)" + fields + "}" + more + "}";
}

}  // namespace

class TestSettingsText : public QObject
{
    Q_OBJECT

    struct Run
    {
        int code;
        std::string out;
        std::string err;
    };

    Run run(const QStringList &arguments)
    {
        std::vector<std::string> strings;
        for (const QString &argument : arguments)
            strings.push_back(argument.toStdString());
        std::ostringstream out;
        std::ostringstream err;
        const int code = runCli(strings, m_spooler, out, err);
        return {code, out.str(), err.str()};
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    void writeSettings(const QString &name, const SettingsImage &image)
    {
        QCOMPARE(SettingsFile::write(path(name).toStdString(), image), SettingsFile::WriteResult::Written);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeSettings("factory.dat", SettingsImage::factory());
    }

    // Export then import gives the file back byte for byte wherever the pages do, and otherwise
    // the file the pages would write; a file so written comes back unchanged.
    void roundTrips_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<bool>("reproduced");

        QTest::newRow("factory") << Edits{} << true;
        QTest::newRow("edited on every page") << Edits{{46, "F"}, {55, "-123"}, {108, "1"}, {226, "3"}} << true;
        QTest::newRow("adjustment off the grid") << Edits{{15, "+13"}} << true;
        QTest::newRow("feed beyond its range") << Edits{{55, "+999"}} << true;
        QTest::newRow("adjustment in kana") << Edits{{15, "\xb1" "15"}} << true;
        QTest::newRow("a code no button shows") << Edits{{28, "7"}} << true;
        QTest::newRow("stop mode no button shows") << Edits{{216, "9"}} << true;
        QTest::newRow("client ID with a space") << Edits{{176, "412042"}} << true;
        QTest::newRow("HEX client ID in lower case") << Edits{{176, "12ab"}, {259, "1"}} << true;
        QTest::newRow("damaged input type") << Edits{{259, "7"}, {176, "41"}} << true;
        QTest::newRow("port bytes from 0x80") << Edits{{163, "\x80zzzz"}} << true;
        QTest::newRow("extended record, unowned bytes") << Edits{{240, "99"}, {8, "7"}, {217, ";"}, {258, "x"}} << true;
        QTest::newRow("cut speed X") << Edits{{46, "X"}} << false;
        QTest::newRow("feed with a letter") << Edits{{56, "9x9"}} << false;
        QTest::newRow("unknown print speed") << Edits{{222, "3"}} << false;
        QTest::newRow("positive ribbon voltage") << Edits{{76, "+07"}} << false;
        QTest::newRow("octet above 255") << Edits{{94, "300"}} << false;
    }

    void roundTrips()
    {
        QFETCH(Edits, edits);
        QFETCH(bool, reproduced);
        const SettingsImage image = factoryWith(edits);
        const SettingsText::Exported exported = SettingsText::exportImage(image);
        QCOMPARE(exported.unreproduced.empty(), reproduced);

        const SettingsText::Built built = SettingsText::importDocument(exported.document, SettingsImage::factory());
        QVERIFY2(built.image && built.changes.empty(), exported.document.c_str());
        QCOMPARE(hexOf(*built.image), hexOf(pagesWrite(image)));
        QCOMPARE(*built.image == image, reproduced);
        QCOMPARE(hexOf(exportedAndImported(*built.image).value()), hexOf(*built.image));
    }

    void randomImagesComeBackAsThePagesWriteThem()
    {
        QRandomGenerator random(740);
        const std::string_view fromFiles = "0123456789+-.CFaf ,\x1b\n\x82\xb1\xe0";
        for (int n = 0; n < 400; ++n) {
            SettingsImage image = SettingsImage::factory();
            for (std::size_t i = 0; i < SettingsImage::kSize; ++i) {
                if (n % 2 == 0)
                    image[i] = static_cast<char>(random.bounded(256));
                else if (random.bounded(4) == 0)
                    image[i] = fromFiles[std::size_t(random.bounded(int(fromFiles.size())))];
            }
            const std::optional<SettingsImage> back = exportedAndImported(image);
            QVERIFY2(back, hexOf(image).constData());
            QCOMPARE(hexOf(*back), hexOf(pagesWrite(image)));
            QCOMPARE(hexOf(exportedAndImported(*back).value()), hexOf(*back));  // as the window saves it
        }
    }

    // Each value goes in as typed into its page; what a rule changed is said.
    void setTakesValuesAsThePagesTakeTypedText_data()
    {
        QTest::addColumn<QStringList>("assignments");
        QTest::addColumn<Edits>("stored");
        QTest::addColumn<QStringList>("changes");

        const auto changed = [](const char *key, const char *given, const char *shown) {
            return QStringLiteral("%1: \"%2\" -> \"%3\" (the page's input rule)").arg(key, given, shown);
        };
        QTest::newRow("choice by name") << QStringList{"param.cut_speed=high_speed"} << Edits{{46, "F"}} << QStringList{};
        QTest::newRow("direction") << QStringList{"fine.feed_direction=forward"} << Edits{{55, "-"}} << QStringList{};
        QTest::newRow("clamped") << QStringList{"fine.feed=60"} << Edits{{56, "500"}}
                                 << QStringList{changed("fine.feed", "60", "50.0")};
        QTest::newRow("too long") << QStringList{"fine.cut_position=12.345"} << Edits{{60, "500"}}
                                  << QStringList{changed("fine.cut_position", "12.345", "50.0")};
        QTest::newRow("rounded when stored") << QStringList{"fine.x_coordinate=10.25"} << Edits{{67, "103"}}
                                             << QStringList{changed("fine.x_coordinate", "10.25", "10.3")};
        QTest::newRow("small adjustment") << QStringList{"param.forward_standby_adjustment=0.3"} << Edits{}
                                          << QStringList{changed("param.forward_standby_adjustment", "0.3", "0.0")};
        QTest::newRow("adjustment on the grid")
            << QStringList{"param.auto_forward_standby=on", "param.forward_standby_adjustment=-4.5"}
            << Edits{{14, "1-45"}} << QStringList{};
        QTest::newRow("a leading zero is the same number") << QStringList{"fine.transfer_density=05"} << Edits{{70, "+05"}}
                                                           << QStringList{};
        QTest::newRow("ribbon voltage above 0") << QStringList{"fine.ribbon_take_up_voltage=3"} << Edits{}
                                                << QStringList{changed("fine.ribbon_take_up_voltage", "3", "0")};
        QTest::newRow("port above 65535") << QStringList{"ip.port=70000"} << Edits{{163, "65535"}}
                                          << QStringList{changed("ip.port", "70000", "65535")};
        QTest::newRow("address") << QStringList{"ip.gateway=10.0.0.1"} << Edits{{117, "010,000,000,001"}} << QStringList{};
        QTest::newRow("input type alone") << QStringList{"ip.client_id_input_type=hex"} << Edits{{259, "1"}} << QStringList{};
        QTest::newRow("ASCII client ID") << QStringList{"ip.client_id=AB"} << Edits{{176, "4142"}} << QStringList{};
        QTest::newRow("HEX client ID as typed") << QStringList{"ip.client_id=12ab", "ip.client_id_input_type=hex"}
                                                << Edits{{176, "12ab"}, {259, "1"}}
                                                << QStringList{changed("ip.client_id", "12ab", "12ABFFFFFFFFFFFFFFFFFFFFFFFFFFFF")};
    }

    void setTakesValuesAsThePagesTakeTypedText()
    {
        QFETCH(QStringList, assignments);
        QFETCH(Edits, stored);
        QFETCH(QStringList, changes);
        QFile::remove(path("set.dat"));
        const Run result = run(QStringList{"set", path("factory.dat")} + assignments + QStringList{"-o", path("set.dat")});
        QVERIFY2(result.code == 0, result.err.c_str());
        QCOMPARE(lines(result.out), changes + QStringList{"Wrote " + path("set.dat") + "."});
        QCOMPARE(hexOf(SettingsFile::read(path("set.dat").toStdString()).value()), hexOf(factoryWith(stored)));
    }

    // A value the field already shows leaves it unedited, so the page's kept bytes stay; without
    // -o the file itself is replaced.
    void setInPlaceLeavesUneditedFieldsAsRead()
    {
        const SettingsImage kept = factoryWith({{15, "\xb1" "15"}, {176, "412042"}});
        writeSettings("kept.dat", kept);
        const Run result = run({"set", path("kept.dat"), "ip.client_id=AB", "param.forward_standby_adjustment=ｱ1.5",
                                "param.cut_speed=high_speed"});
        QCOMPARE(result.code, 0);
        QCOMPARE(hexOf(SettingsFile::read(path("kept.dat").toStdString()).value()), hexOf(factoryWith({{15, "\xb1" "15"}, {176, "412042"}, {46, "F"}})));
        QVERIFY2(QString::fromStdString(result.err).contains("'send --group param' refuses it"), result.err.c_str());
    }

    // Keys a document leaves out keep the factory settings, or those of --base.
    void importKeepsTheBaseForKeysLeftOut()
    {
        writeSettings("base.dat", factoryWith({{46, "F"}, {240, "99"}}));
        writeFile("one.json", document(R"("fine.feed": {"value": "1.5"})").toUtf8());
        for (const bool withBase : {false, true}) {
            const QStringList base = withBase ? QStringList{"--base", path("base.dat")} : QStringList{};
            const Run result = run(QStringList{"import", path("one.json"), "-o", path("one.dat")} + base);
            QCOMPARE(result.code, 0);
            const Edits expected = withBase ? Edits{{46, "F"}, {240, "99"}, {56, "015"}} : Edits{{56, "015"}};
            QCOMPARE(hexOf(SettingsFile::read(path("one.dat").toStdString()).value()), hexOf(factoryWith(expected)));
        }
    }

    // A value no control takes names its key and value; nothing is written.
    void refusals_data()
    {
        QTest::addColumn<QString>("command");  // "set": KEY=VALUE arguments; "import": a document
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");

        const auto set = [](const char *name, QStringList assignments, const QString &message) {
            QTest::newRow(name) << "set" << assignments << 3 << message;
        };
        const auto import = [](const char *name, int code, const QString &text, const QString &message) {
            QTest::newRow(name) << "import" << QStringList{text} << code << message;
        };
        set("unknown key", {"param.bogus=1"}, "param.bogus: \"1\": no field has this key");
        set("unknown choice", {"param.cut_speed=fast"}, "param.cut_speed: \"fast\": not one of its choices (standard, high_speed)");
        set("text where a number belongs", {"fine.feed=12mm"}, "fine.feed: \"12mm\": not a number");
        set("port that is not digits", {"ip.port=91O0"}, "ip.port: \"91O0\": not a port number");
        set("address part above 255", {"ip.address=192.168.1.256"}, "ip.address: \"192.168.1.256\": a part is above 255");
        set("address of three parts", {"ip.gateway=10.0.1"}, "ip.gateway: \"10.0.1\": not an address of four parts, 0 to 255 each");
        set("client ID longer than its box", {"ip.client_id=ABCDEFGHIJKLMNOPQ"},
            "ip.client_id: \"ABCDEFGHIJKLMNOPQ\": longer than 16 bytes (the input type is ASCII)");
        set("HEX client ID with a letter beyond F", {"ip.client_id_input_type=hex", "ip.client_id=12G4"},
            "ip.client_id: \"12G4\": not hex digits (the input type is HEX)");
        set("adjustment the send refuses", {"param.forward_standby_adjustment=1.3"},
            "param.forward_standby_adjustment: \"1.3\": " + QString::fromUtf8(Str::kBadForwardStandby));
        set("key given twice", {"fine.feed=1", "fine.feed=2"}, "fine.feed: \"2\": given more than once");

        import("value of the wrong type", 3, document(R"("fine.feed": {"value": 12.3})"),
               "fine.feed.value: must be a string or null, not a number");
        import("unknown member of a field", 3, document(R"("fine.feed": {"value": "1.0", "colour": "red"})"),
               "fine.feed.colour: no such member (value, bytes, label, caption, unit)");
        import("no choice without its bytes", 3, document(R"("param.feed_key": {"value": null})"),
               "param.feed_key: null (no choice) needs the bytes of a choice no button shows");
        import("bytes beyond U+00FF", 3, document(R"("fine.feed": {"value": "1.0", "bytes": "あ10"})"),
               "fine.feed.bytes: \"あ10\": a string of bytes holds characters U+0000-U+00FF only");
        import("unowned bytes over a field", 3, document({}, R"(, "unowned": [{"offset": 46, "bytes": "F"}])"),
               "unowned[0]: holds bytes of the field param.cut_speed");
        import("extended record of another length", 3, document({}, R"(, "extended_record": "short")"),
               "extended_record: must hold the record's 27 bytes");
        import("unknown member of the document", 3, document({}, R"(, "comment": "x")"),
               "comment: no such member (format, version, fields, extended_record, unowned)");
        import("key given twice", 2, document(R"("fine.feed": {"value": "1.0"}, "fine.feed": {"value": "2.0"})"),
               "not a settings document: line 1, column 87: the member \"fine.feed\" is given twice");
        import("another format", 2, R"({"format": "other", "version": 1})",
               "not a settings document: it has no \"format\": \"sbq740-settings\"");
        import("another version", 2, R"({"format": "sbq740-settings", "version": 2})",
               "a settings document of another version: this program reads \"version\": 1");
    }

    void refusals()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, input);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFile::remove(path("refused.dat"));
        QString source = path("factory.dat");
        QStringList arguments{"set", source};
        if (command == QLatin1String("import")) {
            source = path("refused.json");
            writeFile("refused.json", input.first().toUtf8());
            arguments = {"import", source};
        } else {
            arguments += input;
        }
        const Run result = run(arguments + QStringList{"-o", path("refused.dat")});
        QCOMPARE(result.code, code);
        QVERIFY2(QString::fromStdString(result.err).startsWith(source + ": " + message + '\n'), result.err.c_str());
        QVERIFY(QString::fromStdString(result.err).endsWith("Nothing was written.\n"));
        QVERIFY(!QFile::exists(path("refused.dat")));
    }

    // show and diff read a document as import reads it.
    void showAndDiffReadDocuments()
    {
        writeSettings("edited.dat", factoryWith({{46, "F"}, {55, "-123"}, {226, "3"}}));
        const Run exported = run({"export", path("edited.dat")});
        QCOMPARE(exported.code, 0);
        writeFile("edited.json", QByteArray::fromStdString(exported.out));

        QCOMPARE(run({"show", path("edited.json")}).out, run({"show", path("edited.dat")}).out);
        const Run same = run({"diff", path("edited.dat"), path("edited.json")});
        QCOMPARE(same.code, 0);
        QCOMPARE(same.out, std::string());
        const Run differs = run({"diff", path("factory.dat"), path("edited.json")});
        QCOMPARE(differs.code, 1);
        QCOMPARE(differs.out, run({"diff", path("factory.dat"), path("edited.dat")}).out);

        writeFile("refused.json", document(R"("ip.address": {"value": "1.2.3.4.5"})").toUtf8());
        QCOMPARE(run({"show", path("refused.json")}).code, 3);
        writeFile("notes.json", "{\"format\": ");
        QCOMPARE(run({"diff", path("factory.dat"), path("notes.json")}).code, 2);
    }

    // The fields the pages would write back otherwise are named; the document holds what they
    // would write.
    void exportOfADamagedFileNamesTheFields()
    {
        const SettingsImage damaged = factoryWith({{46, "X"}, {56, "9x9"}, {222, "3"}});
        writeSettings("damaged.dat", damaged);
        const Run result = run({"export", path("damaged.dat")});
        QCOMPARE(result.code, 1);
        const QString prefix = path("damaged.dat") + ": ";
        QCOMPARE(lines(result.err),
                 (QStringList{prefix + "param.cut_speed: the pages would not reproduce it: the file holds \"X\", they write \"F\"",
                              prefix + "fine.feed: the pages would not reproduce it: the file holds \"9x9\", they write \"090\"",
                              prefix + "issue.print_speed: the pages would not reproduce it: the file holds \"3\", they write \"C\""}));
        const SettingsText::Built built = SettingsText::importDocument(result.out, SettingsImage::factory());
        QCOMPARE(hexOf(built.image.value()), hexOf(pagesWrite(damaged)));
    }

    void jsonReaderIsStrict_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");  // empty: read

        QTest::newRow("escapes and a surrogate pair") << QByteArray(R"({"s": "\u00e9\uD83D\uDE00\n\/", "n": [-1.5e3, 0, true, null]})") << "";
        QTest::newRow("trailing comma") << QByteArray(R"({"a": 1,})") << "line 1, column 9: expected a member name in quotes";
        QTest::newRow("name given twice") << QByteArray("{\"a\": 1,\n \"a\": 2}") << "line 2, column 2: the member \"a\" is given twice";
        QTest::newRow("raw tab in a string") << QByteArray("[\"a\tb\"]") << "line 1, column 4: a control character in a string must be escaped";
        QTest::newRow("lone low surrogate") << QByteArray(R"(["\uDC00"])") << "line 1, column 9: a lone low surrogate";
        QTest::newRow("not UTF-8") << QByteArray("[\"caf\xe9\"]") << "line 1, column 6: the text is not UTF-8";
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF{}") << "line 1, column 1: a byte-order mark is not JSON";
        QTest::newRow("nested too deep") << QByteArray(66, '[') << "line 1, column 66: nested deeper than 64 levels";
        QTest::newRow("text after the document") << QByteArray("{} x") << "line 1, column 4: more text after the document";
        QTest::newRow("leading zero") << QByteArray("[01]") << "line 1, column 3: expected ',' or ']'";
        QTest::newRow("point without digits") << QByteArray("[1.]") << "line 1, column 4: a number needs digits after its point";
        QTest::newRow("single quotes") << QByteArray("{'a': 1}") << "line 1, column 2: expected a member name in quotes";
    }

    void jsonReaderIsStrict()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const Json::Parsed parsed = Json::parse(text.toStdString());
        QCOMPARE(QString::fromStdString(parsed.error), error);
        QCOMPARE(parsed.value.has_value(), error.isEmpty());
    }

    void everyByteComesBackFromAStringOfBytes()
    {
        std::string bytes;
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b);
        const std::string literal = Json::bytesString(bytes);
        const Json::Parsed parsed = Json::parse(literal);
        QVERIFY(parsed.value);
        QCOMPARE(Json::bytesOf(parsed.value->text), std::optional<std::string>(bytes));
        QVERIFY(std::ranges::all_of(literal, [](char c) { return c >= 0x20 && c < 0x7F; }));
    }

private:
    QTemporaryDir m_dir;
    FakeSpooler m_spooler;
};

QTEST_GUILESS_MAIN(TestSettingsText)
#include "tst_settings_text.moc"
