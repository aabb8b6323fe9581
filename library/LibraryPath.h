// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarvik {

// Which file is the library: the front end's "--library FILE" when given, else the environment
// variable TARVIK_LIBRARY when set and not empty, else library.sqlite in the program's data
// folder (QStandardPaths::AppDataLocation, which follows the application's name).
class LibraryPath {
 public:
  static constexpr const char* kEnvironmentVariable = "TARVIK_LIBRARY";
  static constexpr const char* kFileName = "library.sqlite";
  // The window's data folder (its application name), which tarvik-cli shares.
  static constexpr const char* kFolderName = "Tarvik Configurator";

  static QString resolve(const QString& option = {});
  static QString defaultPath();
};

}  // namespace tarvik
