// Captions of the drop-down items: mnemonics and the accelerator column.

#include "menu/MenuCaption.h"

#include <QTest>

#include <string>
#include <vector>

namespace {

// The "ファイル(&F)" drop-down as the menu holds it; separators have no caption.
const std::vector<std::string> kFileMenu{
    "設定ファイルの読み込み(&O)...\tCtrl+O",
    "設定ファイルへの書き込み(&S)...\tCtrl+S",
    "",
    "設定値をプリンタへ送信(&W)\tCtrl+W",
    "工場出荷設定を表示(&I)\tCtrl+I",
    "",
    "プリンタの選択(&C)...\tCtrl+C",
    "",
    "終了(&X)\tAlt+F4",
};

// One unit per byte: enough to see where spaces go.
int byteWidth(const std::string &text)
{
    return static_cast<int>(text.size());
}

}  // namespace

class TestMenuCaption : public QObject
{
    Q_OBJECT

private slots:
    void findMnemonic_data();
    void findMnemonic();
    void mnemonicIgnoresEscapedAmpersandAndAccelerator();
    void splitAtFirstAndLastTab();
    void alignPadsEveryLabelWithATabToOneColumn();
    void alignStopsWhenSpacesHaveNoWidth();
};

void TestMenuCaption::findMnemonic_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");

    QTest::newRow("w sends") << "w" << 3;
    QTest::newRow("upper case W sends") << "W" << 3;
    QTest::newRow("o loads") << "o" << 0;
    QTest::newRow("x exits") << "x" << 8;
    QTest::newRow("c selects the printer") << "c" << 6;
    QTest::newRow("h is another menu's") << "h" << -1;
    QTest::newRow("letter of an accelerator text") << "+" << -1;
    QTest::newRow("ampersand itself") << "&" << -1;
    QTest::newRow("space") << " " << -1;
    QTest::newRow("nothing typed") << "" << -1;
}

void TestMenuCaption::findMnemonic()
{
    QFETCH(QString, typed);
    QFETCH(int, expected);
    QCOMPARE(MenuCaption::findMnemonic(kFileMenu, typed.toStdString()), expected);
}

void TestMenuCaption::mnemonicIgnoresEscapedAmpersandAndAccelerator()
{
    const std::vector<std::string> captions{"Salt && Pepper\tCtrl+&P", "&Pepper"};
    QCOMPARE(MenuCaption::findMnemonic(captions, "p"), 1);
    QCOMPARE(MenuCaption::withoutMnemonicMarks("Salt && &Pepper"), std::string("Salt & Pepper"));
    QCOMPARE(MenuCaption::mnemonicOf("ヘルプ目次(&H)\tF1"), std::string("h"));
}

void TestMenuCaption::splitAtFirstAndLastTab()
{
    const MenuCaption::Parts two = MenuCaption::split("a\tb\tc");
    QCOMPARE(two.label, std::string("a"));
    QCOMPARE(two.accelerator, std::string("c"));
    QVERIFY(two.hasTab);
    const MenuCaption::Parts none = MenuCaption::split("バージョン情報(&A)...");
    QCOMPARE(none.label, std::string("バージョン情報(&A)..."));
    QVERIFY(none.accelerator.empty());
    QVERIFY(!none.hasTab);
}

void TestMenuCaption::alignPadsEveryLabelWithATabToOneColumn()
{
    const std::vector<std::string> captions{"Open\tCtrl+O", "Save as...\tCtrl+S", "", "About", "Ex\tAlt+F4"};
    const std::vector<std::string> aligned = MenuCaption::alignAcceleratorColumn(captions, byteWidth);

    // The widest label is "Save as..." (10) or "About" (5); one space more makes the column 11.
    QCOMPARE(aligned[0], std::string("Open       \tCtrl+O"));
    QCOMPARE(aligned[1], std::string("Save as... \tCtrl+S"));
    QCOMPARE(aligned[2], std::string(""));
    QCOMPARE(aligned[3], std::string("About"));
    QCOMPARE(aligned[4], std::string("Ex         \tAlt+F4"));
}

void TestMenuCaption::alignStopsWhenSpacesHaveNoWidth()
{
    const auto spacesCountNothing = [](const std::string &text) {
        return static_cast<int>(text.find_last_not_of(' ') + 1);
    };
    const std::vector<std::string> aligned
        = MenuCaption::alignAcceleratorColumn({"a\tx", "long label\ty"}, spacesCountNothing);
    QCOMPARE(aligned[0], std::string("a \tx"));
}

QTEST_APPLESS_MAIN(TestMenuCaption)
#include "tst_menu_caption.moc"
