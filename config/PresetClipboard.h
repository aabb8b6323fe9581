// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include "config/PresetRows.h"

namespace tarvik {

// Presets on the clipboard, as readable text that another window or a text editor can take:
// each preset a section "[n]" of a .tvk file, n its row, with its loop mask "pc" and its PC
// remap entry "pcremap", and the names of the named ones in a "[names]" section as a backup
// file writes it. The CC map does not travel; a "cc" key, as a whole .tvk file has, is read
// past. Pasted rows come in the order of their row numbers.
class PresetClipboard {
  Q_DECLARE_TR_FUNCTIONS(PresetClipboard)

 public:
  // The text of `rows` of `presets`, CR LF line ends as in the files.
  static QByteArray text(const PresetRows& presets, const PresetRows::Rows& rows);

  struct Read {
    QList<PresetRow> rows;  // empty when the text was refused
    QString problem;        // why the text is refused, for the user; empty when it is taken
  };
  // A text without a preset section, with a key or value no preset can have, or with names
  // that could not have been written, is refused as a whole.
  static Read read(const QByteArray& text);
};

}  // namespace tarvik
