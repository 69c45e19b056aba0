#include "Cli.h"
#include "CupsSpooler.h"

#include <iostream>

int main(int argc, char *argv[])
{
    CupsSpooler spooler;
    const int code = runCli(std::vector<std::string>(argv + 1, argv + argc), spooler, std::cout, std::cerr);
    std::cout.flush();
    return std::cout ? code : 1;
}
