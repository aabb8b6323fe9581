// SPDX-License-Identifier: MIT
#include "config/DeviceBlocks.h"

#include <QCoreApplication>
#include <algorithm>

namespace tarvik {

namespace {

// Per block, in the order of Block.
struct BlockNames {
  const char* key;
  const char* name;
  const char* title;
};
constexpr BlockNames kBlockNames[] = {
    {"presets", QT_TRANSLATE_NOOP("DeviceBlocks", "presets"),
     QT_TRANSLATE_NOOP("DifferenceTexts", "Presets")},
    {"ccmap", QT_TRANSLATE_NOOP("DeviceBlocks", "CC map"),
     QT_TRANSLATE_NOOP("DifferenceTexts", "CC map")},
    {"pcremap", QT_TRANSLATE_NOOP("DeviceBlocks", "PC remap table"),
     QT_TRANSLATE_NOOP("DifferenceTexts", "PC remap")},
    {"settings", QT_TRANSLATE_NOOP("DeviceBlocks", "settings"),
     QT_TRANSLATE_NOOP("DifferenceTexts", "Settings")},
};

const BlockNames& namesOf(Block block) { return kBlockNames[static_cast<std::size_t>(block)]; }

}  // namespace

QString blockName(Block block) {
  return QCoreApplication::translate("DeviceBlocks", namesOf(block).name);
}

QString blockTitle(Block block) {
  return QCoreApplication::translate("DifferenceTexts", namesOf(block).title);
}

QString blockKey(Block block) { return QLatin1String(namesOf(block).key); }

QString hexByte(std::uint8_t value) {
  return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

void DeviceBlocks::set(Block block, const QByteArray& bytes) {
  const int size = block == Block::Record ? kConfigRecordSize : kTableSize;
  bytes_[slot(block)] = bytes.size() == size ? bytes : QByteArray();
}

bool DeviceBlocks::complete() const {
  return std::none_of(bytes_.begin(), bytes_.end(),
                      [](const QByteArray& b) { return b.isEmpty(); });
}

}  // namespace tarvik
