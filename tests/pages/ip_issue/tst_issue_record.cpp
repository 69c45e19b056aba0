// The issue-control record's codes and the list items they stand for.
#include "fields/FieldTable.h"
#include "settings/ImageLayout.h"

#include <QTest>

namespace {

constexpr std::size_t kStopModeOffset = ImageLayout::kIssueRecord + 6;

std::size_t codeOffset(const QString &key)
{
    return Fields::named(key.toStdString()).owned.front().offset;
}

// The item text the list shows for the image's code.
std::string_view readText(const SettingsImage &image, const QString &key)
{
    const Fields::Field &field = Fields::named(key.toStdString());
    return field.choices.at(field.decode(image).choice.value()).caption;
}

// The code of the item with exactly this text goes to the image.
void writeText(SettingsImage &image, const QString &key, std::string_view text)
{
    const Fields::Field &field = Fields::named(key.toStdString());
    field.encode({field.choiceCaptioned(text), {}}, image);
}

}  // namespace

class TestIssueRecord : public QObject
{
    Q_OBJECT

private slots:
    void codes_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<char>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("storedBack");
        const QString driver = QStringLiteral("ドライバ設定優先");
        QTest::newRow("sensor C") << QStringLiteral("issue.sensor") << 'C' << driver << 'C';
        QTest::newRow("sensor 3, fifth item") << QStringLiteral("issue.sensor") << '3' << "透過センサー(手動スレッショルド使用時)" << '3';
        QTest::newRow("sensor 4, sixth item") << QStringLiteral("issue.sensor") << '4' << "反射センサー(手動スレッショルド使用時)" << '4';
        QTest::newRow("sensor 5 unknown") << QStringLiteral("issue.sensor") << '5' << driver << 'C';
        QTest::newRow("speed 4") << QStringLiteral("issue.print_speed") << '4' << "101.6mm/秒" << '4';
        QTest::newRow("speed 3 unknown") << QStringLiteral("issue.print_speed") << '3' << driver << 'C';
        QTest::newRow("cut 0") << QStringLiteral("issue.cut") << '0' << "なし" << '0';
        QTest::newRow("tag 3") << QStringLiteral("issue.tag_rotation") << '3' << "通常 + ミラー印刷" << '3';
        QTest::newRow("status 0") << QStringLiteral("issue.status_reply") << '0' << "なし" << '0';
        QTest::newRow("status 2 unknown") << QStringLiteral("issue.status_reply") << '2' << "あり" << '1';
    }
    void codes()
    {
        QFETCH(QString, combo);
        QFETCH(char, code);
        QFETCH(QString, text);
        QFETCH(char, storedBack);
        SettingsImage image = SettingsImage::factory();
        image[codeOffset(combo)] = code;
        const std::string_view shown = readText(image, combo);
        QCOMPARE(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())), text);
        writeText(image, combo, shown);
        QCOMPARE(image[codeOffset(combo)], storedBack);
    }

    void textsNoItemHas()
    {
        SettingsImage image = SettingsImage::factory();
        writeText(image, "issue.sensor", "");
        writeText(image, "issue.status_reply", "");
        writeText(image, "issue.cut", "あり ");  // exact match only
        QCOMPARE(image[codeOffset("issue.sensor")], 'C');
        QCOMPARE(image[codeOffset("issue.status_reply")], '1');
        QCOMPARE(image[codeOffset("issue.cut")], 'C');
    }

    void fieldPositions()
    {
        SettingsImage image = SettingsImage::factory();
        Fields::named("issue.stop_mode").encode({1, {}}, image);
        writeText(image, "issue.sensor", "センサーなし");
        writeText(image, "issue.print_method", "直接感熱");
        writeText(image, "issue.print_speed", "152.4mm/秒");
        writeText(image, "issue.cut", "あり");
        writeText(image, "issue.tag_rotation", "180°回転 + ミラー印刷");
        writeText(image, "issue.status_reply", "なし");
        QCOMPARE(image.slice(ImageLayout::kIssueRecord, 21), std::string_view("\x1bZ2;3,1,0,0,6,1,2,0\n\0", 21));
        image[kStopModeOffset] = '7';  // damaged: selects neither mode
        QVERIFY(!Fields::named("issue.stop_mode").decode(image).choice);
    }
};

QTEST_APPLESS_MAIN(TestIssueRecord)
#include "tst_issue_record.moc"
