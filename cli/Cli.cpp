#include "cli/Cli.h"

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/HelpText.h"
#include "cli/Spoolers.h"

namespace {

constexpr char kProgramName[] = "sbq740-cli";

int runInvocation(const Arguments::Invocation &invocation, CommandContext &context)
{
    using Arguments::Command;
    switch (invocation.command) {
    case Command::Help:
        context.out << HelpText::of(invocation.helpTopic);
        return ExitCode::kOk;
    case Command::Version:
        context.out << kProgramName << ' ' << SBQ_VERSION << '\n';
        return ExitCode::kOk;
    case Command::Printers: return Commands::printers(invocation, context);
    case Command::Show: return Commands::show(invocation, context);
    case Command::Diff: return Commands::diff(invocation, context);
    case Command::Send: return Commands::send(invocation, context);
    case Command::HeadCheck: return Commands::headCheck(invocation, context);
    case Command::Export: return Commands::exportSettings(invocation, context);
    case Command::Import: return Commands::importSettings(invocation, context);
    case Command::Set: return Commands::setFields(invocation, context);
    case Command::History: return Commands::history(invocation, context);
    case Command::LastSent: return Commands::lastSent(invocation, context);
    case Command::Apply: return Commands::apply(invocation, context);
    }
    return ExitCode::kUsage;
}

// Only the configured print server.
class OneSpooler : public Spoolers
{
public:
    explicit OneSpooler(Spooler &spooler) : m_spooler(spooler) {}
    Spooler *at(const std::string &server) override { return server.empty() ? &m_spooler : nullptr; }

private:
    Spooler &m_spooler;
};

}  // namespace

int runCli(const std::vector<std::string> &arguments, Spoolers &spoolers, std::ostream &out, std::ostream &err,
           std::function<bool()> interrupted)
{
    const Arguments::Parsed parsed = Arguments::parse(arguments);
    if (!parsed.invocation) {
        err << kProgramName << ": " << parsed.error << '\n'
            << "Try '" << kProgramName << " --help' for more information.\n";
        return ExitCode::kUsage;
    }
    CommandContext context{spoolers, out, err, std::move(interrupted)};
    const int code = runInvocation(*parsed.invocation, context);
    if (code == ExitCode::kInterrupted || !context.interrupted())
        return code;
    // Ctrl-C came while a command that does not stop for it finished its work.
    err << "Interrupted.\n";
    return ExitCode::kInterrupted;
}

int runCli(const std::vector<std::string> &arguments, Spooler &spooler, std::ostream &out, std::ostream &err)
{
    OneSpooler spoolers(spooler);
    return runCli(arguments, spoolers, out, err);
}
