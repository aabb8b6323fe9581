// SPDX-License-Identifier: MIT
#include "core/CompareSource.h"

#include "config/FullBackup.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"

namespace tarvik {
namespace {

const QString kDevice = QStringLiteral("device");
const QString kLibraryPrefix = QStringLiteral("library:");
const QString kSnapshotPrefix = QStringLiteral("snapshot:");

Result<DiffSide> readFile(const QString& path) {
  // As a restore reads it: what a cut file lacks would show as differences nobody made.
  const FullBackup::LoadResult file = FullBackup::loadWhole(path);
  if (!file.ok()) return Result<DiffSide>::failed(file.message);
  return {DiffSide{ConfigBytes::fromTables(*file.tables, file.settings),
                   file.namesProblem.isEmpty() ? std::optional(file.names) : std::nullopt,
                   {},
                   file.labelsProblem.isEmpty() ? std::optional(file.labels) : std::nullopt},
          {}};
}

}  // namespace

Result<CompareSource> CompareSource::parse(const QString& text) {
  if (text == kDevice) return {device(), {}};
  if (text.startsWith(kLibraryPrefix)) {
    const QString name = text.mid(kLibraryPrefix.size());
    if (name.isEmpty()) {
      return Result<CompareSource>::failed(QStringLiteral("\"%1\" names no setup").arg(text));
    }
    return {setup(name), {}};
  }
  if (text.startsWith(kSnapshotPrefix)) {
    bool isNumber = false;
    const qint64 id = text.mid(kSnapshotPrefix.size()).toLongLong(&isNumber);
    if (!isNumber) {
      return Result<CompareSource>::failed(QStringLiteral("\"%1\" names no snapshot").arg(text));
    }
    return {snapshot(id), {}};
  }
  return {file(text), {}};
}

Result<DiffSide> CompareSource::read(const ConfiguratorCore& core) const {
  const SetupLibrary* library = core.library();
  switch (kind_) {
    case Kind::Device: {
      if (!core.deviceBlocks().complete()) {
        return Result<DiffSide>::failed(QStringLiteral("nothing has been read from the device"));
      }
      const BackupContents backup = BackupContents::fromDevice(core.deviceBlocks());
      return {DiffSide{ConfigBytes::fromTables(backup.tables, backup.settings), std::nullopt,
                       backup.changes},
              {}};
    }
    case Kind::Editors: {
      const Configuration& editors = core.configuration();
      return {DiffSide{ConfigBytes::fromTables(editors.tables(), editors.recordBytes()),
                       editors.names(),
                       {},
                       editors.labels()},
              {}};
    }
    case Kind::Setup: {
      if (library == nullptr) return Result<DiffSide>::failed(QStringLiteral("no library"));
      const Result<Setup> setup = library->setups().setup(name_);
      if (!setup.ok()) return Result<DiffSide>::failed(setup.error);
      return {DiffSide{setup.value->bytes, setup.value->names, {}, setup.value->labels}, {}};
    }
    case Kind::Snapshot: {
      if (library == nullptr) return Result<DiffSide>::failed(QStringLiteral("no library"));
      const Result<Snapshot> snapshot = library->history().snapshot(snapshotId_);
      if (!snapshot.ok()) return Result<DiffSide>::failed(snapshot.error);
      return {DiffSide{snapshot.value->bytes, std::nullopt, {}}, {}};
    }
    case Kind::File:
      return readFile(name_);
  }
  return Result<DiffSide>::failed({});
}

}  // namespace tarvik
