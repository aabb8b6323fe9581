// SPDX-License-Identifier: MIT
#include "config/RestoreParts.h"

#include <array>

namespace tarvik {
namespace {

struct Word {
  const char* text;
  RestoreParts::Kind kind;
};
constexpr std::array<Word, 3> kWords = {{{"presets", RestoreParts::Kind::Presets},
                                         {"ccmap", RestoreParts::Kind::CcMap},
                                         {"settings", RestoreParts::Kind::Settings}}};

const char* wordOf(RestoreParts::Kind kind) {
  for (const Word& word : kWords)
    if (word.kind == kind) return word.text;
  return "";
}

// A row as the matrix counts it, "1".."128", as its index; nothing for anything else (signs,
// blanks and leading zeros included, so that what is read is what the user sees).
std::optional<int> rowOf(QStringView text) {
  if (text.isEmpty() || text.size() > 3 || text.front() == u'0') return std::nullopt;
  for (const QChar c : text)
    if (c < u'0' || c > u'9') return std::nullopt;
  const int number = text.toInt();
  if (number < 1 || number > kTableSize) return std::nullopt;
  return number - 1;
}

}  // namespace

RestoreParts::Parsed RestoreParts::parse(const QString& text) {
  const auto refuse = [](const QString& why) { return Parsed{std::nullopt, why}; };
  if (text.trimmed().isEmpty())
    return refuse(tr("--only needs the parts to take: presets, ccmap or settings"));
  RestoreParts parts;
  for (const QString& given : text.split(u',')) {
    const QString item = given.trimmed();
    if (item.isEmpty()) return refuse(tr("--only %1: a part is empty").arg(text));
    const qsizetype colon = item.indexOf(u':');
    const QString word = item.left(colon);
    const Word* known = nullptr;
    for (const Word& candidate : kWords)
      if (word == QLatin1String(candidate.text)) known = &candidate;
    if (known == nullptr) {
      return refuse(tr("--only %1: \"%2\" is none of presets, ccmap and settings").arg(text, word));
    }
    Part part{known->kind, 0, kTableSize - 1};
    if (colon >= 0) {
      if (part.kind == Kind::Settings)
        return refuse(tr("--only %1: the settings are taken all together").arg(item));
      const QStringView rows = QStringView(item).mid(colon + 1);
      const qsizetype dash = rows.indexOf(u'-');
      const std::optional<int> first = rowOf(dash < 0 ? rows : rows.left(dash));
      const std::optional<int> last = dash < 0 ? first : rowOf(rows.mid(dash + 1));
      if (!first || !last) return refuse(tr("--only %1: rows are numbers from 1 to 128").arg(item));
      if (*first > *last)
        return refuse(tr("--only %1: the first row comes after the last").arg(item));
      part.first = *first;
      part.last = *last;
    }
    parts.parts_.push_back(part);
  }
  return {parts, {}};
}

bool RestoreParts::has(Kind kind) const {
  for (const Part& part : parts_)
    if (part.kind == kind) return true;
  return false;
}

QString RestoreParts::refusal(const ConfigBytes& source, bool presetsOnly) const {
  for (const Part& part : parts_) {
    if (part.kind == Kind::Presets) continue;
    if (presetsOnly)
      return tr("only presets can be taken from a CSV file, not %1")
          .arg(QLatin1String(wordOf(part.kind)));
    if (part.kind == Kind::Settings && !source.settings)
      return tr("there are no settings to take: the source holds only the tables");
  }
  return {};
}

ConfigBytes RestoreParts::merge(const ConfigBytes& device, const ConfigBytes& source) const {
  ConfigBytes merged = device;
  for (const Part& part : parts_) {
    switch (part.kind) {
      case Kind::Presets:
        // The program change a preset sends on belongs to the preset: it moves with it.
        for (int row = part.first; row <= part.last; ++row) {
          merged.presets[row] = source.presets[row];
          merged.pcRemap[row] = source.pcRemap[row];
        }
        break;
      case Kind::CcMap:
        for (int row = part.first; row <= part.last; ++row) merged.ccMap[row] = source.ccMap[row];
        break;
      case Kind::Settings:
        if (source.settings) merged.settings = source.settings;
        break;
    }
  }
  return merged;
}

PresetNames RestoreParts::mergeNames(const PresetNames& device, const PresetNames& source) const {
  PresetNames merged = device;
  for (const Part& part : parts_) {
    if (part.kind != Kind::Presets) continue;
    for (int row = part.first; row <= part.last; ++row) merged.setName(row, source.name(row));
  }
  return merged;
}

QStringList RestoreParts::lines(const QString& source) const {
  QStringList lines;
  for (const Part& part : parts_) {
    const QString word = QLatin1String(wordOf(part.kind));
    if (part.kind == Kind::Settings) {
      lines << QStringLiteral("%1 from %2").arg(word, source);
    } else if (part.first == part.last) {
      lines << QStringLiteral("%1 %2 from %3").arg(word).arg(part.first + 1).arg(source);
    } else {
      lines << QStringLiteral("%1 %2-%3 from %4")
                   .arg(word)
                   .arg(part.first + 1)
                   .arg(part.last + 1)
                   .arg(source);
    }
  }
  return lines;
}

}  // namespace tarvik
