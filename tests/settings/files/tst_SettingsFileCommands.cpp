#include "FakeHost.h"
#include "FileFixtures.h"
#include "commands/SettingsFileCommands.h"
#include "res/Strings.h"
#include "settings/ImageLayout.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFileLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <memory>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace FileFixtures;
using SettingsFileCommands::OnLoadSettings;
using SettingsFileCommands::OnSaveSettings;
using SaveResult = CommandHost::SaveResult;
using Icon = UserPrompts::Icon;
using Answer = UserPrompts::Answer;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(std::string)

namespace {

QString qpath(const fs::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// The byte the pages write on collecting, standing for an edit the user made on a page.
constexpr char kEditedInputType = '1';

}  // namespace

// Where two images differ, for the failure messages.
char *toString(const SettingsImage &image)
{
    const SettingsImage &factory = SettingsImage::factory();
    QByteArray text = "image";
    for (std::size_t i = 0; i < image.size(); ++i) {
        if (image[i] != factory[i])
            text += " [" + QByteArray::number(qulonglong(i)) + "]=" + QByteArray(1, image[i]);
    }
    return qstrdup(text.constData());
}

class TestSettingsFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void saveThenLoadRestoresEveryByte();
    void loadRejectsWhatIsNoSettingsFile_data();
    void loadRejectsWhatIsNoSettingsFile();
    void loadIgnoresBytesBeyondTheImage();
    void cancelledOpenDialogStillShowsFirstTab();
    void discardQuestionOnlyWhenUnsent_data();
    void discardQuestionOnlyWhenUnsent();

    void saveKeepsTailOfLongerFile();
    void saveFailureIsReportedAndDone_data();
    void saveFailureIsReportedAndDone();
    void saveReportsFailedWrite();
    void accessDeniedAsksAgain_data();
    void accessDeniedAsksAgain();
    void cancelledSaveDialog();
    void saveWaitsForAnotherWriter();

private:
    fs::path folder() const { return fs::path(QFile::encodeName(m_dir->path()).toStdString()); }
    // Editing on the pages: collecting changes the input-type byte.
    void editOnPages();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeHost> m_host;
};

void TestSettingsFileCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_host = std::make_unique<FakeHost>();
    m_host->setDataFolder(folder());
}

void TestSettingsFileCommands::editOnPages()
{
    m_host->collect = [](SettingsImage &image) { image[ImageLayout::kInputTypeByte] = kEditedInputType; };
}

void TestSettingsFileCommands::saveThenLoadRestoresEveryByte()
{
    const fs::path file = folder() / "kept.dat";
    const SettingsImage kept = unusualImage();
    SettingsImages &images = m_host->images();
    images.current = kept;

    m_host->scripted().chooseSaveFile(qpath(file));
    QCOMPARE(OnSaveSettings(*m_host), SaveResult::Done);
    QCOMPARE(readBytes(file), settingsFileBytes(kept));
    QCOMPARE(images.saved, kept);
    QCOMPARE(images.sent, SettingsImage::factory());
    QCOMPARE(m_host->scripted().saveDialogFolders(), QStringList{m_dir->path()});

    // Meanwhile the pages show the factory image again; the discard question is answered Yes.
    images.current = SettingsImage::factory();
    images.saved = SettingsImage::factory();
    m_host->scripted().clear();
    SettingsImage shown;
    m_host->distribute = [&shown](const SettingsImage &image) { shown = image; };
    m_host->scripted().chooseOpenFile(qpath(file));
    OnLoadSettings(*m_host);

    QCOMPARE(images.current, kept);
    QCOMPARE(images.saved, kept);
    QCOMPARE(shown, kept);
    QCOMPARE(images.sent, SettingsImage::factory());
    QVERIFY(m_host->scripted().texts().isEmpty());
    QCOMPARE(m_host->scripted().openDialogFolders(), QStringList{m_dir->path()});
    QCOMPARE(m_host->calls().mid(m_host->calls().indexOf("DistributeImage")),
             (QStringList{"DistributeImage", "OnDataCheck", "ShowFirstTab"}));
}

void TestSettingsFileCommands::loadRejectsWhatIsNoSettingsFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<std::string>("bytes");

    const std::string good = settingsFileBytes(unusualImage());
    std::string noNul = good;
    noNul[21] = ' ';
    std::string otherHeader = good;
    otherHeader[4] = 'q';

    QTest::newRow("byte 21 not NUL") << "file" << noNul;
    QTest::newRow("header differs") << "file" << otherHeader;
    QTest::newRow("image one byte short") << "file" << good.substr(0, 281);
    QTest::newRow("header only") << "file" << good.substr(0, 22);
    QTest::newRow("part of the header") << "file" << good.substr(0, 10);
    QTest::newRow("empty") << "file" << std::string();
    QTest::newRow("missing") << "missing" << std::string();
    QTest::newRow("directory") << "directory" << std::string();
    QTest::newRow("fifo") << "fifo" << std::string();
    QTest::newRow("unreadable") << "unreadable" << good;
}

void TestSettingsFileCommands::loadRejectsWhatIsNoSettingsFile()
{
    QFETCH(QString, kind);
    QFETCH(std::string, bytes);

    const fs::path file = folder() / "chosen.dat";
    if (kind == "file" || kind == "unreadable")
        writeBytes(file, bytes);
    if (kind == "directory")
        fs::create_directory(file);
    if (kind == "fifo")
        QCOMPARE(::mkfifo(file.c_str(), 0600), 0);
    if (kind == "unreadable") {
        if (runningAsRoot())
            QSKIP("root reads files whatever their permissions");
        fs::permissions(file, fs::perms::none);
    }

    editOnPages();
    SettingsImage collected = SettingsImage::factory();
    collected[ImageLayout::kInputTypeByte] = kEditedInputType;
    m_host->scripted().answer(Answer::Yes);
    m_host->scripted().chooseOpenFile(qpath(file));
    OnLoadSettings(*m_host);

    QCOMPARE(m_host->scripted().texts(),
             (QStringList{Str::kAskDiscardChanges, Str::kNotASettingsFile}));
    QCOMPARE(m_host->scripted().shown().last().icon, Icon::Warning);
    QCOMPARE(m_host->images().current, collected);
    QCOMPARE(m_host->images().saved, SettingsImage::factory());
    QCOMPARE(m_host->images().sent, SettingsImage::factory());
    QCOMPARE(m_host->calls(), (QStringList{"CollectImage", "ShowFirstTab"}));
}

void TestSettingsFileCommands::loadIgnoresBytesBeyondTheImage()
{
    const fs::path file = folder() / "long.dat";
    writeBytes(file, settingsFileBytes(unusualImage()) + std::string(100, '\x1b'));
    m_host->scripted().chooseOpenFile(qpath(file));
    OnLoadSettings(*m_host);

    QCOMPARE(m_host->images().current, unusualImage());
    QCOMPARE(m_host->images().saved, unusualImage());
    QVERIFY(m_host->scripted().texts().isEmpty());
}

void TestSettingsFileCommands::cancelledOpenDialogStillShowsFirstTab()
{
    OnLoadSettings(*m_host);
    QCOMPARE(m_host->calls(), (QStringList{"CollectImage", "ShowFirstTab"}));
    QCOMPARE(m_host->scripted().openDialogFolders(), QStringList{m_dir->path()});
    QVERIFY(m_host->scripted().texts().isEmpty());
}

void TestSettingsFileCommands::discardQuestionOnlyWhenUnsent_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("openDialogs");
    QTest::addColumn<QStringList>("calls");

    const QStringList asked{Str::kAskDiscardChanges};
    const QStringList shownFirstTab{"CollectImage", "ShowFirstTab"};
    QTest::newRow("unchanged: no question") << false << Answer::No << QStringList() << 1 << shownFirstTab;
    QTest::newRow("changed, Yes") << true << Answer::Yes << asked << 1 << shownFirstTab;
    QTest::newRow("changed, No: tab stays") << true << Answer::No << asked << 0 << QStringList{"CollectImage"};
}

void TestSettingsFileCommands::discardQuestionOnlyWhenUnsent()
{
    QFETCH(bool, edited);
    QFETCH(Answer, answer);
    QFETCH(QStringList, texts);
    QFETCH(int, openDialogs);
    QFETCH(QStringList, calls);

    if (edited)
        editOnPages();
    m_host->scripted().answer(answer);
    OnLoadSettings(*m_host);

    QCOMPARE(m_host->scripted().texts(), texts);
    if (!texts.isEmpty())
        QCOMPARE(m_host->scripted().shown().first().icon, Icon::Warning);
    QCOMPARE(m_host->scripted().openDialogFolders().size(), openDialogs);
    QCOMPARE(m_host->calls(), calls);
}

void TestSettingsFileCommands::saveKeepsTailOfLongerFile()
{
    const fs::path file = folder() / "long.dat";
    const std::string tail(118, 'T');
    writeBytes(file, std::string(282, 'x') + tail);

    editOnPages();
    m_host->scripted().chooseSaveFile(qpath(file));
    QCOMPARE(OnSaveSettings(*m_host), SaveResult::Done);

    SettingsImage collected = SettingsImage::factory();
    collected[ImageLayout::kInputTypeByte] = kEditedInputType;
    QCOMPARE(readBytes(file), settingsFileBytes(collected) + tail);
    QCOMPARE(m_host->images().saved, collected);
    QCOMPARE(m_host->images().sent, SettingsImage::factory());
}

void TestSettingsFileCommands::saveFailureIsReportedAndDone_data()
{
    QTest::addColumn<QString>("target");

    QTest::newRow("full device") << "/dev/full";
    QTest::newRow("a directory") << "$DIR";
    QTest::newRow("missing folder") << "$DIR/none/x.dat";
}

void TestSettingsFileCommands::saveFailureIsReportedAndDone()
{
    QFETCH(QString, target);
    target.replace("$DIR", m_dir->path());

    editOnPages();
    m_host->scripted().chooseSaveFile(target);
    QCOMPARE(OnSaveSettings(*m_host), SaveResult::Done);

    QCOMPARE(m_host->scripted().texts(), QStringList{Str::kSettingsWriteFailed});
    QCOMPARE(m_host->scripted().shown().first().icon, Icon::Error);
    QCOMPARE(m_host->scripted().saveDialogFolders().size(), 1);
    QCOMPARE(m_host->images().saved, SettingsImage::factory());
}

// The bytes don't all arrive: the file size limit stops the write halfway. Nothing of it is left.
void TestSettingsFileCommands::saveReportsFailedWrite()
{
    const fs::path file = folder() / "cut.dat";
    rlimit original{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = 100;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    editOnPages();
    m_host->scripted().chooseSaveFile(qpath(file));
    const SaveResult result = OnSaveSettings(*m_host);

    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(result, SaveResult::Done);
    QVERIFY(fs::is_empty(folder()));
    QCOMPARE(m_host->scripted().texts(), QStringList{Str::kSettingsWriteFailed});
    QCOMPARE(m_host->scripted().shown().first().icon, Icon::Error);
    QCOMPARE(m_host->images().saved, SettingsImage::factory());
}

void TestSettingsFileCommands::accessDeniedAsksAgain_data()
{
    QTest::addColumn<QString>("refused");  // "file", "folder", or "link" to another user's file
    QTest::addColumn<bool>("chooseAgain");

    QTest::newRow("read-only file, another file chosen") << "file" << true;
    QTest::newRow("read-only file, then cancelled") << "file" << false;
    QTest::newRow("read-only folder, another file chosen") << "folder" << true;
    QTest::newRow("link to another user's file, then cancelled") << "link" << false;
}

// The message names the refused file in its details.
void TestSettingsFileCommands::accessDeniedAsksAgain()
{
    QFETCH(QString, refused);
    QFETCH(bool, chooseAgain);

    const fs::path lockedFolder = folder() / "locked";
    fs::create_directory(lockedFolder);
    const fs::path locked = lockedFolder / "locked.dat";
    const std::string lockedBytes(300, 'L');
    std::unique_ptr<WriteRefusal> refusal;
    if (refused == "link") {
        if (!runningAsRoot())
            QSKIP("only root can make a file of another user");
        writeBytes(folder() / "theirs.dat", lockedBytes);
        QCOMPARE(::chown((folder() / "theirs.dat").c_str(), 65534, 65534), 0);
        fs::create_symlink(folder() / "theirs.dat", locked);
    } else {
        if (refused == "file")
            writeBytes(locked, lockedBytes);
        refusal = std::make_unique<WriteRefusal>(refused == "folder" ? lockedFolder : locked);
        if (!refusal->ok())
            QSKIP("this process can't make a file refuse writing");
    }

    const fs::path other = folder() / "other.dat";
    editOnPages();
    m_host->scripted().chooseSaveFile(qpath(locked));
    if (chooseAgain)
        m_host->scripted().chooseSaveFile(qpath(other));
    const SaveResult result = OnSaveSettings(*m_host);

    QCOMPARE(m_host->scripted().texts(), QStringList{Str::kSettingsWriteFailed});
    QCOMPARE(m_host->scripted().shown().first().icon, Icon::Error);
    QCOMPARE(m_host->scripted().shown().first().details, qpath(locked));
    QCOMPARE(m_host->scripted().saveDialogFolders(), (QStringList{m_dir->path(), m_dir->path()}));
    if (refused == "folder")
        QVERIFY(!fs::exists(locked));
    else
        QCOMPARE(readBytes(locked), lockedBytes);
    QCOMPARE(fs::is_symlink(locked), refused == "link");

    SettingsImage collected = SettingsImage::factory();
    collected[ImageLayout::kInputTypeByte] = kEditedInputType;
    QCOMPARE(result, chooseAgain ? SaveResult::Done : SaveResult::Cancelled);
    QCOMPARE(fs::exists(other), chooseAgain);
    QCOMPARE(m_host->images().saved, chooseAgain ? collected : SettingsImage::factory());
}

void TestSettingsFileCommands::cancelledSaveDialog()
{
    editOnPages();
    QCOMPARE(OnSaveSettings(*m_host), SaveResult::Cancelled);
    QCOMPARE(m_host->calls(), QStringList{"CollectImage"});
    QVERIFY(m_host->scripted().texts().isEmpty());
    QCOMPARE(m_host->images().saved, SettingsImage::factory());
    QVERIFY(fs::is_empty(folder()));
}

// Another program holds the file's lock, and writes the file before it lets go: the save comes
// after it, so the file holds what the user saved.
void TestSettingsFileCommands::saveWaitsForAnotherWriter()
{
    const fs::path file = folder() / "shared.dat";
    writeBytes(file, settingsFileBytes(SettingsImage::factory()));
    std::atomic<int> lockState = -1;
    std::thread writer([&] {
        const SettingsFileLock lock(file);
        lockState = int(lock.state());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        SettingsFile::write(file, unusualImage());
    });
    while (lockState == -1)
        std::this_thread::yield();
    QCOMPARE(lockState, int(SettingsFileLock::State::Held));

    editOnPages();
    m_host->scripted().chooseSaveFile(qpath(file));
    const SaveResult result = OnSaveSettings(*m_host);
    writer.join();

    QCOMPARE(result, SaveResult::Done);
    QCOMPARE(readBytes(file), settingsFileBytes(m_host->images().saved));
    QVERIFY(m_host->scripted().texts().isEmpty());
}

QTEST_GUILESS_MAIN(TestSettingsFileCommands)
#include "tst_SettingsFileCommands.moc"
