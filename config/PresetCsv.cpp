// SPDX-License-Identifier: MIT
#include "config/PresetCsv.h"

#include <QStringDecoder>
#include <QStringList>
#include <array>
#include <variant>

#include "config/UserFile.h"

namespace tarvik {
namespace {

const QString kCsvNone = QStringLiteral("none");

QStringList csvHeaderFields() {
  QStringList fields{QStringLiteral("preset"), QStringLiteral("name")};
  for (int loop = 1; loop <= PresetTables::kLoops; ++loop)
    fields << QStringLiteral("loop%1").arg(loop);
  return fields << QStringLiteral("pc");
}

QByteArray csvQuoted(const QString& field) {
  QByteArray bytes = field.toUtf8();
  if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') &&
      !bytes.contains('\n')) {
    return bytes;
  }
  bytes.replace("\"", "\"\"");
  return '"' + bytes + '"';
}

struct CsvRecord {
  int line = 0;  // where it starts
  QStringList fields;
};

using CsvRecords = std::variant<QList<CsvRecord>, QString>;

QString csvAtLine(int line, const QString& why) {
  return PresetCsv::tr("line %1: %2").arg(line).arg(why);
}

bool csvLineEndAt(const QString& text, qsizetype pos) {
  return text[pos] == u'\n' ||
         (text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n');
}

// Past the line end at `pos`.
qsizetype csvAfterLineEnd(const QString& text, qsizetype pos) {
  return pos + (text[pos] == u'\r' ? 2 : 1);
}

// The records of RFC 4180 text, each with the line it starts on; a line end inside quotes belongs
// to the field. Empty lines are no records.
CsvRecords csvRecords(const QString& text) {
  QList<CsvRecord> found;
  qsizetype pos = 0;
  int line = 1;
  const qsizetype size = text.size();
  while (pos < size) {
    if (csvLineEndAt(text, pos)) {
      pos = csvAfterLineEnd(text, pos);
      ++line;
      continue;
    }
    CsvRecord record{line, {}};
    while (true) {
      QString field;
      if (pos < size && text[pos] == u'"') {
        ++pos;
        while (true) {
          if (pos >= size)
            return csvAtLine(record.line, PresetCsv::tr("a quoted field is not closed"));
          if (text[pos] == u'"') {
            if (pos + 1 < size && text[pos + 1] == u'"') {
              field += u'"';
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          if (text[pos] == u'\n') ++line;
          field += text[pos++];
        }
        if (pos < size && text[pos] != u',' && !csvLineEndAt(text, pos)) {
          return csvAtLine(line, PresetCsv::tr("text after the closing quote of a field"));
        }
      } else {
        while (pos < size && text[pos] != u',' && !csvLineEndAt(text, pos)) {
          if (text[pos] == u'"') {
            return csvAtLine(line, PresetCsv::tr("a quote inside a field that is not quoted"));
          }
          if (text[pos] == u'\r') {
            return csvAtLine(line, PresetCsv::tr("a carriage return outside quotes"));
          }
          field += text[pos++];
        }
      }
      record.fields << field;
      if (pos >= size) break;
      if (text[pos] == u',') {
        ++pos;
        continue;
      }
      pos = csvAfterLineEnd(text, pos);
      ++line;
      break;
    }
    found << record;
  }
  return found;
}

// The first line of `bytes` that is not UTF-8, or 0.
int csvFirstLineNotUtf8(const QByteArray& bytes) {
  int line = 0;
  for (const QByteArray& piece : bytes.split('\n')) {
    ++line;
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)decoder(piece).operator QString();
    if (decoder.hasError()) return line;
  }
  return 0;
}

std::optional<int> csvNumberIn(const QString& text, int first, int last) {
  if (text.isEmpty() || text.size() > 3) return std::nullopt;
  for (const QChar c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
  }
  const int number = text.toInt();
  if (number < first || number > last) return std::nullopt;
  return number;
}

// Why the fields of a preset's line cannot be taken, or nothing; `row` and `preset` filled.
QString csvPresetOf(const QStringList& fields, int& row, PresetRow& preset) {
  if (fields.size() != PresetCsv::kFields) {
    return PresetCsv::tr("%1 fields where %2 belong").arg(fields.size()).arg(PresetCsv::kFields);
  }
  const std::optional<int> number = csvNumberIn(fields[0], 1, kTableSize);
  if (!number) {
    return PresetCsv::tr("the preset \"%1\" is not one of 1..%2").arg(fields[0]).arg(kTableSize);
  }
  row = *number - 1;
  // A file an earlier version wrote holds names under the rule of its day.
  const QString name = UserText::cleaned(fields[1]);
  if (const QString why = PresetNames::problem(name); !why.isEmpty()) {
    return PresetCsv::tr("the name %1").arg(why);
  }
  preset.name = name;
  for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
    const QString& on = fields[2 + loop];
    if (on != QLatin1String("0") && on != QLatin1String("1")) {
      return PresetCsv::tr("loop%1 is \"%2\", not 1 (on) or 0 (off)").arg(loop + 1).arg(on);
    }
    if (on == QLatin1String("1")) preset.mask |= static_cast<std::uint8_t>(1U << loop);
  }
  const std::optional<int> pc = PresetCsv::programOf(fields[PresetCsv::kFields - 1]);
  if (!pc) {
    return PresetCsv::tr("the pc \"%1\" is not one of 1..128, none or empty")
        .arg(fields[PresetCsv::kFields - 1]);
  }
  preset.pcRemap = *pc;
  return {};
}

}  // namespace

QString PresetCsv::programText(int pcRemap) {
  if (pcRemap == PresetTables::kPcRemapNone) return kCsvNone;
  return pcRemap >= 0 && pcRemap < PresetTables::kPcRemapNone ? QString::number(pcRemap + 1)
                                                              : QString();
}

std::optional<int> PresetCsv::programOf(const QString& text) {
  if (text.isEmpty()) return -1;
  if (text.compare(kCsvNone, Qt::CaseInsensitive) == 0) return PresetTables::kPcRemapNone;
  const std::optional<int> program = csvNumberIn(text, 1, PresetTables::kPcRemapNone);
  return program ? std::optional(*program - 1) : std::nullopt;
}

QByteArray PresetCsv::write(const PresetTables& tables, const PresetNames& names) {
  QByteArray text = csvHeaderFields().join(u',').toUtf8() + "\r\n";
  for (int row = 0; row < kTableSize; ++row) {
    text += QByteArray::number(row + 1) + ',' + csvQuoted(names.name(row));
    for (int loop = 0; loop < PresetTables::kLoops; ++loop)
      text += tables.loopOn(row, loop) ? ",1" : ",0";
    text += ',' + csvQuoted(programText(tables.pcRemap(row))) + "\r\n";
  }
  return text;
}

PresetCsv::Read PresetCsv::parse(const QByteArray& bytes) {
  if (const int line = csvFirstLineNotUtf8(bytes); line > 0) {
    return {std::nullopt, csvAtLine(line, tr("not UTF-8 text"))};
  }
  QString text = QString::fromUtf8(bytes);
  // Some spreadsheets start their UTF-8 with a byte order mark.
  if (text.startsWith(QChar::ByteOrderMark)) text.remove(0, 1);
  const CsvRecords parsed = csvRecords(text);
  if (const QString* error = std::get_if<QString>(&parsed)) return {std::nullopt, *error};
  const QList<CsvRecord>& lines = std::get<QList<CsvRecord>>(parsed);
  if (lines.isEmpty())
    return {std::nullopt, tr("no header line \"%1\"").arg(csvHeaderFields().join(u','))};
  const QStringList header = csvHeaderFields();
  bool headerOk = lines.first().fields.size() == header.size();
  for (qsizetype i = 0; headerOk && i < header.size(); ++i)
    headerOk = lines.first().fields[i].trimmed().compare(header[i], Qt::CaseInsensitive) == 0;
  if (!headerOk) {
    return {std::nullopt,
            csvAtLine(lines.first().line, tr("the header is not \"%1\"").arg(header.join(u',')))};
  }

  QList<PresetRow> presets(kTableSize);
  std::array<int, kTableSize> lineOf{};
  for (qsizetype i = 1; i < lines.size(); ++i) {
    int row = 0;
    PresetRow preset;
    const QString why = csvPresetOf(lines[i].fields, row, preset);
    if (!why.isEmpty()) return {std::nullopt, csvAtLine(lines[i].line, why)};
    if (lineOf[row] != 0) {
      return {std::nullopt,
              csvAtLine(lines[i].line,
                        tr("preset %1 again (line %2 has it)").arg(row + 1).arg(lineOf[row]))};
    }
    lineOf[row] = lines[i].line;
    presets[row] = preset;
  }
  for (int row = 0; row < kTableSize; ++row) {
    if (lineOf[row] == 0) return {std::nullopt, tr("no line for preset %1").arg(row + 1)};
  }
  return {presets, {}};
}

ConfigBytes PresetCsv::Read::bytes() const {
  PresetTables tables;
  for (int row = 0; row < kTableSize; ++row) {
    tables.setMask(row, presets->at(row).mask);
    tables.setPcRemap(row, presets->at(row).pcRemap);
  }
  return ConfigBytes::fromTables(tables);
}

PresetNames PresetCsv::Read::names() const {
  PresetNames names;
  for (int row = 0; row < kTableSize; ++row) names.setName(row, presets->at(row).name);
  return names;
}

PresetCsv::Read PresetCsv::read(const QString& path) {
  const UserFile::Read file = UserFile::read(path);
  if (!file.ok()) return {std::nullopt, file.error};
  Read read = parse(*file.bytes);
  if (!read.ok()) read.error = QStringLiteral("%1: %2").arg(UserFile::shown(path), read.error);
  return read;
}

}  // namespace tarvik
