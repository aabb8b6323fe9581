// SPDX-License-Identifier: MIT
#include "cli/CliOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "firmware/UpdateServerUrl.h"

namespace tarvik::cli {
namespace {

const QString kDescription = QStringLiteral(
    "Sets up a Tarvik MIDI loop switcher and checks what it wrote.\n"
    "\n"
    "Commands:\n"
    "  ports          List the MIDI ports, one a line: \"in:\" or \"out:\", a tab, the name.\n"
    "  info           Identify the Tarvik and print \"firmware: X.Y\".\n"
    "  backup FILE    Download the presets, CC map, PC remap table and the 20 settings and\n"
    "                 write them to FILE: a .tvk file with a [settings] section. FILE \"-\"\n"
    "                 is standard output, which then carries nothing but the file.\n"
    "  restore FILE   Submit the tables of FILE (and its [settings], if it has them),\n"
    "                 download everything again and compare with what was sent. FILE \"-\"\n"
    "                 is standard input.\n"
    "  flash FILE     Flash a firmware.txt, verifying every page as it is read back;\n"
    "                 with --from-server the file comes from the update server.\n"
    "  monitor        Print incoming program and control changes, time-stamped, until\n"
    "                 interrupted (Ctrl+C).\n"
    "\n"
    "Ports: without --in and --out the pair is chosen as the window does: the first input\n"
    "whose name contains \"midi\" and the output of the same name. --in and --out pick the\n"
    "first port whose name contains the text, regardless of case; the other side then\n"
    "defaults to the port of the same name.\n"
    "\n"
    "Exit codes: 0 success; 1 device or transfer failure (no Tarvik, other firmware,\n"
    "refused, no reply, a difference after a restore, a failed flash); 2 usage or file\n"
    "error (bad command line, unreadable or unwritable file, refused firmware file);\n"
    "130 interrupted (Ctrl+C or SIGTERM; monitor then ends with 0).");

const QStringList kCommands = {QStringLiteral("ports"),  QStringLiteral("info"),
                               QStringLiteral("backup"), QStringLiteral("restore"),
                               QStringLiteral("flash"),  QStringLiteral("monitor")};

CliParse usageError(const QString& text) {
  CliParse parse;
  parse.outcome = CliParse::Outcome::UsageError;
  parse.text = text;
  return parse;
}

// Qt writes the program's path as it was called; the help names the program.
QString helpText(const QCommandLineParser& parser) {
  QString text = parser.helpText();
  const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
  return QStringLiteral("Usage: %1 [options] command [file]\n").arg(kProgramName) +
         text.mid(lineEnd);
}

}  // namespace

CliParse parseCommandLine(const QStringList& arguments, const QUrl& builtInUpdateUrl,
                          const QString& environmentUpdateUrl) {
  QCommandLineParser parser;
  parser.setApplicationDescription(kDescription);
  const QCommandLineOption help = parser.addHelpOption();
  // As Linux MIDI tools (aconnect, amidi, aseqdump) have them: -V the version, -v more output.
  const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")},
                                   QStringLiteral("Show the program's version and exit."));
  const QCommandLineOption in(
      QStringLiteral("in"), QStringLiteral("Use the first MIDI input whose name contains <text>."),
      QStringLiteral("text"));
  const QCommandLineOption out(
      QStringLiteral("out"),
      QStringLiteral("Use the first MIDI output whose name contains <text>."),
      QStringLiteral("text"));
  const QCommandLineOption verbose(
      {QStringLiteral("v"), QStringLiteral("verbose")},
      QStringLiteral("Print the transfer's log lines, and what the MIDI system's libraries "
                     "(ALSA, JACK) say, on standard error."));
  const QCommandLineOption fromServer(
      QStringLiteral("from-server"),
      QStringLiteral("flash: download firmware.txt from the update server instead of a file."));
  const QCommandLineOption updateUrl(
      QStringLiteral("update-url"),
      QStringLiteral("flash --from-server: the update server directory, whose path ends in "
                     "\"/downloads/tarvik/\" (default: the environment variable "
                     "TARVIK_UPDATE_BASE_URL, else %1).")
          .arg(builtInUpdateUrl.toString()),
      QStringLiteral("url"));
  parser.addOptions({version, in, out, verbose, fromServer, updateUrl});
  parser.addPositionalArgument(QStringLiteral("command"),
                               QStringLiteral("ports, info, backup, restore, flash or monitor."));
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("The backup file (backup, restore; \"-\" for "
                                              "standard output or input) or firmware.txt (flash)."),
                               QStringLiteral("[file]"));

  if (!parser.parse(arguments)) return usageError(parser.errorText());
  if (parser.isSet(help)) {
    CliParse parse;
    parse.outcome = CliParse::Outcome::Help;
    parse.text = helpText(parser);
    return parse;
  }
  if (parser.isSet(version)) {
    CliParse parse;
    parse.outcome = CliParse::Outcome::Version;
    parse.text = kProgramName + QLatin1Char(' ') + kProgramVersion;
    return parse;
  }

  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) return usageError(QStringLiteral("no command given (see --help)"));
  const QString command = positional.first();
  const int commandIndex = static_cast<int>(kCommands.indexOf(command));
  if (commandIndex < 0) return usageError(QStringLiteral("unknown command \"%1\"").arg(command));

  CliParse parse;
  parse.outcome = CliParse::Outcome::Run;
  CliOptions& options = parse.options;
  options.command = static_cast<CommandKind>(commandIndex);
  options.in = parser.value(in);
  options.out = parser.value(out);
  options.verbose = parser.isSet(verbose);
  options.fromServer = parser.isSet(fromServer);
  if ((parser.isSet(in) && options.in.isEmpty()) || (parser.isSet(out) && options.out.isEmpty()))
    return usageError(QStringLiteral("--in and --out need a part of a port name"));

  const bool takesFile = options.command == CommandKind::Backup ||
                         options.command == CommandKind::Restore ||
                         (options.command == CommandKind::Flash && !options.fromServer);
  if (takesFile) {
    if (positional.size() < 2) return usageError(QStringLiteral("%1 needs a file").arg(command));
    options.file = positional.at(1);
  }
  const int expected = takesFile ? 2 : 1;
  if (positional.size() > expected) {
    return usageError(
        options.command == CommandKind::Flash
            ? QStringLiteral("flash takes a file or --from-server, not both")
            : QStringLiteral("unexpected argument \"%1\"").arg(positional.at(expected)));
  }

  if (options.command != CommandKind::Flash && (options.fromServer || parser.isSet(updateUrl)))
    return usageError(QStringLiteral("--from-server and --update-url belong to flash"));
  if (parser.isSet(updateUrl) && !options.fromServer)
    return usageError(QStringLiteral("--update-url needs --from-server"));
  if (options.fromServer) {
    // The option before the environment before the build, each under the same rule.
    QString source = QStringLiteral("--update-url");
    QString given = parser.value(updateUrl);
    if (!parser.isSet(updateUrl) && !environmentUpdateUrl.isEmpty()) {
      source = QStringLiteral("TARVIK_UPDATE_BASE_URL");
      given = environmentUpdateUrl;
    }
    options.updateUrl = parser.isSet(updateUrl) || !environmentUpdateUrl.isEmpty()
                            ? QUrl(given, QUrl::StrictMode)
                            : builtInUpdateUrl;
    if (!isUpdateDirectory(options.updateUrl)) {
      return usageError(QStringLiteral("%1 needs an http(s) URL whose path ends in "
                                       "\"/downloads/tarvik/\", not \"%2\"")
                            .arg(source, given));
    }
  }
  return parse;
}

}  // namespace tarvik::cli
