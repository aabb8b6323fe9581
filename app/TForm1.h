// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "core/ConfiguratorCore.h"
#include "tools/ui/TestControllerTab.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tarvik {

class AdvancedSettingsTab;
class CarefulRetry;
class CompareWindow;
class ConnectActions;
class Dialogs;
class EditTracking;
class ErrorBoxes;
class EventLog;
class FirmwareActions;
class FirmwareTab;
class FullBackupActions;
class LibraryHolder;
class MidiTab;
class PresetMatrixTab;
class RememberedState;
class SetupSheetActions;
class TakeFromActions;
class TestControllerTab;
class TablesFile;
class TrafficHistory;
class TrafficWindow;

// The one window of the program: a thin front end over the core (ConfiguratorCore), which its
// creator makes first and which outlives it. The window shows what the core reports (log lines,
// boxes, tabs), binds its tabs to the core's configuration and decides which controls may be
// used. All of its code runs on the window's thread: MIDI input reaches it through the MIDI
// layer's hand-over, one event at a time.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // The program's name as the system knows it (application name, settings); the title of its
  // boxes is displayTitle(), in the user's language.
  static inline const QString applicationTitle = QStringLiteral("Tarvik Configurator");
  static QString displayTitle() { return tr("Tarvik Configurator"); }

  // The core (and the port lists under it) must outlive the window.
  TForm1(Dialogs& dialogs, ConfiguratorCore& core, QWidget* parent = nullptr);
  ~TForm1() override;

  void addLog(const QString& message);
  // addLog for the parts that write into the event log.
  std::function<void(const QString&)> logger() {
    return [this](const QString& line) { addLog(line); };
  }
  // With detail for whoever helps the user (see EventLog).
  void addLogWithDetail(const QString& message, const QStringList& detail);

  // Handlers of the window, named after their control.
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  // "Test link": the link test over the selected pair, its two lines into the event log.
  void testLinkClick();
  // What "Load from File" does once a file is chosen: the unsaved-work question first, then the
  // file, or an error box for a file that is refused.
  void openFile(const QString& path);
  // The file named on the command line: opened as above once the window is shown.
  void openFileWhenShown(const QString& path);
  // Takes what the last run left (the window's place, the ports, the traffic window's geometry)
  // and keeps it up to date. The state must outlive the window.
  void remember(RememberedState& state);
  // "Traffic..." and "Compare...": show their windows, made on first use.
  void showTraffic();
  void showCompare();
  void DoMidiInData(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  // Switches the device to the preset of a matrix row (ConfiguratorCore::playPreset).
  void playPreset(int row);
  // Asks what is in the loop: a label the rules refuse is said in an error box and changes
  // nothing; one they take is a step of the editors' history.
  void renameLoop(int loop);

  // Where the port lists are on the screen: the side windows open clear of them.
  QRect portListsFrame() const;
  // Null until "Traffic..." was first pressed.
  TrafficWindow* trafficWindow() const { return traffic_.get(); }
  EditTracking& edits() { return *edits_; }
  // The library of setups and the Library window ("Library...").
  LibraryHolder& library() { return *library_; }
  bool portsOpened() const;
  // Builds the four device tabs (hidden) unless they are there. The window comes up with the
  // MIDI tab alone and builds them once its first frame is out, or when a device answers first;
  // a device that answers the connect shows them.
  void buildDeviceTabs();
  // The core is busy (see ConfiguratorCore::busy): the busy cursor shows.
  bool busy() const;
  // Where the error box of a MIDI failure (no device answering, a port that does not open) gets
  // its detail: what the MIDI libraries said since the last failure (MidiSystem::libraryLines).
  void setMidiFailureDetail(std::function<QStringList()> detail);

 Q_SIGNALS:
  void deviceTabsBuilt();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMidiTab();
  void bindCore();
  void FormCreate();
  void FormShow();
  void FormDestroy();
  // Runs a handler; an error that leaves it is shown in the error box and the program goes on.
  void guarded(const std::function<void()>& handler);
  // The button runs the handler, guarded.
  void onClick(QPushButton* button, const std::function<void()>& handler);
  void reportError(const QString& text);
  // "Save as File": true when the tables were written. With `settings`, the file is a full
  // backup (the tables, then "[settings]"), which every .tvk reader still loads.
  bool saveTables(bool settings = false);
  void updateSendControls();
  // "Follow" as remembered, and remembered from now on.
  void rememberFollow();
  void setDeviceTabsVisible(bool visible);
  void onIdentified(const QString& version, bool compatible);
  void onFlashWritten();
  // A file, setup or snapshot opened while no device is connected: the editing tabs show it.
  void showOpenedWork();

  Dialogs& dialogs_;
  ConfiguratorCore& core_;

  CarefulRetry* careful_ = nullptr;             // "Try again carefully"
  FullBackupActions* fullBackup_ = nullptr;     // "Back up everything...", "Restore everything..."
  FirmwareActions* firmwareActions_ = nullptr;  // "Flash" on the firmware tab
  EditTracking* edits_ = nullptr;               // marks, undo, the unsaved-work question
  LibraryHolder* library_ = nullptr;

  QListWidget* eventLog_ = nullptr;  // ListBox1
  QTabWidget* tabs_ = nullptr;       // PageControl1
  QLabel* footer_ = nullptr;         // Label22
  MidiTab* midi_ = nullptr;          // TabSheet1 .. TabSheet5
  QWidget* presetsPage_ = nullptr;
  QWidget* advancedPage_ = nullptr;
  QWidget* firmwarePage_ = nullptr;
  QWidget* testControllerPage_ = nullptr;
  RememberedState* remembered_ = nullptr;
  QString fileToOpen_;  // named on the command line, until the window is shown

  PresetMatrixTab* presets_ = nullptr;
  AdvancedSettingsTab* advanced_ = nullptr;
  FirmwareTab* firmware_ = nullptr;
  TestControllerTab* testController_ = nullptr;
  std::unique_ptr<EventLog> log_;
  std::unique_ptr<ErrorBoxes> boxes_;
  std::unique_ptr<ConnectActions> connect_;  // "Connect", "Test link"
  std::unique_ptr<TablesFile> tablesFile_;
  std::unique_ptr<SetupSheetActions> sheet_;   // "Setup sheet..."
  std::unique_ptr<TakeFromActions> takeFrom_;  // "Take from..."
  // The link's tap from the start, so the traffic window can list what came before it.
  std::unique_ptr<TrafficHistory> trafficHistory_;
  // Goes before the history that feeds it.
  std::unique_ptr<TrafficWindow> traffic_;
  std::unique_ptr<CompareWindow> compare_;

  bool shown_ = false;
};

}  // namespace tarvik
