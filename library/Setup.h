// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

#include "config/ConfigBytes.h"
#include "config/LoopLabels.h"
#include "config/PresetNames.h"

namespace tarvik {

// A setup of the library: the device's blocks under a name the user chose. The times are the
// library's (UTC, to the millisecond); a setup handed in to be stored needs none.
struct Setup {
  QString name;
  QString note;
  QDateTime created;
  QDateTime changed;
  ConfigBytes bytes;
  PresetNames names;
  LoopLabels labels = {};
};

// A line of the setup list.
struct SetupSummary {
  QString name;
  QString note;
  QDateTime created;
  QDateTime changed;
  bool operator==(const SetupSummary&) const = default;
};

// The device's blocks as one transfer found or left them.
struct Snapshot {
  qint64 id = 0;
  QDateTime time;
  QString event;  // "download", "submit", "restore", ...
  ConfigBytes bytes;
};

// A line of the device history.
struct SnapshotSummary {
  qint64 id = 0;
  QDateTime time;
  QString event;
  bool operator==(const SnapshotSummary&) const = default;
};

}  // namespace tarvik
