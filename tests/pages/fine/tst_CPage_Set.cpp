// The fine-adjustment page as the user meets it: rows, typing, spins, direction lists, and the
// bytes it writes back.
#include "FineRows.h"
#include "ImageEdits.h"
#include "fields/FieldTable.h"
#include "pages/CPage_Set.h"
#include "pages/SpinControl.h"
#include "settings/ImageLayout.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <string>

namespace {

constexpr std::size_t kRecord = ImageLayout::kFineRecord;

constexpr int kFeed = 0;
constexpr int kBackFeed = 2;
constexpr int kX = 3;
constexpr int kDensity = 4;
constexpr int kDensityDirect = 5;
constexpr int kRibbon = 6;
constexpr int kRibbonBackTension = 7;
constexpr int kThreshold = 8;
constexpr int kThresholdTransmissive = 9;

// The page's rows: its number fields, and the direction list of the millimetre rows.

const Fields::Field &rowField(int row)
{
    return *fineRows().at(std::size_t(row));
}

const Fields::Field *directionOf(int row)
{
    return Fields::directionOf(rowField(row));
}

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

class TestCPageSet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void rowsFollowTheFieldTable();
    void tabOrderRunsDownTheRows();
    void typingIntoFocusedEdit_data();
    void typingIntoFocusedEdit();
    void inputMethodText_data();
    void inputMethodText();
    void imageBytesShownAndKept_data();
    void imageBytesShownAndKept();
    void distributionIsNotClampedUntilTyping();
    void spinStep_data();
    void spinStep();
    void everyDirectionListNotificationSignals();
    void storeWritesOnlyPositions6To36();

private:
    QLineEdit *edit(int row) const;
    SpinControl *spin(int row) const;
    QComboBox *directionList(int row) const;
    std::string collected(std::size_t position, std::size_t length) const;

    std::unique_ptr<CPage_Set> m_page;
};

QLineEdit *TestCPageSet::edit(int row) const
{
    const int id = rowField(row).control.id;
    return m_page->findChild<QLineEdit *>(QStringLiteral("edit_%1").arg(id));
}

SpinControl *TestCPageSet::spin(int row) const
{
    const int id = rowField(row).number->spin.control.id;
    return m_page->findChild<SpinControl *>(QStringLiteral("spin_%1").arg(id));
}

QComboBox *TestCPageSet::directionList(int row) const
{
    const int id = directionOf(row)->control.id;
    return m_page->findChild<QComboBox *>(QStringLiteral("combo_%1").arg(id));
}

std::string TestCPageSet::collected(std::size_t position, std::size_t length) const
{
    SettingsImage image = SettingsImage::factory();
    m_page->StoreToImage(image);
    return std::string(image.slice(kRecord + position, length));
}

void TestCPageSet::initTestCase()
{
    m_page = std::make_unique<CPage_Set>();
    m_page->show();
    QApplication::setActiveWindow(m_page.get());
    m_page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
}

void TestCPageSet::init()
{
    m_page->setFocus();
    m_page->LoadFromImage(SettingsImage::factory());
}

void TestCPageSet::rowsFollowTheFieldTable()
{
    const auto *grid = m_page->findChild<QGridLayout *>(QStringLiteral("rowsLayout"));
    QVERIFY(grid);
    for (int row = 0; row < int(fineRows().size()); ++row) {
        const Fields::Field &field = rowField(row);
        QVERIFY(edit(row) && spin(row));
        QCOMPARE(spin(row)->lower(), field.number->spin.lower);
        QCOMPARE(spin(row)->upper(), field.number->spin.upper);

        const auto *label = qobject_cast<QLabel *>(grid->itemAtPosition(row, 0)->widget());
        const auto *unit = qobject_cast<QLabel *>(grid->itemAtPosition(row, 3)->widget());
        QVERIFY(label && unit);
        QCOMPARE(label->text(), qText(field.caption));
        QCOMPARE(unit->text(), qText(field.number->unit));

        QLayoutItem *valueCell = grid->itemAtPosition(row, 2);
        QVERIFY(valueCell && valueCell->layout());
        QCOMPARE(valueCell->layout()->itemAt(0)->widget(), edit(row));
        QCOMPARE(valueCell->layout()->itemAt(1)->widget(), spin(row));

        QLayoutItem *listCell = grid->itemAtPosition(row, 1);
        if (const Fields::Field *direction = directionOf(row)) {
            QComboBox *list = directionList(row);
            QVERIFY(list && listCell && listCell->widget() == list);
            QVERIFY(!list->isEditable());
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->itemText(0), qText(direction->choices[0].caption));
            QCOMPARE(list->itemText(1), qText(direction->choices[1].caption));
            QCOMPARE(label->buddy(), list);
        } else {
            QVERIFY(!listCell);
            QCOMPARE(label->buddy(), edit(row));
        }
    }
}

void TestCPageSet::tabOrderRunsDownTheRows()
{
    QList<QWidget *> expected;
    for (int row = 0; row < int(fineRows().size()); ++row) {
        if (directionOf(row))
            expected << directionList(row);
        expected << edit(row);
    }
    expected.first()->setFocus();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(QApplication::focusWidget(), expected[i]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void TestCPageSet::typingIntoFocusedEdit_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("bytes");

    QTest::newRow("feed 60") << kFeed << "60" << "50.0" << 7 << "500";
    QTest::newRow("feed -3") << kFeed << "-3" << "0.0" << 7 << "000";
    QTest::newRow("feed 0.05") << kFeed << "0.05" << "0.0" << 7 << "000";
    QTest::newRow("feed 12.345") << kFeed << "12.345" << "50.0" << 7 << "500";
    QTest::newRow("feed 49.99") << kFeed << "49.99" << "49.99" << 7 << "500";
    QTest::newRow("X 100") << kX << "100" << "99.5" << 18 << "995";
    QTest::newRow("X 99.9") << kX << "99.9" << "99.5" << 18 << "995";
    QTest::newRow("X 10.25") << kX << "10.25" << "10.25" << 18 << "103";
    QTest::newRow("back-feed 9.7") << kBackFeed << "9.7" << "9.5" << 15 << "95";
    QTest::newRow("density 11") << kDensity << "11" << "10" << 21 << "+10";
    QTest::newRow("density -11") << kDensity << "-11" << "-10" << 21 << "-10";
    QTest::newRow("density 1234") << kDensity << "1234" << "10" << 21 << "+10";
    QTest::newRow("density -123") << kDensityDirect << "-123" << "-10" << 24 << "-10";
    QTest::newRow("density 05") << kDensity << "05" << "05" << 21 << "+05";
    QTest::newRow("ribbon 3") << kRibbon << "3" << "00" << 27 << "-00";
    QTest::newRow("ribbon -16") << kRibbon << "-16" << "-15" << 27 << "-15";
    QTest::newRow("ribbon -1") << kRibbonBackTension << "-1" << "-1" << 30 << "-01";
    QTest::newRow("threshold 4.5") << kThreshold << "4.5" << "4.0" << 33 << "40";
    QTest::newRow("threshold 0.05") << kThreshold << "0.05" << "4.0" << 33 << "40";
    QTest::newRow("threshold -1") << kThresholdTransmissive << "-1" << "0.0" << 35 << "00";
}

void TestCPageSet::typingIntoFocusedEdit()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, position);
    QFETCH(QString, bytes);

    QLineEdit *field = edit(row);
    field->setFocus();
    QVERIFY(field->hasFocus());
    field->selectAll();
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);

    QTest::keyClicks(field, typed);

    QCOMPARE(field->text(), shown);
    QVERIFY(dataCheck.count() >= typed.size());
    QCOMPARE(collected(std::size_t(position), std::size_t(bytes.size())), bytes.toStdString());
}

// Full-width characters arrive from an input method as one committed text each. Lengths count
// as CP932 does (two bytes for "１"), and the number reader does not read full-width digits.
void TestCPageSet::inputMethodText_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("bytes");

    QTest::newRow("density １0") << kDensity << "１0" << "１0" << 21 << "+00";
    QTest::newRow("feed 12.５") << kFeed << "12.５" << "12.５" << 7 << "120";
    QTest::newRow("X ９９") << kX << "９９" << "９９" << 18 << "000";
    QTest::newRow("ribbon -１") << kRibbon << "-１" << "-１" << 27 << "-00";
}

void TestCPageSet::inputMethodText()
{
    QFETCH(int, row);
    QFETCH(QString, committed);
    QFETCH(QString, shown);
    QFETCH(int, position);
    QFETCH(QString, bytes);

    QLineEdit *field = edit(row);
    field->setFocus();
    field->selectAll();
    QInputMethodEvent event;
    event.setCommitString(committed);
    QApplication::sendEvent(field, &event);

    QCOMPARE(field->text(), shown);
    QCOMPARE(collected(std::size_t(position), std::size_t(bytes.size())), bytes.toStdString());
}

// Bytes from 0x80 up are shown as CP932 text, or as the character of the byte's own number where
// they form none; a field the user leaves alone goes back as read, an edited one in digits.
void TestCPageSet::imageBytesShownAndKept_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");  // empty: not edited
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("threshold 1\\x82") << kThreshold << 33 << QByteArray("1\x82") << "1.\u0082" << ""
                                       << QByteArray("1\x82");
    QTest::newRow("threshold in kana") << kThresholdTransmissive << 35 << QByteArray("\xb1" "5") << "ｱ.5" << ""
                                       << QByteArray("\xb1" "5");
    QTest::newRow("density in double-byte digits") << kDensity << 21 << QByteArray("+\x82\x50") << "0" << ""
                                                   << QByteArray("+\x82\x50");
    QTest::newRow("edited threshold") << kThreshold << 33 << QByteArray("1\x82") << "1.\u0082" << "2"
                                      << QByteArray("20");
    QTest::newRow("single-byte junk in digits") << kThreshold << 33 << QByteArray("1x") << "1.x" << ""
                                                << QByteArray("10");
}

void TestCPageSet::imageBytesShownAndKept()
{
    QFETCH(int, row);
    QFETCH(int, position);
    QFETCH(QByteArray, read);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);

    m_page->LoadFromImage(factoryWith(kRecord + std::size_t(position), read.toStdString()));
    QCOMPARE(edit(row)->text(), shown);
    if (!typed.isEmpty()) {
        edit(row)->setFocus();
        edit(row)->selectAll();
        QTest::keyClicks(edit(row), typed);
    }
    QCOMPARE(QByteArray::fromStdString(collected(std::size_t(position), std::size_t(stored.size()))), stored);
}

void TestCPageSet::distributionIsNotClampedUntilTyping()
{
    m_page->LoadFromImage(factoryWith(kRecord + 6, "-999"));
    QCOMPARE(directionList(kFeed)->currentText(), QStringLiteral("前方"));
    QCOMPARE(edit(kFeed)->text(), QStringLiteral("99.9"));
    QCOMPARE(collected(6, 4), std::string("-999"));

    edit(kFeed)->setFocus();
    edit(kFeed)->end(false);
    QTest::keyClick(edit(kFeed), Qt::Key_9);
    QCOMPARE(edit(kFeed)->text(), QStringLiteral("50.0"));
}

void TestCPageSet::spinStep_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("shown");

    QTest::newRow("feed up to the top") << kFeed << "49.9" << 1 << "50.0";
    QTest::newRow("feed stops at 50.0") << kFeed << "50.0" << 1 << "50.0";
    QTest::newRow("feed from the value shown") << kFeed << "12.3" << 1 << "12.4";
    QTest::newRow("X stops at 99.5") << kX << "99.5" << 1 << "99.5";
    QTest::newRow("back-feed stops at 9.5") << kBackFeed << "9.5" << 1 << "9.5";
    QTest::newRow("density up from 0") << kDensity << "0" << 1 << "1";
    QTest::newRow("density stops at 10") << kDensity << "10" << 1 << "10";
    QTest::newRow("ribbon 0 down to -1") << kRibbon << "0" << -1 << "-1";
    QTest::newRow("ribbon stops at 0") << kRibbon << "0" << 1 << "0";
    QTest::newRow("threshold 1.4 up") << kThreshold << "1.4" << 1 << "1.5";
    QTest::newRow("threshold stops at 4.0") << kThresholdTransmissive << "4.0" << 1 << "4.0";
}

void TestCPageSet::spinStep()
{
    QFETCH(int, row);
    QFETCH(QString, start);
    QFETCH(int, direction);
    QFETCH(QString, shown);

    edit(row)->setText(start);
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);

    if (direction > 0)
        spin(row)->stepUp();
    else
        spin(row)->stepDown();

    QCOMPARE(edit(row)->text(), shown);
    // A step that cannot move changes nothing, so nothing is signalled.
    QCOMPARE(dataCheck.isEmpty(), shown == start);
}

void TestCPageSet::everyDirectionListNotificationSignals()
{
    QComboBox *list = directionList(kBackFeed);
    QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);
    qsizetype seen = 0;
    const auto signalledAgain = [&] {
        const bool more = dataCheck.count() > seen;
        seen = dataCheck.count();
        return more;
    };

    list->setFocus();
    QVERIFY2(signalledAgain(), "focus in");
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), 1);
    QVERIFY2(signalledAgain(), "selection");
    list->showPopup();
    QVERIFY2(signalledAgain(), "list opened");
    emit list->highlighted(0);
    QVERIFY2(signalledAgain(), "highlighted");
    list->hidePopup();
    QVERIFY2(signalledAgain(), "list closed");
    edit(kX)->setFocus();
    QVERIFY2(signalledAgain(), "focus out");
    QCOMPARE(collected(14, 1), std::string("-"));
}

void TestCPageSet::storeWritesOnlyPositions6To36()
{
    SettingsImage image;
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(0x80 + i % 61);
    const SettingsImage before = image;

    m_page->StoreToImage(image);

    for (std::size_t i = 0; i < image.size(); ++i) {
        const bool owned = i >= kRecord + 6 && i <= kRecord + 36;
        if (!owned)
            QVERIFY2(image[i] == before[i], qPrintable(QStringLiteral("offset %1").arg(i)));
    }
    QCOMPARE(std::string(image.slice(kRecord, 38)).substr(6, 31),
             std::string("+000+000+00+000+00+00-00-001014"));
}

QTEST_MAIN(TestCPageSet)
#include "tst_CPage_Set.moc"
