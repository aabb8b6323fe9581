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
  // One folder for both programs, whatever each calls itself: the window and tarvik-cli keep
  // the one library and the one device history.
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath(QLatin1String(kFolderName) + QLatin1Char('/') + QLatin1String(kFileName));
}

}  // namespace tarvik
