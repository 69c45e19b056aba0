#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of a start. Registration switches end at once; the component-server
// switches end at once too, without a window, since the program serves nothing. Anything else
// (a file name, other switches) is ignored.
namespace CommandLine {

enum class Start {
    Normal,
    Register,         // "RegServer": the rest of the command line after "-" or "/" is exactly it
    Unregister,       // "UnregServer", likewise
    ComponentServer,  // "Embedding" or "Automation" as a separate "-" or "/" argument
};

// `arguments` is the whole command line, the program's path first.
Start parse(const QStringList &arguments);

}  // namespace CommandLine
