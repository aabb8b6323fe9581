// SPDX-License-Identifier: MIT
#include "app/RememberedState.h"

#include <QCoreApplication>

namespace tarvik {
namespace {

const QString kInputKey = QStringLiteral("ports/input");
const QString kOutputKey = QStringLiteral("ports/output");
const QString kWindowKey = QStringLiteral("window/position");
const QString kTrafficKey = QStringLiteral("traffic/geometry");
const QString kLibraryKey = QStringLiteral("library/geometry");
const QString kFollowKey = QStringLiteral("presets/follow");

}  // namespace

RememberedState::RememberedState()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Tarvik Audio"),
                                            QStringLiteral("Tarvik Configurator"))) {
  check();
}

RememberedState::RememberedState(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {
  check();
}

RememberedState::~RememberedState() = default;

void RememberedState::check() {
  trusted_ = settings_->status() == QSettings::NoError;
  switch (settings_->status()) {
    case QSettings::NoError:
      return;
    case QSettings::AccessError:
      problem_ = QCoreApplication::translate("RememberedState",
                                             "The remembered settings in %1 cannot be read; the "
                                             "program starts without them.")
                     .arg(fileName());
      return;
    case QSettings::FormatError:
      problem_ = QCoreApplication::translate("RememberedState",
                                             "The remembered settings in %1 are damaged; the "
                                             "program starts without them.")
                     .arg(fileName());
      return;
  }
}

QString RememberedState::fileName() const { return settings_->fileName(); }

QVariant RememberedState::value(const QString& key) const {
  // What a damaged file seemed to hold is not trusted.
  return trusted_ ? settings_->value(key) : QVariant();
}

void RememberedState::setValue(const QString& key, const QVariant& value) {
  if (!trusted_) {
    settings_->clear();
    trusted_ = true;
  }
  settings_->setValue(key, value);
  // Written at once: the program may be ended by a signal rather than closed.
  settings_->sync();
}

std::optional<std::pair<QString, QString>> RememberedState::ports() const {
  const QString input = value(kInputKey).toString();
  const QString output = value(kOutputKey).toString();
  if (input.isEmpty() || output.isEmpty()) return std::nullopt;
  return std::pair{input, output};
}

void RememberedState::setPorts(const QString& input, const QString& output) {
  setValue(kInputKey, input);
  setValue(kOutputKey, output);
}

QString RememberedState::folder(const QString& dialog) const {
  return value(QStringLiteral("folders/") + dialog).toString();
}

void RememberedState::setFolder(const QString& dialog, const QString& folder) {
  setValue(QStringLiteral("folders/") + dialog, folder);
}

std::optional<QPoint> RememberedState::windowPosition() const {
  const QVariant position = value(kWindowKey);
  if (!position.canConvert<QPoint>() || position.isNull()) return std::nullopt;
  return position.toPoint();
}

void RememberedState::setWindowPosition(const QPoint& position) { setValue(kWindowKey, position); }

QByteArray RememberedState::trafficGeometry() const { return value(kTrafficKey).toByteArray(); }

void RememberedState::setTrafficGeometry(const QByteArray& geometry) {
  setValue(kTrafficKey, geometry);
}

QByteArray RememberedState::libraryGeometry() const { return value(kLibraryKey).toByteArray(); }

void RememberedState::setLibraryGeometry(const QByteArray& geometry) {
  setValue(kLibraryKey, geometry);
}

bool RememberedState::follow() const { return value(kFollowKey).toBool(); }

void RememberedState::setFollow(bool follow) { setValue(kFollowKey, follow); }

}  // namespace tarvik
