// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

#include "core/CompareSource.h"
#include "library/Setup.h"

namespace tarvik {

// What the Library window's actions act on: a setup, a snapshot of the device history, or
// nothing. A setup is known by its name, a snapshot by its id; the rest is for the texts.
struct LibraryItem {
  enum class Kind { None, Setup, Snapshot };

  Kind kind = Kind::None;
  QString name;    // of a setup
  qint64 id = 0;   // of a snapshot
  QDateTime time;  // of a snapshot
  QString event;   // of a snapshot

  static LibraryItem setup(const QString& name) { return {Kind::Setup, name, 0, {}, {}}; }
  static LibraryItem snapshot(const SnapshotSummary& summary) {
    return {Kind::Snapshot, {}, summary.id, summary.time, summary.event};
  }
  // Where its contents are read from (a setup or a snapshot).
  CompareSource source() const {
    return isSetup() ? CompareSource::setup(name) : CompareSource::snapshot(id);
  }
  bool isSetup() const { return kind == Kind::Setup; }
  bool isSnapshot() const { return kind == Kind::Snapshot; }
  bool isNone() const { return kind == Kind::None; }
};

}  // namespace tarvik
