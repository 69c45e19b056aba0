// The issue-control record's codes and the list items they stand for.
#include "IssueRecord.h"

#include <QTest>

using IssueRecord::Combo;
Q_DECLARE_METATYPE(IssueRecord::Combo)

class TestIssueRecord : public QObject
{
    Q_OBJECT

private slots:
    void codes_data()
    {
        QTest::addColumn<Combo>("combo");
        QTest::addColumn<char>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("storedBack");
        const QString driver = QStringLiteral("ドライバ設定優先");
        QTest::newRow("sensor C") << Combo::Sensor << 'C' << driver << 'C';
        QTest::newRow("sensor 3, fifth item") << Combo::Sensor << '3' << "透過センサー(手動スレッショルド使用時)" << '3';
        QTest::newRow("sensor 4, sixth item") << Combo::Sensor << '4' << "反射センサー(手動スレッショルド使用時)" << '4';
        QTest::newRow("sensor 5 unknown") << Combo::Sensor << '5' << driver << 'C';
        QTest::newRow("speed 4") << Combo::Speed << '4' << "101.6mm/秒" << '4';
        QTest::newRow("speed 3 unknown") << Combo::Speed << '3' << driver << 'C';
        QTest::newRow("cut 0") << Combo::Cut << '0' << "なし" << '0';
        QTest::newRow("tag 3") << Combo::TagRotation << '3' << "通常 + ミラー印刷" << '3';
        QTest::newRow("status 0") << Combo::StatusReply << '0' << "なし" << '0';
        QTest::newRow("status 2 unknown") << Combo::StatusReply << '2' << "あり" << '1';
    }
    void codes()
    {
        QFETCH(Combo, combo);
        QFETCH(char, code);
        QFETCH(QString, text);
        QFETCH(char, storedBack);
        SettingsImage image = SettingsImage::factory();
        image[IssueRecord::CodeOffset(combo)] = code;
        const std::string_view shown = IssueRecord::ReadText(image, combo);
        QCOMPARE(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())), text);
        IssueRecord::WriteText(image, combo, shown);
        QCOMPARE(image[IssueRecord::CodeOffset(combo)], storedBack);
    }

    void textsNoItemHas()
    {
        SettingsImage image = SettingsImage::factory();
        IssueRecord::WriteText(image, Combo::Sensor, "");
        IssueRecord::WriteText(image, Combo::StatusReply, "");
        IssueRecord::WriteText(image, Combo::Cut, "あり ");  // exact match only
        QCOMPARE(image[IssueRecord::CodeOffset(Combo::Sensor)], 'C');
        QCOMPARE(image[IssueRecord::CodeOffset(Combo::StatusReply)], '1');
        QCOMPARE(image[IssueRecord::CodeOffset(Combo::Cut)], 'C');
    }

    void fieldPositions()
    {
        SettingsImage image = SettingsImage::factory();
        IssueRecord::WriteStopMode(image, 1);
        IssueRecord::WriteText(image, Combo::Sensor, "センサーなし");
        IssueRecord::WriteText(image, Combo::Method, "直接感熱");
        IssueRecord::WriteText(image, Combo::Speed, "152.4mm/秒");
        IssueRecord::WriteText(image, Combo::Cut, "あり");
        IssueRecord::WriteText(image, Combo::TagRotation, "180°回転 + ミラー印刷");
        IssueRecord::WriteText(image, Combo::StatusReply, "なし");
        QCOMPARE(image.slice(ImageLayout::kIssueRecord, 21), std::string_view("\x1bZ2;3,1,0,0,6,1,2,0\n\0", 21));
        image[IssueRecord::kStopModeOffset] = '7';  // damaged: selects neither mode
        QCOMPARE(IssueRecord::ReadStopMode(image), 7);
    }
};

QTEST_APPLESS_MAIN(TestIssueRecord)
#include "tst_issue_record.moc"
