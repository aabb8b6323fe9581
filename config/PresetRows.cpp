// SPDX-License-Identifier: MIT
#include "config/PresetRows.h"

#include <algorithm>

namespace tarvik {
namespace {

PresetRows::Rows sortedUnique(PresetRows::Rows rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [](int row) { return row < 0 || row >= kTableSize; });
  return rows;
}

}  // namespace

PresetRows::PresetRows(const PresetTables& tables, const PresetNames& names) : tables_(tables) {
  for (int row = 0; row < kTableSize; ++row) {
    rows_[row] = {tables.mask(row), tables.pcRemap(row), names.name(row)};
  }
}

PresetTables PresetRows::tables() const {
  PresetTables tables = tables_;
  for (int row = 0; row < kTableSize; ++row) {
    tables.setMask(row, rows_[row].mask);
    tables.setPcRemap(row, rows_[row].pcRemap);
  }
  return tables;
}

PresetNames PresetRows::names() const {
  PresetNames names;
  for (int row = 0; row < kTableSize; ++row) names.setName(row, rows_[row].name);
  return names;
}

QList<PresetRow> PresetRows::take(const Rows& rows) const {
  QList<PresetRow> taken;
  for (int row : sortedUnique(rows)) taken << rows_[row];
  return taken;
}

PresetRows::Rows PresetRows::swap(int a, int b) {
  if (a == b) return {};
  std::swap(rows_[a], rows_[b]);
  return sortedUnique({a, b});
}

PresetRows::Rows PresetRows::moveUp(const Rows& rows) {
  Rows moved = sortedUnique(rows);
  if (moved.empty() || moved.front() == 0) return {};
  for (int& row : moved) {
    std::swap(rows_[row - 1], rows_[row]);
    --row;
  }
  return moved;
}

PresetRows::Rows PresetRows::moveDown(const Rows& rows) {
  Rows moved = sortedUnique(rows);
  if (moved.empty() || moved.back() == kTableSize - 1) return {};
  for (auto row = moved.rbegin(); row != moved.rend(); ++row) {
    std::swap(rows_[*row], rows_[*row + 1]);
    ++*row;
  }
  return moved;
}

PresetRows::Rows PresetRows::move(int from, int to) {
  if (from == to) return {};
  const auto first = rows_.begin();
  if (from < to) {
    std::rotate(first + from, first + from + 1, first + to + 1);
  } else {
    std::rotate(first + to, first + from, first + from + 1);
  }
  return {to};
}

PresetRows::Rows PresetRows::insertEmpty(int at) {
  std::shift_right(rows_.begin() + at, rows_.end(), 1);
  rows_[at] = PresetRow{};
  return {at};
}

PresetRows::Rows PresetRows::remove(const Rows& rows) {
  const Rows removed = sortedUnique(rows);
  if (removed.empty()) return {};
  std::array<PresetRow, kTableSize> kept{};
  int next = 0;
  for (int row = 0; row < kTableSize; ++row) {
    if (!std::binary_search(removed.begin(), removed.end(), row)) kept[next++] = rows_[row];
  }
  rows_ = kept;
  return {};
}

PresetRows::Rows PresetRows::duplicate(const Rows& rows) {
  const Rows copied = sortedUnique(rows);
  if (copied.empty()) return {};
  const QList<PresetRow> copies = take(copied);
  const int at = copied.back() + 1;
  if (at >= kTableSize) return {};
  const auto count = std::min<int>(static_cast<int>(copies.size()), kTableSize - at);
  std::shift_right(rows_.begin() + at, rows_.end(), count);
  return paste(at, copies);
}

PresetRows::Rows PresetRows::paste(int at, const QList<PresetRow>& rows) {
  Rows placed;
  for (const PresetRow& row : rows) {
    if (at >= kTableSize) break;
    rows_[at] = row;
    placed.push_back(at++);
  }
  return placed;
}

void PresetRows::interlock(const Rows& rows, std::uint8_t lockMask) {
  for (int row : sortedUnique(rows)) {
    std::uint8_t& mask = rows_[row].mask;
    const auto group = static_cast<std::uint8_t>(mask & lockMask);
    const auto lowest = static_cast<std::uint8_t>(group & -group);
    mask = static_cast<std::uint8_t>((mask & ~lockMask) | lowest);
  }
}

}  // namespace tarvik
