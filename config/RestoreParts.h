// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "config/ConfigBytes.h"
#include "config/PresetNames.h"

namespace tarvik {

// What a partial restore takes from a source and puts over what the device holds, as the
// command line names it: a comma-separated list of "presets", "presets:A-B", "presets:A",
// "ccmap", "ccmap:A-B", "ccmap:A" and "settings", the rows counted as the matrix shows them
// (1..128). A preset comes as a preset moves (PresetRow: its loops, the program change it sends
// on and its name), a CC map row on its own, the settings as all 20 together: half a record
// could be one the device was never meant to hold. Every row not named stays as the device
// held it, so a rig keeps what was changed since the backup outside the parts.
class RestoreParts {
  Q_DECLARE_TR_FUNCTIONS(RestoreParts)

 public:
  enum class Kind { Presets, CcMap, Settings };
  // Rows `first`..`last` (0..127, both ends taken) of one table; the whole table for settings.
  struct Part {
    Kind kind = Kind::Presets;
    int first = 0;
    int last = kTableSize - 1;
    bool operator==(const Part&) const = default;
  };
  struct Parsed;

  // A part may be named more than once (two ranges of presets); an empty list, an empty part,
  // an unknown word, a row outside 1..128, a range whose first row comes after its last and
  // rows for the settings are refused.
  static Parsed parse(const QString& text);

  // A part as the window's ticks and ranges give it; `part` is within the table, first <= last.
  void add(const Part& part) { parts_.push_back(part); }
  const std::vector<Part>& parts() const { return parts_; }
  bool isEmpty() const { return parts_.empty(); }
  bool has(Kind kind) const;

  // Why `source` cannot give these parts: settings from a source without them, or anything but
  // presets from a source that holds nothing else (`presetsOnly`, a CSV of the presets). Empty
  // when it can.
  QString refusal(const ConfigBytes& source, bool presetsOnly) const;

  // `device` with the parts of `source` over it. The settings come from the source only when
  // they are among the parts; refusal() has said that it has them.
  ConfigBytes merge(const ConfigBytes& device, const ConfigBytes& source) const;
  // The names of the presets taken from `source`, the others' from `device`.
  PresetNames mergeNames(const PresetNames& device, const PresetNames& source) const;

  // One line per part as given, for the user and for scripts: "presets 10-20 from rig.tvk",
  // "presets 7 from rig.tvk", "ccmap 1-128 from rig.tvk", "settings from rig.tvk". The words
  // are the command line's, so they are not translated.
  QStringList lines(const QString& source) const;

 private:
  std::vector<Part> parts_;
};

struct RestoreParts::Parsed {
  std::optional<RestoreParts> parts;
  QString error;  // one line naming the part that cannot be read; empty on success
  bool ok() const { return parts.has_value(); }
};

}  // namespace tarvik
