#include "Cli.h"
#include "CupsSpoolers.h"

#include <csignal>
#include <iostream>

namespace {

// Set by Ctrl-C: no new job is started, and the run ends with its summary.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    std::signal(SIGINT, onInterrupt);
    CupsSpoolers spoolers;
    const int code = runCli(std::vector<std::string>(argv + 1, argv + argc), spoolers, std::cout, std::cerr,
                            [] { return g_interrupted != 0; });
    std::cout.flush();
    return std::cout ? code : 1;
}
