// SPDX-License-Identifier: MIT
#pragma once

#include "link/Catalogue.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace tarvik {

// Tabs of the main window that the transfer machine shows and hides.
enum class TabSheet { Presets = 2, Advanced = 3, Firmware = 4, TestController = 5 };

// Buttons whose enabled state the transfer machine drives.
enum class ChainButton { Connect /*Button1*/, SubmitConfig /*Button2*/, SubmitPresets /*Button3*/ };

// What the transfer machine needs of the window. The window implements it; tests implement a
// recorder. Every call comes on the window's thread.
class TransferView {
 public:
  virtual ~TransferView() = default;
  virtual void addLog(const QString& message) = 0;
  // A line without time stamp that does not move the selection.
  virtual void appendRawLogLine(const QString& line) = 0;
  virtual void setTabVisible(TabSheet tab, bool visible) = 0;
  virtual void setButtonEnabled(ChainButton button, bool enabled) = 0;
  virtual void setBusyCursor(bool busy) = 0;
  // Modal box with the error icon and an OK button; returns when the user closed it.
  virtual void showError(const QString& caption, const QString& text) = 0;
  // Modal box with the warning icon and an OK button; views without one show the error box.
  virtual void showWarning(const QString& caption, const QString& text) {
    showError(caption, text);
  }
  virtual void setCurrentVersion(const QString& version) = 0;
  virtual QString currentVersion() const = 0;
  // True while another part of the program (the flash) owns the link; the machine then
  // refuses to start a chain.
  virtual bool linkReservedElsewhere() const { return false; }
};

// The editors of the configuration: the preset matrix and the advanced settings. Reading gives
// the bytes that go on the wire; applying writes received items into the editors.
class ConfigEditors {
 public:
  virtual ~ConfigEditors() = default;
  virtual std::array<std::uint8_t, kTableSize> presetPayload() const = 0;
  virtual std::array<std::uint8_t, kTableSize> ccMapPayload() const = 0;
  virtual std::array<std::uint8_t, kTableSize> pcRemapPayload() const = 0;
  virtual std::array<std::uint8_t, kConfigRecordSize> configRecord() const = 0;
  virtual void applyPresets(std::span<const std::uint8_t, kTableSize> items) = 0;
  virtual void applyCcMap(std::span<const std::uint8_t, kTableSize> items) = 0;
  virtual void applyPcRemap(std::span<const std::uint8_t, kTableSize> items) = 0;
  // Steps 1 to 15 of applying a received record (the machine logs the item count and requests
  // the CC map itself).
  virtual void applyConfigRecord(std::span<const std::uint8_t, kConfigRecordSize> items) = 0;
};

}  // namespace tarvik
