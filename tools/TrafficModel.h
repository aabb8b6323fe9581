// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QTime>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "link/TrafficTap.h"

namespace tarvik {

// The messages a traffic view lists, one row each, oldest first. It is fed by the link while
// attached to it as its tap and keeps every message's bytes whole; the rows show long messages
// shortened (the full bytes are the tool tip and FullLineRole, which copying and saving use).
//
// A message costs its bytes and a few words, and nothing is formatted until a view asks for a
// visible row. Messages become rows at most every kRefreshMs (a burst of them, a whole connect
// or a flash page, in one go), so a view repaints a few times a second however busy the link
// is, and a full download or a flash with the view open stays cheap.
class TrafficModel : public QAbstractListModel, public TrafficTap {
  Q_OBJECT
 public:
  enum Role { FullLineRole = Qt::UserRole };
  static constexpr int kRefreshMs = 100;

  explicit TrafficModel(QObject* parent = nullptr);

  // Nothing is kept while paused. The message becomes a row within kRefreshMs, or at flush().
  void record(TrafficDirection direction, const std::uint8_t* bytes, std::size_t size) override;
  // As record(), for a message that went over the wire at `time` (one kept from before the
  // view was opened).
  void recordAt(QTime time, TrafficDirection direction, const std::uint8_t* bytes,
                std::size_t size);
  // Makes every message recorded so far a row now.
  void flush();

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  bool paused() const { return paused_; }
  void setPaused(bool paused) { paused_ = paused; }
  void clear();

  TrafficDirection direction(int row) const {
    return entries_[static_cast<std::size_t>(row)].direction;
  }
  std::span<const std::uint8_t> bytes(int row) const;
  // The row's line with every byte: what is copied and saved.
  QString fullLine(int row) const;
  // Every row's full line, oldest first (flush() first for the messages of the last moment).
  QStringList fullLines() const;

  // Where time stamps come from (local time by default); tests pin it.
  void setClock(std::function<QTime()> clock) { clock_ = std::move(clock); }
  // What a message means, said after its bytes in its row when not empty (TrafficMeaning).
  // Asked each time a row is shown, so that it speaks of the editors as they are now.
  void setMeaning(std::function<QString(std::span<const std::uint8_t>)> meaning) {
    meaning_ = std::move(meaning);
  }

 private:
  struct Entry {
    QTime time;
    TrafficDirection direction;
    std::uint32_t offset;  // into bytes_
    std::uint32_t size;
  };

  // All messages' bytes back to back: one allocation now and then instead of one per message.
  std::vector<std::uint8_t> bytes_;
  std::vector<Entry> entries_;
  // The row's line as trafficLine() makes it, with the message's meaning after it.
  QString line(int row, const QString& hex) const;
  std::size_t rows_ = 0;  // the entries the views know as rows
  QTimer refresh_;
  std::function<QTime()> clock_;
  std::function<QString(std::span<const std::uint8_t>)> meaning_;
  bool paused_ = false;
};

}  // namespace tarvik
