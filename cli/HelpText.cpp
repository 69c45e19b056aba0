#include "HelpText.h"

namespace HelpText {
namespace {

constexpr std::string_view kProgram = R"(Usage: sbq740-cli COMMAND [OPTIONS] [FILES]

The command-line companion of Setbridge for QAV Quillotron 740Q2 label printers: lists the
printers, shows and compares settings files (*.dat) and sends them, from scripts and over SSH.

Commands:
  printers [--json]         the usable printers as the printer selection lists them
  show [--json] FILE.dat    the settings in FILE.dat as the four pages show them
  diff A.dat B.dat          the fields that differ between two settings files
  send --group GROUP --printer NAME [--printer NAME ...] [--yes] FILE.dat
                            send one group of settings to each printer in turn
  headcheck --printer NAME [--printer NAME ...]
                            start the thermal-head disconnection check
  help [COMMAND]            this text, or one command's help

Options:
  -h, --help                help; after a command, that command's help
  --version                 the program's version

Exit codes:
  0   done; the files are equal; every printer got its job
  1   the files differ; some printer did not get its job; no usable printer
  2   a file is missing, unreadable or not a settings file
  3   the settings were refused and nothing was sent
  64  the command line was wrong

Printers are those of the CUPS server that CUPS_SERVER or the CUPS client configuration names.
)";

constexpr std::string_view kPrinters = R"(Usage: sbq740-cli printers [--json]

Lists the printers Setbridge offers in its printer selection: those whose driver is
"QAV Quillotron 740Q2" and that accept jobs from this user, sorted by name. One line per
printer: the name, a tab, the connection ("FILE:", a device URI or the print server's name).

  --json    a JSON array of {"name", "connection"} objects instead

Exit code 0, or 1 when there is no usable printer.
)";

constexpr std::string_view kShow = R"(Usage: sbq740-cli show [--json] FILE.dat

Shows the settings in a settings file as an operator reads them on the four pages: per page,
each field's caption and the value the page would display, decoded as the pages decode it.

  --json    {"file", "pages": [{"page", "fields": [{"caption", "value", "direction", "unit"}]}]};
            "value" is null for a choice with no button checked, "direction" and "unit" are
            present where the page shows them

Exit code 0, or 2 when FILE.dat is not a settings file.
)";

constexpr std::string_view kDiff = R"(Usage: sbq740-cli diff A.dat B.dat

Lists the fields whose values differ between two settings files, page by page, as
"caption: value in A -> value in B", then any differing bytes that no page shows (they still
travel to the printer with their group).

Exit code 0 when the files hold the same settings, 1 when they differ, 2 when either is not a
settings file.
)";

constexpr std::string_view kSend = R"(Usage: sbq740-cli send --group GROUP --printer NAME [--printer NAME ...] [--yes] FILE.dat

Sends one group of settings from FILE.dat to each printer in turn, as the same raw job
"Setbridge Status Write" that Setbridge builds for that choice.

  --group GROUP    param  the parameter settings; refused unless the forward-standby
                          adjustment is one of -5.0 to 5.0 in 0.5 mm steps
                   fine   the fine adjustments
                   ip     the IP address settings; they change the printer's address, so
                          they are sent only with --yes
                   issue  the issue-control settings
  --printer NAME   a printer as 'sbq740-cli printers' lists it; repeat it for more printers.
                   A printer connected to "FILE:" is refused.
  --yes            confirms sending the IP address settings

Prints one line per printer ("NAME: sent" or "NAME: not sent: why") and a summary; shows
progress on standard error when more than one printer is addressed.

Exit code 0 when every printer got the job, 1 when some did not, 2 when FILE.dat is not a
settings file, 3 when the settings were refused and nothing was sent.
)";

constexpr std::string_view kHeadCheck = R"(Usage: sbq740-cli headcheck --printer NAME [--printer NAME ...]

Starts the thermal-head disconnection check: sends the raw job "Setbridge Check" to each printer
in turn. Each printer shows the outcome on its display. A printer connected to "FILE:" is refused.

Exit code 0 when every printer got the job, 1 when some did not.
)";

}  // namespace

std::string_view of(std::optional<Arguments::Command> command)
{
    using Arguments::Command;
    switch (command.value_or(Command::Help)) {
    case Command::Printers: return kPrinters;
    case Command::Show: return kShow;
    case Command::Diff: return kDiff;
    case Command::Send: return kSend;
    case Command::HeadCheck: return kHeadCheck;
    case Command::Help:
    case Command::Version: return kProgram;
    }
    return kProgram;
}

}  // namespace HelpText
