// The ledger's digest against published vectors, and its file: whole lines when programs append
// at once, and a line cut short by a crash that spoils no later one.
#include "ledger/LedgerFile.h"
#include "ledger/Sha256.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

}  // namespace

class TestLedger : public QObject
{
    Q_OBJECT

private slots:
    void sha256MatchesKnownVectors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("digest");
        // FIPS 180-4 examples and the lengths around the padding's block boundary.
        QTest::newRow("empty") << QByteArray() << "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
        QTest::newRow("abc") << QByteArray("abc") << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
        QTest::newRow("448 bits") << QByteArray("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
                                  << "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
        QTest::newRow("896 bits")
            << QByteArray("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
                          "mnopqrstnopqrstu")
            << "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1";
        QTest::newRow("a million a") << QByteArray(1000000, 'a')
                                     << "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
        QTest::newRow("55 bytes") << QByteArray(55, 'a') << "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318";
        QTest::newRow("56 bytes") << QByteArray(56, 'a') << "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a";
        QTest::newRow("64 bytes") << QByteArray(64, 'a') << "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb";
    }

    void sha256MatchesKnownVectors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, digest);
        QCOMPARE(QString::fromStdString(Sha256::hexOf(std::string_view(bytes.constData(), std::size_t(bytes.size())))),
                 digest);
    }

    // What a file holds after one more line, and what a reader makes of it.
    void aCutLineSpoilsNoOther_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("no file") << QByteArray() << QByteArray("{\"n\": 2}\n") << QStringList{"{\"n\": 2}"};
        QTest::newRow("whole lines") << QByteArray("{\"n\": 1}\n") << QByteArray("{\"n\": 1}\n{\"n\": 2}\n")
                                     << QStringList{"{\"n\": 1}", "{\"n\": 2}"};
        QTest::newRow("cut last line") << QByteArray("{\"n\": 1}\n{\"n\"") << QByteArray("{\"n\": 1}\n{\"n\"\n{\"n\": 2}\n")
                                       << QStringList{"{\"n\": 1}", "{\"n\"", "{\"n\": 2}"};
    }

    void aCutLineSpoilsNoOther()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, lines);
        const std::string path = m_dir.filePath("cut/sent.jsonl").toStdString();
        std::filesystem::remove(path);
        if (!before.isEmpty()) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            writeFile(path, before.toStdString());
            const LedgerFile::Contents cut = LedgerFile::read(path);
            QCOMPARE(int(cut.warnings.size()), before.endsWith('\n') ? 0 : 1);  // the cut line is not read
        }
        QCOMPARE(LedgerFile::append(path, "{\"n\": 2}"), std::nullopt);
        QCOMPARE(QByteArray::fromStdString(readFile(path)), after);
        const LedgerFile::Contents contents = LedgerFile::read(path);
        QStringList read;
        for (const std::string &line : contents.lines)
            read << QString::fromStdString(line);
        QCOMPARE(read, lines);  // the cut line alone is no record: the command line skips it
        QVERIFY(contents.warnings.empty());
        if (before.isEmpty()) {  // the folder was made for the user alone
            const auto made = std::filesystem::status(std::filesystem::path(path).parent_path()).permissions();
            QCOMPARE(made & std::filesystem::perms::all, std::filesystem::perms::owner_all);
        }
    }

    // Two programs appending at once: every line whole, none lost.
    void twoProcessesAppendWholeLines()
    {
        const std::string path = m_dir.filePath("shared.jsonl").toStdString();
        const int kLines = 500;
        std::vector<pid_t> children;
        for (const char mark : {'a', 'b'}) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int i = 0; i < kLines; ++i) {
                    // Long lines, so that a write without the lock's care would be seen torn.
                    const std::string line = std::string(1, mark) + std::to_string(i) + std::string(8000, mark);
                    if (LedgerFile::append(path, line))
                        ::_exit(1);
                }
                ::_exit(0);
            }
            children.push_back(child);
        }
        for (const pid_t child : children) {
            int status = -1;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const LedgerFile::Contents contents = LedgerFile::read(path);
        QCOMPARE(contents.lines.size(), std::size_t(2 * kLines));
        QVERIFY(contents.warnings.empty());
        std::map<char, int> next{{'a', 0}, {'b', 0}};
        for (const std::string &line : contents.lines) {
            const char mark = line.front();
            const std::string expected = std::string(1, mark) + std::to_string(next[mark]++) + std::string(8000, mark);
            QCOMPARE(line, expected);  // whole, and each program's lines in its own order
        }
        QCOMPARE(next['a'], kLines);
        QCOMPARE(next['b'], kLines);
    }

    void aLedgerThatCantBeWrittenSaysWhy_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("full disk") << QStringLiteral("/dev/full");
        QTest::newRow("no folder can be made") << QStringLiteral("/proc/self/no-such/sent.jsonl");
    }

    void aLedgerThatCantBeWrittenSaysWhy()
    {
        QFETCH(QString, path);
        const std::optional<std::string> failure = LedgerFile::append(path.toStdString(), "{}");
        QVERIFY(failure);
        QVERIFY(!failure->empty());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestLedger)
#include "tst_ledger.moc"
