// SPDX-License-Identifier: MIT
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <QUrl>
#include <optional>

namespace tarvik {

// The configurator's command line. Every option is declared once, in the constructor; an option
// that changes the run also gets a member for its value, filled in read() and read by main().
//
// --help and --version (-V) only print, so they must work on a machine without a display too
// (help2man runs them at build time): main() asks asksForTextOnly() before QApplication picks its
// platform.
class CommandLine {
  Q_DECLARE_TR_FUNCTIONS(CommandLine)

 public:
  CommandLine();

  // True when the arguments (program name first) contain --help or --version. Matched exactly,
  // with the parser's own names, so that Qt's options (-platform, -reverse) never count; -v is
  // --verbose, which opens the window.
  static bool asksForTextOnly(const QStringList& arguments);
  static bool asksForTextOnly(int argc, char** argv);

  // Reads the arguments as QApplication leaves them (its own options taken out). Returns the
  // exit code when the program has answered and must end without a window: help or version on
  // `out`, a usage error and a hint on `err`.
  std::optional<int> read(const QStringList& arguments, QTextStream& out, QTextStream& err);
  std::optional<int> read(const QStringList& arguments);

  // The update directory this run uses (--update-url, TARVIK_UPDATE_BASE_URL or the built-in
  // one), once read() has let the program go on.
  QUrl updateServer() const { return updateServer_; }
  // -v, --verbose: the transfer machine's log lines and what the MIDI libraries say also go to
  // standard error.
  bool verbose() const { return parser_.isSet(verboseOption_); }
  // --library FILE as given; empty when not given (SetupLibrary::path then looks further).
  QString library() const { return parser_.value(libraryOption_); }
  // The file to open at start-up; empty when none was named.
  QString file() const {
    return parser_.positionalArguments().isEmpty() ? QString()
                                                   : parser_.positionalArguments().constFirst();
  }

 private:
  QCommandLineParser parser_;
  QCommandLineOption helpOption_;
  QCommandLineOption versionOption_;
  QCommandLineOption verboseOption_;
  QCommandLineOption updateUrlOption_;
  QCommandLineOption libraryOption_;
  QUrl updateServer_;
};

}  // namespace tarvik
