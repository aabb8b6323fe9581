// SPDX-License-Identifier: MIT
#include "config/TvkFile.h"

#include <ini.h>

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "config/UserFile.h"

namespace tarvik {
namespace {

struct Value {
  bool present = false;
  std::optional<int> number;  // empty when the text is not a number
  QByteArray text;
};

struct RowValues {
  bool section = false;
  Value pc;
  Value cc;
  Value pcRemap;
};

struct ParseState {
  std::array<RowValues, kTableSize> rows{};
  bool anyRowSection = false;
};

// The keys of a row with the values each can hold as written (a loop mask, a CC item or
// none, a program or none).
struct Key {
  const char* name;
  Value RowValues::*value;
  int lowest;
  int highest;
};
constexpr std::array<Key, 3> kKeys{{
    {"pc", &RowValues::pc, 0, 0xFF},
    {"cc", &RowValues::cc, -1, PresetTables::kCcItems - 1},
    {"pcremap", &RowValues::pcRemap, -1, PresetTables::kPcRemapItems - 1},
}};

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
  const std::optional<int> row = TvkFile::rowOfSection(QByteArray(section).trimmed());
  if (!row) {
    return 1;
  }
  state.anyRowSection = true;
  RowValues& values = state.rows[*row];
  values.section = true;
  const QByteArray key = QByteArray(name).trimmed().toLower();
  const auto known =
      std::find_if(kKeys.begin(), kKeys.end(), [&key](const Key& k) { return key == k.name; });
  if (known == kKeys.end()) return 1;
  // The first occurrence of a key counts, as with the usual profile readers; a value that is
  // not a number counts as absent.
  Value& slot = values.*(known->value);
  if (!slot.present) {
    slot.present = true;
    slot.text = QByteArray(value).trimmed();
    slot.number = parseInteger(slot.text);
  }
  return 1;
}

// A section header with no keys under it reaches no handler: the rows with a header are looked
// for in the text, so that "[12]" at the end of a cut file counts as a row without its values.
void markSectionHeaders(const QByteArray& text, ParseState& state) {
  for (const QByteArray& line : text.split('\n')) {
    const std::optional<QByteArray> name = TvkFile::sectionName(line.trimmed());
    if (const std::optional<int> row = name ? TvkFile::rowOfSection(*name) : std::nullopt)
      state.rows[*row].section = true;
  }
}

TvkFile::Gaps gapsOf(const ParseState& state) {
  TvkFile::Gaps gaps;
  // Only the first gap is named: a cut file may lack a hundred rows, and translating a text for
  // each would cost more than reading the file.
  const auto note = [&gaps](const auto& gap) {
    if (gaps.first.isEmpty()) gaps.first = gap();
  };
  for (int row = 0; row < kTableSize; ++row) {
    const RowValues& values = state.rows[row];
    if (!values.section) {
      ++gaps.incompleteRows;
      note([row] { return TvkFile::tr("section [%1] is missing").arg(row); });
      continue;
    }
    bool whole = true;
    for (const Key& key : kKeys) {
      const Value& value = values.*(key.value);
      if (!value.present) {
        whole = false;
        note([&] {
          return TvkFile::tr("section [%1] has no %2").arg(row).arg(QLatin1String(key.name));
        });
      } else if (!value.number || *value.number < key.lowest || *value.number > key.highest) {
        gaps.unreadable.append(QStringLiteral("[%1] %2=%3")
                                   .arg(row)
                                   .arg(QLatin1String(key.name), QString::fromUtf8(value.text)));
        note([&] { return TvkFile::tr("%1 cannot be read").arg(gaps.unreadable.last()); });
      }
    }
    if (!whole) ++gaps.incompleteRows;
  }
  return gaps;
}

TvkFile::LoadResult refused(TvkFile::LoadError error, const QString& message) {
  return {std::nullopt, error, message, {}};
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
  return UserFile::write(path, serialize(tables));
}

QString TvkFile::Gaps::summary() const {
  // A hand-edited file may get every value wrong: the line names the first few.
  constexpr int kNamed = 8;
  QString text = tr("%n of 128 rows missing or incomplete", nullptr, incompleteRows);
  if (!unreadable.isEmpty()) {
    QStringList named = unreadable.mid(0, kNamed);
    if (unreadable.size() > kNamed)
      named.append(tr("%n more", nullptr, unreadable.size() - kNamed));
    text += tr("; values that could not be read: %1").arg(named.join(QStringLiteral(", ")));
  }
  return text;
}

QString cannotWriteText(const QString& path) {
  return TvkFile::tr("In %1 kann nicht geschrieben werden.").arg(UserFile::shown(path));
}

TvkFile::LoadResult TvkFile::load(const QString& path) {
  const UserFile::Read file = UserFile::read(path);
  if (!file.ok()) return refused(LoadError::Unreadable, file.error);
  LoadResult result = parse(*file.bytes);
  if (!result.ok()) {
    result.message = QStringLiteral("%1: %2").arg(UserFile::shown(path), result.message);
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
  markSectionHeaders(QByteArray(text.constData()), state);
  PresetTables tables;
  for (int row = 0; row < kTableSize; ++row) {
    const RowValues& values = state.rows[row];
    // Bits above the eight loops are ignored.
    tables.setMask(row, static_cast<std::uint8_t>(values.pc.number.value_or(0) & 0xFF));
    tables.setCc(row, values.cc.number.value_or(0));
    tables.setPcRemap(row, values.pcRemap.number.value_or(row));
  }
  return {tables, LoadError::None, {}, gapsOf(state)};
}

std::optional<int> TvkFile::rowOfSection(const QByteArray& name) {
  bool ok = false;
  const int row = name.toInt(&ok);
  if (!ok || row < 0 || row >= kTableSize || QByteArray::number(row) != name) {
    return std::nullopt;
  }
  return row;
}

std::optional<QByteArray> TvkFile::sectionName(const QByteArray& line) {
  if (line.size() < 2 || !line.startsWith('[') || !line.endsWith(']')) return std::nullopt;
  return line.mid(1, line.size() - 2).trimmed();
}

QString TvkFile::readNumbered(const QByteArray& text, const QByteArray& section, int count,
                              int (*number)(const QByteArray&), QString (*problem)(const QString&),
                              const NumberedTexts& texts,
                              const std::function<void(int, const QString&)>& take) {
  QString first;
  std::vector<bool> seen(static_cast<std::size_t>(count));
  bool inSection = false;
  auto complain = [&](const QString& why) {
    if (first.isEmpty()) first = QStringLiteral("[%1]: ").arg(QString::fromLatin1(section)) + why;
  };
  const QByteArray usable = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
  for (const QByteArray& raw : usable.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (const std::optional<QByteArray> name = sectionName(line)) {
      inSection = name->compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection || line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
      complain(texts.notKeyValue.arg(QString::fromUtf8(line)));
      continue;
    }
    const QByteArray key = line.left(equals).trimmed();
    const int n = number(key);
    if (n == 0) {
      complain(texts.notNumber.arg(QString::fromUtf8(key)).arg(count));
      continue;
    }
    if (seen[n - 1]) {
      complain(texts.twice.arg(n));
      continue;
    }
    seen[n - 1] = true;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString value = utf8.decode(line.mid(equals + 1).trimmed());
    if (utf8.hasError()) {
      complain(texts.notUtf8.arg(n));
      continue;
    }
    if (const QString why = problem(value); !why.isEmpty()) {
      complain(texts.refused.arg(QString::number(n), why));
      continue;
    }
    take(n, value);
  }
  return first;
}

}  // namespace tarvik
