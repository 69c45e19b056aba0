// The issue-control page bound to its controls.
#include "fields/FieldTable.h"
#include "pages/CPage_Issue.h"
#include "settings/ImageLayout.h"

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

// The page's lists.
enum class Combo { Sensor, Method, Speed, Cut, TagRotation, StatusReply };
Q_DECLARE_METATYPE(Combo)

namespace {

constexpr Combo kCombos[] = {Combo::Sensor, Combo::Method, Combo::Speed, Combo::Cut, Combo::TagRotation,
                             Combo::StatusReply};
constexpr std::size_t kStopModeOffset = ImageLayout::kIssueRecord + 6;

const Fields::Field &fieldOf(Combo combo)
{
    constexpr std::string_view keys[] = {"issue.sensor", "issue.print_method", "issue.print_speed",
                                         "issue.cut", "issue.tag_rotation", "issue.status_reply"};
    return Fields::named(keys[static_cast<std::size_t>(combo)]);
}

const char *comboName(Combo combo)
{
    switch (combo) {
    case Combo::Sensor: return "combo_1284";
    case Combo::Method: return "combo_1286";
    case Combo::Speed: return "combo_1287";
    case Combo::Cut: return "combo_1291";
    case Combo::TagRotation: return "combo_1288";
    case Combo::StatusReply: return "combo_1296";
    }
    return "";
}

std::size_t codeOffset(Combo combo)
{
    return fieldOf(combo).owned.front().offset;
}

QString itemText(const Fields::Choice &item)
{
    return QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size()));
}

}  // namespace

class TestPageIssue : public QObject
{
    Q_OBJECT

    QComboBox *combo(Combo which) { return m_page->findChild<QComboBox *>(QLatin1String(comboName(which))); }
    QRadioButton *radio(const char *name) { return m_page->findChild<QRadioButton *>(QLatin1String(name)); }

private slots:
    void init()
    {
        m_page = std::make_unique<CPage_Issue>();
        m_page->show();
        QApplication::setActiveWindow(m_page.get());
        m_page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
    }
    void cleanup() { m_page.reset(); }

    // The codes belong to the item texts; the lists must hold exactly those texts, in list order.
    void listsHoldTheCodedItems()
    {
        for (Combo which : kCombos) {
            QStringList expected;
            for (const Fields::Choice &item : fieldOf(which).choices)
                expected << itemText(item);
            QStringList actual;
            for (int i = 0; i < combo(which)->count(); ++i)
                actual << combo(which)->itemText(i);
            QCOMPARE(actual, expected);
        }
    }

    void factoryShowsAndStoresBack()
    {
        m_page->LoadFromImage(SettingsImage::factory());
        QVERIFY(radio("radio_1290")->isChecked());
        for (Combo which : {Combo::Sensor, Combo::Method, Combo::Speed, Combo::Cut, Combo::TagRotation})
            QCOMPARE(combo(which)->currentText(), QStringLiteral("ドライバ設定優先"));
        QCOMPARE(combo(Combo::StatusReply)->currentText(), QStringLiteral("あり"));
        SettingsImage image = SettingsImage::factory();
        m_page->StoreToImage(image);
        QCOMPARE(image.bytes(), SettingsImage::factory().bytes());
    }

    void chosenItems_data()
    {
        QTest::addColumn<Combo>("which");
        QTest::addColumn<int>("index");
        QTest::addColumn<char>("code");
        QTest::newRow("通常 + ミラー印刷") << Combo::TagRotation << 4 << '3';
        QTest::newRow("152.4mm/秒") << Combo::Speed << 3 << '6';
        QTest::newRow("sensor sixth item") << Combo::Sensor << 5 << '4';
    }
    // Choosing an item writes its code and changes no other byte of the image.
    void chosenItems()
    {
        QFETCH(Combo, which);
        QFETCH(int, index);
        QFETCH(char, code);
        m_page->LoadFromImage(SettingsImage::factory());
        combo(which)->setCurrentIndex(index);
        SettingsImage image = SettingsImage::factory();
        m_page->StoreToImage(image);
        SettingsImage expected = SettingsImage::factory();
        expected[codeOffset(which)] = code;
        QCOMPARE(image.bytes(), expected.bytes());
    }

    void stopMode()
    {
        SettingsImage image = SettingsImage::factory();
        image[kStopModeOffset] = '1';
        m_page->LoadFromImage(image);
        QVERIFY(radio("radio_1237")->isChecked());
        radio("radio_1290")->click();
        m_page->StoreToImage(image);
        QCOMPARE(image[kStopModeOffset], '0');

        image[kStopModeOffset] = '7';  // damaged: neither mode; written back as read
        m_page->LoadFromImage(image);
        QVERIFY(!radio("radio_1290")->isChecked() && !radio("radio_1237")->isChecked());
        m_page->StoreToImage(image);
        QCOMPARE(image[kStopModeOffset], '7');
    }

    void dataCheckOnCommands()
    {
        m_page->LoadFromImage(SettingsImage::factory());
        QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);
        radio("radio_1290")->click();  // already checked: still a command
        radio("radio_1237")->click();
        QCOMPARE(dataCheck.count(), 2);

        combo(Combo::Sensor)->setFocus();  // focus in
        QTest::keyClick(combo(Combo::Sensor), Qt::Key_Down);  // a choice
        QCOMPARE(dataCheck.count(), 4);
        combo(Combo::StatusReply)->setFocus();  // focus out of the sensor box; the status box reports nothing
        QTest::keyClick(combo(Combo::StatusReply), Qt::Key_Down);
        QCOMPARE(dataCheck.count(), 5);

        // Each command collects: the state follows the controls at once.
        SettingsImage image = SettingsImage::factory();
        m_page->StoreToImage(image);
        QCOMPARE(image[kStopModeOffset], '1');
        QCOMPARE(image[codeOffset(Combo::Sensor)], '0');
        QCOMPARE(image[codeOffset(Combo::StatusReply)], '0');
    }

private:
    std::unique_ptr<CPage_Issue> m_page;
};

QTEST_MAIN(TestPageIssue)
#include "tst_page_issue.moc"
