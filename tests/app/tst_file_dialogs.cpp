// The real prompts: Qt's own file dialog for the settings files and the message boxes, driven by
// keys on the offscreen platform, alone and from the main window.
#include "FakeSpooler.h"
#include "ModalScript.h"
#include "app/CSetbridgeDlg.h"
#include "app/MessageBoxPrompts.h"
#include "app/SettingsFileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

constexpr int kDeadlineMs = 20000;

QLineEdit *nameEdit(QDialog &dialog)
{
    return dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

// One step of the user's part, written as in the tables below: "enter" (Enter on the name shown),
// "type NAME" (the name, then Enter), "replace? yes" / "replace? no" (the overwrite question),
// "save? yes" (the exit sequence's question), "cancel" (the file dialog's Cancel).
ModalScript::Step step(const QString &action, QStringList &seen)
{
    return [action, &seen](QDialog &dialog) {
        seen << action;
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        if (action.startsWith(QLatin1String("replace?")) || action.startsWith(QLatin1String("save?"))) {
            if (!box) {
                seen << QStringLiteral("(no question)");
                return;
            }
            box->button(action.endsWith(QLatin1String("yes")) ? QMessageBox::Yes : QMessageBox::No)->click();
            return;
        }
        if (!qobject_cast<SettingsFileDialog *>(&dialog)) {
            seen << QStringLiteral("(not the settings-file dialog: %1)").arg(box ? box->text() : dialog.objectName());
            dialog.reject();
            return;
        }
        if (action == QLatin1String("cancel")) {
            dialog.reject();
            return;
        }
        QLineEdit *edit = nameEdit(dialog);
        if (action.startsWith(QLatin1String("type ")))
            edit->setText(action.mid(5));
        // Later, so that a question the key opens finds the script free to answer it.
        QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
    };
}

}  // namespace

class TestFileDialogs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    MessageBoxPrompts m_prompts;
    QStringList m_seen;
    bool m_timedOut = false;

    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

    // Runs `ask` while `actions` play the user's part. Whatever is still open at the deadline is
    // cancelled, so a dialog that does not close as expected fails the test instead of hanging it.
    template <typename Ask>
    auto play(const QStringList &actions, Ask ask)
    {
        ModalScript script;
        for (const QString &action : actions)
            script.then(step(action, m_seen));
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, this, [this] {
            m_timedOut = true;
            while (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        deadline.start(kDeadlineMs);
        return ask();
    }

private slots:
    void initTestCase()
    {
        QFile existing(path(QStringLiteral("old.dat")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
    }

    void init()
    {
        m_seen.clear();
        m_timedOut = false;
    }

    void startsInTheFolderWithThePattern()
    {
        SettingsFileDialog dialog(nullptr, m_dir.path(), QFileDialog::AcceptSave);
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(m_dir.path()).canonicalPath());
        QCOMPARE(dialog.nameFilters(), QStringList{QStringLiteral("SB設定ファイル (*.dat)")});
        QCOMPARE(dialog.defaultSuffix(), QStringLiteral("dat"));
        QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(nameEdit(dialog)->text(), QStringLiteral("*.dat"));
    }

    void choosingAFile_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("chosen");  // empty: cancelled

        QTest::newRow("save: the pattern is no name") << true << QStringList{"enter", "cancel"} << "";
        QTest::newRow("save: a typed pattern is no name") << true << QStringList{"type m?ne", "cancel"} << "";
        QTest::newRow("save: cancel") << true << QStringList{"cancel"} << "";
        QTest::newRow("save: the extension is added") << true << QStringList{"type mine"} << "mine.dat";
        QTest::newRow("save: replacing asks; No stays")
            << true << QStringList{"type old", "replace? no", "type old", "replace? yes"} << "old.dat";
        QTest::newRow("open: the pattern is no name") << false << QStringList{"enter", "cancel"} << "";
        QTest::newRow("open: the extension is added") << false << QStringList{"type old"} << "old.dat";
    }
    void choosingAFile()
    {
        QFETCH(bool, save);
        QFETCH(QStringList, actions);
        QFETCH(QString, chosen);

        const QString result = play(actions, [&] {
            return save ? m_prompts.saveSettingsFile(nullptr, m_dir.path())
                        : m_prompts.openSettingsFile(nullptr, m_dir.path());
        });
        QCOMPARE(m_seen, actions);
        QVERIFY(!m_timedOut);
        QCOMPARE(result, chosen.isEmpty() ? QString() : path(chosen));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("*.dat"))));
    }

    // From the main window: Ctrl+S, and the exit sequence's "Yes" to saving, then Enter on the
    // pattern: the dialog stays, Cancel cancels the save, and no file named "*.dat" appears.
    void mainWindowSavesNoPattern_data()
    {
        QTest::addColumn<bool>("fromExit");
        QTest::newRow("Ctrl+S") << false;
        QTest::newRow("exit, Yes to saving") << true;
    }
    void mainWindowSavesNoPattern()
    {
        QFETCH(bool, fromExit);
        FakeSpooler spooler;
        spooler.addPrinter("Q740", "socket://127.0.0.1:9100");
        CSetbridgeDlg window({m_prompts, spooler, m_dir.path().toStdString(), QStringLiteral("/nonexistent/help")});
        window.setTerminateHandler([](int) {});
        QVERIFY(window.OnInitDialog());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QStringList actions
            = fromExit ? QStringList{"save? yes", "enter", "cancel"} : QStringList{"enter", "cancel"};
        window.images().saved[46] = 'F';  // unsaved, but sent
        play(actions, [&] {
            if (fromExit) {
                window.close();
            } else {
                QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
            }
            return 0;
        });
        QCOMPARE(m_seen, actions);
        QVERIFY(!m_timedOut);
        QVERIFY(!window.isEnded());
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("*.dat"))));
        QVERIFY(window.images().saved != window.images().current);  // the save was cancelled
        window.images().saved = window.images().current;  // lets the window close without questions
    }

    void messageBoxes_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("key");  // 0: click "No"
        QTest::addColumn<int>("answer");
        using B = UserPrompts::Buttons;
        using A = UserPrompts::Answer;
        QTest::newRow("Enter takes the first button") << int(B::YesNoCancel) << int(Qt::Key_Return) << int(A::Yes);
        QTest::newRow("Escape cancels") << int(B::OkCancel) << int(Qt::Key_Escape) << int(A::Cancel);
        QTest::newRow("No") << int(B::YesNo) << 0 << int(A::No);
    }
    void messageBoxes()
    {
        QFETCH(int, buttons);
        QFETCH(int, key);
        QFETCH(int, answer);
        ModalScript script;
        QString caption;
        Qt::TextFormat format = Qt::AutoText;
        script.then([&](QDialog &dialog) {
            auto &box = static_cast<QMessageBox &>(dialog);
            caption = box.windowTitle();
            format = box.textFormat();
            if (key == 0)
                box.button(QMessageBox::No)->click();
            else
                QTest::keyClick(&box, Qt::Key(key));
        });
        const auto given = play({}, [&] {
            return m_prompts.message(nullptr, QStringLiteral("<b>x</b>"), UserPrompts::Icon::Warning,
                                     UserPrompts::Buttons(buttons));
        });
        QVERIFY(!m_timedOut);
        QCOMPARE(int(given), answer);
        QCOMPARE(caption, QStringLiteral("Setbridge"));
        QCOMPARE(format, Qt::PlainText);
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_file_dialogs.moc"
