#include "cli/Cli.h"
#include "cli/CupsSpoolers.h"
#include "cli/DescriptorOutput.h"
#include "cli/ExitCodes.h"
#include "ledger/LedgerFile.h"
#include "spooler/PendingCleanups.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

using namespace std::chrono_literals;

// After Ctrl-C the print servers have this long to answer what the summary still needs (why
// the pending jobs wait); then every call still waiting for an answer is given up.
constexpr std::chrono::nanoseconds kWindDown = 500ms;
// An interrupted run has ended by then, counted from the first Ctrl-C.
constexpr std::chrono::nanoseconds kInterruptedRunEnds = 900ms;

// When Ctrl-C was first pressed, in nanoseconds of the monotonic clock; 0: not yet.
std::atomic<long long> g_interruptedAt{0};
static_assert(std::atomic<long long>::is_always_lock_free, "read and written by the signal handler");

// The monotonic clock (steady_clock's), read in a way a signal handler may.
long long monotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// The first Ctrl-C: no new job is started, and the run ends with its summary within a second.
// The second ends the program at once.
extern "C" void onInterrupt(int)
{
    if (g_interruptedAt.load() != 0) {
        static constexpr char kText[] = "Interrupted.\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kText, sizeof kText - 1);
        ::_exit(ExitCode::kInterrupted);
    }
    g_interruptedAt.store(monotonicNow());
}

bool interrupted()
{
    return g_interruptedAt.load() != 0;
}

// Nobody waits for the spoolers' answers any more: the wind-down after Ctrl-C has passed.
bool spoolerCallsGivenUp()
{
    const long long at = g_interruptedAt.load();
    return at != 0 && monotonicNow() - at >= kWindDown.count();
}

// After Ctrl-C the program ends within a second of it: the cancels of jobs the run left behind get
// what is left of that second (a print server that answers takes them at once; one that doesn't
// would keep the program for the whole wait at its end), then the program ends without waiting.
[[noreturn]] void endInterruptedRun(int code)
{
    const auto sinceInterrupt = std::chrono::nanoseconds(monotonicNow() - g_interruptedAt.load());
    PendingCleanups::drain(PendingCleanups::Clock::now() + std::max(kInterruptedRunEnds - sinceInterrupt,
                                                                     std::chrono::nanoseconds::zero()));
    std::cerr.flush();
    std::_Exit(code);
}

}  // namespace

int main(int argc, char *argv[])
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);

    DescriptorOutput output(STDOUT_FILENO);
    std::ostream out(&output);
    // A ledger that can't be written is said once; the sends go on.
    auto ledger = std::make_shared<Ledger>(LedgerFile::location(), "sbq740-cli", [](const std::string &message) {
        std::cerr << "sbq740-cli: warning: " << message << '\n';
    });
    CupsSpoolers spoolers(ledger, spoolerCallsGivenUp);
    const int code =
        runCli(std::vector<std::string>(argv + 1, argv + argc), spoolers, out, std::cerr, interrupted);
    out.flush();
    if (!out && code != ExitCode::kInterrupted) {
        // What was written may be cut short or missing: the run can't count as done.
        std::cerr << "sbq740-cli: can't write to standard output"
                  << (output.error() != 0 ? std::string(": ") + std::strerror(output.error()) : std::string()) << '\n';
        return ExitCode::kNotASettingsFile;
    }
    if (interrupted())
        endInterruptedRun(code);
    return code;
}
