// SPDX-License-Identifier: MIT
#include "cli/CliOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "cli/CliRun.h"
#include "core/ConfiguratorCore.h"
#include "firmware/UpdateServerUrl.h"

namespace tarvik::cli {
namespace {

// Made when asked for, in the language installed by then.
QString description() {
  return CliOptions::tr(
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
      "  restore --only PARTS FILE\n"
      "                 Take only PARTS of FILE over what the Tarvik holds, submit the blocks\n"
      "                 that change and verify all of them: PARTS is a comma-separated list of\n"
      "                 presets, presets:A-B or presets:A (loops and program change, 1..128),\n"
      "                 ccmap, ccmap:A-B or ccmap:A, and settings. A .csv file gives presets\n"
      "                 only. Prints \"presets 10-20 from FILE\" for each part, then\n"
      "                 \"restore verified\".\n"
      "  flash FILE     Flash a firmware.txt, verifying every page as it is read back;\n"
      "                 with --from-server the file comes from the update server. First the\n"
      "                 setup is kept as a snapshot \"before firmware X\" of the device\n"
      "                 history; without it nothing is flashed unless --no-backup is given.\n"
      "  monitor        Print incoming program and control changes, time-stamped, until\n"
      "                 interrupted (Ctrl+C).\n"
      "  library list   List the library's setups, one a line: the name, a tab, the last\n"
      "                 change (YYYY-MM-DDTHH:MM:SS, local time); sorted by name.\n"
      "  library import FILE...\n"
      "                 Store each .tvk or backup file as a setup named after the file\n"
      "                 without its extension. All or nothing: one refused file or a name\n"
      "                 that is taken (without --replace) stores none.\n"
      "  library export NAME FILE\n"
      "                 Write the setup as a backup file (with [names] and [loops] when it\n"
      "                 has names). FILE \"-\" is standard output.\n"
      "  library store NAME\n"
      "                 Download everything and store it, as backup FILE writes it, as the\n"
      "                 setup NAME (--replace overwrites a setup of that name).\n"
      "  library restore NAME\n"
      "                 Restore the setup as restore FILE does, verified (--only PARTS too).\n"
      "  library history\n"
      "                 List what the device held after each download, submit and restore,\n"
      "                 newest first: the id, a tab, the time, a tab, the event.\n"
      "  diff A B       Print every byte in which B differs from A, one a line:\n"
      "                 \"BLOCK ROW: 0xAA -> 0xBB\". A and B are each \"device\" (a fresh\n"
      "                 download), \"library:NAME\", \"snapshot:ID\" or a .tvk or backup file.\n"
      "                 The settings are compared when both sides hold them.\n"
      "  setlist store NAME FILE\n"
      "                 Store the set list NAME from FILE (\"-\" is standard input): one song\n"
      "                 a line, SONG, a tab, a library setup, a tab, its preset (1..128). All\n"
      "                 or nothing: a bad line is named and nothing is stored (--replace\n"
      "                 overwrites a set list of that name).\n"
      "  setlist list   List the set lists, one a line: the name, a tab, the number of songs.\n"
      "  setlist show NAME\n"
      "                 One song a line: the position, the song, the setup and the preset.\n"
      "  setlist arrange NAME --onto SOURCE FILE\n"
      "                 Write SOURCE (as diff takes a side) with the songs' presets at\n"
      "                 presets 1, 2, 3 ... in set order as a backup file, for restore.\n"
      "  setlist chart NAME FILE.pdf\n"
      "                 Write the set chart of NAME, for the music stand, as a PDF file.\n"
      "  setlist follow NAME\n"
      "                 For each program change on the input (any channel), print the song it\n"
      "                 selects: POSITION, a tab, the song, a tab, the preset (\"-\" for the\n"
      "                 position and the song beyond the set), until interrupted (Ctrl+C).\n"
      "  loops swap A B --onto SOURCE FILE\n"
      "                 Write SOURCE (as diff takes a side) with loops A and B (1..8) trading\n"
      "                 places in every preset, the CC map, the loop labels and the mute,\n"
      "                 momentary and interlock settings, as a backup file, for restore: for a\n"
      "                 pedal moved to another loop.\n"
      "  sheet SOURCE FILE.pdf\n"
      "  sheet SOURCE FILE.csv\n"
      "                 Write SOURCE (as diff takes a side) as a setup sheet: a PDF of at\n"
      "                 most four A4 pages (the presets, the CC map, the settings, the\n"
      "                 loops' labels), or the presets as CSV for a spreadsheet: a line\n"
      "                 preset,name,loop1..loop8,pc each, the loops 1 or 0, pc 1..128 or\n"
      "                 none.\n"
      "  linktest [COUNT]\n"
      "                 Send Identify COUNT times (1 to 1000, default 50), each after the\n"
      "                 reply to the one before or its time-out of a second, and print two\n"
      "                 lines: \"sent N, answered A, lost L (P %)\" and \"round trip: min X ms,\n"
      "                 median Y ms, max Z ms\" over the answered ones (\"round trip: none\"\n"
      "                 when nothing was answered). Exits 1 when any reply was lost.\n"
      "\n"
      "Library: the file of --library, else of the environment variable TARVIK_LIBRARY, else\n"
      "library.sqlite in the program's data folder. Commands that talk to the device add to\n"
      "its device history; when the library cannot be opened they say so and go on.\n"
      "\n"
      "Ports: without --in and --out the pair is chosen as the window does: the first input\n"
      "whose name contains \"midi\" and the output of the same name. --in and --out pick the\n"
      "first port whose name contains the text, regardless of case; the other side then\n"
      "defaults to the port of the same name.\n"
      "\n"
      "Exit codes: 0 success; 1 device or transfer failure (no Tarvik, other firmware,\n"
      "refused, no reply, a difference after a restore, a failed flash); 2 usage or file\n"
      "error (bad command line, unreadable or unwritable file, refused firmware file);\n"
      "130 interrupted (Ctrl+C or SIGTERM; monitor then ends with 0). The library commands\n"
      "exit 2 when the library cannot be opened or has no such setup. diff exits as diff(1):\n"
      "0 no difference, 1 differences, 2 trouble (a file, the library, no device).");
}

// After the rest of the description, as a text of its own.
QString transfersDescription() {
  return CliOptions::tr(
      "Transfers: --pace MS leaves at least MS milliseconds (0 to 20, default 0: as fast\n"
      "as the port takes them) between two frames sent to the Tarvik, and --retries N (0\n"
      "to 5, default 2) sends a command whose reply does not come, or a block that reads\n"
      "back different, up to N more times; both go with every command that talks to the\n"
      "device. For a USB-MIDI interface that loses or mangles SysEx (linktest says when),\n"
      "try --pace 5 first.");
}

const QStringList kCommands = {
    QStringLiteral("ports"),   QStringLiteral("info"),  QStringLiteral("backup"),
    QStringLiteral("restore"), QStringLiteral("flash"), QStringLiteral("monitor"),
    QStringLiteral("library"), QStringLiteral("diff"),  QStringLiteral("setlist"),
    QStringLiteral("loops"),   QStringLiteral("sheet"), QStringLiteral("linktest")};
const QStringList kLibraryActions = {QStringLiteral("list"),    QStringLiteral("import"),
                                     QStringLiteral("export"),  QStringLiteral("store"),
                                     QStringLiteral("restore"), QStringLiteral("history")};
// The arguments each library action takes after its name; -1: one or more.
constexpr int kLibraryArgumentCounts[] = {0, -1, 2, 1, 1, 0};
const QStringList kSetListActions = {QStringLiteral("store"), QStringLiteral("list"),
                                     QStringLiteral("show"),  QStringLiteral("arrange"),
                                     QStringLiteral("chart"), QStringLiteral("follow")};
constexpr int kSetListArgumentCounts[] = {2, 0, 1, 2, 2, 1};

// The words after `setlist`, into `options`; the usage error, or empty.
QString parseSetListArguments(const QStringList& words, bool ontoGiven, CliOptions& options) {
  if (words.isEmpty()) {
    return CliOptions::tr("setlist needs one of: %1")
        .arg(kSetListActions.join(QStringLiteral(", ")));
  }
  const int action = static_cast<int>(kSetListActions.indexOf(words.first()));
  if (action < 0) return CliOptions::tr("unknown setlist command \"%1\"").arg(words.first());
  options.setListAction = static_cast<SetListAction>(action);
  const QStringList arguments = words.mid(1);
  const int expected = kSetListArgumentCounts[action];
  if (arguments.size() < expected) {
    return (expected > 1 ? CliOptions::tr("setlist %1 needs a set list's name and a file")
                         : CliOptions::tr("setlist %1 needs a set list's name"))
        .arg(words.first());
  }
  if (arguments.size() > expected)
    return CliOptions::tr("unexpected argument \"%1\"").arg(arguments.at(expected));
  if (options.replace && options.setListAction != SetListAction::Store)
    return CliOptions::tr("--replace belongs to library import, library store and setlist store");
  if (ontoGiven != (options.setListAction == SetListAction::Arrange))
    return CliOptions::tr("setlist arrange, and only it, needs --onto SOURCE");
  if (expected > 0) options.setListName = arguments.first();
  if (expected > 1) options.file = arguments.at(1);
  return {};
}

// The words after `loops` (only `swap A B FILE`), into `options`; the usage error, or empty.
QString parseLoopsArguments(const QStringList& words, bool ontoGiven, CliOptions& options) {
  if (words.isEmpty() || words.first() != QStringLiteral("swap"))
    return CliOptions::tr("loops needs: swap A B --onto SOURCE FILE");
  if (words.size() < 4) return CliOptions::tr("loops swap needs two loops and a file");
  if (words.size() > 4) return CliOptions::tr("unexpected argument \"%1\"").arg(words.at(4));
  int loops[2] = {};
  for (int i = 0; i < 2; ++i) {
    bool number = false;
    loops[i] = words.at(1 + i).toInt(&number);
    if (!number || loops[i] < 1 || loops[i] > 8)
      return CliOptions::tr("a loop is a number from 1 to 8, not \"%1\"").arg(words.at(1 + i));
  }
  if (loops[0] == loops[1]) return CliOptions::tr("loops swap needs two different loops");
  if (!ontoGiven) return CliOptions::tr("loops swap needs --onto SOURCE");
  options.loopA = loops[0] - 1;
  options.loopB = loops[1] - 1;
  options.file = words.at(3);
  return {};
}

QString onlyBelongsText() {
  return CliOptions::tr("--only belongs to restore and library restore");
}

CliParse usageError(const QString& text) { return {CliParse::Outcome::UsageError, {}, text}; }

// The words after `sheet`, into `options`; the usage error, or empty. The file's extension says
// what is written, so a name that says neither is refused before anything is read.
QString parseSheetArguments(const QStringList& words, CliOptions& options) {
  if (words.size() < 2) return CliOptions::tr("sheet needs a source and a file: sheet SOURCE FILE");
  if (words.size() > 2) return CliOptions::tr("unexpected argument \"%1\"").arg(words.at(2));
  const QString suffix = words.at(1).section(u'.', -1).toLower();
  if (!words.at(1).contains(u'.') || (suffix != u"pdf" && suffix != u"csv")) {
    return CliOptions::tr("sheet writes a .pdf or a .csv file; \"%1\" is neither").arg(words.at(1));
  }
  options.files = {words.at(0)};
  options.file = words.at(1);
  return {};
}

// The words after `linktest`: at most a count; the usage error, or empty.
QString parseLinkTestArguments(const QStringList& words, CliOptions& options) {
  if (words.size() > 1) return CliOptions::tr("unexpected argument \"%1\"").arg(words.at(1));
  options.count = LinkTest::kDefaultCount;
  if (words.isEmpty()) return {};
  bool number = false;
  options.count = words.first().toInt(&number);
  if (!number || options.count < LinkTest::kMinCount || options.count > LinkTest::kMaxCount) {
    return CliOptions::tr("linktest takes a count from %1 to %2, not \"%3\"")
        .arg(LinkTest::kMinCount)
        .arg(LinkTest::kMaxCount)
        .arg(words.first());
  }
  return {};
}

// The value of --pace or --retries, `text`, as a number from 0 to `most`; nothing when it is not
// one.
std::optional<int> careValue(const QString& text, int most) {
  bool number = false;
  const int value = text.toInt(&number);
  if (!number || value < 0 || value > most) return std::nullopt;
  return value;
}

// Qt writes the program's path as it was called; the help names the program.
QString helpText(const QCommandLineParser& parser) {
  QString text = parser.helpText();
  const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
  return CliOptions::tr("Usage: %1 [options] command [file]\n").arg(kProgramName) +
         text.mid(lineEnd);
}

// The words after `library` or `diff`, into `options`; the usage error, or empty.
QString parseLibraryArguments(const QStringList& words, CliOptions& options) {
  if (options.command == CommandKind::Diff) {
    if (words.size() != 2) return CliOptions::tr("diff needs two sides: diff A B");
    options.files = words;
    return {};
  }
  if (words.isEmpty()) {
    return CliOptions::tr("library needs one of: %1")
        .arg(kLibraryActions.join(QStringLiteral(", ")));
  }
  const int action = static_cast<int>(kLibraryActions.indexOf(words.first()));
  if (action < 0) return CliOptions::tr("unknown library command \"%1\"").arg(words.first());
  options.libraryAction = static_cast<LibraryAction>(action);
  const QStringList arguments = words.mid(1);
  const int expected = kLibraryArgumentCounts[action];
  if (expected < 0 && arguments.isEmpty())
    return CliOptions::tr("library %1 needs a file").arg(words.first());
  if (expected >= 0 && arguments.size() < expected) {
    return (options.libraryAction == LibraryAction::Export
                ? CliOptions::tr("library %1 needs a setup's name and a file")
                : CliOptions::tr("library %1 needs a setup's name"))
        .arg(words.first());
  }
  if (expected >= 0 && arguments.size() > expected)
    return CliOptions::tr("unexpected argument \"%1\"").arg(arguments.at(expected));
  if (options.replace && options.libraryAction != LibraryAction::Import &&
      options.libraryAction != LibraryAction::Store)
    return CliOptions::tr("--replace belongs to library import and library store");
  if (options.libraryAction == LibraryAction::Import) {
    options.files = arguments;
  } else if (expected > 0) {
    options.setupName = arguments.first();
    if (expected > 1) options.file = arguments.at(1);
  }
  return {};
}

// The command line but for where --pace and --retries belong; `careGiven` says whether either
// was given.
CliParse parseWords(const QStringList& arguments, const QUrl& builtInUpdateUrl,
                    const QString& environmentUpdateUrl, bool& careGiven) {
  QCommandLineParser parser;
  parser.setApplicationDescription(description() + QStringLiteral("\n\n") + transfersDescription());
  const QCommandLineOption help = parser.addHelpOption();
  // As Linux MIDI tools (aconnect, amidi, aseqdump) have them: -V the version, -v more output.
  const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")},
                                   CliOptions::tr("Show the program's version and exit."));
  const QCommandLineOption in(
      QStringLiteral("in"), CliOptions::tr("Use the first MIDI input whose name contains <text>."),
      QStringLiteral("text"));
  const QCommandLineOption out(
      QStringLiteral("out"),
      CliOptions::tr("Use the first MIDI output whose name contains <text>."),
      QStringLiteral("text"));
  const QCommandLineOption verbose(
      {QStringLiteral("v"), QStringLiteral("verbose")},
      CliOptions::tr("Print the transfer's log lines, and what the MIDI system's libraries "
                     "(ALSA, JACK) say, on standard error."));
  const QCommandLineOption fromServer(
      QStringLiteral("from-server"),
      CliOptions::tr("flash: download firmware.txt from the update server instead of a file."));
  const QCommandLineOption noBackup(
      QStringLiteral("no-backup"),
      CliOptions::tr("flash: flash without keeping the setup in the device history first (a "
                     "Tarvik already in its bootloader cannot be read)."));
  const QCommandLineOption updateUrl(
      QStringLiteral("update-url"),
      CliOptions::tr("flash --from-server: the update server directory, whose path ends in "
                     "\"/downloads/tarvik/\" (default: the environment variable "
                     "TARVIK_UPDATE_BASE_URL, else %1).")
          .arg(builtInUpdateUrl.toString()),
      QStringLiteral("url"));
  const QCommandLineOption library(
      QStringLiteral("library"),
      CliOptions::tr("The library file (default: the environment variable TARVIK_LIBRARY, "
                     "else library.sqlite in the program's data folder)."),
      QStringLiteral("file"));
  const QCommandLineOption replace(
      QStringLiteral("replace"),
      CliOptions::tr("library import, library store: overwrite a setup of the same name; "
                     "setlist store: a set list of the same name."));
  const QCommandLineOption onto(
      QStringLiteral("onto"),
      CliOptions::tr("setlist arrange, loops swap: the configuration to change: \"device\", "
                     "\"library:NAME\", \"snapshot:ID\" or a .tvk or backup file."),
      QStringLiteral("source"));
  const QCommandLineOption only(
      QStringLiteral("only"),
      CliOptions::tr("restore, library restore: take only <parts> (presets[:A-B], ccmap[:A-B], "
                     "settings; comma-separated) over what the Tarvik holds."),
      QStringLiteral("parts"));
  const QCommandLineOption pace(
      QStringLiteral("pace"),
      CliOptions::tr("The least time between two frames sent to the Tarvik, 0 to %1 ms "
                     "(default 0).")
          .arg(TransferCare::kMaxPaceMs),
      QStringLiteral("ms"));
  const QCommandLineOption retries(
      QStringLiteral("retries"),
      CliOptions::tr("How many more times an unanswered command or a block that reads back "
                     "different is sent, 0 to %1 (default %2).")
          .arg(TransferCare::kMaxRetries)
          .arg(TransferCare::kDefaultRetries),
      QStringLiteral("n"));
  parser.addOptions({version, in, out, verbose, fromServer, noBackup, updateUrl, library, replace,
                     onto, only, pace, retries});
  parser.addPositionalArgument(
      CliOptions::tr("command"),
      CliOptions::tr("ports, info, backup, restore, flash, monitor, library, diff, setlist, "
                     "loops, sheet or linktest."));
  parser.addPositionalArgument(CliOptions::tr("file"),
                               CliOptions::tr("The backup file (backup, restore; \"-\" for "
                                              "standard output or input) or firmware.txt (flash)."),
                               CliOptions::tr("[file]"));

  if (!parser.parse(arguments)) return usageError(parser.errorText());
  if (parser.isSet(help)) return {CliParse::Outcome::Help, {}, helpText(parser)};
  if (parser.isSet(version)) {
    return {CliParse::Outcome::Version, {}, kProgramName + u' ' + ConfiguratorCore::version()};
  }

  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) return usageError(CliOptions::tr("no command given (see --help)"));
  const QString command = positional.first();
  const int commandIndex = static_cast<int>(kCommands.indexOf(command));
  if (commandIndex < 0) return usageError(CliOptions::tr("unknown command \"%1\"").arg(command));

  CliParse parse;
  parse.outcome = CliParse::Outcome::Run;
  CliOptions& options = parse.options;
  options.command = static_cast<CommandKind>(commandIndex);
  options.in = parser.value(in);
  options.out = parser.value(out);
  options.verbose = parser.isSet(verbose);
  options.fromServer = parser.isSet(fromServer);
  options.noBackup = parser.isSet(noBackup);
  options.library = parser.value(library);
  options.replace = parser.isSet(replace);
  if ((parser.isSet(in) && options.in.isEmpty()) || (parser.isSet(out) && options.out.isEmpty()))
    return usageError(CliOptions::tr("--in and --out need a part of a port name"));
  if (parser.isSet(library) && options.library.isEmpty())
    return usageError(CliOptions::tr("--library needs a file"));
  if (parser.isSet(pace)) {
    const std::optional<int> value = careValue(parser.value(pace), TransferCare::kMaxPaceMs);
    if (!value) {
      return usageError(CliOptions::tr("--pace takes milliseconds from 0 to %1, not \"%2\"")
                            .arg(TransferCare::kMaxPaceMs)
                            .arg(parser.value(pace)));
    }
    options.care.paceMs = *value;
  }
  if (parser.isSet(retries)) {
    const std::optional<int> value = careValue(parser.value(retries), TransferCare::kMaxRetries);
    if (!value) {
      return usageError(CliOptions::tr("--retries takes a count from 0 to %1, not \"%2\"")
                            .arg(TransferCare::kMaxRetries)
                            .arg(parser.value(retries)));
    }
    options.care.retries = *value;
  }
  careGiven = parser.isSet(pace) || parser.isSet(retries);
  options.onto = parser.value(onto);
  if (parser.isSet(onto) && options.onto.isEmpty())
    return usageError(CliOptions::tr("--onto needs a source"));
  if (parser.isSet(only)) {
    RestoreParts::Parsed parts = RestoreParts::parse(parser.value(only));
    if (!parts.ok()) return usageError(parts.error);
    options.parts = std::move(parts.parts);
    if (options.command != CommandKind::Restore && options.command != CommandKind::Library)
      return usageError(onlyBelongsText());
  }
  if (options.command != CommandKind::Flash && (options.fromServer || parser.isSet(updateUrl)))
    return usageError(CliOptions::tr("--from-server and --update-url belong to flash"));
  if (options.command == CommandKind::SetList) {
    const QString problem = parseSetListArguments(positional.mid(1), parser.isSet(onto), options);
    return problem.isEmpty() ? parse : usageError(problem);
  }
  if (options.command == CommandKind::Loops) {
    const QString problem = parseLoopsArguments(positional.mid(1), parser.isSet(onto), options);
    return problem.isEmpty() ? parse : usageError(problem);
  }
  if (parser.isSet(onto))
    return usageError(CliOptions::tr("--onto belongs to setlist arrange and loops swap"));
  if (options.command == CommandKind::Sheet) {
    if (options.replace)
      return usageError(CliOptions::tr("--replace belongs to library import and library store"));
    if (options.noBackup) return usageError(CliOptions::tr("--no-backup belongs to flash"));
    const QString problem = parseSheetArguments(positional.mid(1), options);
    return problem.isEmpty() ? parse : usageError(problem);
  }
  if (options.command == CommandKind::Library || options.command == CommandKind::Diff) {
    const QString problem = parseLibraryArguments(positional.mid(1), options);
    if (problem.isEmpty() && options.parts && options.libraryAction != LibraryAction::Restore)
      return usageError(onlyBelongsText());
    return problem.isEmpty() ? parse : usageError(problem);
  }
  if (options.replace)
    return usageError(CliOptions::tr("--replace belongs to library import and library store"));
  if (options.command == CommandKind::LinkTest) {
    if (options.noBackup) return usageError(CliOptions::tr("--no-backup belongs to flash"));
    const QString problem = parseLinkTestArguments(positional.mid(1), options);
    return problem.isEmpty() ? parse : usageError(problem);
  }

  const bool takesFile = options.command == CommandKind::Backup ||
                         options.command == CommandKind::Restore ||
                         (options.command == CommandKind::Flash && !options.fromServer);
  if (takesFile) {
    if (positional.size() < 2) return usageError(CliOptions::tr("%1 needs a file").arg(command));
    options.file = positional.at(1);
  }
  const int expected = takesFile ? 2 : 1;
  if (positional.size() > expected) {
    return usageError(
        options.command == CommandKind::Flash
            ? CliOptions::tr("flash takes a file or --from-server, not both")
            : CliOptions::tr("unexpected argument \"%1\"").arg(positional.at(expected)));
  }

  if (options.command != CommandKind::Flash && options.noBackup)
    return usageError(CliOptions::tr("--no-backup belongs to flash"));
  if (parser.isSet(updateUrl) && !options.fromServer)
    return usageError(CliOptions::tr("--update-url needs --from-server"));
  if (options.fromServer) {
    const UpdateDirectory directory = chooseUpdateDirectory(
        parser.isSet(updateUrl) ? std::optional(parser.value(updateUrl)) : std::nullopt,
        environmentUpdateUrl, builtInUpdateUrl);
    if (!directory.error.isEmpty()) return usageError(directory.error);
    options.updateUrl = directory.url;
  }
  return parse;
}

}  // namespace

CliParse parseCommandLine(const QStringList& arguments, const QUrl& builtInUpdateUrl,
                          const QString& environmentUpdateUrl) {
  bool careGiven = false;
  const CliParse parse = parseWords(arguments, builtInUpdateUrl, environmentUpdateUrl, careGiven);
  // Known only once the command and its sides are: `diff` of two files sends nothing.
  if (parse.outcome == CliParse::Outcome::Run && careGiven && !talksToDevice(parse.options)) {
    return usageError(
        CliOptions::tr("--pace and --retries belong to the commands that talk to the device"));
  }
  return parse;
}

}  // namespace tarvik::cli
