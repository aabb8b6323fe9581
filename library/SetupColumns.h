// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

#include "config/ConfigBytes.h"
#include "config/LoopLabels.h"
#include "config/PresetNames.h"

namespace tarvik {

// How a setup's values are kept in the columns of the library, in one place for the store and
// for the upgrade of older libraries.
class SetupColumns {
  Q_DECLARE_TR_FUNCTIONS(SetupColumns)

 public:
  // What the filter looks in: name and note case-folded, so that a typed text matches in any
  // letter case beyond ASCII too; the name first, so that ordering by it orders by name.
  static QString search(const QString& name, const QString& note);
  // The typed text as it is looked for in search().
  static QString needle(const QString& typed) { return typed.toCaseFolded(); }

  // The names one per line up to the last named preset (names hold no line breaks), or NULL
  // when no preset has a name.
  static QVariant packNames(const PresetNames& names);
  static std::optional<PresetNames> unpackNames(const QVariant& column);
  // The loops' labels the same way, up to the last labelled loop.
  static QVariant packLabels(const LoopLabels& labels);
  static std::optional<LoopLabels> unpackLabels(const QVariant& column);

  // The blocks as BLOBs of 128, 128, 128 and 20 bytes (NULL for no settings), and back, always
  // in ConfigBytes' form, whatever form the columns hold; nothing when a column is not a block
  // of its size.
  static std::optional<ConfigBytes> bytes(const QVariant& presets, const QVariant& ccMap,
                                          const QVariant& pcRemap, const QVariant& settings);
  static QVariant settingsColumn(const ConfigBytes& bytes);

  static QDateTime time(const QVariant& column);
  static qint64 timeColumn(const QDateTime& time) { return time.toMSecsSinceEpoch(); }

  // A note as the column takes it: Qt binds a null text as NULL, and no note is an empty one.
  static QString note(const QString& note) { return note.isNull() ? QStringLiteral("") : note; }

  // In characters (code points): a name is a line in a list, a window title, a file name.
  static constexpr int kMaxNameLength = 80;
  // Why `name` cannot be given to a setup; empty when it can. A setup named before these rules
  // keeps its name until it is renamed: only new names are checked.
  static QString nameProblem(const QString& name);
};

}  // namespace tarvik
