// The switch-printer command on a host without a window: start-up selection, later switches,
// the prompts before switching, and how the program ends without a usable printer.
#include "FakeHost.h"
#include "ScriptedDialogs.h"
#include "commands/PrinterSwitch.h"
#include "res/Strings.h"

#include <QtTest>

using Answer = UserPrompts::Answer;

namespace {

const QString kNoUsablePrinter = QString::fromUtf8(Str::kNoUsablePrinter);
const QString kFileOnly = QString::fromUtf8(Str::kFileConnectionOnlyPrinter);
const QString kFileChooseOther = QString::fromUtf8(Str::kFileConnectionChooseOther);
const QString kNoneSelected = QString::fromUtf8(Str::kNoPrinterSelected);
const QString kAskSend = QString::fromUtf8(Str::kAskSendBeforeSwitch);
const QString kAskSave = QString::fromUtf8(Str::kAskSaveBeforeSwitch);

// A host and the dialog it owns, wired as the main window wires them.
struct Window
{
    FakeHost host;
    ScriptedPrinterSelectDlg dialog{host.fakeSpooler(), host.scripted()};

    Window() { host.switchPrinter = [this] { PrinterSwitch::run(host, dialog, host.lastSwitchReason()); }; }

    void startUp()
    {
        dialog.m_bStarted = 0;
        PrinterSwitch::run(host, dialog, CommandHost::SwitchReason::Command);
        dialog.m_bStarted = 1;
    }
    // After start-up, as if the user had chosen `name`.
    void selected(const std::string &name, const std::string &connection)
    {
        host.selectedPrinter() = {connection, name};
        dialog.m_bStarted = 1;
    }
    void changeCurrentImage() { host.images().current[20] = '9'; }
    QStringList texts() const { return const_cast<FakeHost &>(host).scripted().texts(); }
};

}  // namespace

class TestPrinterSwitch : public QObject
{
    Q_OBJECT

private slots:
    void startUpTakesASinglePrinterUnasked();
    void startUpEndsWithCodeOne_data();
    void startUpEndsWithCodeOne();
    void startUpWithSeveralPrintersWaitsForTheUser();
    void cancelAtStartUpEndsTheWindow_data();
    void cancelAtStartUpEndsTheWindow();
    void okWithoutSelectionKeepsTheDialogOpen();
    void fileAmongOthersIsRefusedAndAnotherTaken();
    void laterSwitchShowsEvenASinglePrinter();
    void laterSwitchPreselectsTheCurrentPrinter();
    void laterOkResetsToFactoryEvenForTheSamePrinter();
    void laterCancelChangesNothing();
    void laterSwitchWithoutPrintersEndsWithCodeOne();
    void promptsBeforeSwitching_data();
    void promptsBeforeSwitching();
    void failedSendFromThePromptChoosesOnlyOnce();
};

void TestPrinterSwitch::startUpTakesASinglePrinterUnasked()
{
    Window w;
    w.host.fakeSpooler().addPrinter("Quillotron", "socket://127.0.0.1:9100");
    w.host.fakeSpooler().addPrinter("Other", "socket://127.0.0.1:9101", "Other Model");
    w.startUp();

    QCOMPARE(w.dialog.timesShown(), 0);
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string("Quillotron"));
    QCOMPARE(w.host.selectedPrinter().m_strConnection, std::string("socket://127.0.0.1:9100"));
    QCOMPARE(w.host.statusPrinter(), QStringLiteral("Quillotron"));
    QCOMPARE(w.host.statusConnection(), QStringLiteral("socket://127.0.0.1:9100"));
    QVERIFY(!w.host.switchPrinterEnabled());
    QVERIFY(w.texts().isEmpty());
    QVERIFY(!w.host.calls().contains("ResetToFactory"));
    QVERIFY(!w.host.calls().contains("CollectImage"));
}

void TestPrinterSwitch::startUpEndsWithCodeOne_data()
{
    QTest::addColumn<QStringList>("drivers");
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("message");

    QTest::newRow("no printer at all") << QStringList{} << "socket://a" << kNoUsablePrinter;
    QTest::newRow("only other drivers") << QStringList{"QAV QUILLOTRON 740Q2", "QAV Quillotron 740Q2 PS"}
                                        << "socket://a" << kNoUsablePrinter;
    QTest::newRow("only printer on a file") << QStringList{"QAV Quillotron 740Q2"} << "FILE:" << kFileOnly;
}

void TestPrinterSwitch::startUpEndsWithCodeOne()
{
    QFETCH(QStringList, drivers);
    QFETCH(QString, connection);
    QFETCH(QString, message);

    Window w;
    int n = 0;
    for (const QString &driver : drivers)
        w.host.fakeSpooler().addPrinter("p" + std::to_string(n++), connection.toStdString(), driver.toStdString());
    w.startUp();

    QCOMPARE(w.host.exitCode(), 1);
    QCOMPARE(w.texts(), QStringList{message});
    QCOMPARE(w.host.scripted().shown().first().icon, UserPrompts::Icon::Warning);
    QCOMPARE(w.dialog.timesShown(), 0);
    QVERIFY(w.host.selectedPrinter().isEmpty());
}

void TestPrinterSwitch::startUpWithSeveralPrintersWaitsForTheUser()
{
    Window w;
    w.host.fakeSpooler().addPrinter("zeta", "socket://z");
    w.host.fakeSpooler().addPrinter("Alpha", "socket://a");
    w.host.fakeSpooler().addPrinter("beta", "socket://b");
    w.dialog.okOnRow(2);
    w.startUp();

    QCOMPARE(w.dialog.timesShown(), 1);
    QCOMPARE(w.dialog.shownRows(), (QStringList{"Alpha", "beta", "zeta"}));
    QCOMPARE(w.dialog.shownSelection(), std::optional<int>(0));
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string("zeta"));
    QVERIFY(w.host.switchPrinterEnabled());
    QVERIFY(!w.host.calls().contains("ResetToFactory"));
}

void TestPrinterSwitch::cancelAtStartUpEndsTheWindow_data()
{
    QTest::addColumn<bool>("triedFileFirst");
    QTest::newRow("cancel straight away") << false;
    QTest::newRow("cancel after a refused file printer") << true;
}

void TestPrinterSwitch::cancelAtStartUpEndsTheWindow()
{
    QFETCH(bool, triedFileFirst);
    Window w;
    w.host.fakeSpooler().addPrinter("a", "FILE:");
    w.host.fakeSpooler().addPrinter("b", "socket://b");
    if (triedFileFirst)
        w.dialog.okOnRow(0);
    w.dialog.cancel();
    w.startUp();

    QVERIFY(w.host.ended());
    QCOMPARE(w.host.exitCode(), -1);
    QVERIFY(w.host.selectedPrinter().isEmpty());
    QCOMPARE(w.texts(), triedFileFirst ? QStringList{kFileChooseOther} : QStringList{});
}

void TestPrinterSwitch::okWithoutSelectionKeepsTheDialogOpen()
{
    Window w;
    w.host.fakeSpooler().addPrinter("a", "socket://a");
    w.host.fakeSpooler().addPrinter("b", "socket://b");
    w.dialog.okWithNothingSelected();
    w.dialog.okOnRow(1);
    w.startUp();

    QCOMPARE(w.texts(), QStringList{kNoneSelected});
    QCOMPARE(w.host.scripted().shown().first().icon, UserPrompts::Icon::Warning);
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string("b"));
}

void TestPrinterSwitch::fileAmongOthersIsRefusedAndAnotherTaken()
{
    Window w;
    w.host.fakeSpooler().addPrinter("a", "FILE:");
    w.host.fakeSpooler().addPrinter("b", "socket://b");
    w.dialog.okOnRow(0);
    w.dialog.okOnRow(1);
    w.startUp();

    QCOMPARE(w.texts(), QStringList{kFileChooseOther});
    QCOMPARE(w.host.scripted().shown().first().icon, UserPrompts::Icon::Information);
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string("b"));
    QCOMPARE(w.host.statusConnection(), QStringLiteral("socket://b"));
}

void TestPrinterSwitch::laterSwitchShowsEvenASinglePrinter()
{
    Window w;
    w.host.fakeSpooler().addPrinter("only", "socket://o");
    w.selected("only", "socket://o");
    w.dialog.okOnShownSelection();
    w.host.OnSwitchPrinter();

    QCOMPARE(w.dialog.timesShown(), 1);
    QVERIFY(!w.host.switchPrinterEnabled());
}

void TestPrinterSwitch::laterSwitchPreselectsTheCurrentPrinter()
{
    Window w;
    w.host.fakeSpooler().addPrinter("c", "socket://c");
    w.host.fakeSpooler().addPrinter("a", "socket://a");
    w.host.fakeSpooler().addPrinter("b", "socket://b");
    w.selected("b", "socket://b");
    w.dialog.cancel();
    w.host.OnSwitchPrinter();
    QCOMPARE(w.dialog.shownSelection(), std::optional<int>(1));

    w.selected("gone", "socket://g");
    w.dialog.cancel();
    w.host.OnSwitchPrinter();
    QCOMPARE(w.dialog.shownSelection(), std::optional<int>(0));
}

void TestPrinterSwitch::laterOkResetsToFactoryEvenForTheSamePrinter()
{
    Window w;
    w.host.fakeSpooler().addPrinter("a", "socket://a");
    w.host.fakeSpooler().addPrinter("b", "socket://b");
    w.selected("a", "socket://a");
    const SettingsImages before = w.host.images();
    w.dialog.okOnShownSelection();
    w.host.OnSwitchPrinter();

    QVERIFY(w.host.calls().contains("ResetToFactory"));
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string("a"));
    QVERIFY(w.host.switchPrinterEnabled());
    QVERIFY(w.host.images().sent == before.sent);
    QVERIFY(w.host.images().saved == before.saved);
}

void TestPrinterSwitch::laterCancelChangesNothing()
{
    Window w;
    w.host.fakeSpooler().addPrinter("a", "socket://a");
    w.host.fakeSpooler().addPrinter("b", "FILE:");
    w.selected("a", "socket://a");
    w.dialog.okOnRow(1);  // refused, and it stays in the dialog's fields
    w.dialog.cancel();
    w.host.OnSwitchPrinter();

    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string("a"));
    QCOMPARE(w.host.selectedPrinter().m_strConnection, std::string("socket://a"));
    QVERIFY(w.host.statusPrinter().isEmpty());
    QVERIFY(!w.host.ended());
    QCOMPARE(w.host.exitCode(), -1);
    QVERIFY(!w.host.calls().contains("ResetToFactory"));
}

void TestPrinterSwitch::laterSwitchWithoutPrintersEndsWithCodeOne()
{
    Window w;
    w.selected("a", "socket://a");
    w.host.OnSwitchPrinter();
    QCOMPARE(w.host.exitCode(), 1);
    QCOMPARE(w.texts(), QStringList{kNoUsablePrinter});
}

void TestPrinterSwitch::promptsBeforeSwitching_data()
{
    QTest::addColumn<bool>("unsent");
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<int>("sendResult");
    QTest::addColumn<bool>("saveDone");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("commands");  // OnSendSettings / OnSaveSettings, in order
    QTest::addColumn<bool>("dialogShown");

    using L = QList<Answer>;
    QTest::newRow("nothing changed: no question") << false << false << L{} << 0 << true << QStringList{}
                                                  << QStringList{} << true;
    QTest::newRow("unsent, No") << true << false << L{Answer::No} << 0 << true << QStringList{kAskSend}
                                << QStringList{} << true;
    QTest::newRow("unsent, Cancel") << true << false << L{Answer::Cancel} << 0 << true << QStringList{kAskSend}
                                    << QStringList{} << false;
    QTest::newRow("unsent, Yes and sent") << true << false << L{Answer::Yes} << 0 << true
                                          << QStringList{kAskSend} << QStringList{"OnSendSettings"} << true;
    QTest::newRow("unsent, Yes but send cancelled") << true << false << L{Answer::Yes} << -1 << true
                                                    << QStringList{kAskSend} << QStringList{"OnSendSettings"}
                                                    << false;
    QTest::newRow("unsaved, Yes and saved") << false << true << L{Answer::Yes} << 0 << true
                                            << QStringList{kAskSave} << QStringList{"OnSaveSettings"} << true;
    QTest::newRow("unsaved, Yes but save cancelled") << false << true << L{Answer::Yes} << 0 << false
                                                     << QStringList{kAskSave} << QStringList{"OnSaveSettings"}
                                                     << false;
    QTest::newRow("both, No and No") << true << true << L{Answer::No, Answer::No} << 0 << true
                                     << QStringList{kAskSend, kAskSave} << QStringList{} << true;
    QTest::newRow("both, Cancel first asks no more") << true << true << L{Answer::Cancel} << 0 << true
                                                     << QStringList{kAskSend} << QStringList{} << false;
    QTest::newRow("both, Yes and Yes") << true << true << L{Answer::Yes, Answer::Yes} << 0 << true
                                       << QStringList{kAskSend, kAskSave}
                                       << QStringList{"OnSendSettings", "OnSaveSettings"} << true;
    QTest::newRow("both, No then Cancel") << true << true << L{Answer::No, Answer::Cancel} << 0 << true
                                          << QStringList{kAskSend, kAskSave} << QStringList{} << false;
}

void TestPrinterSwitch::promptsBeforeSwitching()
{
    QFETCH(bool, unsent);
    QFETCH(bool, unsaved);
    QFETCH(QList<Answer>, answers);
    QFETCH(int, sendResult);
    QFETCH(bool, saveDone);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, commands);
    QFETCH(bool, dialogShown);

    Window w;
    w.host.fakeSpooler().addPrinter("a", "socket://a");
    w.host.fakeSpooler().addPrinter("b", "socket://b");
    w.selected("a", "socket://a");
    // The pages hold a change that the switch must collect before comparing; a copy that holds
    // it too doesn't differ.
    w.host.collect = [](SettingsImage &image) { image[20] = '9'; };
    if (!unsent)
        w.host.images().sent[20] = '9';
    if (!unsaved)
        w.host.images().saved[20] = '9';
    w.host.send = [&] { return sendResult; };
    w.host.save = [&] { return saveDone ? CommandHost::SaveResult::Done : CommandHost::SaveResult::Cancelled; };
    for (Answer answer : answers)
        w.host.scripted().answer(answer);
    w.dialog.okOnRow(1);
    w.host.OnSwitchPrinter();

    QCOMPARE(w.texts(), asked);
    QStringList ran;
    for (const QString &call : w.host.calls()) {
        if (call == "OnSendSettings" || call == "OnSaveSettings")
            ran.append(call);
    }
    QCOMPARE(ran, commands);
    QCOMPARE(w.dialog.timesShown(), dialogShown ? 1 : 0);
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string(dialogShown ? "b" : "a"));
}

void TestPrinterSwitch::failedSendFromThePromptChoosesOnlyOnce()
{
    // Yes to sending, the spooler fails, and the send lets the user choose a printer: the switch
    // that asked does not make the user choose a second time.
    Window w;
    w.host.fakeSpooler().addPrinter("a", "socket://a");
    w.host.fakeSpooler().addPrinter("b", "socket://b");
    w.selected("a", "socket://a");
    w.changeCurrentImage();
    w.host.send = [&] {
        // The switch that the failed send opens asks again; the user says No twice.
        w.host.scripted().answer(Answer::No);
        w.host.scripted().answer(Answer::No);
        w.host.OnSwitchPrinter();
        return 0;
    };
    w.host.scripted().answer(Answer::Yes);
    w.dialog.okOnRow(1);
    w.host.OnSwitchPrinter();

    QCOMPARE(w.dialog.timesShown(), 1);
    QCOMPARE(w.host.selectedPrinter().m_strPrinterName, std::string("b"));
    QCOMPARE(w.host.calls().count("ResetToFactory"), 1);
}

QTEST_MAIN(TestPrinterSwitch)
#include "tst_printer_switch.moc"
