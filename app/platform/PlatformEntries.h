// SPDX-License-Identifier: MIT
#pragma once

#include "firmware/UpdateServer.h"
#include "midi/PlatformMidiService.h"

class QWidget;

namespace tarvik {

struct SetList;
struct SetupSheetContents;

// The functions the platform module exports, by name, for PlatformModule to look up: these,
// the MIDI service's (CreateMidiServiceEntry) and the update server's (CreateUpdateServerEntry).
// Each returns a new object that the caller owns; only pure virtual calls cross the boundary.

// Asks for a printer over `owner` and prints the set's chart on it (SetChart).
enum class ChartPrint { Printed, Cancelled, Failed };
using PrintSetChartEntry = ChartPrint (*)(QWidget* owner, const SetList& setList);
inline constexpr char kPrintSetChartEntry[] = "tarvik_print_set_chart";
// The same for a setup sheet (SetupSheet).
using PrintSetupSheetEntry = ChartPrint (*)(QWidget* owner, const SetupSheetContents& contents);
inline constexpr char kPrintSetupSheetEntry[] = "tarvik_print_setup_sheet";

}  // namespace tarvik
