// SPDX-License-Identifier: MIT
#pragma once

#include "firmware/FlashView.h"
#include "link/Framing.h"
#include "link/TransferMachine.h"
#include "link/TransferView.h"
#include "midi/MidiDevices.h"

#include <QUrl>
#include <QWidget>

#include <array>
#include <exception>
#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QNetworkAccessManager;
class QPushButton;
class QTabWidget;

namespace tarvik {

class AdvancedSettingsTab;
class Dialogs;
class EventLog;
class FirmwareTab;
class Flasher;
class UpdateCheck;
class PresetMatrixTab;
class TestControllerTab;

// The one window of the program. It owns every control and binds them to the logic classes;
// the rules themselves live in those classes. All of its code runs on the window's thread: MIDI
// input reaches it through the MIDI layer's hand-over, one event at a time.
class TForm1 : public QWidget,
               public TransferView,
               public ConfigEditors,
               public LinkPort,
               public FlashView {
  Q_OBJECT
 public:
  static inline const QString applicationTitle = QStringLiteral("Tarvik Configurator");

  explicit TForm1(Dialogs& dialogs, const QUrl& updateServer, QWidget* parent = nullptr);
  ~TForm1() override;

  void addLog(const QString& message) override;

  // Handlers of the window, named after their control.
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  void DoMidiInData(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  void DoSysExData(int port, const TMemoryStream& stream);

  TransferMachine& machine() { return *machine_; }
  Flasher& flasher() { return *flasher_; }
  UpdateCheck& updateCheck() { return *updateCheck_; }
  bool portsOpened() const { return portsOpened_; }

  // TransferView
  void appendRawLogLine(const QString& line) override;
  void setTabVisible(TabSheet tab, bool visible) override;
  void setButtonEnabled(ChainButton button, bool enabled) override;
  void setBusyCursor(bool busy) override;
  void showError(const QString& caption, const QString& text) override;
  void showWarning(const QString& caption, const QString& text) override;
  void setCurrentVersion(const QString& version) override;
  QString currentVersion() const override;
  bool linkReservedElsewhere() const override;

  // ConfigEditors
  std::array<std::uint8_t, kTableSize> presetPayload() const override;
  std::array<std::uint8_t, kTableSize> ccMapPayload() const override;
  std::array<std::uint8_t, kTableSize> pcRemapPayload() const override;
  std::array<std::uint8_t, kConfigRecordSize> configRecord() const override;
  void applyPresets(std::span<const std::uint8_t, kTableSize> items) override;
  void applyCcMap(std::span<const std::uint8_t, kTableSize> items) override;
  void applyPcRemap(std::span<const std::uint8_t, kTableSize> items) override;
  void applyConfigRecord(std::span<const std::uint8_t, kConfigRecordSize> items) override;

  // FlashView (addLog, setBusyCursor and showError are shared with TransferView)
  void setFlashButtonEnabled(bool enabled) override;
  void setProgress(int page, int pageCount) override;
  void hideProgress() override;

  // LinkPort: one nibble frame to the output port selected at this moment.
  void SendByte(std::uint8_t value) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildMidiTab();
  void buildTabs();
  void FormCreate();
  void FormShow();
  void FormDestroy();
  // Runs a handler; an error that leaves it is shown in the error box and the program goes on.
  void guarded(const std::function<void()>& handler);
  void reportError(const std::exception& error);
  // Nothing else may talk to the device while a chain or a flash runs.
  void updateSendControls();
  QWidget* tabPage(TabSheet tab) const;

  Dialogs& dialogs_;
  QUrl updateServer_;

  QListWidget* ListBox1 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QLabel* Label22 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QWidget* TabSheet4 = nullptr;
  QWidget* TabSheet5 = nullptr;
  QListWidget* inputDevices = nullptr;
  QListWidget* outputDevices = nullptr;
  QPushButton* Button1 = nullptr;

  PresetMatrixTab* presets_ = nullptr;
  AdvancedSettingsTab* advanced_ = nullptr;
  FirmwareTab* firmware_ = nullptr;
  TestControllerTab* testController_ = nullptr;
  QNetworkAccessManager* network_ = nullptr;

  std::unique_ptr<EventLog> log_;
  TransferMachine* machine_ = nullptr;
  UpdateCheck* updateCheck_ = nullptr;
  Flasher* flasher_ = nullptr;

  std::array<bool, 3> chainButtonWanted_{true, true, true};
  bool portsOpened_ = false;
  bool shown_ = false;
};

}  // namespace tarvik
