#include "ImageEdits.h"
#include "fields/ParamRecord.h"
#include "pages/CPage_Param1.h"
#include "pages/SpinControl.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

SettingsImage withBytes(SettingsImage image, int position, const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i)
        image[std::size_t(position + i)] = bytes[i];
    return image;
}

// The radio buttons of each group, in record order, index 0 first.
const QList<QStringList> kGroupButtons{
    {"radio_1049", "radio_1013"}, {"radio_1067", "radio_1019"}, {"radio_1069", "radio_1021"},
    {"radio_1070", "radio_1025"}, {"radio_1017", "radio_1237"},
    {"radio_1024", "radio_1235", "radio_1236"}, {"radio_1014", "radio_1015"},
    {"radio_1018", "radio_1023"}, {"radio_1020", "radio_1022"}, {"radio_1009", "radio_1026"},
    {"radio_1071", "radio_1027"},
};

}  // namespace

class TestPageParam1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void factoryImageShowsAndStoresUnchanged();
    void loadShows_data();
    void loadShows();
    void storeChangesOnlyOwnedBytes();
    void unusualImageKeepsItsCodes();
    void typingIsFiltered_data();
    void typingIsFiltered();
    void inputMethodText_data();
    void inputMethodText();
    void replacementRunsFilterAgain();
    void distributionIsNotClamped();
    void spinSteps_data();
    void spinSteps();
    void enablingRuleFollowsAutoStandby();
    void everyRadioClickSignals();

private:
    QRadioButton *radio(const QString &name) const { return m_page->findChild<QRadioButton *>(name); }
    QLineEdit *edit() const { return m_page->findChild<QLineEdit *>("edit_1242"); }
    SpinControl *spin() const { return m_page->findChild<SpinControl *>("spin_1245"); }
    QList<QWidget *> adjustmentControls() const;
    QString checkedIn(int group) const;
    void focusEdit();
    void click(const QString &radioName);

    std::unique_ptr<CPage_Param1> m_page;
};

QList<QWidget *> TestPageParam1::adjustmentControls() const
{
    return {m_page->findChild<QLabel *>("label_1269"), edit(), spin(),
            m_page->findChild<QLabel *>("label_1273")};
}

// The checked button of a group, "" when none.
QString TestPageParam1::checkedIn(int group) const
{
    QString checked;
    for (const QString &name : kGroupButtons[group]) {
        if (radio(name)->isChecked()) {
            if (!checked.isEmpty())
                return "several";
            checked = name;
        }
    }
    return checked;
}

void TestPageParam1::init()
{
    m_page = std::make_unique<CPage_Param1>();
    m_page->show();
    QApplication::setActiveWindow(m_page.get());
    QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
}

void TestPageParam1::cleanup()
{
    m_page.reset();
}

void TestPageParam1::focusEdit()
{
    edit()->setFocus();
    QTRY_VERIFY(edit()->hasFocus());
}

// On the indicator: a radio button only takes clicks on its indicator and its text.
void TestPageParam1::click(const QString &radioName)
{
    QRadioButton *button = radio(radioName);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void TestPageParam1::factoryImageShowsAndStoresUnchanged()
{
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);
    m_page->LoadFromImage(SettingsImage::factory());

    for (int group = 0; group < kGroupButtons.size(); ++group)
        QCOMPARE(checkedIn(group), kGroupButtons[group].first());
    QCOMPARE(edit()->text(), QString("0.0"));
    for (QWidget *control : adjustmentControls())
        QVERIFY(!control->isEnabled());
    QCOMPARE(dataCheck.count(), 1);  // the new text went through the edit filter

    SettingsImage image = SettingsImage::factory();
    m_page->StoreToImage(image);
    QVERIFY(image == SettingsImage::factory());
}

void TestPageParam1::loadShows_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QByteArray>("written");  // what a store writes at `position`

    QTest::newRow("cut speed F") << 46 << QByteArray("F") << 10 << "radio_1027" << QByteArray("F");
    QTest::newRow("cut speed other") << 46 << QByteArray("x") << 10 << "radio_1027" << QByteArray("F");
    QTest::newRow("ribbon 70 m") << 36 << QByteArray("2") << 5 << "radio_1236" << QByteArray("2");
    QTest::newRow("feed key unknown") << 28 << QByteArray("7") << 1 << "" << QByteArray("7");
    QTest::newRow("+95") << 15 << QByteArray("+95") << -1 << "9.5" << QByteArray("+95");
    QTest::newRow("not a number") << 15 << QByteArray("-ab") << -1 << "-a.b" << QByteArray("+00");
    // Bytes from 0x80 up: CP932 text, or the byte's own character; kept while nobody edits them.
    QTest::newRow("kana") << 15 << QByteArray("\xb1" "15") << -1 << "ｱ1.5" << QByteArray("\xb1" "15");
    QTest::newRow("lone lead byte") << 15 << QByteArray("+1\x82") << -1 << "1.\u0082" << QByteArray("+1\x82");
}

// group -1: `checked` is the adjustment text shown.
void TestPageParam1::loadShows()
{
    QFETCH(int, position);
    QFETCH(QByteArray, bytes);
    QFETCH(int, group);
    QFETCH(QString, checked);
    QFETCH(QByteArray, written);

    m_page->LoadFromImage(withBytes(SettingsImage::factory(), position, bytes));
    if (group >= 0)
        QCOMPARE(checkedIn(group), checked);
    else
        QCOMPARE(edit()->text(), checked);

    // Written back even into an image that held something else there.
    SettingsImage image = withBytes(SettingsImage::factory(), position, QByteArray(bytes.size(), '0'));
    m_page->StoreToImage(image);
    QCOMPARE(QByteArray(image.data() + position, bytes.size()), written);
}

void TestPageParam1::storeChangesOnlyOwnedBytes()
{
    m_page->LoadFromImage(SettingsImage::factory());
    for (const char *name : {"radio_1013", "radio_1019", "radio_1021", "radio_1025", "radio_1237",
                             "radio_1235", "radio_1015", "radio_1023", "radio_1022", "radio_1026",
                             "radio_1027"})
        click(name);
    focusEdit();
    edit()->selectAll();
    QTest::keyClicks(edit(), "-2.5");

    const SettingsImage before = patternedImage();
    SettingsImage image = before;
    m_page->StoreToImage(image);

    SettingsImage expected = withBytes(before, 14, "1-25");
    for (const int position : {28, 32, 33, 35, 39, 40, 41, 42})
        expected = withBytes(expected, position, "1");
    expected = withBytes(withBytes(expected, 36, "1"), 46, "F");
    for (std::size_t i = 0; i < SettingsImage::size(); ++i)
        QVERIFY2(image[i] == expected[i], qPrintable(QString("byte %1").arg(i)));
}

void TestPageParam1::unusualImageKeepsItsCodes()
{
    // No group can show these codes; each is written back as read. Cut speed becomes "F"; the
    // adjustment, bytes from 0x80 up that no one edited, goes back as read too.
    const SettingsImage before = patternedImage();
    m_page->LoadFromImage(before);
    for (int group = 0; group < kGroupButtons.size() - 1; ++group)
        QCOMPARE(checkedIn(group), QString());
    for (QWidget *control : adjustmentControls())
        QVERIFY(control->isEnabled());

    SettingsImage image = before;
    m_page->StoreToImage(image);
    const SettingsImage expected = withBytes(before, 46, "F");
    for (std::size_t i = 0; i < SettingsImage::size(); ++i)
        QVERIFY2(image[i] == expected[i], qPrintable(QString("byte %1").arg(i)));
}

void TestPageParam1::typingIsFiltered_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("7") << "7" << "5.0" << QByteArray("+50");
    QTest::newRow("-9") << "-9" << "-5.0" << QByteArray("-50");
    QTest::newRow("0.3") << "0.3" << "0.0" << QByteArray("+00");
    QTest::newRow("-0.2") << "-0.2" << "0.0" << QByteArray("+00");
    QTest::newRow("1.3") << "1.3" << "1.3" << QByteArray("+13");
    QTest::newRow("0.500") << "0.500" << "5.0" << QByteArray("+50");
    QTest::newRow("-4.50") << "-4.50" << "-5.0" << QByteArray("-50");
}

void TestPageParam1::typingIsFiltered()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);

    m_page->LoadFromImage(withBytes(SettingsImage::factory(), 14, "1"));
    focusEdit();
    edit()->selectAll();
    QTest::keyClicks(edit(), typed);
    QCOMPARE(edit()->text(), shown);

    SettingsImage image = SettingsImage::factory();
    m_page->StoreToImage(image);
    QCOMPARE(QByteArray(image.data() + 15, 3), stored);
}

// A full-width character from an input method is two bytes long, as CP932 counts, and no digit
// to the number reader.
void TestPageParam1::inputMethodText_data()
{
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("four bytes stay") << "１.5" << "１.5" << QByteArray("+00");
    QTest::newRow("five bytes are too long") << "-１.5" << "5.0" << QByteArray("+50");
}

void TestPageParam1::inputMethodText()
{
    QFETCH(QString, committed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);

    m_page->LoadFromImage(withBytes(SettingsImage::factory(), 14, "1"));
    focusEdit();
    edit()->selectAll();
    QInputMethodEvent event;
    event.setCommitString(committed);
    QApplication::sendEvent(edit(), &event);
    QCOMPARE(edit()->text(), shown);

    SettingsImage image = SettingsImage::factory();
    m_page->StoreToImage(image);
    QCOMPARE(QByteArray(image.data() + 15, 3), stored);
}

void TestPageParam1::replacementRunsFilterAgain()
{
    m_page->LoadFromImage(withBytes(SettingsImage::factory(), 14, "1"));
    focusEdit();
    QSignalSpy texts(edit(), &QLineEdit::textChanged);
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);

    edit()->setText("7");
    QCOMPARE(edit()->text(), QString("5.0"));
    // The spy is connected after the page: it sees the nested change before the outer one ends.
    QCOMPARE(texts.count(), 2);
    QCOMPARE(texts.at(0).at(0).toString(), QString("5.0"));
    QCOMPARE(texts.at(1).at(0).toString(), QString("7"));
    QCOMPARE(dataCheck.count(), 2);  // the nested run on "5.0", then the outer run

    // Too long and too small: the end state is the last replacement.
    texts.clear();
    dataCheck.clear();
    edit()->setText("0.300");
    QCOMPARE(edit()->text(), QString("0.0"));
    QCOMPARE(texts.count(), 2);
    QCOMPARE(dataCheck.count(), 2);
}

void TestPageParam1::distributionIsNotClamped()
{
    m_page->LoadFromImage(withBytes(SettingsImage::factory(), 14, "1+95"));
    QCOMPARE(edit()->text(), QString("9.5"));

    SettingsImage image = SettingsImage::factory();
    m_page->StoreToImage(image);
    QCOMPARE(QByteArray(image.data() + 15, 3), QByteArray("+95"));
    QVERIFY(!ParamRecord::ValidateImage(image).valid());

    // Only the length rule applies without the focus.
    edit()->setText("0.500");
    QCOMPARE(edit()->text(), QString("5.0"));
}

void TestPageParam1::spinSteps_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("dataChecks");
    QTest::newRow("up to the end") << QByteArray("+45") << +1 << "5.0" << 1;
    QTest::newRow("past the upper end") << QByteArray("+50") << +1 << "5.0" << 0;
    QTest::newRow("past the lower end") << QByteArray("-50") << -1 << "-5.0" << 0;
    QTest::newRow("below zero") << QByteArray("+00") << -1 << "-0.5" << 1;
    QTest::newRow("from off grid") << QByteArray("+13") << +1 << "2.0" << 1;
}

void TestPageParam1::spinSteps()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, direction);
    QFETCH(QString, shown);
    QFETCH(int, dataChecks);

    m_page->LoadFromImage(withBytes(SettingsImage::factory(), 14, "1" + stored));
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);
    focusEdit();
    QTest::keyClick(edit(), direction > 0 ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(edit()->text(), shown);
    QCOMPARE(dataCheck.count(), dataChecks);
}

void TestPageParam1::enablingRuleFollowsAutoStandby()
{
    const auto enabled = [this] {
        int count = 0;
        for (QWidget *control : adjustmentControls())
            count += control->isEnabled() ? 1 : 0;
        return count;
    };
    m_page->LoadFromImage(SettingsImage::factory());
    QCOMPARE(enabled(), 0);
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);

    click("radio_1013");
    QCOMPARE(enabled(), 4);
    QCOMPARE(dataCheck.count(), 1);

    click("radio_1049");
    QCOMPARE(enabled(), 0);
    QCOMPARE(dataCheck.count(), 2);

    // The mnemonic of "あり(&N)" is a click as well.
    QTest::keyClick(m_page.get(), Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(enabled(), 4);
    QCOMPARE(dataCheck.count(), 3);

    // A distribution applies the rule too; a code other than "0" enables.
    m_page->LoadFromImage(SettingsImage::factory());
    QCOMPARE(enabled(), 0);
    m_page->LoadFromImage(withBytes(SettingsImage::factory(), 14, "9"));
    QCOMPARE(enabled(), 4);
}

void TestPageParam1::everyRadioClickSignals()
{
    m_page->LoadFromImage(SettingsImage::factory());
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);
    int clicks = 0;
    for (int group = 1; group < kGroupButtons.size(); ++group) {
        // Clicking the button already checked signals as well.
        for (const QString &name : kGroupButtons[group] + QStringList{kGroupButtons[group].first()}) {
            click(name);
            QCOMPARE(dataCheck.count(), ++clicks);
            QCOMPARE(checkedIn(group), name);
        }
    }
    for (QWidget *control : adjustmentControls())
        QVERIFY(!control->isEnabled());

    // Moving through a group with the arrow keys checks and signals too.
    radio("radio_1024")->setFocus();
    QTRY_VERIFY(radio("radio_1024")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(checkedIn(5), QString("radio_1235"));
    QCOMPARE(dataCheck.count(), ++clicks);
}

QTEST_MAIN(TestPageParam1)
#include "tst_page_param1.moc"
