// sbq740-cli's command line and commands against an in-memory spooler: what is refused, what is
// sent where, and what the operator reads.
#include "Arguments.h"
#include "Cli.h"
#include "FakeSpooler.h"
#include "HeadCheckJob.h"
#include "SettingsFile.h"
#include "SettingsJob.h"
#include "Strings.h"

#include <QTemporaryDir>
#include <QTest>

#include <sstream>

Q_DECLARE_METATYPE(SettingsJob::Group)

namespace {

constexpr int kUsage = 64;

std::vector<std::string> toStrings(const QStringList &list)
{
    std::vector<std::string> strings;
    for (const QString &item : list)
        strings.push_back(item.toStdString());
    return strings;
}

QStringList toQStrings(const std::vector<std::string> &strings)
{
    QStringList list;
    for (const std::string &item : strings)
        list << QString::fromStdString(item);
    return list;
}

QStringList lines(const std::string &text)
{
    return QString::fromStdString(text).split(u'\n', Qt::SkipEmptyParts);
}

struct Run
{
    int code;
    std::string out;
    std::string err;
};

SettingsImage withBytes(std::size_t offset, std::string_view bytes)
{
    SettingsImage image = SettingsImage::factory();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        image[offset + i] = bytes[i];
    return image;
}

}  // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    Run run(const QStringList &arguments)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int code = runCli(toStrings(arguments), m_spooler, out, err);
        return {code, out.str(), err.str()};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(SettingsFile::write(path("factory.dat").toStdString(), SettingsImage::factory()),
                 SettingsFile::WriteResult::Written);
        QCOMPARE(SettingsFile::write(path("offgrid.dat").toStdString(), withBytes(15, "+13")),
                 SettingsFile::WriteResult::Written);
        QCOMPARE(SettingsFile::write(path("damaged.dat").toStdString(), withBytes(216, "\n")),
                 SettingsFile::WriteResult::Written);
        QFile text(path("notes.dat"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(300, 'x'));
    }

    void init()
    {
        m_spooler = FakeSpooler();
        m_spooler.addPrinter("Beta", "socket://127.0.0.1:9100");
        m_spooler.addPrinter("alpha", "usb://QAV/740Q2");
        m_spooler.addPrinter("FileOne", "FILE:");
        m_spooler.addPrinter("Other", "socket://127.0.0.1:9101", "QAV Quillotron 740Q3");
        m_spooler.addPrinter("Locked", "socket://127.0.0.1:9102", "QAV Quillotron 740Q2", false);
    }

    void commandLineRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");

        QTest::newRow("unknown command") << QStringList{"status"} << "unknown command 'status'";
        QTest::newRow("unknown global option") << QStringList{"--verbose"} << "unknown option '--verbose'";
        QTest::newRow("unknown option") << QStringList{"show", "--all", "a.dat"} << "unknown option '--all' for 'show'";
        QTest::newRow("json where it has no meaning") << QStringList{"diff", "--json", "a", "b"}
                                                      << "unknown option '--json' for 'diff'";
        QTest::newRow("yes outside send") << QStringList{"headcheck", "--yes", "--printer", "P"}
                                          << "unknown option '--yes' for 'headcheck'";
        QTest::newRow("value for a flag") << QStringList{"show", "--json=1", "a.dat"} << "option '--json' takes no value";
        QTest::newRow("show without file") << QStringList{"show"} << "'show' needs a settings file";
        QTest::newRow("show with two files") << QStringList{"show", "a.dat", "b.dat"}
                                             << "too many arguments for 'show': 'b.dat'";
        QTest::newRow("send without group") << QStringList{"send", "--printer", "P", "a.dat"} << "'send' needs --group";
        QTest::newRow("unknown group") << QStringList{"send", "--group", "all", "--printer", "P", "a.dat"}
                                       << "unknown group 'all'";
        QTest::newRow("group at the end") << QStringList{"send", "--printer", "P", "a.dat", "--group"}
                                          << "option '--group' needs a value";
        QTest::newRow("group twice") << QStringList{"send", "--group", "ip", "--group=fine", "--printer", "P", "a.dat"}
                                     << "option '--group' given more than once";
        QTest::newRow("send without printer") << QStringList{"send", "--group", "fine", "a.dat"}
                                              << "'send' needs at least one --printer NAME";
        QTest::newRow("empty printer name") << QStringList{"headcheck", "--printer="} << "option '--printer' needs a printer name";
        QTest::newRow("help for nothing") << QStringList{"help", "status"} << "'help' takes one command name";
    }

    // A wrong command line sends nothing, names what is wrong and exits with the usage code.
    void commandLineRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const Run result = run(arguments);
        QCOMPARE(result.code, kUsage);
        QVERIFY2(QString::fromStdString(result.err).startsWith("sbq740-cli: " + error), result.err.c_str());
        QVERIFY(result.out.empty());
        QVERIFY(m_spooler.jobs().empty());
    }

    void commandLinesRead_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QStringList>("files");

        QTest::newRow("separate values") << QStringList{"send", "--group", "ip", "--printer", "A", "x.dat", "--yes"}
                                         << QStringList{"A"} << QStringList{"x.dat"};
        QTest::newRow("attached values") << QStringList{"send", "--group=ip", "--printer=A B", "--printer=C", "x.dat", "--yes"}
                                         << QStringList{"A B", "C"} << QStringList{"x.dat"};
        QTest::newRow("a printer named twice is addressed once")
            << QStringList{"send", "--yes", "--printer", "A", "--group", "ip", "--printer", "A", "x.dat"}
            << QStringList{"A"} << QStringList{"x.dat"};
        QTest::newRow("file that looks like an option") << QStringList{"send", "--group", "ip", "--yes", "--printer", "A", "--", "--x.dat"}
                                                        << QStringList{"A"} << QStringList{"--x.dat"};
    }

    void commandLinesRead()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, printers);
        QFETCH(QStringList, files);
        const Arguments::Parsed parsed = Arguments::parse(toStrings(arguments));
        QVERIFY2(parsed.invocation, parsed.error.c_str());
        QCOMPARE(parsed.invocation->command, Arguments::Command::Send);
        QCOMPARE(parsed.invocation->group, SettingsJob::Group::IpAddress);
        QVERIFY(parsed.invocation->yes);
        QCOMPARE(toQStrings(parsed.invocation->printers), printers);
        QCOMPARE(toQStrings(parsed.invocation->files), files);
    }

    void helpIsShown_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firstLine");

        QTest::newRow("no arguments") << QStringList{} << "Usage: sbq740-cli COMMAND [OPTIONS] [FILES]";
        QTest::newRow("help send") << QStringList{"help", "send"} << "Usage: sbq740-cli send --group GROUP";
        QTest::newRow("send -h among wrong options") << QStringList{"send", "--bogus", "-h"} << "Usage: sbq740-cli send --group GROUP";
    }

    void helpIsShown()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, firstLine);
        const Run result = run(arguments);
        QCOMPARE(result.code, 0);
        QVERIFY2(lines(result.out).value(0).startsWith(firstLine), result.out.c_str());
    }

    void printersAsTheSelectionListsThem()
    {
        const Run text = run({"printers"});
        QCOMPARE(text.code, 0);
        QCOMPARE(lines(text.out), (QStringList{"alpha\tusb://QAV/740Q2", "Beta\tsocket://127.0.0.1:9100", "FileOne\tFILE:"}));

        const Run json = run({"printers", "--json"});
        QCOMPARE(json.code, 0);
        QCOMPARE(QString::fromStdString(json.out), QStringLiteral("[\n"
                                                                 "  {\"name\": \"alpha\", \"connection\": \"usb://QAV/740Q2\"},\n"
                                                                 "  {\"name\": \"Beta\", \"connection\": \"socket://127.0.0.1:9100\"},\n"
                                                                 "  {\"name\": \"FileOne\", \"connection\": \"FILE:\"}\n"
                                                                 "]\n"));
    }

    void noUsablePrinter()
    {
        m_spooler.setPrinters({{"Other", "socket://x", "QAV Quillotron 740Q3", true}});
        const Run result = run({"printers", "--json"});
        QCOMPARE(result.code, 1);
        QCOMPARE(result.out, std::string("[]\n"));
        QVERIFY(result.err.find("no usable printer") != std::string::npos);
    }

    void sendOutcomes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<SettingsJob::Group>("group");
        QTest::addColumn<QStringList>("sentTo");
        QTest::addColumn<QStringList>("output");

        const QString file = path("factory.dat");
        const QString refusedFile = QString::fromUtf8(Str::kFileConnectionRefused);
        using G = SettingsJob::Group;

        QTest::newRow("two printers") << QStringList{"send", "--group", "fine", "--printer", "Beta", "--printer", "alpha", file}
                                      << 0 << G::FineAdjustment << QStringList{"Beta", "alpha"}
                                      << QStringList{"Beta: sent", "alpha: sent",
                                                     "Sent \"Setbridge Status Write\" to 2 of 2 printers."};
        QTest::newRow("file connection among them")
            << QStringList{"send", "--group", "issue", "--printer", "alpha", "--printer", "FileOne", "--printer", "Beta", file}
            << 1 << G::IssueControl << QStringList{"alpha", "Beta"}
            << QStringList{"alpha: sent", "FileOne: not sent: " + refusedFile, "Beta: sent",
                           "Sent \"Setbridge Status Write\" to 2 of 3 printers."};
        QTest::newRow("other model") << QStringList{"send", "--group", "param", "--printer", "Other", file} << 1
                                     << G::Parameter << QStringList{}
                                     << QStringList{"Other: not sent: not a QAV Quillotron 740Q2 (its model is 'QAV Quillotron 740Q3')",
                                                    "Sent \"Setbridge Status Write\" to 0 of 1 printer."};
        QTest::newRow("closed to this user") << QStringList{"send", "--group", "param", "--printer", "Locked", file} << 1
                                             << G::Parameter << QStringList{}
                                             << QStringList{"Locked: not sent: the printer does not accept jobs from this user",
                                                            "Sent \"Setbridge Status Write\" to 0 of 1 printer."};
        QTest::newRow("unknown printer") << QStringList{"send", "--group", "param", "--printer", "beta", file} << 1
                                         << G::Parameter << QStringList{}
                                         << QStringList{"beta: not sent: no such printer",
                                                        "Sent \"Setbridge Status Write\" to 0 of 1 printer."};
        QTest::newRow("ip confirmed") << QStringList{"send", "--group", "ip", "--yes", "--printer", "alpha", file} << 0
                                      << G::IpAddress << QStringList{"alpha"}
                                      << QStringList{"alpha: sent", "Sent \"Setbridge Status Write\" to 1 of 1 printer."};
        QTest::newRow("ip not confirmed") << QStringList{"send", "--group", "ip", "--printer", "alpha", file} << 3
                                          << G::IpAddress << QStringList{} << QStringList{};
        QTest::newRow("param off the grid") << QStringList{"send", "--group", "param", "--printer", "alpha", path("offgrid.dat")}
                                            << 3 << G::Parameter << QStringList{} << QStringList{};
        QTest::newRow("off the grid goes with another group")
            << QStringList{"send", "--group", "fine", "--printer", "alpha", path("offgrid.dat")} << 0
            << G::FineAdjustment << QStringList{"alpha"}
            << QStringList{"alpha: sent", "Sent \"Setbridge Status Write\" to 1 of 1 printer."};
        QTest::newRow("not a settings file") << QStringList{"send", "--group", "fine", "--printer", "alpha", path("notes.dat")}
                                             << 2 << G::FineAdjustment << QStringList{} << QStringList{};
    }

    // Each printer in turn gets the window program's job for the group, or a line saying why not.
    void sendOutcomes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(SettingsJob::Group, group);
        QFETCH(QStringList, sentTo);
        QFETCH(QStringList, output);

        const Run result = run(arguments);
        QCOMPARE(result.code, code);
        QCOMPARE(lines(result.out), output);
        QStringList printers;
        const std::optional<SettingsImage> image = SettingsFile::read(arguments.last().toStdString());
        for (const FakeSpooler::Job &job : m_spooler.jobs()) {
            printers << QString::fromStdString(job.printer);
            QCOMPARE(job.name, std::string(Str::kSettingsJobName));
            QVERIFY(image);
            QVERIFY(job.bytes == SettingsJob::build(*image, group));
        }
        QCOMPARE(printers, sentTo);
    }

    // What stops a send before any printer is addressed is told in the window program's words.
    void refusalsUseTheWindowProgramsMessages_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");

        QTest::newRow("param check") << QStringList{"send", "--group", "param", "--printer", "alpha", path("offgrid.dat")}
                                     << QString::fromUtf8(Str::kBadForwardStandby);
        QTest::newRow("ip question") << QStringList{"send", "--group", "ip", "--printer", "alpha", path("factory.dat")}
                                     << QString::fromUtf8(Str::kAskIpChange);
        QTest::newRow("damaged record") << QStringList{"send", "--group", "issue", "--printer", "alpha", path("damaged.dat")}
                                        << QString::fromUtf8(Str::kSettingsDamaged);
        QTest::newRow("not a settings file") << QStringList{"show", path("notes.dat")}
                                             << path("notes.dat") + ": " + QString::fromUtf8(Str::kNotASettingsFile);
        QTest::newRow("missing file") << QStringList{"diff", path("factory.dat"), path("none.dat")}
                                      << path("none.dat") + ": " + QString::fromUtf8(Str::kNotASettingsFile);
    }

    void refusalsUseTheWindowProgramsMessages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run result = run(arguments);
        QVERIFY2(QString::fromStdString(result.err).startsWith(message + '\n'), result.err.c_str());
        QVERIFY(m_spooler.jobs().empty());
    }

    void spoolerFailureIsReportedPerPrinter()
    {
        m_spooler.setFailJobs(true);
        const Run result = run({"send", "--group", "fine", "--printer", "alpha", path("factory.dat")});
        QCOMPARE(result.code, 1);
        QCOMPARE(lines(result.out).value(0), "alpha: not sent: " + QString::fromUtf8(Str::kPrinterUnavailable));
    }

    void progressOnlyForSeveralPrinters()
    {
        const Run one = run({"send", "--group", "fine", "--printer", "alpha", path("factory.dat")});
        QCOMPARE(one.err, std::string());
        const Run two = run({"headcheck", "--printer", "alpha", "--printer", "Nobody"});
        QCOMPARE(lines(two.err), (QStringList{"[1/2] alpha", "[2/2] Nobody"}));
    }

    void headCheckSendsTheCheckJob()
    {
        const Run result = run({"headcheck", "--printer", "Beta"});
        QCOMPARE(result.code, 0);
        QCOMPARE(m_spooler.jobs().size(), std::size_t(1));
        QCOMPARE(m_spooler.jobs()[0].name, std::string(Str::kHeadCheckJobName));
        QVERIFY(m_spooler.jobs()[0].bytes == HeadCheckJob::build());
        QCOMPARE(lines(result.out).value(0), QStringLiteral("Beta: sent"));
        QVERIFY(QString::fromStdString(result.out).endsWith(QString::fromUtf8(Str::kHeadCheckDone) + '\n'));
    }

    void headCheckRefusesAFileConnection()
    {
        const Run result = run({"headcheck", "--printer", "FileOne"});
        QCOMPARE(result.code, 1);
        QVERIFY(m_spooler.jobs().empty());
        QCOMPARE(lines(result.out), (QStringList{"FileOne: not sent: " + QString::fromUtf8(Str::kFileConnectionRefused),
                                                 "Sent \"Setbridge Check\" to 0 of 1 printer."}));
    }

private:
    QTemporaryDir m_dir;
    FakeSpooler m_spooler;
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_cli_commands.moc"
