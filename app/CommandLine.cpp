// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <cstdio>

#include "core/ConfiguratorCore.h"
#include "firmware/UpdateServerUrl.h"

namespace tarvik {

namespace {

// The name the program answers --version with, whatever the file is called (help2man takes the
// manual page's title from this line).
const QString kProgramName = QStringLiteral("tarvik-configurator");

}  // namespace

CommandLine::CommandLine()
    : helpOption_({QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help and exit.")),
      // As Linux MIDI tools (aconnect, amidi, aseqdump) and tarvik-cli have them: -V the
      // version, -v more output.
      versionOption_({QStringLiteral("V"), QStringLiteral("version")},
                     tr("Show the program's version and exit.")),
      verboseOption_({QStringLiteral("v"), QStringLiteral("verbose")},
                     tr("Also print the transfer's log lines on standard error.")),
      updateUrlOption_(QStringLiteral("update-url"),
                       tr("Check for and download firmware from the update "
                          "directory <url> instead of the maker's (also from the "
                          "environment variable TARVIK_UPDATE_BASE_URL); its path "
                          "must end in \"/downloads/tarvik/\"."),
                       QStringLiteral("url")),
      libraryOption_(QStringLiteral("library"),
                     tr("Keep the library of setups and the device history in <file> "
                        "(default: the environment variable TARVIK_LIBRARY, else "
                        "library.sqlite in the configurator's data folder)."),
                     tr("file")) {
  parser_.setApplicationDescription(tr(
      "Configures the Tarvik, a MIDI loop switcher with eight loops, over MIDI System Exclusive:\n"
      "presets, CC map, program change remapping, advanced settings and firmware updates."));
  // "-platform" is Qt's option, not -p -l -a ...; and "-reverse" must not read as -v.
  parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser_.addOption(helpOption_);
  parser_.addOption(versionOption_);
  parser_.addOption(verboseOption_);
  parser_.addOption(updateUrlOption_);
  parser_.addOption(libraryOption_);
  parser_.addPositionalArgument(
      tr("file"),
      tr("A configuration file (.tvk or full backup) to open once the window is "
         "shown, as \"Load from File\" does."),
      tr("[file]"));
}

bool CommandLine::asksForTextOnly(const QStringList& arguments) {
  CommandLine commandLine;
  // Qt's own options are still in the list here and count as unknown; that failure is read()'s
  // to report, once QApplication has taken them out.
  commandLine.parser_.parse(arguments);
  return commandLine.parser_.isSet(commandLine.helpOption_) ||
         commandLine.parser_.isSet(commandLine.versionOption_);
}

bool CommandLine::asksForTextOnly(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return asksForTextOnly(arguments);
}

std::optional<int> CommandLine::read(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err) {
  const bool parsed = parser_.parse(arguments);
  // Asked for text, the program gives it, even next to an option it does not know: the same
  // rule as asksForTextOnly(), so a run without a display never goes on to open a window.
  if (parser_.isSet(helpOption_)) {
    out << parser_.helpText();
    return 0;
  }
  if (parser_.isSet(versionOption_)) {
    out << kProgramName << ' ' << ConfiguratorCore::version() << '\n';
    return 0;
  }
  QString problem = parser_.errorText();
  if (parsed && parser_.positionalArguments().size() > 1) {
    problem = tr("unexpected argument '%1'").arg(parser_.positionalArguments().at(1));
  }
  if (problem.isEmpty()) {
    const QString option = parser_.value(updateUrlOption_);
    const UpdateDirectory directory =
        chooseUpdateDirectory(option.isEmpty() ? std::nullopt : std::optional(option));
    problem = directory.error;
    updateServer_ = directory.url;
  }
  if (!problem.isEmpty()) {
    err << kProgramName << ": " << problem << '\n'
        << tr("Try '%1 --help' for more information.").arg(kProgramName) << '\n';
    return 1;
  }
  return std::nullopt;
}

std::optional<int> CommandLine::read(const QStringList& arguments) {
  QTextStream out(stdout);
  QTextStream err(stderr);
  return read(arguments, out, err);
}

}  // namespace tarvik
