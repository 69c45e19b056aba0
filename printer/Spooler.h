#pragma once

#include "RgbImage.h"

#include <string>
#include <string_view>
#include <vector>

// One printer as the spooler reports it.
struct SpoolerPrinter
{
    std::string name;        // the spooler's printer name
    std::string connection;  // what the selection list shows in its second column
    std::string driver;      // the printer's make and model, compared with the supported model
    bool usable = false;     // accepts jobs from this user
};

// Everything the program asks of the print spooler. The real one talks to CUPS; tests use a fake.
class Spooler
{
public:
    virtual ~Spooler() = default;

    // Every printer the spooler knows, in the spooler's own order. Empty when the spooler can't
    // be reached.
    virtual std::vector<SpoolerPrinter> printers() = 0;

    // Hands `bytes` unchanged to `printer` as one raw job named `jobName`. True when the spooler
    // accepted the whole job.
    virtual bool writeRawJob(const std::string &printer, const std::string &jobName, std::string_view bytes) = 0;

    // Prints `image` on one page of `printer` as one job named `jobName`, through the printer's
    // driver, at one printer dot per pixel from the top-left corner: the spooler is told the
    // printer's resolution and never scales the picture. True when the spooler accepted the job.
    virtual bool printImage(const std::string &printer, const std::string &jobName, const RgbImage &image) = 0;
};
