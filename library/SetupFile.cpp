// SPDX-License-Identifier: MIT
#include "library/SetupFile.h"

#include <QFileInfo>

#include "config/FullBackup.h"
#include "config/UserFile.h"
#include "library/SetupColumns.h"

namespace tarvik {

Result<Setup> SetupFile::read(const QString& path) {
  // Whole files only: a setup stored from a cut file would hold defaults nobody chose.
  const FullBackup::LoadResult file = FullBackup::loadWhole(path);
  if (!file.ok()) return Result<Setup>::failed(file.message);
  const QString shownPath = UserFile::shown(path);
  if (!file.namesProblem.isEmpty()) {
    return Result<Setup>::failed(shownPath + ": " + file.namesProblem);
  }
  if (!file.labelsProblem.isEmpty()) {
    return Result<Setup>::failed(shownPath + ": " + file.labelsProblem);
  }
  Setup setup;
  setup.name = QFileInfo(path).completeBaseName();
  if (QString why = SetupColumns::nameProblem(setup.name); !why.isEmpty()) {
    return Result<Setup>::failed(shownPath + ": " + why);
  }
  setup.bytes = ConfigBytes::fromTables(*file.tables, file.settings);
  setup.names = file.names;
  setup.labels = file.labels;
  return {std::move(setup), {}};
}

QByteArray SetupFile::backupText(const Setup& setup) {
  return FullBackup::serialize(setup.bytes.tables(), setup.bytes.settings, setup.names,
                               setup.labels);
}

}  // namespace tarvik
