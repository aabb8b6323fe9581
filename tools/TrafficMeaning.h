// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <span>

namespace tarvik {

class LoopLabels;
class PresetNames;
class PresetTables;

// What a channel message means to the Tarvik, in the editors' words: a program change n selects
// preset n + 1 (named as the matrix names it), and a control change switches the loop that the
// CC map gives its controller ("LOOP 3 (Delay)"). Empty for every other message: the SysEx
// frames of a transfer are told by the event log.
class TrafficMeaning {
  Q_DECLARE_TR_FUNCTIONS(TrafficMeaning)

 public:
  static QString of(std::span<const std::uint8_t> bytes, const PresetTables& tables,
                    const PresetNames& names, const LoopLabels& labels);
};

}  // namespace tarvik
