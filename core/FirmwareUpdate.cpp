// SPDX-License-Identifier: MIT
#include "core/FirmwareUpdate.h"

#include <utility>

#include "core/FirmwareBackup.h"
#include "firmware/ServerFile.h"

namespace tarvik {

FirmwareUpdate::FirmwareUpdate(ServerFile& download, FirmwareBackup& backup,
                               std::function<void(const FirmwareImage&)> flash, QObject* parent)
    : QObject(parent), download_(download), backup_(backup), flash_(std::move(flash)) {}

bool FirmwareUpdate::start(Plan plan) {
  if (running()) return false;
  plan_ = std::move(plan);
  if (plan_->image) {
    proceed(*std::exchange(plan_->image, std::nullopt));
  } else {
    download_.start();
  }
  return true;
}

void FirmwareUpdate::downloaded(const QByteArray& body) {
  // The download may have been another's (a front end's own request of the same file).
  if (!running() || image_) return;
  const FirmwareImage image = FirmwareImage::fromBody(body);
  if (!image.ok()) {
    plan_.reset();
    Q_EMIT refused(image);
    return;
  }
  proceed(image);
}

void FirmwareUpdate::downloadFailed() {
  if (running() && !image_) plan_.reset();
}

void FirmwareUpdate::proceed(FirmwareImage image) {
  const bool inBootloader = backup_.deviceMayBeInBootloader();
  const bool keep = plan_->backup && !inBootloader;
  std::optional<QString> file = QString();
  if (plan_->ready) file = plan_->ready(keep);
  if (!file) {
    stop(Stop::NotReady);
    return;
  }
  if (!keep) {
    flashNow(image, plan_->backup ? Backup::InBootloader : Backup::NotAsked);
    return;
  }
  image_ = image;
  Q_EMIT backingUp(plan_->version);
  if (!backup_.start(plan_->version, *file)) stop(Stop::Busy);
}

void FirmwareUpdate::backedUp(bool ok, const QString& text) {
  // The backup's outcome is only ours while an image waits for it.
  if (!image_) return;
  FirmwareImage image = *image_;
  if (ok) {
    flashNow(image, Backup::Kept);
    return;
  }
  if (plan_->flashWithoutBackup && plan_->flashWithoutBackup(text)) {
    flashNow(image, Backup::GoneWithout);
    return;
  }
  stop(Stop::NoBackup, text);
}

void FirmwareUpdate::flashNow(FirmwareImage image, Backup backup) {
  plan_.reset();
  image_.reset();
  Q_EMIT flashing(image, backup);
  flash_(image);
}

void FirmwareUpdate::stop(Stop why, const QString& text) {
  plan_.reset();
  image_.reset();
  Q_EMIT stopped(why, text);
}

}  // namespace tarvik
