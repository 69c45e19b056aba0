#pragma once

#include <QStringList>

// The application object: handles the command line, keeps the program to one running copy per
// name and user, and runs the main window as a modal dialog. Its window's end is the program's end.
class CSetbridgeApp
{
public:
    explicit CSetbridgeApp(const QStringList &arguments);

    // The whole run; returns the process's exit code.
    int InitInstance();

private:
    QStringList m_arguments;
};
