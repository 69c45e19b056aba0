#include "app/CommandLine.h"

#include <QTest>

Q_DECLARE_METATYPE(CommandLine::Start)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Start>("expected");
        using S = CommandLine::Start;
        const QString program = QStringLiteral("/opt/sbq-tools/sbq740");
        QTest::newRow("no arguments") << QStringList{program} << S::Normal;
        QTest::newRow("/RegServer") << QStringList{program, "/RegServer"} << S::Register;
        QTest::newRow("-regserver any case") << QStringList{program, "-rEgSeRvEr"} << S::Register;
        QTest::newRow("/UnregServer") << QStringList{program, "/UnregServer"} << S::Unregister;
        QTest::newRow("-UNREGSERVER") << QStringList{program, "-UNREGSERVER"} << S::Unregister;
        QTest::newRow("text after the switch word") << QStringList{program, "/RegServer", "x"} << S::Normal;
        QTest::newRow("switch word not last") << QStringList{program, "-RegServer", "file.dat"} << S::Normal;
        QTest::newRow("file name ignored") << QStringList{program, "settings.dat"} << S::Normal;
        QTest::newRow("-Embedding") << QStringList{program, "-Embedding"} << S::ComponentServer;
        QTest::newRow("/automation with more") << QStringList{program, "/automation", "x"} << S::ComponentServer;
        QTest::newRow("Embedding without mark") << QStringList{program, "Embedding"} << S::Normal;
        QTest::newRow("other switches") << QStringList{program, "/p", "/pt", "/dde", "/Unregister"} << S::Normal;
        QTest::newRow("dash inside the path") << QStringList{QStringLiteral("/opt/x-RegServer/sbq740")} << S::Normal;
        QTest::newRow("bare mark") << QStringList{program, "/"} << S::Normal;
        // Options of the toolkit are text like any other.
        QTest::newRow("/RegServer -reverse") << QStringList{program, "/RegServer", "-reverse"} << S::Normal;
        QTest::newRow("-platform then /RegServer") << QStringList{program, "-platform", "x", "/RegServer"} << S::Register;
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Start, expected);
        std::vector<std::string> raw;
        for (const QString &argument : std::as_const(arguments))
            raw.push_back(argument.toStdString());
        QCOMPARE(CommandLine::parse(raw), expected);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
