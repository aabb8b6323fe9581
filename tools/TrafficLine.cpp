// SPDX-License-Identifier: MIT
#include "tools/TrafficLine.h"

#include "tools/LogLine.h"

namespace tarvik {
namespace {

void appendHex(QString& text, std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (const std::uint8_t byte : bytes) {
    if (!text.isEmpty() && !text.endsWith(QLatin1Char(' '))) text += QLatin1Char(' ');
    text += QLatin1Char(kDigits[byte >> 4]);
    text += QLatin1Char(kDigits[byte & 0x0F]);
  }
}

}  // namespace

QString hexBytes(std::span<const std::uint8_t> bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size() * 3));
  appendHex(text, bytes);
  return text;
}

QString shortenedHexBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() <= kTrafficWholeBytes) return hexBytes(bytes);
  QString text = hexBytes(bytes.first(kTrafficHeadBytes));
  text += QStringLiteral(" \u2026 ");
  appendHex(text, bytes.last(kTrafficTailBytes));
  return text;
}

QString trafficLine(const QTime& time, TrafficDirection direction, std::size_t length,
                    const QString& hex) {
  const QLatin1String way(direction == TrafficDirection::In ? "in " : "out");
  return logLine(
      time, QStringLiteral("%1 %2  %3").arg(way).arg(static_cast<qulonglong>(length), 4).arg(hex));
}

}  // namespace tarvik
