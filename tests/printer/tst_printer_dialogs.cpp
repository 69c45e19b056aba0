// The two dialogs as the user meets them: shown (offscreen), driven by mouse and keys.
#include "FakeSpooler.h"
#include "ScriptedPrompts.h"
#include "printer/CPrinterSelectDlg.h"
#include "printer/CSendSelectDlg.h"
#include "res/Strings.h"

#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

namespace {

// Runs `user` once the dialog is up and waiting.
void whenShown(QDialog &dialog, std::function<void()> user)
{
    QTimer::singleShot(0, &dialog, [&dialog, user = std::move(user)] {
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        user();
    });
}

QTreeWidget *listOf(QDialog &dialog)
{
    return dialog.findChild<QTreeWidget *>("list_1069");
}

}  // namespace

class TestPrinterDialogs : public QObject
{
    Q_OBJECT

private slots:
    void selectionListShowsSortedRowsAndPreselects();
    void doubleClickOnARowChoosesIt();
    void listShowsReorderingCharactersAsEscapes();
    void keysConfirmAndCancel_data();
    void keysConfirmAndCancel();
    void onlyPrinterOnAFileEndsTheProgramOnOk();
    void sendDialogOpensOnParametersEveryTime();
    void sendDialogCancelGivesMinusOne();
    void sendDialogHidesItsTwoSpareButtons();
    void firstThreeChoicesIssueTheDataCheck();
};

void TestPrinterDialogs::selectionListShowsSortedRowsAndPreselects()
{
    FakeSpooler spooler;
    spooler.addPrinter("zeta", "socket://z");
    spooler.addPrinter("Alpha", "printsrv");
    spooler.addPrinter("beta", "FILE:");
    ScriptedPrompts prompts;
    CPrinterSelectDlg dialog(spooler, prompts);
    dialog.m_bStarted = 1;
    dialog.m_strPrinterName = "beta";

    QStringList rows;
    int current = -1;
    int selected = -1;
    whenShown(dialog, [&] {
        QTreeWidget *list = listOf(dialog);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows << list->topLevelItem(i)->text(0) + "|" + list->topLevelItem(i)->text(1);
        current = list->indexOfTopLevelItem(list->currentItem());
        selected = list->indexOfTopLevelItem(list->selectedItems().value(0));
        dialog.reject();
    });
    QCOMPARE(dialog.runModal(), CPrinterSelectDlg::Outcome::Cancel);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("プリンタの選択"));
    QCOMPARE(rows, (QStringList{"Alpha|printsrv", "beta|FILE:", "zeta|socket://z"}));
    QCOMPARE(current, 1);
    QCOMPARE(selected, 1);
    QTreeWidget *list = listOf(dialog);
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("プリンタ名"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("接続先"));
    QCOMPARE(list->header()->sectionSize(0), 200);
    QCOMPARE(list->header()->sectionSize(1), 90);
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
}

void TestPrinterDialogs::doubleClickOnARowChoosesIt()
{
    FakeSpooler spooler;
    spooler.addPrinter("a", "socket://a");
    spooler.addPrinter("b", "socket://b");
    ScriptedPrompts prompts;
    CPrinterSelectDlg dialog(spooler, prompts);
    dialog.m_bStarted = 1;

    whenShown(dialog, [&] {
        QTreeWidget *list = listOf(dialog);
        const QRect row = list->visualItemRect(list->topLevelItem(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    });
    QCOMPARE(dialog.runModal(), CPrinterSelectDlg::Outcome::Ok);
    QCOMPARE(dialog.m_strPrinterName, std::string("b"));
    QCOMPARE(dialog.m_strConnection, std::string("socket://b"));
}

void TestPrinterDialogs::listShowsReorderingCharactersAsEscapes()
{
    FakeSpooler spooler;
    spooler.addPrinter("bidi-\u202Egnp.exe", "socket://\u2066a\u2069");
    spooler.addPrinter("bidi-exe.png", "socket://b");
    ScriptedPrompts prompts;
    CPrinterSelectDlg dialog(spooler, prompts);
    dialog.m_bStarted = 1;

    QStringList rows;
    whenShown(dialog, [&] {
        QTreeWidget *list = listOf(dialog);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows << list->topLevelItem(i)->text(0) + "|" + list->topLevelItem(i)->text(1);
        list->setCurrentItem(list->topLevelItem(1));
        dialog.findChild<QPushButton *>("button_1")->click();
    });
    QCOMPARE(dialog.runModal(), CPrinterSelectDlg::Outcome::Ok);
    QCOMPARE(rows, (QStringList{"bidi-exe.png|socket://b", "bidi-\\u202Egnp.exe|socket://\\u2066a\\u2069"}));
    QCOMPARE(dialog.m_strPrinterName, std::string("bidi-\u202Egnp.exe"));  // the spooler's name, unchanged
}

void TestPrinterDialogs::keysConfirmAndCancel_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("outcome");
    QTest::newRow("Enter takes the preselected printer") << int(Qt::Key_Return) << int(CPrinterSelectDlg::Outcome::Ok);
    QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << int(CPrinterSelectDlg::Outcome::Cancel);
}

void TestPrinterDialogs::keysConfirmAndCancel()
{
    QFETCH(int, key);
    QFETCH(int, outcome);
    FakeSpooler spooler;
    spooler.addPrinter("a", "socket://a");
    spooler.addPrinter("b", "socket://b");
    ScriptedPrompts prompts;
    CPrinterSelectDlg dialog(spooler, prompts);
    dialog.m_bStarted = 1;
    dialog.m_strPrinterName = "b";

    whenShown(dialog, [&] {
        listOf(dialog)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    });
    QCOMPARE(int(dialog.runModal()), outcome);
    QCOMPARE(dialog.m_strPrinterName, std::string("b"));
}

void TestPrinterDialogs::onlyPrinterOnAFileEndsTheProgramOnOk()
{
    FakeSpooler spooler;
    spooler.addPrinter("f", "FILE:");
    ScriptedPrompts prompts;
    CPrinterSelectDlg dialog(spooler, prompts);
    dialog.m_bStarted = 1;  // a later switch: shown, not taken on its own

    whenShown(dialog, [&] { dialog.findChild<QPushButton *>("button_1")->click(); });
    QCOMPARE(dialog.runModal(), CPrinterSelectDlg::Outcome::EndProgram);
    QCOMPARE(prompts.texts(), QStringList{QString::fromUtf8(Str::kFileConnectionOnlyPrinter)});
}

void TestPrinterDialogs::sendDialogOpensOnParametersEveryTime()
{
    CSendSelectDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("プリンタへ送信"));
    whenShown(dialog, [&] {
        dialog.findChild<QRadioButton *>("radio_1253")->click();
        dialog.findChild<QPushButton *>("button_1")->click();
    });
    QCOMPARE(dialog.run(), 3);
    QCOMPARE(dialog.m_nSel, 3);

    bool firstChecked = false;
    whenShown(dialog, [&] {
        firstChecked = dialog.findChild<QRadioButton *>("radio_1248")->isChecked();
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    QCOMPARE(dialog.run(), 0);
    QVERIFY(firstChecked);
}

void TestPrinterDialogs::sendDialogCancelGivesMinusOne()
{
    CSendSelectDlg dialog;
    whenShown(dialog, [&] {
        dialog.findChild<QRadioButton *>("radio_1252")->click();
        dialog.findChild<QPushButton *>("button_2")->click();
    });
    QCOMPARE(dialog.run(), -1);

    whenShown(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(dialog.run(), -1);
    QCOMPARE(dialog.m_nSel, -1);
}

void TestPrinterDialogs::sendDialogHidesItsTwoSpareButtons()
{
    CSendSelectDlg dialog;
    bool spareShown = true;
    QStringList labels;
    whenShown(dialog, [&] {
        spareShown = dialog.findChild<QRadioButton *>("radio_1250")->isVisible()
            || dialog.findChild<QRadioButton *>("radio_1251")->isVisible();
        for (const char *name : {"radio_1248", "radio_1043", "radio_1252", "radio_1253", "button_1", "button_2"})
            labels << dialog.findChild<QAbstractButton *>(name)->text();
        dialog.reject();
    });
    dialog.run();
    QVERIFY(!spareShown);
    QCOMPARE(labels, (QStringList{"パラメータ設定値", "各種微調設定値", "IPアドレス設定値", "発行制御設定値", "送信",
                                  "ｷｬﾝｾﾙ"}));
}

void TestPrinterDialogs::firstThreeChoicesIssueTheDataCheck()
{
    CSendSelectDlg dialog;
    QSignalSpy dataCheck(&dialog, &CSendSelectDlg::dataCheck);
    QList<int> counts;
    whenShown(dialog, [&] {
        for (const char *name : {"radio_1248", "radio_1043", "radio_1252", "radio_1253"}) {
            dialog.findChild<QRadioButton *>(name)->click();
            counts << int(dataCheck.count());
        }
        dialog.reject();
    });
    dialog.run();
    QCOMPARE(counts, (QList<int>{1, 2, 3, 3}));
}

QTEST_MAIN(TestPrinterDialogs)
#include "tst_printer_dialogs.moc"
