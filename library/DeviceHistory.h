// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include "config/ConfigBytes.h"
#include "library/LibraryResult.h"
#include "library/Setup.h"

namespace tarvik {

class LibraryConnection;

// What the device held after each download, submit or restore, newest first. A snapshot equal
// to the newest one adds nothing and is not stored; the newest kLimit are kept. Snapshots are
// stored and read in ConfigBytes' form.
class DeviceHistory {
  Q_DECLARE_TR_FUNCTIONS(DeviceHistory)

 public:
  static constexpr int kLimit = 1000;

  explicit DeviceHistory(LibraryConnection& connection) : connection_(connection) {}

  // Whether the snapshot was stored (false when it equals the newest one).
  Result<bool> add(const QString& event, const ConfigBytes& bytes);
  // Stored even when equal to the newest one: a snapshot the user is told to find again by its
  // event ("before firmware 2.0") must not hide behind an equal one of another event. Its id.
  Result<qint64> addMarked(const QString& event, const ConfigBytes& bytes);
  Result<QList<SnapshotSummary>> list() const;
  Result<Snapshot> snapshot(qint64 id) const;

 private:
  Result<qint64> store(const QString& event, const ConfigBytes& bytes, bool evenIfNewest);

  LibraryConnection& connection_;
};

}  // namespace tarvik
