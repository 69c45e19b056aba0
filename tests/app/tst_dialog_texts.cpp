// Every text of every dialog and page fits its control in the program's own font: no label,
// button, radio button, group caption, list or tab shows its text cut.
#include "FakeSpooler.h"
#include "ScriptedPrompts.h"
#include "app/CAboutDlg.h"
#include "app/CSetbridgeDlg.h"
#include "app/ProgramLook.h"
#include "printer/CPrinterSelectDlg.h"
#include "printer/CSendSelectDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString where(const QWidget &control)
{
    return control.window()->objectName() + u'/' + control.objectName();
}

// What a control needs beyond its size, or nothing when everything it shows fits.
QString cutIn(const QWidget &control)
{
    const auto tooNarrow = [&](const QString &text, int needed, int has) {
        if (needed <= has)
            return QString();
        return QStringLiteral("%1 \"%2\": needs %3 px, has %4").arg(where(control), text).arg(needed).arg(has);
    };
    const auto *label = qobject_cast<const QLabel *>(&control);
    if (label && !label->wordWrap() && label->pixmap().isNull())
        return tooNarrow(label->text(), label->sizeHint().width(), label->width());
    if (const auto *button = qobject_cast<const QPushButton *>(&control)) {
        // Qt's push buttons ask for a width of 80 whatever their text: count the text and margins.
        const int text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
        const int margins = control.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button)
                            + 2 * control.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return tooNarrow(button->text(), text + margins, button->width());
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(&control); button && !button->text().isEmpty())
        return tooNarrow(button->text(), button->sizeHint().width(), button->width());
    if (const auto *group = qobject_cast<const QGroupBox *>(&control); group && !group->title().isEmpty()) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        const int titleWidth = group->fontMetrics().size(Qt::TextShowMnemonic, group->title()).width();
        return tooNarrow(group->title(), title.left() + titleWidth, group->width());
    }
    if (const auto *combo = qobject_cast<const QComboBox *>(&control))
        return tooNarrow(combo->currentText(), combo->sizeHint().width(), combo->width());
    if (const auto *tabs = qobject_cast<const QTabBar *>(&control))  // every tab at its full size
        return tooNarrow(QStringLiteral("tabs"), tabs->sizeHint().width(), tabs->width());
    return {};
}

QStringList cutTexts(QWidget &window)
{
    QStringList cut;
    for (const QWidget *control : window.findChildren<QWidget *>()) {
        // The status bar's panes may cut a long printer name or device URI; their tooltips show it.
        const bool pane = qobject_cast<const QStatusBar *>(control->parentWidget()) != nullptr;
        if (control->isVisibleTo(&window) && !pane) {
            if (const QString problem = cutIn(*control); !problem.isEmpty())
                cut << problem;
        }
    }
    return cut;
}

}  // namespace

class TestDialogTexts : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompts m_prompts;
    FakeSpooler m_spooler;
    QTemporaryDir m_dir;

    void check(QWidget &window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QStringList cut = cutTexts(window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    }

private slots:
    void initTestCase()
    {
        ProgramLook::apply();
        m_spooler.addPrinter("QAV_Quillotron_740Q2", "socket://127.0.0.1:9100");
    }

    void mainWindowAndEveryPage()
    {
        CSetbridgeDlg window({m_prompts, m_spooler, m_dir.path().toStdString(), QStringLiteral("/nonexistent/help")});
        window.setTerminateHandler([](int) {});
        QVERIFY(window.OnInitDialog());
        for (int tab = 0; tab < 4; ++tab) {
            window.SelectTab(tab);
            check(window);
        }
    }

    void printerSelection()
    {
        CPrinterSelectDlg dialog(m_spooler, m_prompts);
        check(dialog);
    }

    void sendSelection()
    {
        CSendSelectDlg dialog;
        check(dialog);
    }

    void about()
    {
        CAboutDlg dialog(nullptr);
        check(dialog);
    }
};

QTEST_MAIN(TestDialogTexts)
#include "tst_dialog_texts.moc"
