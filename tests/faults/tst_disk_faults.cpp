// The disk failing under the main window: "setting" that can't be written at exit or read at
// start-up, a save to a full device or a read-only file, and a load from something that is no
// file or can't be read. Each names its fault and checks the message, the images and the pages,
// and that nothing blocks (a fifo never opened for reading by anyone would hang a plain open).
#include "FakeSpooler.h"
#include "FileFixtures.h"
#include "OtherUser.h"
#include "ScriptedPrompts.h"
#include "TestText.h"
#include "app/CSetbridgeDlg.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"
#include "settings/SettingsFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <iterator>
#include <memory>

namespace fs = std::filesystem;
using namespace FileFixtures;
using Answer = UserPrompts::Answer;
using Icon = UserPrompts::Icon;

namespace {

constexpr qint64 kNoHangMs = 5000;

QString qpath(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

// What sits where a file is expected.
enum class Kind { ReadOnlyFolder, ReadOnlyFile, Directory, Fifo, Unreadable, FullDevice };

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestDiskFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exitEndsWhenSettingCannotBeWritten_data();
    void exitEndsWhenSettingCannotBeWritten();
    void startUpTakesFactoryWhenSettingCannotBeRead_data();
    void startUpTakesFactoryWhenSettingCannotBeRead();
    void saveFailureLeavesSavedCopyAndFile_data();
    void saveFailureLeavesSavedCopyAndFile();
    void loadFailureRestoresImage_data();
    void loadFailureRestoresImage();
    void damagedSettingIsKeptAndToldOnce_data();
    void damagedSettingIsKeptAndToldOnce();

private:
    fs::path folder() const { return m_dir->path().toStdString(); }
    fs::path setting() const { return AutoSettings::path(folder()); }
    void open();
    void editOnPages();  // an edit the pages hold, collected into the current image
    SettingsImage collected();
    // Puts a thing of `kind` at `path`; false when this process can't make it refuse.
    bool make(Kind kind, const fs::path &path, const std::string &bytes = {});
    QStringList messages() const { return m_prompts.texts(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WriteRefusal> m_refusal;
    ScriptedPrompts m_prompts;
    FakeSpooler m_spooler;
    std::unique_ptr<CSetbridgeDlg> m_window;
};

void TestDiskFaults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    fs::permissions(folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                  | fs::perms::others_read | fs::perms::others_exec);
    m_prompts.clear();
    m_spooler.setPrinters({});
    m_spooler.addPrinter("QAV_Quillotron_740Q2", "usb://QAV/740Q2");
}

void TestDiskFaults::cleanup()
{
    m_window.reset();
    m_refusal.reset();
    m_dir.reset();
}

void TestDiskFaults::open()
{
    m_window = std::make_unique<CSetbridgeDlg>(CSetbridgeDlg::Services{
        m_prompts, m_spooler, folder(), QStringLiteral("/nonexistent/sbq740.html")});
    m_window->setTerminateHandler([](int) { QFAIL("the window ended the program"); });
    QVERIFY(m_window->OnInitDialog());
}

void TestDiskFaults::editOnPages()
{
    SettingsImage edited = m_window->images().current;
    edited[46] = 'F';    // parameters: fast cut
    edited[216] = '1';   // issue control: the first choice
    m_window->images().current = edited;
    m_window->DistributeImage();
}

SettingsImage TestDiskFaults::collected()
{
    m_window->CollectImage();
    return m_window->images().current;
}

bool TestDiskFaults::make(Kind kind, const fs::path &path, const std::string &bytes)
{
    switch (kind) {
    case Kind::ReadOnlyFolder:
        m_refusal = std::make_unique<WriteRefusal>(path.parent_path());
        return m_refusal->ok();
    case Kind::ReadOnlyFile:
        writeBytes(path, bytes);
        m_refusal = std::make_unique<WriteRefusal>(path);
        return m_refusal->ok();
    case Kind::Directory:
        return fs::create_directory(path);
    case Kind::Fifo:
        return ::mkfifo(path.c_str(), 0644) == 0;
    case Kind::Unreadable:
        writeBytes(path, bytes);
        fs::permissions(path, fs::perms::none);
        return true;
    case Kind::FullDevice:
        return true;
    }
    return false;
}

void TestDiskFaults::exitEndsWhenSettingCannotBeWritten_data()
{
    QTest::addColumn<Kind>("kind");
    // For root, read-only means immutable.
    QTest::newRow("folder read-only") << Kind::ReadOnlyFolder;
    QTest::newRow("setting a read-only file") << Kind::ReadOnlyFile;
    QTest::newRow("setting a directory") << Kind::Directory;
    QTest::newRow("setting a fifo") << Kind::Fifo;
}

// A warning names the file; the window ends all the same and what stood there stays.
void TestDiskFaults::exitEndsWhenSettingCannotBeWritten()
{
    QFETCH(Kind, kind);
    open();
    editOnPages();
    const std::string before = settingsFileBytes(unusualImage());
    if (!make(kind, setting(), before))
        QSKIP("this process can't make the path refuse writing");

    m_prompts.answer(Answer::No);  // no send
    m_prompts.answer(Answer::No);  // no save
    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_window->OnExit());

    QVERIFY(clock.elapsed() < kNoHangMs);
    QVERIFY(m_window->isEnded());
    const QString notStored = text(Str::kAutoSettingsNotStored).replace(QStringLiteral("%s"), qpath(setting()));
    QCOMPARE(messages(), (QStringList{text(Str::kAskSendBeforeExit), text(Str::kAskSaveBeforeExit), notStored}));
    QCOMPARE(m_prompts.shown().last().icon, Icon::Warning);
    QCOMPARE(m_prompts.shown().last().buttons, UserPrompts::Buttons::Ok);
    m_refusal.reset();
    // No new file was left beside it.
    const auto entries = std::distance(fs::directory_iterator(folder()), fs::directory_iterator());
    QCOMPARE(entries, kind == Kind::ReadOnlyFolder ? 0 : 1);
    switch (kind) {
    case Kind::ReadOnlyFolder:
        QVERIFY(!fs::exists(setting()));
        break;
    case Kind::ReadOnlyFile:
        QCOMPARE(readBytes(setting()), before);
        break;
    case Kind::Directory:
        QVERIFY(fs::is_directory(setting()));
        break;
    default:
        QVERIFY(fs::is_fifo(setting()));
    }
}

void TestDiskFaults::startUpTakesFactoryWhenSettingCannotBeRead_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("setting a directory") << Kind::Directory;
    QTest::newRow("setting a fifo") << Kind::Fifo;
    QTest::newRow("setting unreadable") << Kind::Unreadable;
}

// Silently the factory image, in the pages and all three images.
void TestDiskFaults::startUpTakesFactoryWhenSettingCannotBeRead()
{
    QFETCH(Kind, kind);
    QVERIFY(make(kind, setting(), settingsFileBytes(unusualImage())));

    QElapsedTimer clock;
    clock.start();
    {
        const OtherUser user;
        if (!user.ok())
            QSKIP("root could not take an ordinary user's permissions");
        open();
    }
    QVERIFY(clock.elapsed() < kNoHangMs);
    QCOMPARE(messages(), QStringList{});
    QVERIFY(m_window->images().saved == SettingsImage::factory());
    QVERIFY(m_window->images().sent == SettingsImage::factory());
    QVERIFY(collected() == SettingsImage::factory());
}

void TestDiskFaults::saveFailureLeavesSavedCopyAndFile_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("result");
    QTest::newRow("save to /dev/full") << Kind::FullDevice << int(CommandHost::SaveResult::Done);
    // Access denied: the save dialog comes again; the user cancels it.
    QTest::newRow("save to a read-only file") << Kind::ReadOnlyFile << int(CommandHost::SaveResult::Cancelled);
}

void TestDiskFaults::saveFailureLeavesSavedCopyAndFile()
{
    QFETCH(Kind, kind);
    QFETCH(int, result);
    open();
    editOnPages();
    const fs::path target = kind == Kind::FullDevice ? fs::path("/dev/full") : folder() / "kept.dat";
    const std::string before = settingsFileBytes(unusualImage()) + "tail";
    if (!make(kind, target, before))
        QSKIP("this process can't make a file refuse writing");
    const SettingsImage edited = collected();

    m_prompts.chooseSaveFile(qpath(target));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(int(m_window->OnSaveSettings()), result);

    QVERIFY(clock.elapsed() < kNoHangMs);
    QCOMPARE(messages(), QStringList{text(Str::kSettingsWriteFailed)});
    QCOMPARE(m_prompts.shown().first().icon, Icon::Error);
    QVERIFY(m_window->images().saved == SettingsImage::factory());
    QVERIFY(m_window->images().sent == SettingsImage::factory());
    QVERIFY(collected() == edited);
    m_refusal.reset();
    if (kind == Kind::ReadOnlyFile)
        QCOMPARE(readBytes(target), before);
}

void TestDiskFaults::loadFailureRestoresImage_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("load a directory") << Kind::Directory;
    QTest::newRow("load a fifo") << Kind::Fifo;
    QTest::newRow("load an unreadable file") << Kind::Unreadable;
}

// The message; the current image as it was before the load and the pages still showing it; the
// copies untouched.
void TestDiskFaults::loadFailureRestoresImage()
{
    QFETCH(Kind, kind);
    open();
    editOnPages();
    const fs::path chosen = folder() / "chosen.dat";
    QVERIFY(make(kind, chosen, settingsFileBytes(unusualImage())));
    const SettingsImage edited = collected();

    m_prompts.answer(Answer::Yes);  // discard the unsent edit
    m_prompts.chooseOpenFile(qpath(chosen));
    QElapsedTimer clock;
    clock.start();
    {
        const OtherUser user;
        if (!user.ok())
            QSKIP("root could not take an ordinary user's permissions");
        m_window->OnLoadSettings();
    }

    QVERIFY(clock.elapsed() < kNoHangMs);
    QCOMPARE(messages(), (QStringList{text(Str::kAskDiscardChanges), text(Str::kNotASettingsFile)}));
    QCOMPARE(m_prompts.shown().last().icon, Icon::Warning);
    QVERIFY(m_window->images().current == edited);
    QVERIFY(collected() == edited);
    QVERIFY(m_window->images().saved == SettingsImage::factory());
    QVERIFY(m_window->images().sent == SettingsImage::factory());
}

void TestDiskFaults::damagedSettingIsKeptAndToldOnce_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("earlier");  // a file kept from an earlier start is there already
    const QByteArray whole = QByteArray::fromStdString(settingsFileBytes(unusualImage()));
    QTest::newRow("cut short") << whole.left(100) << false;
    QTest::newRow("cut short to nothing") << QByteArray() << false;
    QTest::newRow("another program's bytes") << QByteArray(282, 'x') << false;
    QTest::newRow("cut short, one kept before") << whole.left(281) << true;
    QTest::newRow("whole") << whole << false;
}

// "setting" that is there but no settings file: the start says so once, with the factory
// settings, and the file stays under another name (never over an earlier one) instead of going
// at the next exit. A whole file starts as ever, without a word.
void TestDiskFaults::damagedSettingIsKeptAndToldOnce()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, earlier);
    const bool whole = !earlier && bytes.size() == 282 && bytes.startsWith(SettingsFile::kHeader.data());
    writeBytes(setting(), bytes.toStdString());
    const fs::path kept = folder() / "setting.damaged";
    const fs::path keptNow = earlier ? folder() / "setting.damaged.2" : kept;
    if (earlier)
        writeBytes(kept, "kept before");

    open();

    if (whole) {
        QCOMPARE(messages(), QStringList{});
        QVERIFY(m_window->images().saved == unusualImage());
        QVERIFY(!fs::exists(kept));
        return;
    }
    const QString told = text(Str::kAutoSettingsUnreadable).replace(QStringLiteral("%s"), qpath(setting()))
        + text(Str::kAutoSettingsKeptAs).replace(QStringLiteral("%s"), qpath(keptNow));
    QCOMPARE(messages(), QStringList{told});
    QCOMPARE(m_prompts.shown().first().icon, Icon::Warning);
    QVERIFY(m_window->images().saved == SettingsImage::factory());
    QVERIFY(collected() == SettingsImage::factory());
    QCOMPARE(QByteArray::fromStdString(readBytes(keptNow)), bytes);
    if (earlier)
        QCOMPARE(readBytes(kept), std::string("kept before"));

    // The next start finds nothing to tell.
    m_window.reset();
    m_prompts.clear();
    open();
    QCOMPARE(messages(), QStringList{});
}

QTEST_MAIN(TestDiskFaults)
#include "tst_disk_faults.moc"
