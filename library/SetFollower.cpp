// SPDX-License-Identifier: MIT
#include "library/SetFollower.h"

#include <QStringList>
#include <utility>

#include "config/ConfigBytes.h"

namespace tarvik {

SetFollower::SetFollower(SetList setList, LoopLabels fallback)
    : setList_(std::move(setList)), fallback_(std::move(fallback)) {}

void SetFollower::select(int row) {
  if (row >= 0 && row < kTableSize) row_ = row;
}

int SetFollower::nextRow() const {
  // From beyond the set, the next song is its first: the set starts again.
  if (song() < 0) return firstRow();
  return row_ + 1 < setList_.songs.size() ? row_ + 1 : -1;
}

int SetFollower::previousRow() const {
  if (song() < 0) return firstRow();
  return row_ > 0 ? row_ - 1 : -1;
}

QString SetFollower::loopsText(const SetSong& song) const {
  const QStringList own = song.loopLabels.split(u'\n');
  QStringList on;
  for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
    if (((song.preset.mask >> loop) & 1U) == 0) continue;
    QString label = loop < own.size() ? own[loop].trimmed() : QString();
    if (song.loopLabels.isEmpty()) label = fallback_.label(loop);
    on << (label.isEmpty() ? tr("LOOP %1").arg(loop + 1)
                           : QStringLiteral("%1 %2").arg(loop + 1).arg(label));
  }
  return on.isEmpty() ? tr("No loop on") : on.join(QStringLiteral(", "));
}

SetFollower::Texts SetFollower::texts() const {
  Texts texts;
  const qsizetype count = setList_.songs.size();
  texts.preset = tr("Preset %1").arg(row_ + 1);
  const int next = nextRow();
  if (next >= 0)
    texts.next = tr("Next: %1").arg(setList_.songs.at(next).name);
  else if (count > 0)
    texts.next = tr("Last song of the set");
  if (song() < 0) {
    texts.song = tr("Preset %1 is not in this set").arg(row_ + 1);
    texts.place = tr("- / %1").arg(count);
    return texts;
  }
  const SetSong& current = setList_.songs.at(song());
  texts.song = current.name;
  texts.place = tr("%1 / %2").arg(song() + 1).arg(count);
  texts.loops = loopsText(current);
  const int pc = current.preset.pcRemap;
  texts.programChange = pc >= 0 && pc < PresetTables::kPcRemapNone
                            ? tr("Sends program change %1").arg(pc + 1)
                            : tr("Sends no program change");
  texts.note = current.note;
  return texts;
}

QString SetFollower::deviceWarning(const SetList& setList, const DeviceBlocks& device) {
  if (!device.complete()) return {};
  const PresetTables held = ConfigBytes::fromDevice(device).tables();
  for (int row = 0; row < setList.songs.size() && row < kTableSize; ++row) {
    const PresetRow& wanted = setList.songs.at(row).preset;
    if (held.mask(row) == wanted.mask && held.pcRemap(row) == wanted.pcRemap) continue;
    return tr("Preset %1 on the Tarvik is not \"%2\": arrange the set and send it")
        .arg(row + 1)
        .arg(setList.songs.at(row).name);
  }
  return {};
}

}  // namespace tarvik
