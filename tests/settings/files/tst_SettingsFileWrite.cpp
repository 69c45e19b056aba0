// Writing settings files and "setting": a write cut short by a crash or a failure leaves the old
// file whole, a link at the target is replaced and never followed, the old file's owner and
// permissions carry over; and where "setting" is read and written, with folders whose names are
// not UTF-8 or are longer than one system call takes.
#include "FileFixtures.h"
#include "settings/AutoSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <iterator>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace FileFixtures;
using WriteResult = SettingsFile::WriteResult;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

// The factory image with a mark in the first record, at file offsets 22 and 68.
SettingsImage edited(char mark = 'F')
{
    SettingsImage image = SettingsImage::factory();
    image[0] = 'x';
    image[46] = mark;
    return image;
}

int entriesIn(const fs::path &folder)
{
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Writes with the file size limited to `limit` bytes; a child that the limit's signal kills when
// `crash`, this process ignoring the signal otherwise. The write's result, or -1 for a crash.
int writeLimited(const fs::path &file, const SettingsImage &image, rlim_t limit, bool crash)
{
    const auto limited = [&] {
        rlimit size{};
        ::getrlimit(RLIMIT_FSIZE, &size);
        const rlimit original = size;
        size.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &size);
        const int result = int(SettingsFile::write(file, image));
        ::setrlimit(RLIMIT_FSIZE, &original);
        return result;
    };
    if (!crash) {
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        const int result = limited();
        std::signal(SIGXFSZ, previous);
        return result;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        limited();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ ? -1 : -2;
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

class TestSettingsFileWrite : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        fs::create_directory(program());
    }

    void cleanup()
    {
        m_refusal.reset();
        const fs::path start = fs::current_path();
        removeNested(folder());
        fs::current_path(start);
        m_dir.reset();
    }

    void interruptedWriteLeavesOldFileWhole_data()
    {
        QTest::addColumn<int>("limit");  // file size the write may reach
        QTest::addColumn<bool>("crash");
        QTest::newRow("fails in the image") << 100 << false;
        QTest::newRow("fails in the tail") << 300 << false;
        QTest::newRow("killed in the image") << 100 << true;
        QTest::newRow("killed in the tail") << 300 << true;
    }

    void interruptedWriteLeavesOldFileWhole()
    {
        QFETCH(int, limit);
        QFETCH(bool, crash);
        const fs::path file = program() / "setting";
        const std::string old = settingsFileBytes(unusualImage()) + std::string(100, 'T');
        writeBytes(file, old);

        const int result = writeLimited(file, edited(), rlim_t(limit), crash);

        QCOMPARE(result, crash ? -1 : int(WriteResult::WriteFailed));
        QCOMPARE(readBytes(file), old);
        QCOMPARE(entriesIn(program()), crash ? 2 : 1);  // only a killed writer leaves its new file
        QVERIFY(AutoSettings::read(program()) == unusualImage());

        // The next write removes what the killed one left.
        QCOMPARE(SettingsFile::write(file, edited()), WriteResult::Written);
        QCOMPARE(entriesIn(program()), 1);
    }

    void leftoversOfOthersStay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");  // "file", "held" (its writer lives), "foreign", "link", "folder"
        QTest::addColumn<bool>("removed");
        QTest::newRow("a killed writer's") << ".f.dat.123.new" << "file" << true;
        QTest::newRow("a live writer's") << ".f.dat.123.new" << "held" << false;
        QTest::newRow("another user's") << ".f.dat.123.new" << "foreign" << false;
        QTest::newRow("a link") << ".f.dat.123.new" << "link" << false;
        QTest::newRow("a folder") << ".f.dat.123.new" << "folder" << false;
        QTest::newRow("another file's") << ".g.dat.123.new" << "file" << false;
        QTest::newRow("not our name") << ".f.dat.12a.new" << "file" << false;
        QTest::newRow("not our name either") << ".f.dat..new" << "file" << false;
    }

    // Only new files of our own making whose writer is gone are removed.
    void leftoversOfOthersStay()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        const fs::path leftover = program() / name.toStdString();
        if (kind == "link")
            fs::create_symlink(folder() / "elsewhere", leftover);
        else if (kind == "folder")
            fs::create_directory(leftover);
        else
            writeBytes(leftover, "half");
        if (kind == "foreign") {
            if (!runningAsRoot())
                QSKIP("only root can make a file of another user");
            QCOMPARE(::chown(leftover.c_str(), kNobody, kNobody), 0);
        }
        const int held = kind == "held" ? ::open(leftover.c_str(), O_RDONLY | O_CLOEXEC) : -1;
        if (kind == "held")
            QCOMPARE(::flock(held, LOCK_EX), 0);

        QCOMPARE(SettingsFile::write(program() / "f.dat", edited()), WriteResult::Written);

        if (held >= 0)
            ::close(held);
        QCOMPARE(fs::exists(fs::symlink_status(leftover)), !removed);
    }

    void linkAtTargetIsReplaced_data()
    {
        QTest::addColumn<bool>("dangling");
        QTest::newRow("link to a file") << false;
        QTest::newRow("dangling link") << true;
    }

    // Whoever could put a link there can't make this write land on the link's target.
    void linkAtTargetIsReplaced()
    {
        QFETCH(bool, dangling);
        const fs::path target = folder() / "victim";
        const std::string victim = settingsFileBytes(unusualImage()) + "victim's own tail";
        if (!dangling)
            writeBytes(target, victim);
        fs::create_symlink(target, AutoSettings::path(program()));

        QCOMPARE(SettingsFile::write(AutoSettings::path(program()), edited(), SettingsFile::Links::Replace),
                 WriteResult::Written);

        QVERIFY(fs::is_regular_file(fs::symlink_status(AutoSettings::path(program()))));
        QCOMPARE(readBytes(AutoSettings::path(program())), settingsFileBytes(edited()));
        QCOMPARE(fs::exists(target), !dangling);
        if (!dangling)
            QCOMPARE(readBytes(target), victim);
        QCOMPARE(entriesIn(program()), 1);
    }

    void linkTheUserNamed_data()
    {
        QTest::addColumn<QString>("link");      // what the named file links to, from `program()`
        QTest::addColumn<QString>("foreign");   // "", "file" or "folder": made another user's
        QTest::addColumn<int>("result");
        QTest::newRow("own file") << "../shared/team.dat" << "" << int(WriteResult::Written);
        QTest::newRow("own file, by an absolute path") << "$DIR/shared/team.dat" << "" << int(WriteResult::Written);
        QTest::newRow("own file, through a second link") << "hop.dat" << "" << int(WriteResult::Written);
        QTest::newRow("nothing there") << "../shared/none.dat" << "" << int(WriteResult::OpenFailed);
        QTest::newRow("a folder") << "../shared" << "" << int(WriteResult::OpenFailed);
        QTest::newRow("another user's file") << "../shared/team.dat" << "file" << int(WriteResult::AccessDenied);
        QTest::newRow("own file in another user's folder") << "../shared/team.dat" << "folder"
                                                            << int(WriteResult::AccessDenied);
    }

    // A file the user named that links to the user's own file is written where the link points,
    // and stays a link (a file shared through links stays shared); any other link is refused and
    // everything stays as it was.
    void linkTheUserNamed()
    {
        QFETCH(QString, link);
        QFETCH(QString, foreign);
        QFETCH(int, result);
        const fs::path shared = folder() / "shared";
        const fs::path target = shared / "team.dat";
        fs::create_directory(shared);
        const std::string old = settingsFileBytes(unusualImage()) + "team's tail";
        writeBytes(target, old);
        fs::create_symlink("../shared/team.dat", program() / "hop.dat");
        const fs::path named = program() / "mine.dat";
        fs::create_symlink(link.replace("$DIR", QString::fromStdString(folder().native())).toStdString(), named);
        if (!foreign.isEmpty()) {
            if (!runningAsRoot())
                QSKIP("only root can make a file of another user");
            QCOMPARE(::chown((foreign == "file" ? target : shared).c_str(), kNobody, kNobody), 0);
        }

        QCOMPARE(int(SettingsFile::write(named, edited())), result);

        QVERIFY(fs::is_symlink(named));
        const bool written = result == int(WriteResult::Written);
        QCOMPARE(readBytes(target), written ? settingsFileBytes(edited()) + "team's tail" : old);
        QCOMPARE(entriesIn(shared), 1);
        QCOMPARE(entriesIn(program()), 2);
    }

    void oldFileTailOwnerAndModeCarryOver()
    {
        const fs::path file = program() / "kept.dat";
        const std::string tail = "bytes beyond the image";
        writeBytes(file, std::string(282, 'x') + tail);
        fs::permissions(file, fs::perms(0640));
        const bool root = runningAsRoot();
        if (root)
            QCOMPARE(::chown(file.c_str(), kNobody, kNobody), 0);

        QCOMPARE(SettingsFile::write(file, edited()), WriteResult::Written);

        QCOMPARE(readBytes(file), settingsFileBytes(edited()) + tail);
        struct stat info {};
        QCOMPARE(::stat(file.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QCOMPARE(info.st_uid, root ? kNobody : ::geteuid());
        QCOMPARE(entriesIn(program()), 1);
    }

    void decision_data()
    {
        QTest::addColumn<QString>("programFile");  // "", "file", "read-only file", "link", "folder"
        QTest::addColumn<bool>("programFolderWritable");
        QTest::addColumn<bool>("userFile");
        QTest::addColumn<QString>("reads");   // "program" or "user"
        QTest::addColumn<QString>("writes");
        QTest::addColumn<bool>("installed");  // beside the system's share/sbq740 (root may write there)
        QTest::newRow("nothing yet") << "" << true << false << "program" << "program" << false;
        QTest::newRow("portable copy") << "file" << true << false << "program" << "program" << false;
        QTest::newRow("file shipped read-only") << "read-only file" << true << false << "program" << "user" << false;
        QTest::newRow("installed, no file") << "" << false << false << "program" << "user" << false;
        QTest::newRow("installed, file shipped") << "file" << false << false << "program" << "user" << false;
        QTest::newRow("user's file and a portable copy") << "file" << true << true << "user" << "user" << false;
        QTest::newRow("user's file, installed") << "file" << false << true << "user" << "user" << false;
        QTest::newRow("link beside the program") << "link" << true << false << "program" << "program" << false;
        QTest::newRow("folder named setting") << "folder" << true << false << "program" << "user" << false;
        QTest::newRow("installed, run by one who may write there") << "file" << true << false << "program" << "user"
                                                                 << true;
    }

    // The next start always reads what the last exit wrote. The user's folder exists only
    // where the user has a file.
    void decision()
    {
        QFETCH(QString, programFile);
        QFETCH(bool, programFolderWritable);
        QFETCH(bool, userFile);
        QFETCH(QString, reads);
        QFETCH(QString, writes);
        QFETCH(bool, installed);
        const fs::path beside = program() / "setting";
        if (programFile == "file" || programFile == "read-only file")
            writeBytes(beside, settingsFileBytes(edited('P')));
        if (programFile == "link")
            fs::create_symlink(m_dir->path().toStdString() + "/nowhere", beside);
        if (programFile == "folder")
            fs::create_directory(beside);
        if (userFile) {
            fs::create_directory(user());
            writeBytes(user() / "setting", settingsFileBytes(edited('U')));
        }
        if (programFile == "read-only file")
            m_refusal = std::make_unique<WriteRefusal>(beside);
        if (!programFolderWritable)
            m_refusal = std::make_unique<WriteRefusal>(program());
        if (m_refusal && !m_refusal->ok())
            QSKIP("this process can't make a file refuse writing");

        const SettingsLocation location(program(), user(), !installed);
        const auto place = [&](const QString &which) { return (which == "user" ? user() : program()) / "setting"; };
        QCOMPARE(location.readPath(), place(reads));
        QCOMPARE(location.writePath(), place(writes));
        // The dialogs start there; the user's folder is made for them (or the write) when missing.
        QCOMPARE(location.prepareWriteFolder(), place(writes).parent_path());
        if (writes == "user" && !userFile)
            QCOMPARE(fs::status(user()).permissions(), fs::perms::owner_all);

        // And the write lands there, where the next read finds it.
        const AutoSettings::WriteOutcome outcome = AutoSettings::write(location, edited('W'));
        QVERIFY(outcome.written);
        QCOMPARE(outcome.file, place(writes));
        QVERIFY(AutoSettings::read(location) == edited('W'));
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
        const SettingsLocation location(folder, user());
        QVERIFY(AutoSettings::read(location) == SettingsImage::factory());

        QVERIFY(AutoSettings::write(location, edited('S')).written);

        QCOMPARE(readInFolder(folder, "setting"), settingsFileBytes(edited('S')));
        QVERIFY(AutoSettings::read(location) == edited('S'));
        QVERIFY(!fs::exists(user() / "setting"));
    }

private:
    fs::path folder() const { return m_dir->path().toStdString(); }
    fs::path program() const { return folder() / "program"; }
    fs::path user() const { return folder() / "config"; }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WriteRefusal> m_refusal;
};

QTEST_GUILESS_MAIN(TestSettingsFileWrite)
#include "tst_SettingsFileWrite.moc"
