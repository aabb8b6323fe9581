// SPDX-License-Identifier: MIT
#include "library/SetupLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include "config/FullBackup.h"
#include "config/UserFile.h"
#include "library/SetupColumns.h"

namespace tarvik {
namespace {

// One file of an import as a setup, or "<file>: <reason>" where a restore would refuse it.
Result<Setup> readFile(const QString& path) {
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

}  // namespace

SetupLibrary::Opened SetupLibrary::open(const QString& path, LibraryConnection::Clock clock,
                                        int busyTimeoutMs,
                                        const LibraryConnection::Waiting& waiting) {
  LibraryConnection::Opened opened =
      LibraryConnection::open(path, std::move(clock), busyTimeoutMs, waiting);
  if (!opened.connection) return {nullptr, opened.error};
  return {std::unique_ptr<SetupLibrary>(new SetupLibrary(std::move(opened.connection))), {}};
}

QString SetupLibrary::path(const QString& option) {
  if (!option.isEmpty()) return option;
  const QString fromEnvironment = qEnvironmentVariable(kEnvironmentVariable);
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  // One folder for both programs, whatever each calls itself: the window and tarvik-cli keep
  // the one library and the one device history.
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath(QStringLiteral("Tarvik Configurator/library.sqlite"));
}

SetupLibrary::SetupLibrary(std::unique_ptr<LibraryConnection> connection)
    : connection_(std::move(connection)),
      setups_(*connection_),
      history_(*connection_),
      setLists_(*connection_) {}

Result<QStringList> SetupLibrary::importFiles(const QStringList& paths, IfExists ifExists,
                                              const SetupStore::Progress& progress) {
  // Every file is read before the transaction starts, so that the write lock is held only for
  // the writing.
  QList<Setup> setups;
  QHash<QString, QString> fileOfName;
  for (const QString& path : paths) {
    Result<Setup> read = readFile(path);
    if (!read.ok()) return Result<QStringList>::failed(read.error);
    if (fileOfName.contains(read.value->name)) {
      return Result<QStringList>::failed(
          tr("%1: %2 also becomes a setup named \"%3\"")
              .arg(UserFile::shown(path), UserFile::shown(fileOfName.value(read.value->name)),
                   read.value->name));
    }
    fileOfName.insert(read.value->name, path);
    setups.append(std::move(*read.value));
  }
  const SetupStore::BatchOutcome stored = setups_.storeAll(setups, ifExists, progress);
  if (!stored.ok()) {
    return Result<QStringList>::failed(
        stored.failedIndex >= 0 ? UserFile::shown(paths[stored.failedIndex]) + ": " + stored.error
                                : stored.error);
  }
  QStringList names;
  for (const Setup& setup : setups) names.append(setup.name);
  return {names, {}};
}

Result<QByteArray> SetupLibrary::exportSetup(const QString& name) const {
  const Result<Setup> setup = setups_.setup(name);
  if (!setup.ok()) return Result<QByteArray>::failed(setup.error);
  // The tables go through the editors' clamps as they do in any saved file; the settings are
  // written as stored.
  return {FullBackup::serialize(setup.value->bytes.tables(), setup.value->bytes.settings,
                                setup.value->names, setup.value->labels),
          {}};
}

}  // namespace tarvik
