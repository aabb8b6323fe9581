// SPDX-License-Identifier: MIT
#include "config/DeviceBlocks.h"

#include <QCoreApplication>

namespace tarvik {

QString blockName(Block block) {
  switch (block) {
    case Block::Presets:
      return QCoreApplication::translate("DeviceBlocks", "presets");
    case Block::CcMap:
      return QCoreApplication::translate("DeviceBlocks", "CC map");
    case Block::PcRemap:
      return QCoreApplication::translate("DeviceBlocks", "PC remap table");
    case Block::Record:
      break;
  }
  return QCoreApplication::translate("DeviceBlocks", "settings");
}

QString hexByte(std::uint8_t value) {
  return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

void DeviceBlocks::set(Block block, const QByteArray& bytes) {
  bytes_[slot(block)] = bytes.size() == blockSize(block) ? bytes : QByteArray();
}

bool DeviceBlocks::complete() const {
  for (const QByteArray& bytes : bytes_) {
    if (bytes.isEmpty()) return false;
  }
  return true;
}

}  // namespace tarvik
