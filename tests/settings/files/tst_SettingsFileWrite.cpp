// Writing a settings file as a whole: a write cut short by a crash or a failure leaves the old
// file whole, a link at the target is replaced and never followed, and the old file's tail,
// owner and permissions carry over.
#include "AutoSettings.h"
#include "FileFixtures.h"
#include "SettingsFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <iterator>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace FileFixtures;
using WriteResult = SettingsFile::WriteResult;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(SettingsFile::WriteResult)

namespace {

constexpr uid_t kNobody = 65534;

SettingsImage editedImage()
{
    SettingsImage image = SettingsImage::factory();
    image[0] = 'x';   // lands at file offset 22
    image[46] = 'F';  // and 68
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

}  // namespace

class TestSettingsFileWrite : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_elsewhere = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid() && m_elsewhere->isValid());
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
        const fs::path file = folder() / "setting";
        const std::string old = settingsFileBytes(unusualImage()) + std::string(100, 'T');
        writeBytes(file, old);

        const int result = writeLimited(file, editedImage(), rlim_t(limit), crash);

        QCOMPARE(result, crash ? -1 : int(WriteResult::WriteFailed));
        QCOMPARE(readBytes(file), old);
        if (!crash)
            QCOMPARE(entriesIn(folder()), 1);  // nothing new left beside it
        QVERIFY(AutoSettings::read(folder()) == unusualImage());
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
        const fs::path target = elsewhere() / "victim";
        const std::string victim = settingsFileBytes(unusualImage()) + "victim's own tail";
        if (!dangling)
            writeBytes(target, victim);
        fs::create_symlink(target, AutoSettings::path(folder()));

        QCOMPARE(SettingsFile::write(AutoSettings::path(folder()), editedImage()), WriteResult::Written);

        QVERIFY(fs::is_regular_file(fs::symlink_status(AutoSettings::path(folder()))));
        QCOMPARE(readBytes(AutoSettings::path(folder())), settingsFileBytes(editedImage()));
        QCOMPARE(fs::exists(target), !dangling);
        if (!dangling)
            QCOMPARE(readBytes(target), victim);
        QCOMPARE(entriesIn(folder()), 1);
    }

    void oldFileTailOwnerAndModeCarryOver()
    {
        const fs::path file = folder() / "kept.dat";
        const std::string tail = "bytes beyond the image";
        writeBytes(file, std::string(282, 'x') + tail);
        fs::permissions(file, fs::perms(0640));
        const bool root = runningAsRoot();
        if (root)
            QCOMPARE(::chown(file.c_str(), kNobody, kNobody), 0);

        QCOMPARE(SettingsFile::write(file, editedImage()), WriteResult::Written);

        QCOMPARE(readBytes(file), settingsFileBytes(editedImage()) + tail);
        struct stat info {};
        QCOMPARE(::stat(file.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QCOMPARE(info.st_uid, root ? kNobody : ::geteuid());
        QCOMPARE(entriesIn(folder()), 1);
    }

    void whatIsNoFileIsRefused_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<WriteResult>("result");
        QTest::newRow("a device") << "/dev/null" << WriteResult::OpenFailed;
        QTest::newRow("a folder") << "$DIR/folder" << WriteResult::OpenFailed;
        QTest::newRow("missing folder") << "$DIR/none/x.dat" << WriteResult::OpenFailed;
    }

    // Nothing is put in place of a device or a folder, and nothing is left beside them.
    void whatIsNoFileIsRefused()
    {
        QFETCH(QString, target);
        QFETCH(WriteResult, result);
        fs::create_directory(folder() / "folder");
        target.replace("$DIR", m_dir->path());
        const fs::path path = target.toStdString();
        const auto before = fs::status(path).type();

        QCOMPARE(SettingsFile::write(path, editedImage()), result);

        QCOMPARE(fs::status(path).type(), before);
        QCOMPARE(entriesIn(folder()), 1);
    }

private:
    fs::path folder() const { return m_dir->path().toStdString(); }
    fs::path elsewhere() const { return m_elsewhere->path().toStdString(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_elsewhere;
};

QTEST_GUILESS_MAIN(TestSettingsFileWrite)
#include "tst_SettingsFileWrite.moc"
