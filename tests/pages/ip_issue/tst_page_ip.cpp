// The IP address page bound to its controls, and the address field it uses.
#include "fields/ClientIdText.h"
#include "pages/CPage_IP.h"
#include "pages/IpAddressEdit.h"
#include "settings/ImageLayout.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray filled(QByteArray digits)
{
    digits.append(QByteArray(32 - digits.size(), 'F'));
    return digits;
}

constexpr std::size_t kPortDigits = ImageLayout::kPortRecord + 6;
constexpr std::size_t kDhcpFlag = ImageLayout::kClientIdRecord + 4;
constexpr std::size_t kClientIdField = ImageLayout::kClientIdRecord + 6;

QByteArray storedField(const SettingsImage &image)
{
    return QByteArray(image.data() + kClientIdField, 32);
}

void activate(QWidget &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Types into whichever widget has the focus, so the keys follow the focus as it moves.
void typeKeys(const QString &keys)
{
    for (QChar key : keys) {
        if (key == u'\b')
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        else
            QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
    }
}

}  // namespace

class TestPageIp : public QObject
{
    Q_OBJECT

public:
    template <typename T>
    T *control(const char *name) { return m_page->findChild<T *>(QLatin1String(name)); }

private slots:
    void init()
    {
        m_page = std::make_unique<CPage_IP>();
        activate(*m_page);
    }
    void cleanup() { m_page.reset(); }

    void factoryShowsAndStoresBack()
    {
        m_page->LoadFromImage(SettingsImage::factory());
        QCOMPARE(control<IpAddressEdit>("ip_1256")->value(), (IpAddressEdit::Value{192, 168, 10, 20}));
        QCOMPARE(control<IpAddressEdit>("ip_1259")->value(), (IpAddressEdit::Value{0, 0, 0, 0}));
        QCOMPARE(control<IpAddressEdit>("ip_1258")->value(), (IpAddressEdit::Value{255, 255, 255, 0}));
        QVERIFY(control<QRadioButton>("radio_1018")->isChecked());
        QCOMPARE(control<QLineEdit>("edit_1262")->text(), QStringLiteral("9100"));
        QVERIFY(control<QLineEdit>("edit_1262")->isEnabled());
        QVERIFY(control<QRadioButton>("radio_1264")->isChecked());
        QVERIFY(control<QRadioButton>("radio_1274")->isChecked());
        QVERIFY(!control<QRadioButton>("radio_1274")->isEnabled());
        QVERIFY(!control<QLineEdit>("edit_1265")->isEnabled());
        QVERIFY(control<QLineEdit>("edit_1265")->text().isEmpty());

        SettingsImage image = SettingsImage::factory();
        m_page->StoreToImage(image);
        QCOMPARE(image.bytes(), SettingsImage::factory().bytes());
    }

    void storeWritesOnlyOwnedBytes()
    {
        m_page->LoadFromImage(SettingsImage::factory());
        SettingsImage image;
        for (std::size_t i = 0; i < image.size(); ++i)
            image[i] = '#';
        m_page->StoreToImage(image);
        const std::string expected = std::string(94, '#') + "192#168#010#020" + std::string(8, '#')
                                     + "000#000#000#000" + std::string(8, '#') + "255#255#255#000"
                                     + std::string(6, '#') + "1#09100" + std::string(6, '#') + "0#"
                                     + std::string(32, 'F') + std::string(51, '#') + "0";
        QCOMPARE(std::string(image.data(), image.size()), expected);
    }

    void portTyped_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("80") << "80" << "80" << QByteArray("00080");
        QTest::newRow("empty") << "" << "" << QByteArray("00000");
        QTest::newRow("sixth character") << "123456" << "65535" << QByteArray("65535");
        QTest::newRow("70000") << "70000" << "65535" << QByteArray("65535");
        QTest::newRow("65535") << "65535" << "65535" << QByteArray("65535");
        QTest::newRow("digits only") << "12a" << "12" << QByteArray("00012");
    }
    void portTyped()
    {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QByteArray, stored);
        m_page->LoadFromImage(SettingsImage::factory());
        auto *port = control<QLineEdit>("edit_1262");
        port->setFocus();
        port->selectAll();
        QTest::keyClick(port, Qt::Key_Delete);
        typeKeys(keys);
        QCOMPARE(port->text(), shown);
        SettingsImage image = SettingsImage::factory();
        m_page->StoreToImage(image);
        QCOMPARE(QByteArray(image.data() + kPortDigits, 5), stored);
    }

    void clientIdEntry_data()
    {
        QTest::addColumn<char>("inputType");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("click");  // "ascii", "hex" or nothing
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("AB") << '0' << "AB" << "" << "AB" << filled("4142");
        QTest::newRow("AB to hex") << '0' << "AB" << "hex" << "4142" << filled("4142");
        QTest::newRow("4142 to ascii") << '1' << "4142" << "ascii" << "AB" << filled("4142");
        QTest::newRow("z") << '0' << "z" << "" << "z" << filled("7a");
        QTest::newRow("z to hex") << '0' << "z" << "hex" << "7A" << filled("7A");
        QTest::newRow("A B") << '0' << "A B" << "" << "A B" << filled("412042");
        QTest::newRow("12ab as typed") << '1' << "12ab" << "" << "12ab" << filled("12ab");
        QTest::newRow("hex digits only") << '1' << "1x2G3" << "" << "123" << filled("123");
        QTest::newRow("hex click in hex") << '1' << "4142" << "hex" << "4142" << filled("4142");
        QTest::newRow("ascii 16 bytes") << '0' << "ABCDEFGHIJKLMNOPQ" << "" << "ABCDEFGHIJKLMNOP"
                                        << QByteArray("4142434445464748494a4b4c4d4e4f50");
        QTest::newRow("double-byte") << '0' << "漾あ" << "" << "漾あ" << filled("e04082a0");
        QTest::newRow("double-byte to hex") << '0' << "漾" << "hex" << "E040" << filled("E040");
        QTest::newRow("ascii 16 bytes of double-byte") << '0' << "あいうえおかきくけ" << ""
                                                       << "あいうえおかきく"
                                                       << QByteArray("82a082a282a482a682a882a982ab82ad");
        QTest::newRow("no cp932 form") << '0' << "A\U0001F600B" << "" << "AB" << filled("4142");
    }
    void clientIdEntry()
    {
        QFETCH(char, inputType);
        QFETCH(QString, typed);
        QFETCH(QString, click);
        QFETCH(QString, shown);
        QFETCH(QByteArray, field);
        SettingsImage image = SettingsImage::factory();
        image[kDhcpFlag] = '1';
        image[ImageLayout::kInputTypeByte] = inputType;
        m_page->LoadFromImage(image);
        auto *box = control<QLineEdit>("edit_1265");
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        for (QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        if (click == QLatin1String("ascii"))
            control<QRadioButton>("radio_1274")->click();
        if (click == QLatin1String("hex"))
            control<QRadioButton>("radio_1266")->click();
        QCOMPARE(box->text(), shown);
        m_page->StoreToImage(image);
        QCOMPARE(storedField(image), field);
    }

    void clientIdLoaded_data()
    {
        QTest::addColumn<char>("inputType");
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("hex upper case") << '1' << filled("12ab") << QString::fromLatin1(filled("12AB"));
        QTest::newRow("space dropped") << '0' << filled("412042") << "AB";
        QTest::newRow("pairs 0xE0 and up") << '0' << QByteArray("E0E1E2F0F1FEFFE0E1E2F0F1FEFFE0EF") << "";
        QTest::newRow("double-byte") << '0' << filled("82a08abf") << "あ漢";
        QTest::newRow("lead byte without its trail byte") << '0' << filled("8241") << "\u0082A";
    }
    void clientIdLoaded()
    {
        QFETCH(char, inputType);
        QFETCH(QByteArray, field);
        QFETCH(QString, shown);
        SettingsImage image = SettingsImage::factory();
        image[ImageLayout::kInputTypeByte] = inputType;
        for (qsizetype i = 0; i < field.size(); ++i)
            image[kClientIdField + std::size_t(i)] = field[i];
        m_page->LoadFromImage(image);
        QCOMPARE(control<QLineEdit>("edit_1265")->text(), shown);
        QCOMPARE(ClientIdTextMode::holdsHex(), inputType == '1');

        // Stored again without an edit, the image keeps every byte.
        SettingsImage collected = image;
        m_page->StoreToImage(collected);
        QCOMPARE(collected.bytes(), image.bytes());
    }

    void choosingHexOnFactoryChangesOnlyTheInputType()
    {
        m_page->LoadFromImage(SettingsImage::factory());
        control<QRadioButton>("radio_1019")->click();
        control<QRadioButton>("radio_1266")->click();
        control<QRadioButton>("radio_1264")->click();
        SettingsImage image = SettingsImage::factory();
        m_page->StoreToImage(image);
        SettingsImage expected = SettingsImage::factory();
        expected[ImageLayout::kInputTypeByte] = '1';
        QCOMPARE(image.bytes(), expected.bytes());
    }

    void disabledGroupsAreStillStored()
    {
        m_page->LoadFromImage(SettingsImage::factory());
        control<QRadioButton>("radio_1019")->click();
        control<QLineEdit>("edit_1265")->setText(QStringLiteral("AB"));
        control<QLineEdit>("edit_1262")->setText(QStringLiteral("80"));
        control<QRadioButton>("radio_1264")->click();
        control<QRadioButton>("radio_1263")->click();
        QVERIFY(!control<QLineEdit>("edit_1265")->isEnabled());
        QVERIFY(!control<QLineEdit>("edit_1262")->isEnabled());
        SettingsImage image = SettingsImage::factory();
        m_page->StoreToImage(image);
        QCOMPARE(storedField(image), filled("4142"));
        QCOMPARE(image.slice(ImageLayout::kPortRecord, 12), std::string_view("\x1bIS;0,00080\n"));
        QCOMPARE(image[kDhcpFlag], '0');
    }

    void dataCheckOnEveryRadioClickOnly()
    {
        m_page->LoadFromImage(SettingsImage::factory());
        QSignalSpy dataCheck(m_page.get(), &SettingsPage::dataCheck);
        auto *port = control<QLineEdit>("edit_1262");
        port->setFocus();
        QTest::keyClicks(port, "1");
        control<IpAddressEdit>("ip_1256")->setFocus();
        typeKeys(QStringLiteral("1"));
        QCOMPARE(dataCheck.count(), 0);
        // Each click counts, also on the button already checked.
        const char *radios[] = {"radio_1018", "radio_1263", "radio_1019", "radio_1264", "radio_1019",
                                "radio_1266", "radio_1274", "radio_1274"};
        for (const char *name : radios)
            control<QRadioButton>(name)->click();
        QCOMPARE(dataCheck.count(), 8);
    }

    void addressFieldTyping_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<IpAddressEdit::Value>("value");
        QTest::newRow("dotted") << "192.168.1.20" << IpAddressEdit::Value{192, 168, 1, 20};
        QTest::newRow("third digit moves on") << "19216811" << IpAddressEdit::Value{192, 168, 11, 0};
        QTest::newRow("dot after jump") << "192.168.0.1" << IpAddressEdit::Value{192, 168, 0, 1};
        QTest::newRow("dot in empty part") << "1..2" << IpAddressEdit::Value{1, 2, 0, 0};
        QTest::newRow("above 255") << "300" << IpAddressEdit::Value{255, 0, 0, 0};
        QTest::newRow("backspace into previous") << "192\b\b7" << IpAddressEdit::Value{17, 0, 0, 0};
        QTest::newRow("blank reads 0") << "" << IpAddressEdit::Value{0, 0, 0, 0};
    }
    void addressFieldTyping()
    {
        QFETCH(QString, keys);
        QFETCH(IpAddressEdit::Value, value);
        auto *field = control<IpAddressEdit>("ip_1259");
        for (int i = 0; i < 4; ++i)
            field->part(i)->clear();
        field->setFocus();
        typeKeys(keys);
        QCOMPARE(field->value(), value);
    }

    void addressFieldIsOneTabStop()
    {
        auto *field = control<IpAddressEdit>("ip_1259");
        field->setFocus();
        typeKeys(QStringLiteral("10."));
        QCOMPARE(QApplication::focusWidget(), field->part(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control<IpAddressEdit>("ip_1258")->part(0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), field->part(0));
    }

private:
    std::unique_ptr<CPage_IP> m_page;
};

QTEST_MAIN(TestPageIp)
#include "tst_page_ip.moc"
