// SPDX-License-Identifier: MIT
#include "config/TvkFile.h"

#include <ini.h>

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace tarvik {
namespace {

struct RowValues {
  std::optional<int> pc;
  std::optional<int> cc;
  std::optional<int> pcRemap;
};

struct ParseState {
  std::array<RowValues, kTableSize> rows{};
  bool anyRowSection = false;
};

// Section names are row numbers written without leading zeros; anything else is not a row.
std::optional<int> rowOfSection(const QByteArray& name) {
  bool ok = false;
  const int row = name.toInt(&ok);
  if (!ok || row < 0 || row >= kTableSize || QByteArray::number(row) != name) {
    return std::nullopt;
  }
  return row;
}

bool allOf(const QByteArray& digits, bool (*isDigit)(char)) {
  return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), isDigit);
}

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) {
  return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Decimal with an optional minus sign, or hexadecimal after "0x", "0X" or "$". Hexadecimal
// covers all 32 bits, so "$FFFFFFFF" reads as -1 like a signed integer would. The digits are
// checked here rather than left to Qt's conversion, which skips blanks and accepts a "0x" of
// its own after ours ("0x0x81", "$0x81").
std::optional<int> parseInteger(const QByteArray& text) {
  bool ok = false;
  QByteArray digits;
  if (text.startsWith("0x") || text.startsWith("0X")) {
    digits = text.mid(2);
  } else if (text.startsWith('$')) {
    digits = text.mid(1);
  } else {
    if (!allOf(text.startsWith('-') ? text.mid(1) : text, isDecimalDigit)) {
      return std::nullopt;
    }
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
  }
  if (!allOf(digits, isHexDigit)) {
    return std::nullopt;
  }
  const uint value = digits.toUInt(&ok, 16);
  return ok ? std::optional<int>(static_cast<int>(value)) : std::nullopt;
}

int handleEntry(void* user, const char* section, const char* name, const char* value) {
  auto& state = *static_cast<ParseState*>(user);
  const std::optional<int> row = rowOfSection(QByteArray(section).trimmed());
  if (!row) {
    return 1;
  }
  state.anyRowSection = true;
  const QByteArray key = QByteArray(name).trimmed().toLower();
  RowValues& values = state.rows[*row];
  std::optional<int>* slot = nullptr;
  if (key == "pc") {
    slot = &values.pc;
  } else if (key == "cc") {
    slot = &values.cc;
  } else if (key == "pcremap") {
    slot = &values.pcRemap;
  } else {
    return 1;
  }
  // The first occurrence of a key counts, as with the usual profile readers; a value that is
  // not a number counts as absent.
  if (!slot->has_value()) {
    *slot = parseInteger(QByteArray(value).trimmed());
  }
  return 1;
}

TvkFile::LoadResult refused(TvkFile::LoadError error, const QString& message) {
  return {std::nullopt, error, message};
}

}  // namespace

QByteArray TvkFile::serialize(const PresetTables& tables) {
  QByteArray text;
  text.reserve(kTableSize * 40);
  for (int row = 0; row < kTableSize; ++row) {
    text += '[' + QByteArray::number(row) + "]\r\n";
    text += "pc=" + QByteArray::number(tables.mask(row)) + "\r\n";
    text += "cc=" + QByteArray::number(tables.cc(row)) + "\r\n";
    text += "pcremap=" + QByteArray::number(tables.pcRemap(row)) + "\r\n";
  }
  return text;
}

bool TvkFile::save(const QString& path, const PresetTables& tables) {
  return saveText(path, serialize(tables));
}

bool TvkFile::saveText(const QString& path, const QByteArray& text) {
  QSaveFile file(path);
  // Unbuffered, so that a short write (disk full, file size limit) shows in write()'s result:
  // through the buffer a short write goes unnoticed and commit() would replace the old file
  // with a truncated one.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return false;
  }
  qint64 written = 0;
  while (written < text.size()) {
    const qint64 chunk = file.write(text.constData() + written, text.size() - written);
    if (chunk <= 0) {
      break;
    }
    written += chunk;
  }
  if (written != text.size() || file.size() != text.size()) {
    file.cancelWriting();
    file.commit();  // discards the temporary file; the old file is untouched
    return false;
  }
  return file.commit();
}

QString cannotWriteText(const QString& path) {
  return TvkFile::tr("In %1 kann nicht geschrieben werden.").arg(path);
}

TvkFile::LoadResult TvkFile::load(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return refused(LoadError::Unreadable, QStringLiteral("%1: %2").arg(path, file.errorString()));
  }
  const QByteArray text = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    return refused(LoadError::Unreadable, QStringLiteral("%1: %2").arg(path, file.errorString()));
  }
  LoadResult result = parse(text);
  if (!result.ok()) {
    result.message = QStringLiteral("%1: %2").arg(path, result.message);
  }
  return result;
}

TvkFile::LoadResult TvkFile::parse(const QByteArray& text) {
  ParseState state;
  // The parser reads a C string; embedded NULs end the text, which loses nothing a saved file
  // could contain.
  const int status = ini_parse_string(text.constData(), &handleEntry, &state);
  if (status < 0) {
    return refused(LoadError::Unreadable, tr("the file could not be read."));
  }
  if (!state.anyRowSection) {
    return refused(LoadError::NoSections,
                   tr("not a Tarvik configuration file (no preset sections)."));
  }
  PresetTables tables;
  for (int row = 0; row < kTableSize; ++row) {
    const RowValues& values = state.rows[row];
    // Bits above the eight loops are ignored.
    tables.setMask(row, static_cast<std::uint8_t>(values.pc.value_or(0) & 0xFF));
    tables.setCc(row, values.cc.value_or(0));
    tables.setPcRemap(row, values.pcRemap.value_or(row));
  }
  return {tables, LoadError::None, {}};
}

}  // namespace tarvik
