// SPDX-License-Identifier: MIT
#include "config/FullBackup.h"

#include <ini.h>

#include "config/ConfigBytes.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"

namespace tarvik {
namespace {

const QByteArray kSettingsSection = QByteArrayLiteral("settings");

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
  QByteArray text = TvkFile::serialize(tables);
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

FullBackup::LoadResult FullBackup::parseWhole(const QByteArray& text) {
  LoadResult result = parse(text);
  if (result.ok() && !result.gaps.none()) return refused(result.gaps.first);
  return result;
}

FullBackup::LoadResult FullBackup::loadWhole(const QString& path) {
  LoadResult result = load(path);
  if (result.ok() && !result.gaps.none()) {
    return refused(QStringLiteral("%1: %2").arg(UserFile::shown(path), result.gaps.first));
  }
  return result;
}

}  // namespace tarvik
