// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "config/ConfigDiff.h"
#include "library/LibraryResult.h"

namespace tarvik {

class ConfiguratorCore;

// Where one side of a comparison comes from, and how its contents are read: the one place both
// tarvik-cli's `diff` and the window's comparison resolve a side, so that a setup, a snapshot or
// a file reads the same in both.
class CompareSource {
 public:
  enum class Kind { Device, Editors, Setup, Snapshot, File };

  CompareSource() = default;
  static CompareSource device() { return CompareSource(Kind::Device); }
  static CompareSource editors() { return CompareSource(Kind::Editors); }
  static CompareSource setup(const QString& name) { return CompareSource(Kind::Setup, name); }
  static CompareSource snapshot(qint64 id) { return CompareSource(Kind::Snapshot, {}, id); }
  static CompareSource file(const QString& path) { return CompareSource(Kind::File, path); }

  // A side as tarvik-cli names it: "device", "library:NAME", "snapshot:ID" or a file's path.
  // Refused with "\"library:\" names no setup" and the like.
  static Result<CompareSource> parse(const QString& text);

  Kind kind() const { return kind_; }
  // The setup's name or the file's path.
  const QString& name() const { return name_; }
  qint64 snapshotId() const { return snapshotId_; }
  bool needsLibrary() const { return kind_ == Kind::Setup || kind_ == Kind::Snapshot; }

  // The side's contents as they are now, in ConfigBytes' form. The device: its blocks of the
  // last download, with the values that form keeps otherwise, refused before one has come whole.
  // The editors: their tables, their settings and their names. A setup or snapshot: from the core's
  // library (refused without one). A file: read as a restore reads it, with its names and its
  // loops' labels only when they read as written (they only label rows).
  Result<DiffSide> read(const ConfiguratorCore& core) const;

  bool operator==(const CompareSource&) const = default;

 private:
  explicit CompareSource(Kind kind, const QString& name = {}, qint64 snapshotId = 0)
      : kind_(kind), name_(name), snapshotId_(snapshotId) {}

  Kind kind_ = Kind::Editors;
  QString name_;
  qint64 snapshotId_ = 0;
};

}  // namespace tarvik
