// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "config/RestoreParts.h"
#include "core/ConfiguratorCore.h"
#include "core/LinkTest.h"

namespace tarvik::cli {

// Exit codes of tarvik-cli.
namespace ExitCode {
inline constexpr int Ok = 0;
inline constexpr int DeviceFailure = 1;  // nothing answered, refused, timed out, differs
inline constexpr int UsageOrFile = 2;    // bad command line, unreadable or refused file
// Ended by SIGINT or SIGTERM: 128 + SIGINT, what a shell reports for a program Ctrl+C stopped,
// so that a script sees an interrupt and not a device that failed.
inline constexpr int Interrupted = 130;
}  // namespace ExitCode

inline const QString kProgramName = QStringLiteral("tarvik-cli");
// A file argument that names standard input (restore) or standard output (backup).
inline const QString kStandardStream = QStringLiteral("-");

enum class CommandKind {
  Ports,
  Info,
  Backup,
  Restore,
  Flash,
  Monitor,
  Library,
  Diff,
  SetList,
  Loops,
  Sheet,
  LinkTest
};

// What `library` does, by its sub-command.
enum class LibraryAction { List, Import, Export, Store, Restore, History };

// What `setlist` does, by its sub-command.
enum class SetListAction { Store, List, Show, Arrange, Chart, Follow };

struct CliOptions {
  Q_DECLARE_TR_FUNCTIONS(CliOptions)

 public:
  CommandKind command = CommandKind::Ports;
  QString file;
  // Parts of the port names to look for; empty: the window's pre-selection rule.
  QString in;
  QString out;
  bool verbose = false;
  bool fromServer = false;
  bool noBackup = false;  // flash: no backup of the setup first
  QUrl updateUrl;         // the update server directory; only with --from-server
  LibraryAction libraryAction = LibraryAction::List;
  QString setupName;     // library export, store, restore
  QStringList files;     // library import: the files; diff: the two sides; sheet: its source
  bool replace = false;  // library import and store, setlist store: that name is overwritten
  SetListAction setListAction = SetListAction::List;
  QString setListName;  // setlist store, show, arrange, chart, follow
  QString onto;         // setlist arrange, loops swap: the configuration that is changed
  // loops swap: the two loops, counting from 0 as the matrix's columns do.
  int loopA = 0;
  int loopB = 0;
  // restore, library restore: only these parts, over what the device holds (--only).
  std::optional<RestoreParts> parts;
  // linktest: how many identifies are sent.
  int count = LinkTest::kDefaultCount;
  // The library file; empty: none at all (the program sets SetupLibrary::path's answer).
  QString library;
  // --pace and --retries, for every command that talks to the device.
  TransferCare care;

  bool fileIsStandardStream() const { return file == kStandardStream; }
};

struct CliParse {
  enum class Outcome { Run, Help, Version, UsageError };
  Outcome outcome = Outcome::UsageError;
  CliOptions options;
  // The help text, the version line or the usage error (one line).
  QString text;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first; it can be called
// before a QCoreApplication exists. `builtInUpdateUrl` is the build's update directory and
// `environmentUpdateUrl` the value of TARVIK_UPDATE_BASE_URL (empty when unset). Only
// `flash --from-server` uses an update directory, so only it checks them: a bad value in the
// environment must not stop a backup, or --help.
CliParse parseCommandLine(const QStringList& arguments, const QUrl& builtInUpdateUrl,
                          const QString& environmentUpdateUrl = {});

}  // namespace tarvik::cli
