#include "CommandLine.h"

namespace CommandLine {

namespace {

bool isSwitchMark(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('/');
}

// Every "-" or "/" in the command line is looked at, the program's own path included; what
// follows it must be exactly the word, in any case, to the end of the line.
bool endsWithSwitch(const QString &commandLine, QLatin1StringView word)
{
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        if (isSwitchMark(commandLine.at(i)) && commandLine.mid(i + 1).compare(word, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isComponentServerSwitch(const QString &argument)
{
    if (argument.size() < 2 || !isSwitchMark(argument.at(0)))
        return false;
    const QString word = argument.mid(1);
    return word.compare(QLatin1StringView("Embedding"), Qt::CaseInsensitive) == 0
        || word.compare(QLatin1StringView("Automation"), Qt::CaseInsensitive) == 0;
}

}  // namespace

Start parse(const QStringList &arguments)
{
    const QString commandLine = arguments.join(QLatin1Char(' '));
    if (endsWithSwitch(commandLine, QLatin1StringView("UnregServer")))
        return Start::Unregister;
    if (endsWithSwitch(commandLine, QLatin1StringView("RegServer")))
        return Start::Register;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (isComponentServerSwitch(arguments.at(i)))
            return Start::ComponentServer;
    }
    return Start::Normal;
}

}  // namespace CommandLine
