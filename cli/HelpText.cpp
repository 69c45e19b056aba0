#include "HelpText.h"

namespace HelpText {
namespace {

constexpr std::string_view kProgram = R"help(Usage: sbq740-cli COMMAND [OPTIONS] [FILES]

The command-line companion of Setbridge for QAV Quillotron 740Q2 label printers: lists the
printers, shows and compares settings files (*.dat) and sends them, from scripts and over SSH.

Commands:
  printers [--json] [--server HOST[:PORT] ...]
                            the usable printers as the printer selection lists them
  show [--json] FILE.dat    the settings in FILE.dat as the four pages show them
  diff A.dat B.dat          the fields that differ between two settings files
  send --group GROUP (--printer NAME ... | --all) [--yes] FILE.dat
                            send one group of settings to each printer in turn
  headcheck --printer NAME [--printer NAME ...]
                            start the thermal-head disconnection check
  help [COMMAND]            this text, or one command's help

Options:
  -h, --help                help; after a command, that command's help
  --version                 the program's version
  --server HOST[:PORT]      (printers, send, headcheck) the CUPS server to address, as
                            'lp -h' takes it; a printer may also be named QUEUE@HOST[:PORT]
  --wait SECONDS            (send, headcheck) follow each job until the spooler reports it
                            completed, aborted or canceled, for at most SECONDS (default 30)
  --no-wait                 (send, headcheck) stop when the spooler has accepted the job

Exit codes:
  0    done; the files are equal; every job was delivered (with --no-wait: accepted by the
       spooler)
  1    the files differ; some job was not delivered (still queued, or failed); no usable
       printer
  2    a file is missing, unreadable or not a settings file
  3    the settings were refused and nothing was sent
  64   the command line was wrong
  130  interrupted by Ctrl-C: no further job was started

Printers are those of the CUPS server that --server, CUPS_SERVER or the CUPS client
configuration names.
)help";

constexpr std::string_view kPrinters = R"help(Usage: sbq740-cli printers [--json] [--server HOST[:PORT] ...]

Lists the printers Setbridge offers in its printer selection: those whose driver is
"QAV Quillotron 740Q2" and that accept jobs from this user, sorted by name. One line per
printer: the name, a tab, the connection ("FILE:", a device URI or the print server's name).
With --server, the printers of each server given, named QUEUE@HOST[:PORT]. A name that holds
control characters or bytes that are not UTF-8 is printed with \xNN and \uNNNN escapes, in a
form --printer takes back.

  --json    a JSON array of {"name", "connection"} objects instead

Exit code 0, or 1 when there is no usable printer.
)help";

constexpr std::string_view kShow = R"help(Usage: sbq740-cli show [--json] FILE.dat

Shows the settings in a settings file as an operator reads them on the four pages: per page,
each field's caption and the value the page would display, decoded as the pages decode it.

  --json    {"file", "pages": [{"page", "fields": [{"caption", "value", "direction", "unit"}]}]};
            "value" is null for a choice with no button checked, "direction" and "unit" are
            present where the page shows them

Exit code 0, or 2 when FILE.dat is not a settings file.
)help";

constexpr std::string_view kDiff = R"help(Usage: sbq740-cli diff A.dat B.dat

Lists the fields whose values differ between two settings files, page by page, as
"caption: value in A -> value in B", then any differing bytes that no page shows (they still
travel to the printer with their group).

Exit code 0 when the files hold the same settings, 1 when they differ, 2 when either is not a
settings file.
)help";

constexpr std::string_view kSend = R"help(Usage: sbq740-cli send --group GROUP (--printer NAME ... | --all) [--server HOST[:PORT] ...]
                       [--wait SECONDS | --no-wait] [--yes] FILE.dat

Sends one group of settings from FILE.dat to each printer in turn, as the same raw job
"Setbridge Status Write" that Setbridge builds for that choice, and follows each job until the
spooler reports what became of it.

  --group GROUP    param  the parameter settings; refused unless the forward-standby
                          adjustment is one of -5.0 to 5.0 in 0.5 mm steps
                   fine   the fine adjustments
                   ip     the IP address settings; they change the printer's address, so
                          they are sent only with --yes
                   issue  the issue-control settings
                   A group whose records a damaged file has broken is refused.
  --printer NAME   a printer as 'sbq740-cli printers' lists it, or QUEUE@HOST[:PORT] on
                   another CUPS server; repeat it for more printers. A printer connected to
                   "FILE:" is refused.
  --all            every usable printer of the server (or of each --server) that is not
                   connected to "FILE:"
  --server HOST[:PORT]
                   the CUPS server of the printers named without one; with several, every
                   --printer names its own server
  --wait SECONDS   follow each job for at most SECONDS (default 30)
  --no-wait        stop when the spooler has accepted each job
  --yes            confirms sending the IP address settings

Prints one line per printer as its job ends: "NAME: delivered" (the spooler reports the job
completed), "NAME: queued (REASON)" (still pending when the wait ended; the reason is the
printer's state as the spooler reports it, e.g. "paused" for a stopped queue), "NAME: failed
(REASON)" (refused, aborted or canceled), or with --no-wait "NAME: accepted by the spooler
(delivery not followed)"; then a summary. Shows progress on standard error when more than one
printer is addressed. Ctrl-C starts no further job, prints the summary and exits with 130.

Exit code 0 when every job was delivered (with --no-wait: accepted), 1 when some was not, 2
when FILE.dat is not a settings file, 3 when the settings were refused and nothing was sent,
130 when interrupted.
)help";

constexpr std::string_view kHeadCheck = R"help(Usage: sbq740-cli headcheck --printer NAME [--printer NAME ...] [--server HOST[:PORT] ...]
                            [--wait SECONDS | --no-wait]

Starts the thermal-head disconnection check: sends the raw job "Setbridge Check" to each printer
in turn and follows it as 'send' does. Each printer shows the outcome on its display. A printer
connected to "FILE:" is refused.

Exit code 0 when every job was delivered (with --no-wait: accepted), 1 when some was not, 130
when interrupted.
)help";

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
