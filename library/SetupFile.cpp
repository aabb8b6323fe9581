// SPDX-License-Identifier: MIT
#include "library/SetupFile.h"

#include <QFileInfo>

#include "config/FullBackup.h"
#include "library/SetupColumns.h"

namespace tarvik {

Result<Setup> SetupFile::read(const QString& path) {
  const FullBackup::LoadResult file = FullBackup::load(path);
  if (!file.ok()) return Result<Setup>::failed(file.message);
  if (!file.namesProblem.isEmpty()) return Result<Setup>::failed(path + ": " + file.namesProblem);
  Setup setup;
  setup.name = QFileInfo(path).completeBaseName();
  if (QString why = SetupColumns::nameProblem(setup.name); !why.isEmpty()) {
    return Result<Setup>::failed(path + ": " + why);
  }
  setup.bytes = ConfigBytes::fromTables(*file.tables, file.settings);
  setup.names = file.names;
  return {std::move(setup), {}};
}

QByteArray SetupFile::backupText(const Setup& setup) {
  return FullBackup::serialize(setup.bytes.tables(), setup.bytes.settings, setup.names);
}

}  // namespace tarvik
