#include "FakeSpooler.h"
#include "FileFixtures.h"
#include "ModalScript.h"
#include "ScriptedPrompts.h"
#include "app/CSetbridgeDlg.h"
#include "app/SessionEnd.h"
#include "pages/SettingsPage.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWheelEvent>
#include <QSignalSpy>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>

#include <fstream>
#include <memory>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompts m_prompts;
    FakeSpooler m_spooler;
    std::unique_ptr<CSetbridgeDlg> m_window;

    std::filesystem::path folder() const { return m_dir.path().toStdString(); }

    CSetbridgeDlg &open(const QString &helpPath = QStringLiteral("/nonexistent/sbq740.html"))
    {
        m_window = std::make_unique<CSetbridgeDlg>(
            CSetbridgeDlg::Services{m_prompts, m_spooler, folder(), helpPath});
        m_window->setTerminateHandler([](int code) { QFAIL(qPrintable(QStringLiteral("terminated with %1").arg(code))); });
        if (!m_window->OnInitDialog())
            qFatal("the start-up selection ended the window");
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("window not active");
        return *m_window;
    }

    // A line edit on the given page, to put the focus into the page.
    QLineEdit *editOn(int pageIndex)
    {
        const auto edits = m_window->page(pageIndex)->findChildren<QLineEdit *>();
        return edits.isEmpty() ? nullptr : edits.constFirst();
    }

private slots:
    void init()
    {
        std::filesystem::remove(AutoSettings::path(folder()));
        m_prompts.clear();
        m_spooler.setPrinters({});
        m_spooler.addPrinter("Q740", "socket://127.0.0.1:9100");
    }

    void cleanup()
    {
        m_window.reset();
    }

    void startsWithFactoryImageWithoutSettingFile()
    {
        CSetbridgeDlg &window = open();
        QCOMPARE(window.images().current, SettingsImage::factory());
        QCOMPARE(window.images().saved, SettingsImage::factory());
        QCOMPARE(window.images().sent, SettingsImage::factory());
        QCOMPARE(window.tabs()->currentIndex(), 0);
        QCOMPARE(window.tabs()->tabText(1), QString::fromUtf8("微調設定      "));
    }

    void exitWithoutChangesAsksNothingAndWritesSetting()
    {
        CSetbridgeDlg &window = open();
        m_prompts.clear();
        window.close();
        QVERIFY(window.isEnded());
        QCOMPARE(m_prompts.texts(), QStringList{});
        const std::string written = FileFixtures::readBytes(AutoSettings::path(folder()));
        QCOMPARE(written.size(), SettingsFile::kFileSize);
        QCOMPARE(written, std::string(SettingsFile::kHeader) + std::string(SettingsImage::factory().data(), 260));
    }

    // The session manager ends the session: the program is told to end, and the main window's
    // close (the exit sequence and its questions) does not run.
    void sessionManagersEndAsksNothing()
    {
        CSetbridgeDlg &window = open();
        window.images().sent[46] = 'F';  // a close would ask whether to send
        m_prompts.clear();
        m_prompts.answer(UserPrompts::Answer::Cancel);  // and, asked, stay open
        SessionEnd sessionEnd;
        sessionEnd.watch();
        QSignalSpy ending(&sessionEnd, &SessionEnd::ending);
        QWindowSystemInterface::handleApplicationTermination<QWindowSystemInterface::SynchronousDelivery>();
        QCOMPARE(ending.size(), 1);
        QCOMPARE(m_prompts.texts(), QStringList{});
        QVERIFY(window.isVisible());
    }

    void enterAndEscapeDoNothing()
    {
        CSetbridgeDlg &window = open();
        m_prompts.clear();
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(&window, key);
            if (QLineEdit *edit = editOn(0))
                QTest::keyClick(edit, key);
        }
        QVERIFY(window.isVisible());
        QVERIFY(!window.isEnded());
        QCOMPARE(m_prompts.texts(), QStringList{});
    }

    void closeBoxRunsExitSequenceAndCancelKeepsWindow()
    {
        CSetbridgeDlg &window = open();
        window.images().sent[46] = 'F';  // the image now differs from what was last sent
        m_prompts.clear();
        m_prompts.answer(UserPrompts::Answer::Cancel);
        window.close();
        QCOMPARE(m_prompts.texts(), QStringList{QString::fromUtf8(Str::kAskSendBeforeExit)});
        QVERIFY(!window.isEnded());
        QVERIFY(window.isVisible());
        QVERIFY(!std::filesystem::exists(AutoSettings::path(folder())));
    }

    void tabCommands_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("tab");
        QTest::newRow("Ctrl+P") << int(Qt::Key_P) << 0;
        QTest::newRow("Ctrl+K") << int(Qt::Key_K) << 1;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << 2;
        QTest::newRow("Ctrl+G") << int(Qt::Key_G) << 3;
    }

    // Accelerators win over an edit field's own keys, and a tab command moves the focus into
    // the page it shows.
    void tabCommands()
    {
        QFETCH(int, command);
        QFETCH(int, tab);
        CSetbridgeDlg &window = open();
        window.SelectTab(tab == 0 ? 3 : 0);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key(command), Qt::ControlModifier);
        QCOMPARE(window.tabs()->currentIndex(), tab);
        QWidget *nowFocused = QApplication::focusWidget();
        QVERIFY(nowFocused);
        QVERIFY2(window.page(tab)->isAncestorOf(nowFocused), qPrintable(nowFocused->objectName()));
    }

    // In an edit field, Ctrl+A shows the IP address tab instead of selecting the text, and
    // Ctrl+C runs the printer selection instead of copying.
    void acceleratorsWinOverEditKeys()
    {
        m_spooler.addPrinter("Q740-b", "socket://127.0.0.1:9101");  // two printers: switching is enabled
        ModalScript user;
        user.then(ModalScript::confirmPrinterSelection());  // the start-up selection
        CSetbridgeDlg &window = open();
        QVERIFY(window.isCommandEnabled(ResId::kCmdSwitchPrinter));

        window.SelectTab(1);
        QLineEdit *edit = window.page(1)->findChild<QLineEdit *>(QStringLiteral("edit_1243"));
        QVERIFY(edit);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QApplication::clipboard()->setText(QStringLiteral("untouched"));

        user.then(ModalScript::cancel());  // the selection that Ctrl+C opens
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(user.done());
        QCOMPARE(user.played(), 2);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("untouched"));

        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(window.tabs()->currentIndex(), 2);
        QVERIFY(!edit->hasSelectedText());
    }

    // With one printer the switch command is disabled, and so is its accelerator: Ctrl+C in an
    // edit does nothing at all.
    void disabledAcceleratorIsSwallowed()
    {
        CSetbridgeDlg &window = open();
        QVERIFY(!window.isCommandEnabled(ResId::kCmdSwitchPrinter));
        window.SelectTab(1);
        QLineEdit *edit = window.page(1)->findChild<QLineEdit *>(QStringLiteral("edit_1243"));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QApplication::clipboard()->setText(QStringLiteral("12"));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("12"));
        // Chords outside the table still reach the edit.
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("12"));
    }

    void tabCommandLeavesFocusOnTabBar()
    {
        CSetbridgeDlg &window = open();
        window.tabs()->tabBar()->setFocus();
        QTRY_VERIFY(window.tabs()->tabBar()->hasFocus());
        window.commandAction(ResId::kCmdShowIpTab)->trigger();
        QCOMPARE(window.tabs()->currentIndex(), 2);
        QVERIFY(window.tabs()->tabBar()->hasFocus());
    }

    // Only the tab control's own keys, while it has the focus, clicks and the tab commands change
    // the page: Ctrl+Tab and its kin and the wheel over the tabs do nothing.
    void nothingElseSwitchesTabs_data()
    {
        QTest::addColumn<bool>("onTabBar");  // else the focus is in a page's edit
        QTest::addColumn<int>("key");        // 0: the wheel over the tabs
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("tab");        // shown afterwards, starting from tab 1
        const int ctrl = Qt::ControlModifier;
        const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        for (const bool onTabBar : {false, true}) {
            const char *where = onTabBar ? "tab bar" : "edit";
            QTest::addRow("%s: Ctrl+Tab", where) << onTabBar << int(Qt::Key_Tab) << ctrl << 1;
            QTest::addRow("%s: Ctrl+Shift+Tab", where) << onTabBar << int(Qt::Key_Backtab) << ctrlShift << 1;
            QTest::addRow("%s: wheel", where) << onTabBar << 0 << 0 << 1;
        }
        QTest::newRow("edit: Ctrl+PageDown") << false << int(Qt::Key_PageDown) << ctrl << 1;
        QTest::newRow("tab bar: Right") << true << int(Qt::Key_Right) << 0 << 2;
        QTest::newRow("tab bar: Left") << true << int(Qt::Key_Left) << 0 << 0;
    }
    void nothingElseSwitchesTabs()
    {
        QFETCH(bool, onTabBar);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, tab);
        CSetbridgeDlg &window = open();
        window.SelectTab(1);
        QTabBar *bar = window.tabs()->tabBar();
        QWidget *target = onTabBar ? static_cast<QWidget *>(bar) : editOn(1);
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        if (key == 0) {
            for (const int delta : {-120, 120, 120}) {
                const QPointF at = bar->tabRect(1).center();
                QWheelEvent wheel(at, bar->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(bar, &wheel);
            }
        } else {
            QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        }
        QCOMPARE(window.tabs()->currentIndex(), tab);
    }

    // The panes show the spooler's texts as plain text, reordering characters as escapes, and
    // give the whole text again as their tooltips.
    void statusBarShowsSpoolerTextsPlainly()
    {
        m_spooler.setPrinters({});
        m_spooler.addPrinter("<u>Q</u>-\u202Egnp.exe", "socket://127.0.0.1:9100/?name=" + std::string(60, 'x'));
        CSetbridgeDlg &window = open();
        const QStringList expected{QString::fromUtf8("プリンタ名： <u>Q</u>-\\u202Egnp.exe"),
                                   QString::fromUtf8("接続先： socket://127.0.0.1:9100/?name=") + QString(60, 'x')};
        const QList<QLabel *> panes = window.findChild<QStatusBar *>()->findChildren<QLabel *>();
        QCOMPARE(panes.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(panes[i]->text(), expected[i]);
            QCOMPARE(panes[i]->textFormat(), Qt::PlainText);
            QTextDocument tip;
            tip.setHtml(panes[i]->toolTip());
            QCOMPARE(tip.toPlainText(), expected[i]);
        }
    }

    void showFirstTabLeavesFocus()
    {
        CSetbridgeDlg &window = open();
        window.tabs()->tabBar()->setFocus();
        window.SelectTab(3);
        window.ShowFirstTab();
        QCOMPARE(window.tabs()->currentIndex(), 0);
        QVERIFY(window.tabs()->tabBar()->hasFocus());
    }

    void helpItemFollowsTheHelpFile()
    {
        {
            CSetbridgeDlg &window = open();
            QVERIFY(!window.isCommandEnabled(ResId::kCmdHelpContents));
            m_prompts.clear();
            QTest::keyClick(&window, Qt::Key_F1);  // greyed: F1 has no effect either
            QCOMPARE(m_prompts.texts(), QStringList{});
        }
        const QString help = m_dir.filePath(QStringLiteral("sbq740.html"));
        std::ofstream(help.toStdString()) << "<html><title>help</title><body>help</body></html>";
        CSetbridgeDlg &window = open(help);
        QVERIFY(window.isCommandEnabled(ResId::kCmdHelpContents));
    }

    void sendCommandIsEnabledFromTheStart()
    {
        CSetbridgeDlg &window = open();
        QVERIFY(window.isCommandEnabled(ResId::kCmdSendSettings));
        QVERIFY(window.toolAction(ResId::kToolSend)->isEnabled());
        window.OnDataCheck();
        QVERIFY(window.isCommandEnabled(ResId::kCmdSendSettings));
    }

    void toolbarTooltips()
    {
        CSetbridgeDlg &window = open();
        QCOMPARE(window.toolAction(ResId::kToolLoad)->toolTip(), QString::fromUtf8("設定ファイルの読み込み"));
        QCOMPARE(window.toolAction(ResId::kToolHeadCheck)->toolTip(), QString::fromUtf8("ヘッド断線チェック"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
