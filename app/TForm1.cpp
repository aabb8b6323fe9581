// SPDX-License-Identifier: MIT
#include "app/TForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <utility>

#include "app/AfterFirstFrame.h"
#include "app/BusyCursor.h"
#include "app/CarefulRetry.h"
#include "app/CcLearnActions.h"
#include "app/CompareWindow.h"
#include "app/ConnectActions.h"
#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/ErrorBoxes.h"
#include "app/EventLog.h"
#include "app/FirmwareActions.h"
#include "app/FullBackupActions.h"
#include "app/LibraryHolder.h"
#include "app/MidiTab.h"
#include "app/PaneFilledPage.h"
#include "app/RememberedState.h"
#include "app/SetupSheetActions.h"
#include "app/TablesFile.h"
#include "app/TakeFromActions.h"
#include "app/TrafficWindow.h"
#include "app/WindowPlacement.h"
#include "config/ui/AdvancedSettingsTab.h"
#include "config/ui/PresetMatrixTab.h"
#include "core/PortPreselection.h"
#include "firmware/ui/FirmwareTab.h"
#include "tools/MidiMonitor.h"
#include "tools/TrafficHistory.h"
#include "tools/TrafficMeaning.h"
#include "tools/ui/TestControllerTab.h"

namespace tarvik {

TForm1::TForm1(Dialogs& dialogs, ConfiguratorCore& core, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      core_(core) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(tr("Tarvik Configurator - Version: "));
  setFixedSize(814, 584);
  // The layout is drawn for an 8 point sans-serif. The platform's own face at that size keeps
  // every caption inside its control; asking for a face by name that most platforms lack
  // ("MS Sans Serif") only adds a font fallback search to every start.
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);

  eventLog_ = new QListWidget(this);
  eventLog_->setObjectName(QStringLiteral("ListBox1"));
  eventLog_->setSelectionMode(QAbstractItemView::SingleSelection);
  eventLog_->setGeometry(16, 432, 785, 121);
  eventLog_->setAccessibleName(tr("Event log"));
  log_ = std::make_unique<EventLog>(*eventLog_, dialogs_, this);
  boxes_ = std::make_unique<ErrorBoxes>(dialogs_, *this, core_);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("PageControl1"));
  tabs_->setGeometry(16, 8, 785, 417);
  tabs_->setAccessibleName(tr("Pages"));
  setTabOrder(eventLog_, tabs_);

  footer_ = new QLabel(tr("Tarvik Configurator - MIDI loop switcher set-up"), this);
  footer_->setObjectName(QStringLiteral("Label22"));
  // As wide as the log above it and down to the window's edge: room for a longer caption.
  footer_->setGeometry(16, 560, 785, 24);
  footer_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  buildMidiTab();
  // The four device tabs are built once the window is on screen (or when a device answers
  // first): the window comes up as fast as one with a single tab, and a connect does not wait
  // for them.
  new AfterFirstFrame(*this, [this] { buildDeviceTabs(); });
  connect(&core_, &ConfiguratorCore::testMessageFailed, this, &TForm1::reportError);
  // Built with the window, not with the device tabs: closing, loading and connecting ask it
  // whether edits would be lost, and the undo buttons sit in the tab bar from the start.
  // The question's Save keeps everything that would be lost: the settings and the names too,
  // when they are unsaved, in the full backup format.
  edits_ = new EditTracking(
      dialogs_, *this, core_,
      [this] {
        const ChangeMarks& marks = core_.marks();
        return saveTables(marks.unsaved(Block::Record) || marks.namesUnsaved());
      },
      this);
  edits_->addButtons(*tabs_);
  tablesFile_ = std::make_unique<TablesFile>(dialogs_, *this, core_, *edits_, logger());
  sheet_ = std::make_unique<SetupSheetActions>(dialogs_, this, core_, logger());
  takeFrom_ = std::make_unique<TakeFromActions>(dialogs_, this, core_, edits_->history(), logger());
  careful_ = new CarefulRetry(dialogs_, this, core_, logger(), this);
  boxes_->setCareful(careful_);
  fullBackup_ = new FullBackupActions(dialogs_, this, core_, *edits_, *careful_, logger(), this);
  connect(fullBackup_, &FullBackupActions::runningChanged, this, &TForm1::updateSendControls);
  connect_ = std::make_unique<ConnectActions>(dialogs_, *this, core_, *edits_, *fullBackup_,
                                              *careful_, *midi_, *boxes_, logger());
  library_ = new LibraryHolder(dialogs_, *this, core_, *edits_, *fullBackup_);
  connect(edits_, &EditTracking::opened, this, &TForm1::showOpenedWork);
  trafficHistory_ = std::make_unique<TrafficHistory>();
  core_.setTrafficTap(trafficHistory_.get());
  bindCore();
  FormCreate();
}

TForm1::~TForm1() {
  FormDestroy();
  traffic_.reset();
  compare_.reset();
  core_.setTrafficTap(nullptr);
  // The tabs are bound to the edit tracking, which goes before the window's children.
  delete tabs_;
  delete edits_;
}

void TForm1::buildMidiTab() {
  midi_ = new MidiTab(*tabs_, core_, logger());
  onClick(midi_->connectButton, [this] { Button1Click(); });
  connect(midi_->traffic, &QPushButton::clicked, this, &TForm1::showTraffic);
  connect(midi_->compare, &QPushButton::clicked, this, &TForm1::showCompare);
  connect(midi_->library, &QPushButton::clicked, this, [this] { library_->showWindow(); });
  connect(midi_->refresh, &QPushButton::clicked, this, [this] { core_.rescanPorts(); });
  onClick(midi_->testLink, [this] { testLinkClick(); });
}

void TForm1::buildDeviceTabs() {
  if (presets_ != nullptr) return;
  presets_ = addPage<PresetMatrixTab>(tabs_, presetsPage_, "TabSheet2",
                                      tr("Presets / Controll Change"), core_.configuration());
  advanced_ = addPage<AdvancedSettingsTab>(tabs_, advancedPage_, "TabSheet3",
                                           tr("Advanced settings"), core_.configuration());
  firmware_ = addPage<FirmwareTab>(tabs_, firmwarePage_, "TabSheet4", tr("Firmware update"));
  testController_ = addPage<TestControllerTab>(tabs_, testControllerPage_, "TabSheet5",
                                               tr("Test Midi Controller"));

  connect(firmware_, &FirmwareTab::checkRequested, &core_, &ConfiguratorCore::checkForUpdate);
  connect(&core_, &ConfiguratorCore::updateCheckRunningChanged, firmware_,
          &FirmwareTab::setCheckRunning);
  connect(&core_, &ConfiguratorCore::updateChecked, firmware_, &FirmwareTab::showChangeLog);
  connect(&core_, &ConfiguratorCore::updateCheckFailed, this, &TForm1::reportError);
  connect(firmware_, &FirmwareTab::flashRequested, this,
          [this] { guarded([this] { Button7Click(); }); });

  presets_->setChangeMarks(&core_.marks());
  presets_->setEditHistory(&edits_->history());
  new CcLearnActions(dialogs_, *this, core_, edits_->history(), *presets_, logger(), this);
  advanced_->setChangeMarks(&core_.marks());

  onClick(advanced_->submitButton(), [this] { Button2Click(); });
  onClick(presets_->submitButton(), [this] { Button3Click(); });
  onClick(presets_->saveButton(), [this] { Button8Click(); });
  onClick(presets_->loadButton(), [this] { Button9Click(); });
  onClick(presets_->backupButton(), [this] { fullBackup_->backUp(); });
  onClick(presets_->restoreButton(), [this] { fullBackup_->restore(); });
  onClick(presets_->takeFromButton(), [this] { takeFrom_->takeFrom(); });
  connect(presets_->printSheetAction(), &QAction::triggered, this,
          [this] { guarded([this] { sheet_->print(); }); });
  connect(presets_->saveSheetAction(), &QAction::triggered, this,
          [this] { guarded([this] { sheet_->save(); }); });
  connect(presets_, &PresetMatrixTab::playRequested, this,
          [this](int row) { guarded([this, row] { playPreset(row); }); });
  connect(presets_, &PresetMatrixTab::loopRenameRequested, this,
          [this](int loop) { guarded([this, loop] { renameLoop(loop); }); });
  connect(presets_->followBox(), &QCheckBox::toggled, this, [this](bool on) {
    if (remembered_ != nullptr) remembered_->setFollow(on);
  });
  rememberFollow();
  connect(testController_, &TestControllerTab::sendRequested, this,
          [this](TestControllerTab::ShortMessage m) {
            guarded([&] {
              core_.sendTestMessage(MidiTab::selectedPort(*midi_->outputs), m.status, m.data1,
                                    m.data2);
            });
          });
  setDeviceTabsVisible(false);
  updateSendControls();
  Q_EMIT deviceTabsBuilt();
}

void TForm1::bindCore() {
  connect(&core_, &ConfiguratorCore::shortMessageReceived, this, &TForm1::DoMidiInData);
  connect(&core_, &ConfiguratorCore::logLine, this, &TForm1::addLog);
  connect(&core_, &ConfiguratorCore::busyChanged, this, &TForm1::updateSendControls);
  connect(&core_, &ConfiguratorCore::connectedChanged, this, &TForm1::updateSendControls);
  connect(&core_, &ConfiguratorCore::programChangeReceived, this, [this](int row) {
    if (presets_ != nullptr && presets_->followBox()->isChecked()) presets_->showRow(row);
  });
  connect(&core_, &ConfiguratorCore::deviceIdentified, this, &TForm1::onIdentified);
  connect(&core_, &ConfiguratorCore::connectTimedOut, this, [this] {
    connect_->connectEnded(false);
    updateSendControls();
    boxes_->noTarvikFound();
  });
  connect(&core_, &ConfiguratorCore::transferAborted, this,
          [this](Chain chain, ChainAbort why, const QString& activity, const QString& detail) {
            if (chain == Chain::Connect) connect_->connectEnded(false);
            updateSendControls();
            boxes_->transferAborted(why, activity, detail);
          });
  connect(&core_, &ConfiguratorCore::transferFinished, this, [this](Chain chain) {
    if (chain == Chain::Connect) connect_->connectEnded(true);
  });
  connect(&core_, &ConfiguratorCore::restoreFinished, this,
          [this](bool ok, const QString&) { connect_->restoreEnded(ok); });
  connect(&core_, &ConfiguratorCore::blockRefused, this, [this](Block block, std::uint8_t status) {
    updateSendControls();
    boxes_->refused(block, status);
  });
  connect(&core_, &ConfiguratorCore::flashWritten, this, &TForm1::onFlashWritten);

  firmwareActions_ =
      new FirmwareActions(dialogs_, *this, core_, *edits_, *fullBackup_,
                          {[this]() -> FirmwareTab& {
                             buildDeviceTabs();
                             return *firmware_;
                           },
                           logger(), [this](const QString& text) { reportError(text); },
                           [this] { updateSendControls(); }},
                          this);
}

void TForm1::FormCreate() {
  // "[*]" is where the window shows that it holds unsaved work.
  setWindowTitle(windowTitle() + ConfiguratorCore::version() + QStringLiteral("[*]"));
  guarded([this] {
    std::vector<std::string> inputs = core_.inputNames();
    for (const std::string& name : inputs) midi_->inputs->addItem(QString::fromStdString(name));
    const std::vector<std::string> outputs = core_.outputNames();
    for (const std::string& name : outputs) midi_->outputs->addItem(QString::fromStdString(name));
    core_.listen();
    const auto [in, out] = preselectPorts(inputs, outputs);
    MidiTab::selectPort(*midi_->inputs, in);
    MidiTab::selectPort(*midi_->outputs, out);
  });
  // Also after a failed enumeration: the watcher's next look fills the lists then.
  core_.watchPorts();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (std::exchange(shown_, true)) return;
  FormShow();
  openFileWhenShown(fileToOpen_);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!edits_->mayDiscard(tr("before closing the window"))) {
    event->ignore();
    return;
  }
  if (remembered_ != nullptr) {
    remembered_->setWindowPosition(pos());
    if (traffic_) remembered_->setTrafficGeometry(traffic_->saveGeometry());
  }
  QWidget::closeEvent(event);
}

void TForm1::FormShow() {
  setDeviceTabsVisible(false);
  tabs_->setCurrentIndex(0);
}

void TForm1::FormDestroy() {
  if (!connect_->portsOpened()) return;
  // The ports the link opened; the port lists close any others when they go.
  guarded([this] { core_.closePorts(); });
}

void TForm1::openFileWhenShown(const QString& path) {
  fileToOpen_ = path;
  // Queued: a box it may show must not open inside the show event.
  if (shown_ && !path.isEmpty()) {
    QMetaObject::invokeMethod(
        this, [this] { guarded([this] { openFile(std::exchange(fileToOpen_, {})); }); },
        Qt::QueuedConnection);
  }
}

void TForm1::remember(RememberedState& state) {
  remembered_ = &state;
  if (!state.problem().isEmpty()) addLog(state.problem());
  state.reportWriteFailuresTo(logger());
  // Only onto a screen that is still there: a monitor may have gone since.
  if (const auto position = state.windowPosition();
      position && QGuiApplication::screenAt(*position) != nullptr) {
    move(*position);
  }
  library_->setRemembered(&state);
  connect_->setRemembered(&state);
  midi_->setRemembered(state.ports());
  midi_->rememberCareIn(&state);
  rememberFollow();
}

void TForm1::rememberFollow() {
  if (presets_ == nullptr || remembered_ == nullptr) return;
  const QSignalBlocker unchanged(presets_->followBox());
  presets_->followBox()->setChecked(remembered_->follow());
}

void TForm1::addLog(const QString& message) { log_->addLog(message); }

void TForm1::addLogWithDetail(const QString& message, const QStringList& detail) {
  log_->addLog(message, detail);
}

void TForm1::guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    reportError(QString::fromLocal8Bit(error.what()));
  }
}

void TForm1::onClick(QPushButton* button, const std::function<void()>& handler) {
  connect(button, &QPushButton::clicked, this, [this, handler] { guarded(handler); });
}

void TForm1::reportError(const QString& text) { boxes_->error(text); }

void TForm1::setMidiFailureDetail(std::function<QStringList()> detail) {
  boxes_->setMidiFailureDetail(std::move(detail));
}

bool TForm1::busy() const { return core_.busy(); }

// ---- connect and submit -------------------------------------------------------------------

void TForm1::Button1Click() { connect_->connect(); }

void TForm1::testLinkClick() { connect_->testLink(); }

bool TForm1::portsOpened() const { return connect_->portsOpened(); }

void TForm1::Button2Click() {
  careful_->start([this] { return core_.submitConfig(); });
}

void TForm1::Button3Click() {
  careful_->start([this] { return core_.submitPresets(); });
}

void TForm1::Button8Click() { saveTables(); }

bool TForm1::saveTables(bool settings) { return tablesFile_->save(settings); }

void TForm1::Button9Click() { tablesFile_->chooseAndLoad(); }

void TForm1::openFile(const QString& path) { tablesFile_->open(path); }

void TForm1::showOpenedWork() {
  if (core_.connected()) return;
  buildDeviceTabs();
  // What can be prepared away from the device; the firmware and the test controller need it.
  for (QWidget* page : {presetsPage_, advancedPage_}) {
    tabs_->setTabVisible(tabs_->indexOf(page), true);
  }
  tabs_->setCurrentWidget(presetsPage_);
  connect_->workOpened();
}

void TForm1::Button7Click() { firmwareActions_->flash(); }

void TForm1::showTraffic() {
  const QByteArray geometry = remembered_ ? remembered_->trafficGeometry() : QByteArray();
  WindowPlacement::open(traffic_, *this, portListsFrame(), geometry, [this] {
    auto window = std::make_unique<TrafficWindow>(*trafficHistory_, dialogs_, this);
    window->model().setMeaning([this](std::span<const std::uint8_t> bytes) {
      const Configuration& editors = core_.configuration();
      return TrafficMeaning::of(bytes, editors.tables(), editors.names(), editors.labels());
    });
    return window;
  });
}

QRect TForm1::portListsFrame() const {
  QRect frame;
  for (const QListWidget* list : {midi_->inputs, midi_->outputs})
    frame |= QRect(list->mapToGlobal(QPoint(0, 0)), list->size());
  return frame;
}

void TForm1::showCompare() {
  // Made at the first press, when the window's undo history is there to open a side into.
  WindowPlacement::open(compare_, *this, portListsFrame(), {}, [this] {
    return std::make_unique<CompareWindow>(
        dialogs_, core_, *edits_, [this] { return tablesFile_->lastPath(); }, this);
  });
}

// ---- what the core reports ----------------------------------------------------------------

void TForm1::DoMidiInData(int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  if (const auto line = monitorLine(status, data1, data2)) addLog(*line);
}

void TForm1::playPreset(int row) { core_.playPreset(row); }

void TForm1::renameLoop(int loop) {
  Configuration& configuration = core_.configuration();
  const std::optional<QString> label =
      dialogs_.askText(this, tr("Loop names"),
                       tr("What is in LOOP%1 (at most %2 characters; empty for no name):")
                           .arg(loop + 1)
                           .arg(LoopLabels::kMaxLength),
                       configuration.labels().label(loop));
  if (!label) return;
  if (const QString problem = configuration.renameLoop(loop, *label); !problem.isEmpty()) {
    dialogs_.error(this, tr("Loop names"),
                   tr("LOOP%1 was not renamed: the name %2.").arg(loop + 1).arg(problem));
  }
}

void TForm1::setDeviceTabsVisible(bool visible) {
  if (presets_ == nullptr) return;
  for (QWidget* page : {presetsPage_, advancedPage_, firmwarePage_, testControllerPage_}) {
    tabs_->setTabVisible(tabs_->indexOf(page), visible);
  }
}

void TForm1::onIdentified(const QString& version, bool compatible) {
  if (!compatible) connect_->connectEnded(false);
  buildDeviceTabs();
  firmware_->setCurrentVersion(version);
  if (compatible) {
    setDeviceTabsVisible(true);
    return;
  }
  // Only the firmware tab is offered to a device with other firmware, for good.
  connect_->lock();
  setDeviceTabsVisible(false);
  updateSendControls();
  boxes_->otherFirmware();
  tabs_->setTabVisible(tabs_->indexOf(firmwarePage_), true);
}

void TForm1::onFlashWritten() {
  setDeviceTabsVisible(false);
  log_->appendRaw(QString());
  log_->appendRaw(QString());
  updateSendControls();
}

void TForm1::updateSendControls() {
  const bool linkBusy = busy();
  BusyCursor::set(linkBusy);
  midi_->connectButton->setEnabled(!linkBusy && !connect_->locked());
  // A chain or a flash talks to the ports it started with: no other choice meanwhile. The lists
  // still follow the ports that come and go, and a vanished link port ends the transfer.
  midi_->inputs->setEnabled(!linkBusy);
  midi_->outputs->setEnabled(!linkBusy);
  midi_->refresh->setEnabled(!linkBusy);
  midi_->testLink->setEnabled(!linkBusy);
  // What is being sent or read must not change meanwhile: no edit of any kind while busy.
  edits_->setLocked(linkBusy);
  if (presets_ == nullptr) return;
  advanced_->setEnabled(!linkBusy);
  presets_->setEditable(!linkBusy);
  // A submit sends to the Tarvik the last connect found, as "Play" does: with none connected
  // (work opened away from it, a connect that timed out, a port that went) it is off and says
  // why; the next connect offers to send what the editors hold.
  const bool device = core_.connected();
  for (QPushButton* submit : {advanced_->submitButton(), presets_->submitButton()}) {
    submit->setEnabled(!linkBusy && device);
    submit->setToolTip(device ? QString()
                              : tr("No Tarvik is connected: connect to it on the \"Midi\" tab "
                                   "first."));
  }
  presets_->backupButton()->setEnabled(!linkBusy);
  presets_->restoreButton()->setEnabled(!linkBusy);
  presets_->setPlayable(core_.connected() && !linkBusy);
  testController_->programSendButton()->setEnabled(!linkBusy);
  testController_->controlSendButton()->setEnabled(!linkBusy);
  // The flash button and the update check stay off while anything else owns the link.
  firmware_->setLinkBusy(linkBusy);
}

}  // namespace tarvik
