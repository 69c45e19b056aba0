// sbq740-cli's command line and commands against an in-memory spooler: what is refused, what is
// sent where, and what the operator reads.
#include "FakeSpooler.h"
#include "TestText.h"
#include "cli/Arguments.h"
#include "cli/Cli.h"
#include "cli/Spoolers.h"
#include "res/Strings.h"
#include "settings/SettingsFile.h"
#include "spooler/HeadCheckJob.h"
#include "spooler/SettingsJob.h"

#include <QTemporaryDir>
#include <QTest>

#include <sstream>

Q_DECLARE_METATYPE(SettingsJob::Group)
Q_DECLARE_METATYPE(SpoolerError::Kind)

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

struct Run
{
    int code;
    std::string out;
    std::string err;
};

// Fake print servers by name; "" is the configured one, "localhost".
struct FakeServers : Spoolers
{
    std::map<std::string, FakeSpooler *> servers;
    Spooler *at(const std::string &server) override
    {
        const auto found = servers.find(server);
        return found != servers.end() ? found->second : nullptr;
    }
    std::string nameOf(const std::string &server) const override { return server.empty() ? "localhost" : server; }
};

// A print server that stops answering at one kind of call: that call and every later one of
// its kind end with no answer in time, and the user may press Ctrl-C while the first waits.
class FreezingSpooler : public FakeSpooler
{
public:
    enum class Call { Listing, Submit, Progress };

    FreezingSpooler(Call freezes, bool *interruptWhileWaiting = nullptr)
        : m_freezes(freezes), m_interrupt(interruptWhileWaiting)
    {
    }
    int frozenCalls() const { return m_frozenCalls; }

    PrinterListing printers() override
    {
        return frozen(Call::Listing) ? PrinterListing{{}, {SpoolerError::Kind::TimedOut, kNoAnswer}} : FakeSpooler::printers();
    }
    JobSubmission submitRawJob(const std::string &printer, const std::string &name, std::string_view bytes) override
    {
        return frozen(Call::Submit) ? JobSubmission{false, 0, kNoAnswer, SpoolerError::Kind::TimedOut}
                                    : FakeSpooler::submitRawJob(printer, name, bytes);
    }
    std::vector<JobProgress> jobProgress(const std::vector<int> &ids, Clock::time_point until) override
    {
        return frozen(Call::Progress)
                   ? std::vector<JobProgress>(ids.size(), {JobProgress::Phase::Pending, kNoAnswer,
                                                           JobProgress::Stage::Queued, SpoolerError::Kind::TimedOut})
                   : FakeSpooler::jobProgress(ids, until);
    }

private:
    static constexpr const char *kNoAnswer = "no answer from the print server in time";
    bool frozen(Call call)
    {
        if (call != m_freezes)
            return false;
        ++m_frozenCalls;
        if (m_interrupt)
            *m_interrupt = true;
        return true;
    }

    Call m_freezes;
    bool *m_interrupt;
    int m_frozenCalls = 0;
};

SettingsImage withBytes(std::size_t offset, std::string_view bytes)
{
    SettingsImage image = SettingsImage::factory();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        image[offset + i] = bytes[i];
    return image;
}

}  // namespace

Q_DECLARE_METATYPE(FreezingSpooler::Call)

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
        QTest::newRow("all and printers") << QStringList{"send", "--group", "fine", "--all", "--printer", "P", "a.dat"}
                                          << "'send' takes either --all or --printer NAME, not both";
        QTest::newRow("all outside send") << QStringList{"headcheck", "--all"} << "unknown option '--all' for 'headcheck'";
        QTest::newRow("jobs that are no number") << QStringList{"send", "--group", "fine", "--all", "--jobs", "many", "a.dat"}
                                                 << "option '--jobs' needs a number of jobs from 1 to 64";
        QTest::newRow("no jobs at once") << QStringList{"apply", "--jobs", "0", "plan.json"}
                                         << "option '--jobs' needs a number of jobs from 1 to 64";
        QTest::newRow("dry run that would wait") << QStringList{"apply", "--dry-run", "--no-wait", "plan.json"}
                                                 << "'apply --dry-run' sends nothing";
        QTest::newRow("wait and no-wait") << QStringList{"headcheck", "--printer", "P", "--wait", "5", "--no-wait"}
                                          << "'headcheck' takes either --wait SECONDS or --no-wait, not both";
        QTest::newRow("wait without seconds") << QStringList{"headcheck", "--printer", "P", "--wait", "soon"}
                                              << "option '--wait' needs a number of seconds";
        QTest::newRow("server that is no address") << QStringList{"printers", "--server", "a b"}
                                                   << "option '--server' needs a print server";
        QTest::newRow("server port out of range") << QStringList{"printers", "--server=host:70000"}
                                                  << "option '--server' needs a print server";
        QTest::newRow("bare name among several servers")
            << QStringList{"headcheck", "--server", "h1", "--server", "h2", "--printer", "P"}
            << "with several --server, name each printer as QUEUE@HOST";
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
                                      << QStringList{"Beta: delivered", "alpha: delivered",
                                                     "Delivered \"Setbridge Status Write\" to 2 of 2 printers."};
        QTest::newRow("file connection among them")
            << QStringList{"send", "--group", "issue", "--printer", "alpha", "--printer", "FileOne", "--printer", "Beta", file}
            << 1 << G::IssueControl << QStringList{"alpha", "Beta"}
            << QStringList{"alpha: delivered", "FileOne: failed (" + refusedFile + ")", "Beta: delivered",
                           "Delivered \"Setbridge Status Write\" to 2 of 3 printers; 0 queued, 1 failed."};
        QTest::newRow("other model") << QStringList{"send", "--group", "param", "--printer", "Other", file} << 1
                                     << G::Parameter << QStringList{}
                                     << QStringList{"Other: failed (not a QAV Quillotron 740Q2 (its model is 'QAV Quillotron 740Q3'))",
                                                    "Delivered \"Setbridge Status Write\" to 0 of 1 printer; 0 queued, 1 failed."};
        QTest::newRow("closed to this user") << QStringList{"send", "--group", "param", "--printer", "Locked", file} << 1
                                             << G::Parameter << QStringList{}
                                             << QStringList{"Locked: failed (the printer does not accept jobs from this user)",
                                                            "Delivered \"Setbridge Status Write\" to 0 of 1 printer; 0 queued, 1 failed."};
        QTest::newRow("unknown printer") << QStringList{"send", "--group", "param", "--printer", "beta", file} << 1
                                         << G::Parameter << QStringList{}
                                         << QStringList{"beta: failed (no such printer)",
                                                        "Delivered \"Setbridge Status Write\" to 0 of 1 printer; 0 queued, 1 failed."};
        QTest::newRow("ip confirmed") << QStringList{"send", "--group", "ip", "--yes", "--printer", "alpha", file} << 0
                                      << G::IpAddress << QStringList{"alpha"}
                                      << QStringList{"alpha: delivered", "Delivered \"Setbridge Status Write\" to 1 of 1 printer."};
        QTest::newRow("ip not confirmed") << QStringList{"send", "--group", "ip", "--printer", "alpha", file} << 3
                                          << G::IpAddress << QStringList{} << QStringList{};
        QTest::newRow("param off the grid") << QStringList{"send", "--group", "param", "--printer", "alpha", path("offgrid.dat")}
                                            << 3 << G::Parameter << QStringList{} << QStringList{};
        QTest::newRow("off the grid goes with another group")
            << QStringList{"send", "--group", "fine", "--printer", "alpha", path("offgrid.dat")} << 0
            << G::FineAdjustment << QStringList{"alpha"}
            << QStringList{"alpha: delivered", "Delivered \"Setbridge Status Write\" to 1 of 1 printer."};
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
        QCOMPARE(lines(result.out).value(0), QStringLiteral("alpha: failed (the fake spooler refuses jobs)"));
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
        QCOMPARE(lines(result.out).value(0), QStringLiteral("Beta: delivered"));
        QVERIFY(QString::fromStdString(result.out).endsWith(QString::fromUtf8(Str::kHeadCheckDone) + '\n'));
    }

    void headCheckRefusesAFileConnection()
    {
        const Run result = run({"headcheck", "--printer", "FileOne"});
        QCOMPARE(result.code, 1);
        QVERIFY(m_spooler.jobs().empty());
        QCOMPARE(lines(result.out), (QStringList{"FileOne: failed (" + QString::fromUtf8(Str::kFileConnectionRefused) + ")",
                                                 "Delivered \"Setbridge Check\" to 0 of 1 printer; 0 queued, 1 failed."}));
    }

    // Each job is followed until the spooler says it completed or failed, or the wait ends.
    void followingTellsWhatBecameOfTheJob_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("phase");  // of JobProgress::Phase; -1: the fake completes at once
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<int>("code");

        const int pending = int(JobProgress::Phase::Pending);
        const int failed = int(JobProgress::Phase::Failed);
        QTest::newRow("completed") << QStringList{} << -1
                                   << QStringList{"Beta: delivered", "Delivered \"Setbridge Check\" to 1 of 1 printer."} << 0;
        QTest::newRow("still pending when the wait ends")
            << QStringList{"--wait", "0.3"} << pending
            << QStringList{"Beta: queued (job-printing)", "Delivered \"Setbridge Check\" to 0 of 1 printer; 1 queued, 0 failed."}
            << 1;
        QTest::newRow("aborted") << QStringList{} << failed
                                 << QStringList{"Beta: failed (job-printing)",
                                                "Delivered \"Setbridge Check\" to 0 of 1 printer; 0 queued, 1 failed."}
                                 << 1;
        QTest::newRow("not followed") << QStringList{"--no-wait"} << pending
                                      << QStringList{"Beta: accepted by the spooler (delivery not followed)",
                                                     "Handed \"Setbridge Check\" to the spooler for 1 of 1 printer; delivery not followed."}
                                      << 0;
    }

    void followingTellsWhatBecameOfTheJob()
    {
        QFETCH(QStringList, options);
        QFETCH(int, phase);
        QFETCH(QStringList, output);
        QFETCH(int, code);
        if (phase >= 0)
            m_spooler.setProgress("Beta", {static_cast<JobProgress::Phase>(phase), "job-printing"});
        const Run result = run(QStringList{"headcheck", "--printer", "Beta"} + options);
        QCOMPARE(result.code, code);
        if (code == 0)
            output += lines(Str::kHeadCheckDone);  // the closing message, when some printer has the job
        QCOMPARE(lines(result.out), output);
    }

    // Ctrl-C: no new job starts; what ended is told, with the summary, and the exit code is 130.
    void interruptStopsStartingJobs()
    {
        FakeServers servers;
        servers.servers[""] = &m_spooler;
        std::ostringstream out;
        std::ostringstream err;
        const int code = runCli(toStrings({"headcheck", "--printer", "alpha", "--printer", "Beta"}), servers, out, err,
                                [this] { return !m_spooler.jobs().empty(); });
        QCOMPARE(code, 130);
        QCOMPARE(m_spooler.jobs().size(), std::size_t(1));
        QCOMPARE(lines(out.str()), QStringList({"alpha: delivered", "Delivered \"Setbridge Check\" to 1 of 2 printers.",
                                                 "Interrupted: 1 printer not started."})
                                       + lines(Str::kHeadCheckDone));
    }

    // Printers of several print servers in one run, named QUEUE@HOST or all of them with --all.
    void printersOnSeveralServers()
    {
        FakeSpooler remote;
        remote.addPrinter("Remote", "socket://10.0.0.9:9100");
        remote.addPrinter("RemoteFile", "FILE:");
        FakeServers servers;
        servers.servers[""] = &m_spooler;
        servers.servers["printhost:8631"] = &remote;
        std::ostringstream out;
        std::ostringstream err;
        QCOMPARE(runCli(toStrings({"headcheck", "--printer", "alpha", "--printer", "Remote@printhost:8631"}), servers, out, err), 0);
        QCOMPARE(lines(out.str()).mid(0, 2), (QStringList{"alpha: delivered", "Remote@printhost:8631: delivered"}));
        QCOMPARE(remote.jobs().size(), std::size_t(1));

        std::ostringstream listed;
        QCOMPARE(runCli(toStrings({"printers", "--server", "printhost:8631"}), servers, listed, err), 0);
        QCOMPARE(lines(listed.str()), (QStringList{"Remote@printhost:8631\tsocket://10.0.0.9:9100", "RemoteFile@printhost:8631\tFILE:"}));

        std::ostringstream all;
        QCOMPARE(runCli(toStrings({"send", "--group", "fine", "--all", "--server", "printhost:8631", path("factory.dat")}),
                        servers, all, err), 0);
        QCOMPARE(lines(all.str()), (QStringList{"Remote@printhost:8631: delivered",
                                                "Delivered \"Setbridge Status Write\" to 1 of 1 printer."}));
        QCOMPARE(remote.jobs().size(), std::size_t(2));
    }

    // Every print server named gets an outcome; one that could not list its printers is told
    // apart from one without such a printer, and the configured one is named.
    void serversThatFailAreNamed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<SpoolerError::Kind>("kind");
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<QString>("error");  // the whole error stream, where it matters

        const QString file = path("factory.dat");
        using K = SpoolerError::Kind;
        QTest::newRow("--all, one of two servers can't be reached")
            << QStringList{"send", "--group", "fine", "--all", "--server", "good", "--server", "dead", file} << "dead"
            << K::Unreachable
            << QStringList{"dead: failed (the print server can't be reached)", "G1@good: delivered", "G2@good: delivered",
                           "Delivered \"Setbridge Status Write\" to 2 of 2 printers; 1 print server failed."}
            << QString();
        QTest::newRow("--all, only a silent server")
            << QStringList{"send", "--group", "fine", "--all", "--server", "dead", file} << "dead" << K::TimedOut
            << QStringList{"dead: failed (the print server did not answer in time)",
                           "Delivered \"Setbridge Status Write\" to 0 of 0 printers; 1 print server failed."}
            << QString();
        QTest::newRow("--all, the configured server answers garbage")
            << QStringList{"send", "--group", "fine", "--all", "--no-wait", file} << "" << K::BadAnswer
            << QStringList{"localhost: failed (the print server gave no usable answer)",
                           "Handed \"Setbridge Status Write\" to the spooler for 0 of 0 printers; delivery not followed; "
                           "1 print server failed."}
            << QString();
        QTest::newRow("a printer on a server that can't be reached")
            << QStringList{"send", "--group", "fine", "--printer", "G1@good", "--printer", "x@dead", file} << "dead"
            << K::Unreachable
            << QStringList{"G1@good: delivered", "x@dead: failed (the print server can't be reached)",
                           "Delivered \"Setbridge Status Write\" to 1 of 2 printers; 0 queued, 1 failed."}
            << QString();
        QTest::newRow("a printer of the configured server, which did not answer")
            << QStringList{"send", "--group", "fine", "--printer", "alpha", file} << "" << K::TimedOut
            << QStringList{"alpha: failed (the print server 'localhost' did not answer in time)",
                           "Delivered \"Setbridge Status Write\" to 0 of 1 printer; 0 queued, 1 failed."}
            << QString();
        QTest::newRow("a printer of a server that refuses to list")
            << QStringList{"send", "--group", "fine", "--printer", "x@dead", file} << "dead" << K::Refused
            << QStringList{"x@dead: failed (the print server refused: client-error-not-authorized)",
                           "Delivered \"Setbridge Status Write\" to 0 of 1 printer; 0 queued, 1 failed."}
            << QString();
        QTest::newRow("printers of a server that can't be reached")
            << QStringList{"printers", "--server", "good", "--server", "dead"} << "dead" << K::Unreachable
            << QStringList{"G1@good\tusb://QAV/740Q2", "G2@good\tsocket://127.0.0.1:9100"}
            << "sbq740-cli: the print server 'dead' can't be reached\n";
        QTest::newRow("printers of the configured server, which did not answer")
            << QStringList{"printers"} << "" << K::TimedOut << QStringList{}
            << "sbq740-cli: the print server 'localhost' did not answer in time\n";
    }

    void serversThatFailAreNamed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, failing);
        QFETCH(SpoolerError::Kind, kind);
        QFETCH(QStringList, output);
        QFETCH(QString, error);
        FakeSpooler good;
        good.addPrinter("G1", "usb://QAV/740Q2");
        good.addPrinter("G2", "socket://127.0.0.1:9100");
        FakeSpooler dead;
        FakeServers servers;
        servers.servers = {{"", &m_spooler}, {"good", &good}, {"dead", &dead}};
        servers.servers[failing.toStdString()]->setListingError({kind, "client-error-not-authorized"});

        std::ostringstream out;
        std::ostringstream err;
        QCOMPARE(runCli(toStrings(arguments), servers, out, err), 1);
        QCOMPARE(lines(out.str()), output);
        if (!error.isEmpty())
            QCOMPARE(QString::fromStdString(err.str()), error);
    }

    // A server that stops answering costs one wait: its other printers fail at once with its
    // reason, and the jobs it was following are told queued with it; the others go on.
    void aServerThatStopsAnsweringCostsOneWait_data()
    {
        QTest::addColumn<FreezingSpooler::Call>("freezes");
        QTest::addColumn<QStringList>("output");

        const QString noAnswer = QStringLiteral("(the print server did not answer in time)");
        QTest::newRow("submitting") << FreezingSpooler::Call::Submit
                                    << QStringList{"F1@frozen: failed " + noAnswer, "alpha: delivered",
                                                   "F2@frozen: failed " + noAnswer, "F3@frozen: failed " + noAnswer,
                                                   "Delivered \"Setbridge Check\" to 1 of 4 printers; 0 queued, 3 failed."};
        QTest::newRow("following") << FreezingSpooler::Call::Progress
                                   << QStringList{"F1@frozen: queued " + noAnswer, "alpha: delivered",
                                                  "F2@frozen: failed " + noAnswer, "F3@frozen: failed " + noAnswer,
                                                  "Delivered \"Setbridge Check\" to 1 of 4 printers; 1 queued, 2 failed."};
    }

    void aServerThatStopsAnsweringCostsOneWait()
    {
        QFETCH(FreezingSpooler::Call, freezes);
        QFETCH(QStringList, output);
        FreezingSpooler frozen(freezes);
        for (const char *name : {"F1", "F2", "F3"})
            frozen.addPrinter(name, "socket://127.0.0.1:9100");
        FakeServers servers;
        servers.servers = {{"", &m_spooler}, {"frozen", &frozen}};
        std::ostringstream out;
        std::ostringstream err;
        const int code = runCli(toStrings({"headcheck", "--wait", "1", "--printer", "F1@frozen", "--printer", "alpha",
                                           "--printer", "F2@frozen", "--printer", "F3@frozen"}),
                                servers, out, err);
        QCOMPARE(code, 1);
        QCOMPARE(lines(out.str()).mid(0, output.size()), output);
        QCOMPARE(frozen.frozenCalls(), 1);
        QCOMPARE(frozen.jobs().size(), std::size_t(freezes == FreezingSpooler::Call::Progress ? 1 : 0));
    }

    // Ctrl-C while a print server keeps the run waiting, in each phase: the run ends with what
    // it knows, an "Interrupted" line and exit code 130.
    void interruptWhileAServerKeepsTheRunWaiting_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<FreezingSpooler::Call>("freezes");
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<QString>("error");

        const QString file = path("factory.dat");
        using C = FreezingSpooler::Call;
        QTest::newRow("listing the printers") << QStringList{"printers", "--server", "frozen"} << C::Listing
                                              << QStringList{} << "Interrupted.\n";
        QTest::newRow("listing for --printer")
            << QStringList{"send", "--group", "fine", "--printer", "F1@frozen", "--printer", "alpha", file} << C::Listing
            << QStringList{"Delivered \"Setbridge Status Write\" to 0 of 2 printers.", "Interrupted: 2 printers not started."}
            << QString();
        QTest::newRow("listing for --all")
            << QStringList{"send", "--group", "fine", "--all", "--server", "frozen", file} << C::Listing
            << QStringList{"frozen: failed (interrupted before the print server answered)",
                           "Delivered \"Setbridge Status Write\" to 0 of 0 printers; 1 print server failed.", "Interrupted."}
            << QString();
        QTest::newRow("submitting")
            << QStringList{"headcheck", "--printer", "F1@frozen", "--printer", "alpha"} << C::Submit
            << QStringList{"F1@frozen: failed (interrupted before the print server answered)",
                           "Delivered \"Setbridge Check\" to 0 of 2 printers; 0 queued, 1 failed.",
                           "Interrupted: 1 printer not started."}
            << QString();
        QTest::newRow("following")
            << QStringList{"headcheck", "--printer", "F1@frozen", "--printer", "alpha"} << C::Progress
            << QStringList{"F1@frozen: queued (interrupted while it was pending: still pending at the print server)",
                           "Delivered \"Setbridge Check\" to 0 of 2 printers; 1 queued, 0 failed.",
                           "Interrupted: 1 printer not started."}
            << QString();
    }

    void interruptWhileAServerKeepsTheRunWaiting()
    {
        QFETCH(QStringList, arguments);
        QFETCH(FreezingSpooler::Call, freezes);
        QFETCH(QStringList, output);
        QFETCH(QString, error);
        bool interrupted = false;
        FreezingSpooler frozen(freezes, &interrupted);
        frozen.addPrinter("F1", "socket://127.0.0.1:9100");
        FakeServers servers;
        servers.servers = {{"", &m_spooler}, {"frozen", &frozen}};
        std::ostringstream out;
        std::ostringstream err;
        QCOMPARE(runCli(toStrings(arguments), servers, out, err, [&interrupted] { return interrupted; }), 130);
        QCOMPARE(lines(out.str()), output);
        if (!error.isEmpty())
            QCOMPARE(QString::fromStdString(err.str()), error);
        QVERIFY(m_spooler.jobs().empty());
    }

private:
    QTemporaryDir m_dir;
    FakeSpooler m_spooler;
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_cli_commands.moc"
