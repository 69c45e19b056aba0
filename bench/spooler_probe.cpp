// Times the program's own spooler calls from the command line, one process per call as the
// command-line tools it is compared with:
//   spooler_probe list [REPEAT]   lists the printers (as the selection does) REPEAT times and
//                                 prints "<listed rows> <all queues> <median ms in process>"
//   spooler_probe send QUEUE FILE hands FILE to QUEUE as the raw job "Setbridge Status Write"
#include "res/Strings.h"
#include "spooler/CupsSpooler.h"
#include "spooler/PrinterList.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int list(int repeat)
{
    CupsSpooler spooler;
    std::vector<double> times;
    std::size_t queues = 0;
    int rows = 0;
    for (int i = 0; i < repeat; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<SpoolerPrinter> printers = spooler.printers().printers;
        const PrinterList listed(printers);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        queues = printers.size();
        rows = listed.count();
    }
    std::sort(times.begin(), times.end());
    std::printf("%d %zu %.3f\n", rows, queues, times[times.size() / 2]);
    return queues > 0 ? 0 : 1;
}

int send(const std::string &queue, const std::string &file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CupsSpooler spooler;
    return spooler.writeRawJob(queue, Str::kSettingsJobName, bytes) ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "list")
        return list(args.size() > 1 ? std::max(1, std::stoi(args[1])) : 1);
    if (args.size() == 3 && args[0] == "send")
        return send(args[1], args[2]);
    std::fprintf(stderr, "usage: spooler_probe list [REPEAT] | send QUEUE FILE\n");
    return 2;
}
