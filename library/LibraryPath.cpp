// SPDX-License-Identifier: MIT
#include "library/LibraryPath.h"

#include <QDir>
#include <QStandardPaths>

namespace tarvik {

QString LibraryPath::resolve(const QString& option) {
  if (!option.isEmpty()) return option;
  const QString fromEnvironment = qEnvironmentVariable(kEnvironmentVariable);
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  return defaultPath();
}

QString LibraryPath::defaultPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
      .filePath(QLatin1String(kFileName));
}

}  // namespace tarvik
