// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QTest>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>

#include "link/Catalogue.h"

namespace tarvik::testing {

using Record = std::array<std::uint8_t, kConfigRecordSize>;

// A plausible record as the device sends it; each case changes a few items.
inline Record receivedBase() {
  return {90, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

inline QByteArray recordBytes(std::initializer_list<std::pair<int, int>> changes) {
  Record record = receivedBase();
  for (const auto& [item, value] : changes) {
    record[item] = static_cast<std::uint8_t>(value);
  }
  return QByteArray(reinterpret_cast<const char*>(record.data()), kConfigRecordSize);
}

inline Record toRecord(const QByteArray& bytes) {
  Record record{};
  for (int i = 0; i < kConfigRecordSize; ++i) {
    record[i] = static_cast<std::uint8_t>(bytes[i]);
  }
  return record;
}

inline QByteArray fromRecord(const Record& record) {
  return QByteArray(reinterpret_cast<const char*>(record.data()), kConfigRecordSize);
}

// Received record -> the record that the next submit sends back. Shared by the model test and
// the tab test, so the widgets are held to the same rules as the plain record.
inline void addRoundTripRows() {
  QTest::addColumn<QByteArray>("received");
  QTest::addColumn<QByteArray>("sentBack");
  auto row = [](const char* name, std::initializer_list<std::pair<int, int>> in,
                std::initializer_list<std::pair<int, int>> out) {
    QTest::newRow(name) << recordBytes(in) << recordBytes(out);
  };
  row("plain record comes back unchanged", {}, {});
  row("channel 16 leaves no selection, sent as 255", {{1, 16}}, {{1, 255}});
  row("channel 255 leaves no selection", {{1, 255}}, {{1, 255}});
  row("channel 16 of 16 is kept", {{1, 15}}, {{1, 15}});
  row("omni counts any non-zero value", {{2, 2}}, {{2, 1}});
  row("send CC in IAM counts only 1", {{12, 2}}, {{12, 0}});
  row("bank expander counts only 1", {{13, 255}}, {{13, 0}});
  row("double press bypass on", {{14, 1}}, {{14, 1}});
  row("boundless bank counts only 1", {{17, 2}, {13, 1}}, {{17, 0}, {13, 1}});
  row("amp rack mode on", {{18, 1}}, {{18, 1}});
  row("debounce 255 clamps to 254", {{0, 255}}, {{0, 254}});
  row("debounce 254 is kept", {{0, 254}}, {{0, 254}});
  row("on time 0 becomes 1", {{7, 0}}, {{7, 1}});
  row("delays use the full byte", {{4, 255}, {5, 200}}, {{4, 255}, {5, 200}});
  row("function 4 falls back to none and zeroes the CC items", {{8, 4}, {9, 5}, {10, 6}, {11, 7}},
      {{8, 0}});
  row("function 255 falls back to none", {{8, 255}}, {{8, 0}});
  row("CC message takes channel, controller and value", {{8, 2}, {9, 5}, {10, 127}, {11, 64}},
      {{8, 2}, {9, 5}, {10, 127}, {11, 64}});
  row("CC message with out-of-range selectors sends 255", {{8, 2}, {9, 16}, {10, 128}, {11, 200}},
      {{8, 2}, {9, 255}, {10, 255}, {11, 255}});
  row("master bypass sends no CC items", {{8, 1}, {9, 5}, {10, 6}, {11, 7}}, {{8, 1}});
  row("kemper tap tempo sends no CC items", {{8, 3}, {9, 5}}, {{8, 3}});
  row("bypass program 127 selects 128", {{15, 127}}, {{15, 127}});
  row("bypass program 128 selects none, sent as 255", {{15, 128}}, {{15, 255}});
  row("bypass program 200 selects none", {{15, 200}}, {{15, 255}});
  row("bypass program 255 selects none", {{15, 255}}, {{15, 255}});
  row("expression CC 0 selects 1", {{16, 0}}, {{16, 0}});
  row("expression CC 130 selects none", {{16, 130}}, {{16, 255}});
  row("mute and momentary on different loops", {{3, 0x81}, {6, 0x42}}, {{3, 0x81}, {6, 0x42}});
  row("mute and momentary on the same loop keep both bits", {{3, 0x04}, {6, 0x04}},
      {{3, 0x04}, {6, 0x04}});
  row("interlock group", {{19, 0x06}}, {{19, 0x06}});
}

}  // namespace tarvik::testing
