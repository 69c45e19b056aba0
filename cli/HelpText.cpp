#include "cli/HelpText.h"

namespace HelpText {
namespace {

constexpr std::string_view kProgram = R"help(Usage: sbq740-cli COMMAND [OPTIONS] [FILES]

The command-line companion of Setbridge for QAV Quillotron 740Q2 label printers: lists the
printers, shows, compares, edits and sends settings files (*.dat), and turns them into JSON
settings documents and back, from scripts and over SSH.

Commands:
  printers [--json] [--server HOST[:PORT] ...]
                            the usable printers as the printer selection lists them
  show [--json] FILE        the settings in FILE (a settings file or document) as the four
                            pages show them
  diff A B                  the fields that differ between two settings files or documents
  export FILE.dat           the settings as a JSON settings document, on standard output
  import FILE.json -o OUT.dat [--base BASE.dat]
                            a settings file built from a settings document
  set FILE.dat KEY=VALUE... [-o OUT.dat]
                            change fields of a settings file as typed into the pages
  send --group GROUP (--printer NAME ... | --all) [--yes] FILE.dat
                            send one group of settings to each printer
  apply PLAN.json [--dry-run] [--yes] [--jobs N] [--server HOST[:PORT] ...]
                            send a plan: base settings, each printer with its own values
  headcheck --printer NAME [--printer NAME ...]
                            start the thermal-head disconnection check
  history [--printer NAME] [--since DATE] [--json]
                            the ledger of the jobs sent, newest last
  last-sent --printer NAME  a settings document of the settings the printer was last sent
  help [COMMAND]            this text, or one command's help

Options:
  -h, --help                help; after a command, that command's help
  --version                 the program's version
  --server HOST[:PORT]      (printers, send, apply, headcheck) the CUPS server to address, as
                            'lp -h' takes it; a printer may also be named QUEUE@HOST[:PORT]
  --wait SECONDS            (send, apply, headcheck) follow each job until the spooler reports it
                            completed, aborted or canceled, for at most SECONDS (default 30)
  --no-wait                 (send, apply, headcheck) stop when the spooler has accepted the job
  --jobs N                  (send, apply) jobs handed over at once per print server (default 8);
                            the print servers are addressed at the same time
  -o, --output FILE         (import, set) the settings file to write
  --base FILE               (import) the settings the document's left-out keys keep

Exit codes:
  0    done; the files are equal; every job was delivered (with --no-wait: accepted by the
       spooler)
  1    the files differ; some job was not delivered (still queued, or failed); a print
       server could not list its printers; no usable printer; the exported file holds fields
       the pages would not write back as they are
  2    a file is missing, unreadable, not a settings file or document, or can't be written;
       standard output can't be written
  3    the settings were refused: nothing was sent or written
  64   the command line was wrong
  130  interrupted by Ctrl-C: no further job was started

Printers are those of the CUPS server that --server, CUPS_SERVER or the CUPS client
configuration names.

Every job handed to the spooler (settings, head check) is recorded in the ledger, one JSON line
per job at $SBQ740_LEDGER, else $XDG_STATE_HOME/sbq740/sent.jsonl, else
~/.local/state/sbq740/sent.jsonl (see 'history'). A ledger that can't be written stops no send:
a warning says so on standard error.
)help";

constexpr std::string_view kHistory = R"help(Usage: sbq740-cli history [--printer NAME] [--since DATE] [--json]

Lists the ledger of what was sent, newest last: every job Setbridge and sbq740-cli handed to the
spooler (the settings groups, the head check, the test print), one line each: the time (UTC),
the printer as QUEUE@SERVER, the group ("param", "fine", "ip", "issue", "headcheck",
"testprint"), the spooler's job id, the outcome, the first 12 digits of the SHA-256 of the job's
bytes, the user and host, and the program. The outcome is "accepted" or "refused" when the job
was handed over; a job that was followed gets a later line: "delivered", "queued" or "failed".

The ledger is JSON Lines at $SBQ740_LEDGER, else $XDG_STATE_HOME/sbq740/sent.jsonl, else
~/.local/state/sbq740/sent.jsonl; point SBQ740_LEDGER at a shared file to keep a team's ledger.
Each line is {"time", "user", "host", "program", "printer", "server", "device_uri",
"job_name", "group", "sha256", "fields" (settings jobs: the group's fields as in a settings
document), "job_id", "outcome", "reason"}. Programs writing at once never mix lines; a last
line cut short (a crash) is skipped with a warning.

  --printer NAME   only the jobs of this printer: QUEUE on the configured print server, or
                   QUEUE@HOST[:PORT]
  --since DATE     only the jobs from DATE on (UTC): YYYY-MM-DD, YYYY-MM-DDTHH:MM or
                   YYYY-MM-DDTHH:MM:SSZ
  --json           a JSON array of the records as the ledger holds them

Exit code 0, or 2 when the ledger can't be read (a missing ledger lists nothing).
)help";

constexpr std::string_view kLastSent = R"help(Usage: sbq740-cli last-sent --printer NAME

Writes a settings document (see 'export') with, for each group the ledger says the printer was
sent, the fields of the latest job of that group delivered to it (or accepted by the spooler,
where the job was not followed); groups never sent are left out, and so keep the factory settings
when the document is read. What a send would change:

  sbq740-cli diff <(sbq740-cli last-sent --printer q1) line3.dat

  --printer NAME   QUEUE on the configured print server, or QUEUE@HOST[:PORT]

Exit code 0 (a printer the ledger knows nothing of gets a document without fields, and a note on
standard error), 2 when the ledger can't be read.
)help";

constexpr std::string_view kPrinters = R"help(Usage: sbq740-cli printers [--json] [--server HOST[:PORT] ...]

Lists the printers Setbridge offers in its printer selection: those whose driver is
"QAV Quillotron 740Q2" and that accept jobs from this user, sorted by name. One line per
printer: the name, a tab, the connection ("FILE:", a device URI or the print server's name).
With --server, the printers of each server given, named QUEUE@HOST[:PORT]. A name that holds
control characters, invisible characters or bytes that are not UTF-8 is printed with \xNN,
\uNNNN and \UNNNNNNNN escapes, in a form --printer takes back. A print server that can't list
its printers is named on standard error with the reason: it can't be reached, did not answer in
time, gave no usable answer or refused.

  --json    a JSON array of {"name", "connection"} objects instead

Exit code 0, or 1 when there is no usable printer or a print server could not list its
printers.
)help";

constexpr std::string_view kShow = R"help(Usage: sbq740-cli show [--json] FILE

Shows the settings in a settings file as an operator reads them on the four pages: per page,
each field's caption and the value the page would display, decoded as the pages decode it.
FILE may also be a settings document (see 'export'), read as 'import' reads it over the factory
settings.

  --json    {"file", "pages": [{"page", "fields": [{"caption", "value", "direction", "unit"}]}]};
            "value" is null for a choice with no button checked, "direction" and "unit" are
            present where the page shows them

Exit code 0, 2 when FILE is neither a settings file nor a settings document, 3 when the
document holds a value no field takes.
)help";

constexpr std::string_view kDiff = R"help(Usage: sbq740-cli diff A B

Lists the fields whose values differ between two settings files, page by page, as
"caption: value in A -> value in B", then any differing bytes that no page shows (they still
travel to the printer with their group). Either file may also be a settings document (see
'export').

Exit code 0 when the files hold the same settings, 1 when they differ, 2 when either is neither
a settings file nor a settings document, 3 when a document holds a value no field takes.
)help";

constexpr std::string_view kExport = R"help(Usage: sbq740-cli export FILE.dat

Writes the settings in FILE.dat to standard output as a JSON settings document, for keeping
settings as text and building settings files with 'import':

  {"format": "sbq740-settings", "version": 1,
   "fields": {"param.cut_speed": {"label": "カット速度", "value": "high_speed",
                                  "caption": "高速モード(5)"}, ...},
   "extended_record": "\u001bZ2;3,00000030054000520+00\n",
   "unowned": [{"offset": 8, "bytes": "7"}]}

Each field has a stable key, "<page>.<name>" (param, fine, ip, issue), and its value as the page
shows it: a choice by its name, with the page's caption beside it; numbers, addresses, the port
and the client ID as their text. "label", "caption" and "unit" are for people. The bytes no page
owns travel too: the extended record, and "unowned" runs that differ from the factory settings.
A field whose value alone would not give its bytes back (a value the page keeps as the file
holds it, a choice no button shows) also carries "bytes", one character U+0000-U+00FF per byte.
'import' of the document gives back the file byte for byte wherever the pages would.

Exit code 0; 1 when the pages would not write some field back as the file holds it (each is
named on standard error; the document holds what they would write); 2 when FILE.dat is not a
settings file or the document can't be written to standard output (a full disk).
)help";

constexpr std::string_view kImport = R"help(Usage: sbq740-cli import FILE.json -o OUT.dat [--base BASE.dat]

Builds the settings file OUT.dat from a settings document (see 'export'). Keys left out keep
the factory settings, or those of BASE.dat. Each value is taken as the page takes typed text:
a choice by its name; numbers, the port and the client ID through the page's rules (a value
beyond its range is clamped, a small one becomes "0.0", a port above 65535 becomes 65535), and
each value a rule changed is listed. A value equal to what the field shows for its "bytes" (or
for BASE.dat) is left as the page leaves an unedited field. The forward-standby adjustment is
checked as 'send --group param' checks it: a typed value off the 0.5 mm grid is refused.

Refused, with a message naming the key and the value, and nothing written: an unknown key or
member, a choice that is not one of the field's, text where a number belongs, an address part
above 255, a client ID that its input type can't hold, a member of the wrong type, a name given
twice. OUT.dat is replaced as a whole (a new file, flushed, renamed over the old one).

  -o, --output OUT.dat   the settings file to write
  --base BASE.dat        the settings the left-out keys keep

Exit code 0; 2 when FILE.json is no settings document, BASE.dat no settings file or OUT.dat
can't be written; 3 when a value was refused.
)help";

constexpr std::string_view kSet = R"help(Usage: sbq740-cli set FILE.dat KEY=VALUE... [-o OUT.dat]

Changes fields of a settings file, each VALUE taken as 'import' takes a value: KEY is a field's
key as 'export' writes it, VALUE a choice's name or the text typed into the field, e.g.

  sbq740-cli set line3.dat param.cut_speed=high_speed fine.feed=12.5 ip.address=192.168.10.31

The values the pages' rules changed are listed. Without -o the file is replaced as a whole (a
new file, flushed, renamed over the old one); with -o, OUT.dat is written and FILE.dat stays.

  -o, --output OUT.dat   the settings file to write instead of FILE.dat

Exit code 0; 2 when FILE.dat is not a settings file or the file can't be written; 3 when a
value was refused (nothing is written).
)help";

constexpr std::string_view kSend = R"help(Usage: sbq740-cli send --group GROUP (--printer NAME ... | --all) [--server HOST[:PORT] ...]
                       [--wait SECONDS | --no-wait] [--jobs N] [--yes] FILE.dat

Sends one group of settings from FILE.dat to each printer, as the same raw job
"Setbridge Status Write" that Setbridge builds for that choice, and follows each job until the
spooler reports what became of it.

  --group GROUP    param  the parameter settings; refused unless the forward-standby
                          adjustment is one of -5.0 to 5.0 in 0.5 mm steps
                   fine   the fine adjustments
                   ip     the IP address settings; they change the printer's address, so
                          they are sent only with --yes
                   issue  the issue-control settings
                   A group whose records a damaged file has broken is refused. The IP
                   group is refused when the printers would get one static address (DHCP
                   off), when the address is the network or broadcast address of its
                   subnet, when the subnet mask is not contiguous, or when the gateway
                   (other than 0.0.0.0) is outside the address's subnet; each problem is
                   named on standard error as "PRINTER: KEY: "VALUE": REASON".
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
  --jobs N         hand over at most N jobs at once on each print server (default 8, up to
                   64); the print servers are addressed at the same time
  --yes            confirms sending the IP address settings

Prints one line per printer as its job ends: "NAME: delivered" (the spooler reports the job
completed), "NAME: queued (REASON)" (still pending when the wait ended; the reason is the
printer's state as the spooler reports it, e.g. "paused" for a stopped queue), "NAME: failed
(REASON)" (refused, aborted or canceled, or the print server could not be used), or with
--no-wait "NAME: accepted by the spooler (delivery not followed)"; with --all, a print server
that can't list its printers gets a line of its own, "HOST: failed (REASON)"; then a summary,
which counts such servers. Shows progress on standard error when more than one printer is
addressed.

A print server that can't be reached or does not answer in time costs one wait: it counts as
down for the rest of the run, its other printers fail at once with that reason, and the jobs it
was following are told queued with it. Ctrl-C starts no further job, stops waiting for the print
servers within a second, prints the summary and exits with 130; a second Ctrl-C ends the
program at once.

Each job is recorded in the ledger (see 'history'); a ledger that can't be written is named in a
warning on standard error and changes neither the send nor its exit code.

Exit code 0 when every job was delivered (with --no-wait: accepted), 1 when some was not or a
print server could not list its printers, 2 when FILE.dat is not a settings file, 3 when the
settings were refused and nothing was sent, 130 when interrupted.
)help";

constexpr std::string_view kApply = R"help(Usage: sbq740-cli apply PLAN.json [--dry-run [--jobs DIR]] [--yes] [--wait SECONDS | --no-wait]
                        [--server HOST[:PORT] ...]

Sends a plan: base settings, the groups to send, and each printer with its own values.

  {"format": "sbq740-plan", "version": 1,
   "settings": "line3.dat",
   "groups": ["fine", "ip"],
   "printers": [{"printer": "q1@print1:631", "set": {"ip.address": "10.20.30.11"}},
                {"printer": "q2@print1:631", "set": {"ip.address": "10.20.30.12"},
                 "groups": ["ip"]}]}

"settings" names a settings file or document, relative to the plan's folder, or holds a
settings document inline. Each printer's settings are the base settings with its "set" values
taken as 'set' takes them (the values a rule changed are listed on standard error). Each group
listed (the printer's own "groups", else the plan's) goes to it as its own job, group by group
in the order param, fine, ip, issue; each group's lines and summary are those of 'send'.

Everything is checked before anything is sent: the plan itself, an unknown printer or key, a
value no rule takes, a damaged group, the forward-standby adjustment, the address checks of
'send --group ip' over all the plan's printers that get the IP group, and the IP group without
--yes. Each problem is one line on standard error naming the printer, the key and the value;
then nothing is sent.

  --dry-run        check, then print per printer the fields that differ from the base
                   settings ("KEY: BASE -> PRINTER'S") and each job's SHA-256; nothing is
                   sent and --yes is not needed
  --jobs DIR       (with --dry-run) also write each job's 260 bytes to
                   DIR/PRINTER.GROUP.bin (characters other than letters, digits, '.', '-',
                   '_' and '@' in the printer's name as '_')
  --yes            confirms sending the IP address settings
  --jobs N         (without --dry-run) jobs at once per print server, as for 'send'
  --server, --wait, --no-wait
                   as for 'send'

Exit code 0 when every job was delivered (with --no-wait: accepted; with --dry-run: the plan
passed its checks), 1 when some was not, 2 when the plan or its settings can't be read, 3 when
something was refused and nothing was sent, 130 when interrupted.
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
    case Command::Export: return kExport;
    case Command::Import: return kImport;
    case Command::Set: return kSet;
    case Command::History: return kHistory;
    case Command::LastSent: return kLastSent;
    case Command::Apply: return kApply;
    case Command::Help:
    case Command::Version: return kProgram;
    }
    return kProgram;
}

}  // namespace HelpText
