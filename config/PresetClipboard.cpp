// SPDX-License-Identifier: MIT
#include "config/PresetClipboard.h"

#include <ini.h>

#include <algorithm>
#include <map>
#include <optional>

#include "config/TvkFile.h"

namespace tarvik {
namespace {

struct Entry {
  std::optional<int> pc;
  std::optional<int> pcRemap;
};

struct ReadState {
  std::map<int, Entry> rows;
  QString problem;
};

std::optional<int> numberIn(const QByteArray& text, int lowest, int highest) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value < lowest || value > highest) return std::nullopt;
  return value;
}

void complain(ReadState& state, const QString& why) {
  if (state.problem.isEmpty()) state.problem = why;
}

int readClipboardEntry(void* user, const char* sectionText, const char* nameText,
                       const char* valueText) {
  auto& state = *static_cast<ReadState*>(user);
  const QByteArray section = QByteArray(sectionText).trimmed();
  const QByteArray key = QByteArray(nameText).trimmed().toLower();
  const QByteArray value = QByteArray(valueText).trimmed();
  // The names are PresetNames' to read.
  if (section.compare("names", Qt::CaseInsensitive) == 0) return 1;
  const std::optional<int> row = TvkFile::rowOfSection(section);
  if (!row) {
    complain(
        state,
        section.isEmpty()
            ? PresetClipboard::tr("\"%1\" stands outside any preset section")
                  .arg(QString::fromUtf8(key))
            : PresetClipboard::tr("[%1] is not a preset section").arg(QString::fromUtf8(section)));
    return 1;
  }
  Entry& entry = state.rows[*row];
  if (key == "pc") {
    entry.pc = numberIn(value, 0, 255);
    if (!entry.pc) {
      complain(state, PresetClipboard::tr("[%1]: \"%2\" is not a loop mask from 0 to 255")
                          .arg(*row)
                          .arg(QString::fromUtf8(value)));
    }
  } else if (key == "pcremap") {
    entry.pcRemap = numberIn(value, -1, PresetTables::kPcRemapItems - 1);
    if (!entry.pcRemap) {
      complain(state,
               PresetClipboard::tr("[%1]: \"%2\" is not a program change entry from -1 to %3")
                   .arg(*row)
                   .arg(QString::fromUtf8(value))
                   .arg(PresetTables::kPcRemapItems - 1));
    }
  } else if (key != "cc") {
    complain(state, PresetClipboard::tr("[%1]: \"%2\" is not a preset's key")
                        .arg(*row)
                        .arg(QString::fromUtf8(key)));
  }
  return 1;
}

}  // namespace

QByteArray PresetClipboard::text(const PresetRows& presets, const PresetRows::Rows& rows) {
  QByteArray text;
  PresetNames names;
  for (int row = 0; row < kTableSize; ++row) {
    if (std::find(rows.begin(), rows.end(), row) == rows.end()) continue;
    text += '[' + QByteArray::number(row) + "]\r\n";
    text += "pc=" + QByteArray::number(presets.row(row).mask) + "\r\n";
    text += "pcremap=" + QByteArray::number(presets.row(row).pcRemap) + "\r\n";
    names.setName(row, presets.row(row).name);
  }
  return text + names.section();
}

PresetClipboard::Read PresetClipboard::read(const QByteArray& text) {
  ReadState state;
  // The parser reads a C string: a NUL ends the text there, as it ends a file's.
  const int status = ini_parse_string(text.constData(), &readClipboardEntry, &state);
  if (status != 0 && state.problem.isEmpty()) {
    complain(state, status < 0
                        ? tr("the text could not be read")
                        : tr("line %1 is neither a section nor a key with a value").arg(status));
  }
  const PresetNames::Read names = PresetNames::read(text);
  complain(state, names.problem);
  if (state.problem.isEmpty() && state.rows.empty()) {
    complain(state, tr("the text holds no preset sections [0] to [127]"));
  }
  for (const auto& [row, entry] : state.rows) {
    if (!entry.pc) complain(state, tr("[%1] has no loop mask \"pc\"").arg(row));
  }
  for (int row = 0; row < kTableSize && state.problem.isEmpty(); ++row) {
    if (!names.names.name(row).isEmpty() && !state.rows.contains(row)) {
      complain(state, tr("preset %1 is named but not among the presets").arg(row + 1));
    }
  }
  if (!state.problem.isEmpty()) return {{}, state.problem};
  Read read;
  for (const auto& [row, entry] : state.rows) {
    read.rows << PresetRow{static_cast<std::uint8_t>(*entry.pc), entry.pcRemap.value_or(-1),
                           names.names.name(row)};
  }
  return read;
}

}  // namespace tarvik
