#pragma once

#include <array>
#include <string>
#include <vector>

// The application object: handles the command line, keeps the program to one running copy per
// name and user, and runs the main window in its own loop. Its window's end is the program's end.
class CSetbridgeApp
{
public:
    // The command line as the system passed it; nothing of it but the program's name reaches Qt.
    CSetbridgeApp(int argc, char **argv);

    // The whole run; returns the process's exit code.
    int InitInstance();

private:
    std::vector<std::string> m_arguments;
    std::string m_programName;
    int m_qtArgc = 1;
    std::array<char *, 2> m_qtArgv{};
};
