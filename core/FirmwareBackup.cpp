// SPDX-License-Identifier: MIT
#include "core/FirmwareBackup.h"

#include "config/ConfigDiff.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"
#include "core/DeviceBackup.h"
#include "library/SetupLibrary.h"
#include "link/FullDownload.h"

namespace tarvik {

FirmwareBackup::FirmwareBackup(FullDownload& download, const DeviceBlocks& device,
                               std::function<SetupLibrary*()> library, QObject* parent)
    : QObject(parent), download_(download), device_(device), library_(std::move(library)) {
  connect(&download_, &FullDownload::finished, this, &FirmwareBackup::onDownloaded);
}

bool FirmwareBackup::start(const QString& version, const QString& file) {
  if (running_ || download_.running()) return false;
  if (library_() == nullptr) {
    Q_EMIT finished(false, tr("no library of setups to keep it in"));
    return true;
  }
  if (!download_.start()) return false;
  running_ = true;
  version_ = version;
  file_ = file;
  return true;
}

void FirmwareBackup::onDownloaded(bool ok, const QString& text) {
  // The download is shared with the other backups; only the one started here is ours.
  if (!running_) return;
  running_ = false;
  if (!ok) {
    Q_EMIT finished(false, text);
    return;
  }
  const QString problem = keep(version_, file_);
  if (!problem.isEmpty()) {
    Q_EMIT finished(false, problem);
    return;
  }
  Q_EMIT finished(true, whereText());
}

QString FirmwareBackup::keep(const QString& version, const QString& file) {
  SetupLibrary* library = library_();
  if (library == nullptr) return tr("no library of setups to keep it in");
  const ConfigBytes bytes = ConfigBytes::fromDevice(device_);
  // Not a user's text: the history's events are read by scripts, as "download" is.
  const Result<qint64> added =
      library->history().addMarked(QStringLiteral("before firmware %1").arg(version), bytes);
  if (!added.ok()) return tr("device history not kept: %1").arg(added.error);
  if (!file.isEmpty() && !DeviceBackup::of(device_).save(file)) return cannotWriteText(file);
  kept_ = Kept{*added.value, file, version, bytes.kept()};
  return {};
}

QString FirmwareBackup::whereText() const {
  if (!kept_) return {};
  const QString snapshot = tr("snapshot %1 of the device history").arg(kept_->snapshot);
  return kept_->file.isEmpty() ? snapshot
                               : tr("%1 and %2").arg(snapshot, UserFile::shown(kept_->file));
}

void FirmwareBackup::flashEnded(bool written, bool mayBeInBootloader) {
  inBootloader_ = mayBeInBootloader;
  awaitingCheck_ = written && kept_.has_value();
}

void FirmwareBackup::deviceDownloaded() {
  if (!awaitingCheck_ || !kept_ || !device_.complete()) return;
  awaitingCheck_ = false;
  const DiffSide before{kept_->bytes, std::nullopt, {}};
  const DiffSide now{ConfigBytes::fromDevice(device_), std::nullopt, {}};
  Q_EMIT comparedAfterFlash(ConfigDiff::lines(before, now));
}

}  // namespace tarvik
