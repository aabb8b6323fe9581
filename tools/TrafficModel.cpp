// SPDX-License-Identifier: MIT
#include "tools/TrafficModel.h"

#include "tools/TrafficHistory.h"
#include "tools/TrafficLine.h"

namespace tarvik {

TrafficModel::TrafficModel(QObject* parent)
    : QAbstractListModel(parent), clock_(&TrafficHistory::now) {
  refresh_.setSingleShot(true);
  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, &TrafficModel::flush);
}

void TrafficModel::record(TrafficDirection direction, const std::uint8_t* bytes, std::size_t size) {
  if (!paused_) recordAt(clock_(), direction, bytes, size);
}

void TrafficModel::recordAt(QTime time, TrafficDirection direction, const std::uint8_t* bytes,
                            std::size_t size) {
  if (paused_) return;
  entries_.push_back({time, direction, static_cast<std::uint32_t>(bytes_.size()),
                      static_cast<std::uint32_t>(size)});
  bytes_.insert(bytes_.end(), bytes, bytes + size);
  if (!refresh_.isActive()) refresh_.start();
}

void TrafficModel::flush() {
  refresh_.stop();
  if (rows_ == entries_.size()) return;
  beginInsertRows(QModelIndex(), static_cast<int>(rows_), static_cast<int>(entries_.size()) - 1);
  rows_ = entries_.size();
  endInsertRows();
}

int TrafficModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_);
}

std::span<const std::uint8_t> TrafficModel::bytes(int row) const {
  const Entry& entry = entries_[static_cast<std::size_t>(row)];
  return std::span<const std::uint8_t>(bytes_).subspan(entry.offset, entry.size);
}

QString TrafficModel::line(int row, const QString& hex) const {
  const Entry& entry = entries_[static_cast<std::size_t>(row)];
  const QString shown = trafficLine(entry.time, entry.direction, entry.size, hex);
  const QString meaning = meaning_ ? meaning_(bytes(row)) : QString();
  return meaning.isEmpty() ? shown : shown + QStringLiteral("  ") + meaning;
}

QString TrafficModel::fullLine(int row) const { return line(row, hexBytes(bytes(row))); }

QStringList TrafficModel::fullLines() const {
  QStringList lines;
  lines.reserve(rowCount());
  for (int row = 0; row < rowCount(); ++row) lines << fullLine(row);
  return lines;
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const int row = index.row();
  const Entry& entry = entries_[static_cast<std::size_t>(row)];
  switch (role) {
    case Qt::DisplayRole:
      return line(row, shortenedHexBytes(bytes(row)));
    case Qt::ToolTipRole: {
      if (entry.size <= kTrafficWholeBytes) return {};
      // Sixteen bytes a line, so that a long frame's tool tip stays on the screen.
      const std::span<const std::uint8_t> all = bytes(row);
      QStringList lines;
      for (std::size_t at = 0; at < all.size(); at += 16)
        lines << hexBytes(all.subspan(at, std::min<std::size_t>(16, all.size() - at)));
      return lines.join(QLatin1Char('\n'));
    }
    case FullLineRole:
      return fullLine(row);
    default:
      return {};
  }
}

void TrafficModel::clear() {
  refresh_.stop();
  beginResetModel();
  entries_.clear();
  bytes_.clear();
  rows_ = 0;
  endResetModel();
}

}  // namespace tarvik
