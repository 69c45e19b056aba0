#include "app/CommandLine.h"

#include <algorithm>
#include <string_view>

namespace CommandLine {

namespace {

bool isSwitchMark(char c)
{
    return c == '-' || c == '/';
}

// The switch words are ASCII; their case is ignored.
bool equalsIgnoringCase(std::string_view text, std::string_view word)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return text.size() == word.size()
        && std::equal(text.begin(), text.end(), word.begin(), [&](char a, char b) { return lower(a) == lower(b); });
}

// Every "-" or "/" in the command line is looked at, the program's own path included; what
// follows it must be exactly the word, in any case, to the end of the line.
bool endsWithSwitch(std::string_view commandLine, std::string_view word)
{
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        if (isSwitchMark(commandLine[i]) && equalsIgnoringCase(commandLine.substr(i + 1), word))
            return true;
    }
    return false;
}

bool isComponentServerSwitch(std::string_view argument)
{
    if (argument.size() < 2 || !isSwitchMark(argument.front()))
        return false;
    const std::string_view word = argument.substr(1);
    return equalsIgnoringCase(word, "Embedding") || equalsIgnoringCase(word, "Automation");
}

}  // namespace

Start parse(const std::vector<std::string> &arguments)
{
    std::string commandLine;
    for (std::size_t i = 0; i < arguments.size(); ++i)
        commandLine += (i == 0 ? "" : " ") + arguments[i];
    if (endsWithSwitch(commandLine, "UnregServer"))
        return Start::Unregister;
    if (endsWithSwitch(commandLine, "RegServer"))
        return Start::Register;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (isComponentServerSwitch(arguments[i]))
            return Start::ComponentServer;
    }
    return Start::Normal;
}

}  // namespace CommandLine
