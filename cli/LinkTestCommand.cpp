// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "core/LinkTestReport.h"

namespace tarvik::cli {

// `linktest [COUNT]`: the link test (LinkTest) over the chosen pair. Its two lines go to
// standard output; a reply lost makes exit 1, with a warning that says what to try.
class LinkTestCommand : public DeviceCommand {
  Q_OBJECT
 public:
  LinkTestCommand(MidiPorts& ports, const CliOptions& options, Output output)
      : DeviceCommand(ports, options, output) {
    connect(&core(), &ConfiguratorCore::linkTested, this, &LinkTestCommand::report);
    connect(&core(), &ConfiguratorCore::linkTestFailed, this,
            [this](const QString& text) { fail(ExitCode::DeviceFailure, text); });
  }

 protected:
  // Not openAndRun(): the test changes nothing on the device, so there is no history to keep
  // and no library to open.
  void begin() override {
    if (const QString problem = session().open(options().in, options().out); !problem.isEmpty()) {
      fail(ExitCode::DeviceFailure, problem);
      return;
    }
    if (!core().testLink(options().count)) fail(ExitCode::DeviceFailure, busyText());
  }

 private:
  void report(const LinkTestReport& report) {
    out() << report.countsLine() << '\n' << report.roundTripLine() << Qt::endl;
    if (report.lost() == 0) {
      finish(ExitCode::Ok);
      return;
    }
    // A slower pace is what the user can change at once; at the slowest, only the cable and
    // the port are left.
    const std::optional<int> pace = report.paceToTry(options().care.paceMs);
    err() << kProgramName << ": "
          << (pace ? tr("warning: %1 of %2 replies lost: try --pace %3")
                         .arg(report.lost())
                         .arg(report.sent)
                         .arg(*pace)
                   : tr("warning: %1 of %2 replies lost: try another cable or USB port")
                         .arg(report.lost())
                         .arg(report.sent))
          << Qt::endl;
    // The lines are the answer: a standard output that could not take them overrides it.
    finishWithAnswer(ExitCode::DeviceFailure);
  }
};

std::unique_ptr<CliCommand> makeLinkTestCommand(MidiPorts& ports, const CliOptions& options,
                                                Output output) {
  return std::make_unique<LinkTestCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "LinkTestCommand.moc"
