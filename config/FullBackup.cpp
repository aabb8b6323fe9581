// SPDX-License-Identifier: MIT
#include "config/FullBackup.h"

#include <ini.h>

#include <QHash>

#include "config/ConfigBytes.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"

namespace tarvik {
namespace {

const QByteArray kSettingsSection = QByteArrayLiteral("settings");
const QByteArray kHeadSection = QByteArrayLiteral("backup");
const QByteArray kNamesKey = QByteArrayLiteral("names");
const QByteArray kLoopsKey = QByteArrayLiteral("loops");

struct SettingsState {
  bool present = false;
  std::array<std::optional<std::uint8_t>, kConfigRecordSize> values{};
  QString problem;  // the first thing wrong with the section
};

int keyIndex(const QByteArray& key) {
  for (int i = 0; i < kConfigRecordSize; ++i) {
    if (key.compare(FullBackup::kSettingKeys[i], Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

// Decimal 0..255 only: the file holds wire bytes, and other spellings would invite values that
// read differently elsewhere.
std::optional<std::uint8_t> byteValue(const QByteArray& text) {
  if (text.isEmpty() || text.size() > 3) return std::nullopt;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  const int value = text.toInt();
  return value <= 255 ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(value))
                      : std::nullopt;
}

int handleSetting(void* user, const char* section, const char* name, const char* value) {
  auto& state = *static_cast<SettingsState*>(user);
  if (QByteArray(section).trimmed().compare(kSettingsSection, Qt::CaseInsensitive) != 0) {
    return 1;
  }
  state.present = true;
  if (!state.problem.isEmpty()) return 1;
  const QByteArray key = QByteArray(name).trimmed();
  const int index = keyIndex(key);
  if (index < 0) {
    state.problem = FullBackup::tr("unknown key \"%1\"").arg(QString::fromUtf8(key));
    return 1;
  }
  if (state.values[index]) {
    state.problem =
        FullBackup::tr("%1 appears twice").arg(QLatin1String(FullBackup::kSettingKeys[index]));
    return 1;
  }
  const QByteArray text = QByteArray(value).trimmed();
  state.values[index] = byteValue(text);
  if (!state.values[index]) {
    state.problem =
        FullBackup::tr("%1=%2 is not a number from 0 to 255")
            .arg(QLatin1String(FullBackup::kSettingKeys[index]), QString::fromUtf8(text));
  }
  return 1;
}

// An empty result when the bytes are a record that goes out exactly as it is; otherwise the
// first byte that would be sent differently.
QString notSentAsIs(const FullBackup::Settings& bytes) {
  ConfigRecord record;
  record.apply(bytes);
  const FullBackup::Settings sent = record.toBytes();
  for (int i = 0; i < kConfigRecordSize; ++i) {
    if (sent[i] != bytes[i]) {
      return FullBackup::tr("%1=%2 cannot be sent as it is (it would go out as %3)")
          .arg(QLatin1String(FullBackup::kSettingKeys[i]))
          .arg(bytes[i])
          .arg(sent[i]);
    }
  }
  return {};
}

// The reader reports keys only, so a header with nothing under it is looked for here: it is a
// section without its settings, not a file without settings.
bool hasSettingsHeader(const QByteArray& text) {
  for (const QByteArray& line : text.split('\n')) {
    if (line.trimmed().compare("[" + kSettingsSection + "]", Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

// How many key=value lines each section holds (section names in lower case), and the values of
// the head "[backup]", as far as the readers see the text: up to a NUL byte, with comment and
// blank lines no entries.
struct Layout {
  QHash<QByteArray, int> entries;
  QHash<QByteArray, QByteArray> head;
};

Layout layoutOf(const QByteArray& usable) {
  Layout layout;
  QByteArray section;
  for (const QByteArray& raw : usable.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (const std::optional<QByteArray> name = TvkFile::sectionName(line)) {
      section = name->toLower();
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (line.startsWith(';') || line.startsWith('#') || equals < 0) continue;
    ++layout.entries[section];
    const QByteArray key = line.left(equals).trimmed().toLower();
    if (section == kHeadSection && !layout.head.contains(key))
      layout.head.insert(key, line.mid(equals + 1).trimmed());
  }
  return layout;
}

// The text as the readers see it: up to a NUL byte.
QByteArray usableText(const QByteArray& text) {
  const qsizetype nul = text.indexOf('\0');
  return nul < 0 ? text : text.left(nul);
}

bool endsInsideALine(const QByteArray& text) {
  const QByteArray usable = usableText(text);
  return !usable.isEmpty() && !usable.endsWith('\n');
}

QString endsInsideALineText() {
  return FullBackup::tr("the file ends inside a line: it is cut short");
}

// Why the text is a cut file although every section in it reads: it ends inside a line (every
// file the program writes ends its last line with CR LF), or it holds fewer entries in a
// section than its head says were written. Files of earlier versions have no head; only their
// last line is looked at. Empty when the text is whole.
QString cutShort(const QByteArray& text) {
  if (endsInsideALine(text)) return endsInsideALineText();
  const QByteArray usable = usableText(text);
  const Layout layout = layoutOf(usable);
  for (const QByteArray& section : {kSettingsSection, kNamesKey, kLoopsKey}) {
    // A head edited by hand into something that is no count says nothing.
    bool isCount = false;
    const int written = layout.head.value(section).toInt(&isCount);
    const int held = layout.entries.value(section);
    if (isCount && held < written) {
      return FullBackup::tr("[%1] holds %2 of the %3 entries written to it: the file is cut short")
          .arg(QString::fromLatin1(section))
          .arg(held)
          .arg(written);
    }
  }
  return {};
}

// The head of a backup that holds more than the tables: what follows them, counted, so that a
// file cut at the end of a line of its later sections still shows as cut. Readers of .tvk
// files and of earlier backups pass over it, as over any section that is not a row.
QByteArray headOf(bool settings, const PresetNames& names, const LoopLabels& labels) {
  int named = 0;
  for (int row = 0; row < kTableSize; ++row) named += names.name(row).isEmpty() ? 0 : 1;
  int labelled = 0;
  for (int loop = 0; loop < LoopLabels::kLoops; ++loop)
    labelled += labels.label(loop).isEmpty() ? 0 : 1;
  return "[" + kHeadSection + "]\r\n" + kSettingsSection + '=' +
         QByteArray::number(settings ? kConfigRecordSize : 0) + "\r\n" + kNamesKey + '=' +
         QByteArray::number(named) + "\r\n" + kLoopsKey + '=' + QByteArray::number(labelled) +
         "\r\n";
}

FullBackup::LoadResult refused(const QString& message) {
  FullBackup::LoadResult result;
  result.message = message;
  return result;
}

}  // namespace

const std::array<const char*, kConfigRecordSize> FullBackup::kSettingKeys = {
    "debounceTime",   "midiChannel",  "omniMode",      "muteMask",      "muteBeforeDelay",
    "muteAfterDelay", "switchMask",   "switchOnTime",  "magicFunction", "magicChannel",
    "magicChange",    "magicValue",   "sendCcInIam",   "bankExpander",  "doublePressBypass",
    "bypassProgram",  "expressionCC", "boundlessBank", "ampRackMode",   "lockMask",
};

QByteArray FullBackup::serialize(const PresetTables& tables,
                                 const std::optional<Settings>& settings, const PresetNames& names,
                                 const LoopLabels& labels) {
  const bool more = settings || !names.isEmpty() || !labels.isEmpty();
  QByteArray text = (more ? headOf(settings.has_value(), names, labels) : QByteArray()) +
                    TvkFile::serialize(tables);
  if (settings) {
    // Written in the form parse() takes back: the editors' start state (a Pin-20 function with
    // no selection, 255) is a record a restore could not send as it is, and a file holding it
    // would be refused by the very program that wrote it.
    const Settings kept = ConfigBytes::keptSettings(*settings);
    text += "[settings]\r\n";
    for (int i = 0; i < kConfigRecordSize; ++i) {
      text += QByteArray(kSettingKeys[i]) + '=' + QByteArray::number(kept[i]) + "\r\n";
    }
  }
  return text + names.section() + labels.section();
}

bool FullBackup::save(const QString& path, const PresetTables& tables, const Settings& settings,
                      const PresetNames& names, const LoopLabels& labels) {
  return UserFile::write(path, serialize(tables, settings, names, labels));
}

FullBackup::LoadResult FullBackup::parse(const QByteArray& text) {
  const TvkFile::LoadResult tvk = TvkFile::parse(text);
  if (!tvk.ok()) return refused(tvk.message);

  SettingsState state;
  if (ini_parse_string(text.constData(), &handleSetting, &state) < 0) {
    return refused(tr("the file could not be read."));
  }
  LoadResult result;
  result.tables = tvk.tables;
  result.gaps = tvk.gaps;
  result.cut = cutShort(text);
  PresetNames::Read names = PresetNames::read(text);
  result.names = names.names;
  result.namesProblem = names.problem;
  LoopLabels::Read labels = LoopLabels::read(text);
  result.labels = labels.labels;
  result.labelsProblem = labels.problem;
  if (!state.present && !hasSettingsHeader(text)) return result;
  if (!state.problem.isEmpty()) return refused(QStringLiteral("[settings]: ") + state.problem);

  Settings settings{};
  for (int i = 0; i < kConfigRecordSize; ++i) {
    if (!state.values[i]) {
      return refused(tr("[settings]: %1 is missing").arg(QLatin1String(kSettingKeys[i])));
    }
    settings[i] = *state.values[i];
  }
  if (const QString problem = notSentAsIs(settings); !problem.isEmpty()) {
    return refused(QStringLiteral("[settings]: ") + problem);
  }
  result.settings = settings;
  return result;
}

FullBackup::LoadResult FullBackup::load(const QString& path) {
  const UserFile::Read file = UserFile::read(path);
  if (!file.ok()) return refused(file.error);
  LoadResult result = parse(*file.bytes);
  if (!result.ok())
    result.message = QStringLiteral("%1: %2").arg(UserFile::shown(path), result.message);
  return result;
}

QString FullBackup::LoadResult::notWhole() const {
  if (!ok()) return {};
  return gaps.none() ? cut : gaps.first;
}

FullBackup::LoadResult FullBackup::parseWhole(const QByteArray& text) {
  // A file that ends inside a line is refused whatever its later sections hold; only what
  // makes it no Tarvik file, or what its tables lack (which says more about where it was cut),
  // is looked for first, as for any other file.
  if (endsInsideALine(text)) {
    const TvkFile::LoadResult tvk = TvkFile::parse(text);
    if (!tvk.ok()) return refused(tvk.message);
    return refused(tvk.gaps.none() ? endsInsideALineText() : tvk.gaps.first);
  }
  LoadResult result = parse(text);
  if (const QString why = result.notWhole(); !why.isEmpty()) return refused(why);
  return result;
}

FullBackup::LoadResult FullBackup::loadWhole(const QString& path) {
  const UserFile::Read file = UserFile::read(path);
  if (!file.ok()) return refused(file.error);
  LoadResult result = parseWhole(*file.bytes);
  if (!result.ok())
    result.message = QStringLiteral("%1: %2").arg(UserFile::shown(path), result.message);
  return result;
}

}  // namespace tarvik
