// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QPoint>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <utility>

namespace tarvik {

struct TransferCare;

// What the program keeps from one run to the next: the ports last connected, the folder each
// file dialog was last left in, where the main window stood and the traffic and Library windows'
// geometry, the transfers' pace and retries. Nothing here is needed for the program to work, so a
// damaged or unreadable file is never fatal: its contents are ignored (problem() says why, for one
// event-log line) and the next write replaces it. A write that fails leaves the file as it was and
// is said once, through the reporter, until a write succeeds again.
class RememberedState {
  Q_DECLARE_TR_FUNCTIONS(RememberedState)

 public:
  // The user's own file: ~/.config/Tarvik Audio/Tarvik Configurator.conf on Linux.
  RememberedState();
  // A file of the caller's choosing; tests use a temporary one.
  explicit RememberedState(const QString& path);
  ~RememberedState();

  // Empty unless the file could not be read as it was.
  QString problem() const { return problem_; }

  using Reporter = std::function<void(const QString&)>;
  void reportWriteFailuresTo(Reporter reporter) { reporter_ = std::move(reporter); }

  // The input and the output last connected, by name.
  std::optional<std::pair<QString, QString>> ports() const;
  void setPorts(const QString& input, const QString& output);

  // `dialog` names the dialog ("open-tvk", "save-txt"); empty when none was remembered.
  QString folder(const QString& dialog) const {
    return value(QStringLiteral("folders/") + dialog).toString();
  }
  void setFolder(const QString& dialog, const QString& folder) {
    setValue(QStringLiteral("folders/") + dialog, folder);
  }

  std::optional<QPoint> windowPosition() const;
  void setWindowPosition(const QPoint& position) { setValue(kWindowKey, position); }

  // As QWidget::saveGeometry() gives it; empty when none was remembered.
  QByteArray trafficGeometry() const { return value(kTrafficKey).toByteArray(); }
  void setTrafficGeometry(const QByteArray& geometry) { setValue(kTrafficKey, geometry); }
  QByteArray libraryGeometry() const { return value(kLibraryKey).toByteArray(); }
  void setLibraryGeometry(const QByteArray& geometry) { setValue(kLibraryKey, geometry); }

  // The preset matrix's "Follow": off until chosen.
  bool follow() const { return value(kFollowKey).toBool(); }
  void setFollow(bool follow) { setValue(kFollowKey, follow); }

  // "Transfer pace" and "Retries" of the Midi tab: TransferCare's defaults until chosen, and in
  // place of a value outside its range (a file edited by hand), each on its own.
  TransferCare transferCare() const;
  void setTransferCare(const TransferCare& care);

 private:
  static inline const QString kWindowKey = QStringLiteral("window/position");
  static inline const QString kTrafficKey = QStringLiteral("traffic/geometry");
  static inline const QString kLibraryKey = QStringLiteral("library/geometry");
  static inline const QString kFollowKey = QStringLiteral("presets/follow");
  static inline const QString kPaceKey = QStringLiteral("midi/pace");
  static inline const QString kRetriesKey = QStringLiteral("midi/retries");

  void read();
  QVariant value(const QString& key) const { return values_.value(key); }
  void setValue(const QString& key, const QVariant& value);
  bool write() const;

  QString path_;
  // What the file held when read (nothing when it was damaged), with every change since.
  QVariantMap values_;
  QString problem_;
  Reporter reporter_;
  bool writeFailed_ = false;
};

}  // namespace tarvik
