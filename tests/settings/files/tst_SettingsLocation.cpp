// Where "setting" is read from and written to: the user's file or the one beside the program,
// decided from what exists and what this user may write; and folders whose names are not UTF-8
// or are longer than one system call takes.
#include "AutoSettings.h"
#include "FileFixtures.h"
#include "SettingsLocation.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace FileFixtures;
namespace fs = std::filesystem;

namespace {

SettingsImage imageWith(char mark)
{
    SettingsImage image = SettingsImage::factory();
    image[46] = mark;
    return image;
}

// Makes `base`/d.../d... until the path is at least `length` bytes long, one folder at a time
// (no single call could take the whole path).
fs::path makeDeepFolder(const fs::path &base, std::size_t length)
{
    const fs::path start = fs::current_path();
    fs::current_path(base);
    fs::path deep = base;
    const std::string name(200, 'd');
    while (deep.native().size() < length) {
        fs::create_directory(name);
        fs::current_path(name);
        deep /= name;
    }
    fs::current_path(start);
    return deep;
}

// Removes `folder` and everything in it one folder at a time, whatever the length of the paths.
void removeNested(const fs::path &folder)
{
    fs::current_path(folder);
    for (const fs::directory_entry &entry : fs::directory_iterator(".")) {
        if (entry.is_directory() && !entry.is_symlink())
            removeNested(entry.path().filename());
        else
            fs::remove(entry.path());
    }
    fs::current_path("..");
    fs::remove(folder);
}

// The bytes of `name` in `folder`, reached one folder at a time.
std::string readInFolder(const fs::path &folder, const std::string &name)
{
    const fs::path start = fs::current_path();
    fs::current_path("/");
    for (const fs::path &step : folder.relative_path())
        fs::current_path(step);
    std::string bytes = readBytes(name);
    fs::current_path(start);
    return bytes;
}

}  // namespace

class TestSettingsLocation : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        fs::create_directory(program());
        fs::create_directory(user());
    }

    void cleanup()
    {
        m_refusal.reset();
        const fs::path start = fs::current_path();
        removeNested(m_dir->path().toStdString());
        fs::current_path(start);
        m_dir.reset();
    }

    void decision_data()
    {
        QTest::addColumn<QString>("programFile");  // "", "file", "read-only file", "link", "folder"
        QTest::addColumn<bool>("programFolderWritable");
        QTest::addColumn<bool>("userFile");
        QTest::addColumn<QString>("reads");   // "program" or "user"
        QTest::addColumn<QString>("writes");
        QTest::newRow("nothing yet") << "" << true << false << "program" << "program";
        QTest::newRow("portable copy") << "file" << true << false << "program" << "program";
        QTest::newRow("file shipped read-only") << "read-only file" << true << false << "program" << "user";
        QTest::newRow("installed, no file") << "" << false << false << "program" << "user";
        QTest::newRow("installed, file shipped") << "file" << false << false << "program" << "user";
        QTest::newRow("user's file and a portable copy") << "file" << true << true << "user" << "user";
        QTest::newRow("user's file, installed") << "file" << false << true << "user" << "user";
        QTest::newRow("link beside the program") << "link" << true << false << "program" << "program";
        QTest::newRow("folder named setting") << "folder" << true << false << "program" << "user";
    }

    // The next start always reads what the last exit wrote.
    void decision()
    {
        QFETCH(QString, programFile);
        QFETCH(bool, programFolderWritable);
        QFETCH(bool, userFile);
        QFETCH(QString, reads);
        QFETCH(QString, writes);
        const fs::path beside = program() / "setting";
        if (programFile == "file" || programFile == "read-only file")
            writeBytes(beside, settingsFileBytes(imageWith('P')));
        if (programFile == "link")
            fs::create_symlink(m_dir->path().toStdString() + "/nowhere", beside);
        if (programFile == "folder")
            fs::create_directory(beside);
        if (userFile)
            writeBytes(user() / "setting", settingsFileBytes(imageWith('U')));
        if (programFile == "read-only file")
            m_refusal = std::make_unique<WriteRefusal>(beside);
        if (!programFolderWritable)
            m_refusal = std::make_unique<WriteRefusal>(program());
        if (m_refusal && !m_refusal->ok())
            QSKIP("this process can't make a file refuse writing");

        const SettingsLocation location(program(), user());
        const auto place = [&](const QString &which) { return (which == "user" ? user() : program()) / "setting"; };
        QCOMPARE(location.readPath(), place(reads));
        QCOMPARE(location.writePath(), place(writes));
        QCOMPARE(location.prepareWriteFolder(), place(writes).parent_path());

        // And the write lands there, where the next read finds it.
        const AutoSettings::WriteOutcome outcome = AutoSettings::write(location, imageWith('W'));
        QVERIFY(outcome.written);
        QCOMPARE(outcome.file, place(writes));
        QVERIFY(AutoSettings::read(location) == imageWith('W'));
    }

    // The first write to the user's folder (or the first file dialog) makes it.
    void writeMakesTheUserFolder()
    {
        fs::remove(user());
        m_refusal = std::make_unique<WriteRefusal>(program());
        if (!m_refusal->ok())
            QSKIP("this process can't make a folder refuse writing");
        const fs::path userFolder = user() / "sbq740";
        const SettingsLocation location(program(), userFolder);
        QVERIFY(!fs::exists(user()));

        QCOMPARE(location.prepareWriteFolder(), userFolder);
        QCOMPARE(fs::status(userFolder).permissions(), fs::perms::owner_all);
        fs::remove_all(user());
        QVERIFY(AutoSettings::write(location, imageWith('W')).written);

        QCOMPARE(fs::status(userFolder).permissions(), fs::perms::owner_all);
        QCOMPARE(readBytes(userFolder / "setting"), settingsFileBytes(imageWith('W')));
    }

    void unusualFolderNames_data()
    {
        QTest::addColumn<QByteArray>("name");  // a folder name, or "" for one far too long
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe-\x82\xa0 folder");
        QTest::newRow("longer than 4096 bytes") << QByteArray();
    }

    // Read and written with the path's bytes as they stand, beside the program.
    void unusualFolderNames()
    {
        QFETCH(QByteArray, name);
        const fs::path base = m_dir->path().toStdString();
        fs::path folder;
        if (name.isEmpty()) {
            folder = makeDeepFolder(base, 5000);
        } else {
            folder = base / name.toStdString();
            fs::create_directory(folder);
        }
        writeBytes(base / "shipped", settingsFileBytes(imageWith('S')));
        const std::string shipped = readBytes(base / "shipped");
        const SettingsLocation location(folder, user());
        QVERIFY(AutoSettings::read(location) == SettingsImage::factory());

        QVERIFY(AutoSettings::write(location, imageWith('S')).written);

        QCOMPARE(readInFolder(folder, "setting"), shipped);
        QVERIFY(AutoSettings::read(location) == imageWith('S'));
        QVERIFY(!fs::exists(user() / "setting"));
    }

private:
    fs::path program() const { return m_dir->path().toStdString() + "/program"; }
    fs::path user() const { return m_dir->path().toStdString() + "/config"; }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WriteRefusal> m_refusal;
};

QTEST_GUILESS_MAIN(TestSettingsLocation)
#include "tst_SettingsLocation.moc"
