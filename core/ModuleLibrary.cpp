// SPDX-License-Identifier: MIT
#include "core/ModuleLibrary.h"

#include <QFileInfo>

namespace tarvik {

QString ModuleLibrary::path(const char* variable, QLatin1StringView fromBinDir) {
  const QString chosen = qEnvironmentVariable(variable);
  if (!chosen.isEmpty()) return chosen;
  // A module that makes the application (the command line's chart module) is looked for before
  // one exists; the kernel knows the program's file all the same.
  const QString folder =
      QCoreApplication::instance() != nullptr
          ? QCoreApplication::applicationDirPath()
          : QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
                .absolutePath();
  return folder + QLatin1Char('/') + fromBinDir;
}

QString ModuleLibrary::load(std::initializer_list<Entry> entries) {
  for (const Entry& entry : entries) *entry.function = nullptr;
  // QLibrary tries other names for a file that is not there ("libx.so" for "x.so") and reports
  // the last one tried, which would name a file nobody asked for.
  if (!QFileInfo::exists(library_.fileName())) return tr("the file does not exist");
  if (!library_.load()) return library_.errorString();
  bool all = true;
  for (const Entry& entry : entries) {
    *entry.function = library_.resolve(entry.name);
    all = all && *entry.function != nullptr;
  }
  if (all) return {};
  const QString reason = library_.errorString();
  for (const Entry& entry : entries) *entry.function = nullptr;
  return reason;
}

}  // namespace tarvik
