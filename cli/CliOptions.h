// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace tarvik::cli {

// Exit codes of tarvik-cli.
namespace ExitCode {
inline constexpr int Ok = 0;
inline constexpr int DeviceFailure = 1;  // nothing answered, refused, timed out, differs
inline constexpr int UsageOrFile = 2;    // bad command line, unreadable or refused file
}  // namespace ExitCode

inline const QString kProgramName = QStringLiteral("tarvik-cli");
inline const QString kProgramVersion = QStringLiteral("1.9");

enum class CommandKind { Ports, Info, Backup, Restore, Flash, Monitor };

struct CliOptions {
  CommandKind command = CommandKind::Ports;
  QString file;
  // Parts of the port names to look for; empty: the window's pre-selection rule.
  QString in;
  QString out;
  bool verbose = false;
  bool fromServer = false;
  QUrl updateUrl;  // the update server directory; only with --from-server
};

struct CliParse {
  enum class Outcome { Run, Help, Version, UsageError };
  Outcome outcome = Outcome::UsageError;
  CliOptions options;
  // The help text, the version line or the usage error (one line).
  QString text;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first. Needs a
// QCoreApplication only for nothing: it can be called before one exists.
CliParse parseCommandLine(const QStringList& arguments, const QUrl& defaultUpdateUrl);


}  // namespace tarvik::cli
