// SPDX-License-Identifier: MIT
#include "cli/DiffCommand.h"

#include "config/FullBackup.h"

namespace tarvik::cli {
namespace {

const QString kDevice = QStringLiteral("device");
const QString kLibraryPrefix = QStringLiteral("library:");
const QString kSnapshotPrefix = QStringLiteral("snapshot:");

}  // namespace

DiffCommand::DiffCommand(MidiPorts& ports, const CliOptions& options, Output output,
                         QObject* parent)
    : CliCommand(output, parent),
      options_(options),
      session_(ports, options.verbose ? &output.err : nullptr, options.library),
      download_(session_.core().fullDownload()) {
  connect(&download_, &FullDownload::finished, this, &DiffCommand::onDownloaded);
}

SetupLibrary* DiffCommand::library() {
  SetupLibrary* library = session_.library();
  if (library == nullptr) fail(ExitCode::UsageOrFile, session_.libraryError());
  return library;
}

bool DiffCommand::readSide(int index, const QString& side) {
  if (side == kDevice) return true;
  if (side.startsWith(kLibraryPrefix)) {
    const QString name = side.mid(kLibraryPrefix.size());
    if (name.isEmpty()) {
      fail(ExitCode::UsageOrFile, tr("\"%1\" names no setup").arg(side));
      return false;
    }
    SetupLibrary* setups = library();
    if (setups == nullptr) return false;
    const Result<Setup> setup = setups->setups().setup(name);
    if (!setup.ok()) {
      fail(ExitCode::UsageOrFile, setup.error);
      return false;
    }
    sides_[index] = DiffSide{setup.value->bytes, setup.value->names};
    return true;
  }
  if (side.startsWith(kSnapshotPrefix)) {
    bool isNumber = false;
    const qint64 id = side.mid(kSnapshotPrefix.size()).toLongLong(&isNumber);
    if (!isNumber) {
      fail(ExitCode::UsageOrFile, tr("\"%1\" names no snapshot").arg(side));
      return false;
    }
    SetupLibrary* history = library();
    if (history == nullptr) return false;
    const Result<Snapshot> snapshot = history->history().snapshot(id);
    if (!snapshot.ok()) {
      fail(ExitCode::UsageOrFile, snapshot.error);
      return false;
    }
    sides_[index] = DiffSide{snapshot.value->bytes, std::nullopt};
    return true;
  }
  const FullBackup::LoadResult file = FullBackup::load(side);
  if (!file.ok()) {
    fail(ExitCode::UsageOrFile, file.message);
    return false;
  }
  sides_[index] = DiffSide{ConfigBytes::fromTables(*file.tables, file.settings),
                           file.namesProblem.isEmpty() ? std::optional(file.names) : std::nullopt};
  return true;
}

void DiffCommand::readFile() {
  for (int index = 0; index < 2; ++index) {
    if (!readSide(index, options_.files.at(index))) return;
  }
  if (sides_[0] && sides_[1]) compare();
}

void DiffCommand::begin() {
  // Only a side that is the device is left; its trouble is diff's trouble, exit 2.
  if (const QString problem = session_.open(options_.in, options_.out); !problem.isEmpty()) {
    fail(ExitCode::UsageOrFile, problem);
    return;
  }
  session_.keepHistory(err());
  if (!download_.start()) fail(ExitCode::UsageOrFile, tr("the link is busy"));
}

void DiffCommand::onDownloaded(bool ok, const QString& text) {
  if (!ok) {
    fail(ExitCode::UsageOrFile, text);
    return;
  }
  const DiffSide device{ConfigBytes::fromDevice(session_.core().deviceBlocks()), std::nullopt};
  for (std::optional<DiffSide>& side : sides_) {
    if (!side) side = device;
  }
  compare();
}

void DiffCommand::compare() {
  const QStringList lines = ConfigDiff::lines(*sides_[0], *sides_[1]);
  for (const QString& line : lines) out() << line << '\n';
  finish(lines.isEmpty() ? ExitCode::Ok : ExitCode::DeviceFailure);
}

}  // namespace tarvik::cli
