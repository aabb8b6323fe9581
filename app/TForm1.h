// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

#include "config/Configuration.h"
#include "firmware/FirmwareDownload.h"
#include "firmware/Flasher.h"
#include "firmware/UpdateCheck.h"
#include "firmware/UpdateServer.h"
#include "link/DeviceLink.h"
#include "link/TransferMachine.h"
#include "tools/ui/TestControllerTab.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tarvik {

class AdvancedSettingsTab;
class Dialogs;
class EditTracking;
class EventLog;
class FirmwareTab;
class FullBackupActions;
class MidiPorts;
class PortListFollower;
class PortWatcher;
class PresetMatrixTab;
class TestControllerTab;
class TrafficWindow;

// The one window of the program: a thin front end over the core. It owns the configuration the
// tabs edit, the link to the device, the transfer machine and the flash, shows what they report
// (log lines, boxes, tabs) and decides which controls may be used. All of its code runs on the
// window's thread: MIDI input reaches it through the MIDI layer's hand-over, one event at a
// time.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  static inline const QString applicationTitle = QStringLiteral("Tarvik Configurator");

  // The port lists must outlive the window. The window owns its way to the update server.
  TForm1(Dialogs& dialogs, MidiPorts& ports, std::unique_ptr<UpdateServer> updateServer,
         QWidget* parent = nullptr);
  ~TForm1() override;

  void addLog(const QString& message);
  // With detail for whoever helps the user (see EventLog).
  void addLogWithDetail(const QString& message, const QStringList& detail);

  // Handlers of the window, named after their control.
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  // "Traffic...": shows the traffic window, made on first use.
  void showTraffic();
  void DoMidiInData(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

  Configuration& configuration() { return configuration_; }
  DeviceLink& link() { return link_; }
  TransferMachine& machine() { return machine_; }
  Flasher& flasher() { return flasher_; }
  FirmwareDownload& firmwareDownload() { return download_; }
  UpdateCheck& updateCheck() { return updateCheck_; }
  // Null until "Traffic..." was first pressed.
  TrafficWindow* trafficWindow() const { return traffic_.get(); }
  PortWatcher& portWatcher();
  EditTracking& edits() { return *edits_; }
  bool portsOpened() const { return portsOpened_; }
  // Builds the four device tabs (hidden) unless they are there. The window comes up with the
  // MIDI tab alone and builds them once its first frame is out, or when a device answers first;
  // a device that answers the connect shows them.
  void buildDeviceTabs();
  // Something owns the link (a chain, the firmware download or the flash): nothing else may
  // talk to the device, and the busy cursor shows.
  bool busy() const;

 Q_SIGNALS:
  void deviceTabsBuilt();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMidiTab();
  void sendTestMessage(int port, TestControllerTab::ShortMessage message);
  void bindCore();
  void FormCreate();
  void FormShow();
  void FormDestroy();
  // Runs a handler; an error that leaves it is shown in the error box and the program goes on.
  void guarded(const std::function<void()>& handler);
  void reportError(const QString& text);
  // "Save as File": true when the tables were written.
  bool saveTables();
  void updateSendControls();
  void setDeviceTabsVisible(bool visible);
  void onIdentified(const QString& version, bool compatible);
  void onChainAborted(ChainAbort why, const QString& activity, const QString& detail);
  void onRefused(Block block, std::uint8_t status);
  void onFlashWritten();
  void onFirmwareChecked(const FirmwareImage& image);
  void onFlashFinished(FlashEnd end, const QString& detail);
  // The port list's selected row, -1 when nothing is selected (the current row may differ).
  static int selectedPort(const QListWidget* list);

  Dialogs& dialogs_;
  MidiPorts& ports_;

  Configuration configuration_;
  DeviceLink link_;
  TransferMachine machine_;
  Flasher flasher_;
  // Before the two that fetch from it: their requests go first.
  std::unique_ptr<UpdateServer> updateServer_;
  FirmwareDownload download_;
  UpdateCheck updateCheck_;
  FullBackupActions* fullBackup_ = nullptr;  // "Back up everything...", "Restore everything..."
  EditTracking* edits_ = nullptr;            // marks, undo, the unsaved-work question

  QListWidget* eventLog_ = nullptr;  // ListBox1
  QTabWidget* tabs_ = nullptr;        // PageControl1
  QLabel* footer_ = nullptr;          // Label22
  QWidget* midiPage_ = nullptr;       // TabSheet1 .. TabSheet5
  QWidget* presetsPage_ = nullptr;
  QWidget* advancedPage_ = nullptr;
  QWidget* firmwarePage_ = nullptr;
  QWidget* testControllerPage_ = nullptr;
  QListWidget* inputList_ = nullptr;   // inputDevices
  QListWidget* outputList_ = nullptr;  // outputDevices
  QPushButton* connectButton_ = nullptr;  // Button1
  QPushButton* refreshButton_ = nullptr;
  PortListFollower* portFollower_ = nullptr;

  PresetMatrixTab* presets_ = nullptr;
  AdvancedSettingsTab* advanced_ = nullptr;
  FirmwareTab* firmware_ = nullptr;
  TestControllerTab* testController_ = nullptr;
  std::unique_ptr<EventLog> log_;
  // Goes before the link it taps.
  std::unique_ptr<TrafficWindow> traffic_;

  // After a device with other firmware answered, nothing enables the connect button again.
  bool connectLocked_ = false;
  bool portsOpened_ = false;
  bool shown_ = false;
};

}  // namespace tarvik
