// SPDX-License-Identifier: MIT
#include "app/TForm1.h"

#include "app/BusyCursor.h"
#include "app/Dialogs.h"
#include "app/EventLog.h"
#include "app/PortPreselection.h"
#include "config/AdvancedSettingsTab.h"
#include "config/PresetMatrixTab.h"
#include "config/TvkFile.h"
#include "firmware/Flasher.h"
#include "firmware/FirmwareTab.h"
#include "firmware/UpdateCheck.h"
#include "tools/MidiMonitor.h"
#include "tools/TestControllerTab.h"

#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarvik {
namespace {

const QString kTvkFilter = QStringLiteral("Tarvik Config File (*.tvk)");
const QString kTvkSuffix = QStringLiteral("tvk");

// The page joins the tab control before its content is built, so the content is created
// inside its final parent and its fonts and styles are resolved once, not again on reparenting.
template <class Content>
Content* addPage(QTabWidget* tabs, QWidget*& page, const char* name, const QString& caption) {
  page = new QWidget;
  page->setObjectName(QString::fromLatin1(name));
  tabs->addTab(page, caption);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* content = new Content(page);
  layout->addWidget(content);
  return content;
}

QListWidget* portList(QWidget* parent, const char* name, int left) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSortingEnabled(false);
  list->setGeometry(left, 24, 169, 193);
  return list;
}

// The port a list's selection names, -1 when nothing is selected. The current row is not the
// selection: a Ctrl+click deselects and leaves it, and keyboard focus sets it without selecting.
int selectedPort(const QListWidget* list) {
  const QList<QListWidgetItem*> items = list->selectedItems();
  return items.isEmpty() ? -1 : list->row(items.first());
}

}  // namespace

TForm1::TForm1(Dialogs& dialogs, const QUrl& updateServer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      updateServer_(updateServer) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tarvik Configurator - Version: "));
  setFixedSize(814, 584);
  // The layout is drawn for an 8 point sans-serif. The platform's own face at that size keeps
  // every caption inside its control; asking for a face by name that most platforms lack
  // ("MS Sans Serif") only adds a font fallback search to every start.
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->setGeometry(16, 432, 785, 121);
  log_ = std::make_unique<EventLog>(*ListBox1);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setGeometry(16, 8, 785, 417);
  setTabOrder(ListBox1, PageControl1);

  Label22 = new QLabel(QStringLiteral("Tarvik Configurator - MIDI loop switcher set-up"), this);
  Label22->setObjectName(QStringLiteral("Label22"));
  Label22->move(16, 560);

  network_ = new QNetworkAccessManager(this);
  network_->setObjectName(QStringLiteral("IdHTTP1"));
  machine_ = new TransferMachine(*this, *this, *this, this);

  buildMidiTab();
  buildTabs();
  connect(machine_, &TransferMachine::chainRunningChanged, this, [this] { updateSendControls(); });
  FormCreate();
}

TForm1::~TForm1() {
  FormDestroy();
  // The port lists outlive the window: they must not call back into it.
  try {
    MidiIn().OnShortMessage = nullptr;
    MidiIn().OnSysExMessage = nullptr;
  } catch (const std::exception&) {
  }
}

void TForm1::buildMidiTab() {
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  auto* label1 = new QLabel(QStringLiteral("Input Device:"), TabSheet1);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->move(8, 8);
  auto* label2 = new QLabel(QStringLiteral("Output Device:"), TabSheet1);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->move(216, 8);
  inputDevices = portList(TabSheet1, "inputDevices", 8);
  outputDevices = portList(TabSheet1, "outputDevices", 216);
  Button1 = new QPushButton(QStringLiteral("connect to Tarvik and read configuration"), TabSheet1);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(8, 224, 233, 25);
  setTabOrder(inputDevices, outputDevices);
  setTabOrder(outputDevices, Button1);
  connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
  PageControl1->addTab(TabSheet1, QStringLiteral("Midi"));
}

void TForm1::buildTabs() {
  presets_ = addPage<PresetMatrixTab>(PageControl1, TabSheet2, "TabSheet2",
                                      QStringLiteral("Presets / Controll Change"));
  advanced_ = addPage<AdvancedSettingsTab>(PageControl1, TabSheet3, "TabSheet3",
                                           QStringLiteral("Advanced settings"));
  firmware_ = addPage<FirmwareTab>(PageControl1, TabSheet4, "TabSheet4",
                                   QStringLiteral("Firmware update"));
  testController_ = addPage<TestControllerTab>(PageControl1, TabSheet5, "TabSheet5",
                                               QStringLiteral("Test Midi Controller"));

  updateCheck_ = new UpdateCheck(network_, updateServer_, this);
  firmware_->setUpdateCheck(updateCheck_);
  flasher_ = new Flasher(*this, *machine_, *this, network_, updateServer_, applicationTitle, this);
  connect(firmware_, &FirmwareTab::flashRequested, this,
          [this] { guarded([this] { Button7Click(); }); });
  connect(firmware_, &FirmwareTab::error, this,
          [this](const QString& text) { dialogs_.error(this, applicationTitle, text); });
  connect(flasher_, &Flasher::runningChanged, this, [this] { updateSendControls(); });

  connect(advanced_, &AdvancedSettingsTab::lockMaskChanged, presets_,
          [this](quint8 mask) { presets_->setLockMask(mask); });
  auto bind = [this](QWidget* tab, const char* name, void (TForm1::*handler)()) {
    auto* button = tab->findChild<QPushButton*>(QString::fromLatin1(name));
    Q_ASSERT(button != nullptr);
    connect(button, &QPushButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
  };
  bind(advanced_, "Button2", &TForm1::Button2Click);
  bind(presets_, "Button3", &TForm1::Button3Click);
  bind(presets_, "Button8", &TForm1::Button8Click);
  bind(presets_, "Button9", &TForm1::Button9Click);
  connect(testController_, &TestControllerTab::sendRequested, this,
          [this](TestControllerTab::ShortMessage m) {
            guarded([&] {
              MidiOut().SendShortMessage(selectedPort(outputDevices), m.status, m.data1, m.data2);
            });
          });
}

void TForm1::FormCreate() {
  setWindowTitle(windowTitle() + TransferMachine::softwareVersion);
  guarded([this] {
    const std::vector<std::string> inputs = MidiIn().PortNames();
    for (const std::string& name : inputs) inputDevices->addItem(QString::fromStdString(name));
    const std::vector<std::string> outputs = MidiOut().PortNames();
    for (const std::string& name : outputs) outputDevices->addItem(QString::fromStdString(name));
    MidiIn().OnShortMessage = [this](int port, std::uint8_t s, std::uint8_t d1, std::uint8_t d2) {
      DoMidiInData(port, s, d1, d2);
    };
    MidiIn().OnSysExMessage = [this](int port, const TMemoryStream& stream) {
      DoSysExData(port, stream);
    };
    const auto [in, out] = preselectPorts(inputs, outputs);
    inputDevices->setCurrentRow(in, QItemSelectionModel::ClearAndSelect);
    outputDevices->setCurrentRow(out, QItemSelectionModel::ClearAndSelect);
  });
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TForm1::FormShow() {
  for (TabSheet tab : {TabSheet::Presets, TabSheet::Advanced, TabSheet::Firmware,
                       TabSheet::TestController}) {
    setTabVisible(tab, false);
  }
  PageControl1->setCurrentIndex(0);
}

void TForm1::FormDestroy() {
  if (!portsOpened_) return;
  guarded([this] {
    MidiIn().Close(selectedPort(inputDevices));
    MidiOut().Close(selectedPort(outputDevices));
  });
}

void TForm1::addLog(const QString& message) { log_->addLog(message); }

void TForm1::appendRawLogLine(const QString& line) { log_->appendRaw(line); }

void TForm1::guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    reportError(error);
  }
}

void TForm1::reportError(const std::exception& error) {
  dialogs_.error(this, applicationTitle, QString::fromStdString(error.what()));
}

// ---- connect and submit -------------------------------------------------------------------

void TForm1::Button1Click() {
  machine_->resetIdentifyCount();
  const int input = selectedPort(inputDevices);
  const int output = selectedPort(outputDevices);
  if (input < 0) {
    dialogs_.error(this, QStringLiteral("Information"),
                   QStringLiteral("Please select a Midi Input Device!"));
    return;
  }
  if (output < 0) {
    dialogs_.error(this, QStringLiteral("Information"),
                   QStringLiteral("Please select a Midi Output Device!"));
    return;
  }
  if (machine_->chainRunning() || linkReservedElsewhere()) return;
  MidiIn().Open(input);
  MidiOut().Open(output);
  portsOpened_ = true;  // the ports are open even if the first send fails
  machine_->startConnect();
}

void TForm1::Button2Click() { machine_->startSubmitConfig(); }

void TForm1::Button3Click() { machine_->startSubmitPresets(); }

void TForm1::Button8Click() {
  const QString path = dialogs_.saveFileName(this, kTvkFilter, kTvkSuffix);
  if (path.isEmpty()) return;
  if (!TvkFile::save(path, presets_->tables())) {
    dialogs_.error(this, applicationTitle,
                   QStringLiteral("In %1 kann nicht geschrieben werden.").arg(path));
  }
}

void TForm1::Button9Click() {
  const QString path = dialogs_.openFileName(this, kTvkFilter, kTvkSuffix);
  if (path.isEmpty()) return;
  const TvkFile::LoadResult result = TvkFile::load(path);
  if (!result.tables) {
    dialogs_.error(this, QStringLiteral("Error"), result.message);
    return;
  }
  presets_->setTables(*result.tables);
}

void TForm1::Button7Click() {
  if (machine_->chainRunning() || flasher_->running()) return;
  if (!dialogs_.confirm(this, Flasher::kConfirmCaption, Flasher::kConfirmText)) return;
  flasher_->start();
}

// ---- MIDI input ---------------------------------------------------------------------------

void TForm1::DoMidiInData(int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  if (const auto line = monitorLine(status, data1, data2)) addLog(*line);
}

void TForm1::DoSysExData(int, const TMemoryStream& stream) {
  guarded([&] { machine_->DoSysExData(stream); });
}

void TForm1::SendByte(std::uint8_t value) {
  const auto frame = nibbleFrame(value);
  MidiOut().SendLongMessage(selectedPort(outputDevices),
                            TMemoryStream(frame.begin(), frame.end()));
}

// ---- TransferView -------------------------------------------------------------------------

QWidget* TForm1::tabPage(TabSheet tab) const {
  switch (tab) {
    case TabSheet::Presets: return TabSheet2;
    case TabSheet::Advanced: return TabSheet3;
    case TabSheet::Firmware: return TabSheet4;
    case TabSheet::TestController: return TabSheet5;
  }
  return nullptr;
}

void TForm1::setTabVisible(TabSheet tab, bool visible) {
  PageControl1->setTabVisible(PageControl1->indexOf(tabPage(tab)), visible);
}

void TForm1::setButtonEnabled(ChainButton button, bool enabled) {
  chainButtonWanted_[static_cast<std::size_t>(button)] = enabled;
  updateSendControls();
}

void TForm1::setBusyCursor(bool busy) { BusyCursor::set(busy); }

void TForm1::showError(const QString& caption, const QString& text) {
  dialogs_.error(this, caption, text);
}

void TForm1::showWarning(const QString& caption, const QString& text) {
  dialogs_.warning(this, caption, text);
}

void TForm1::setCurrentVersion(const QString& version) { firmware_->setCurrentVersion(version); }

QString TForm1::currentVersion() const { return firmware_->currentVersion(); }

bool TForm1::linkReservedElsewhere() const { return flasher_->running(); }

void TForm1::setFlashButtonEnabled(bool enabled) { firmware_->setFlashButtonEnabled(enabled); }

void TForm1::setProgress(int page, int pageCount) { firmware_->setProgress(page, pageCount); }

void TForm1::hideProgress() { firmware_->hideProgress(); }

void TForm1::updateSendControls() {
  const bool busy = machine_->chainRunning() || linkReservedElsewhere();
  Button1->setEnabled(chainButtonWanted_[0] && !busy);
  advanced_->findChild<QPushButton*>(QStringLiteral("Button2"))
      ->setEnabled(chainButtonWanted_[1] && !busy);
  presets_->findChild<QPushButton*>(QStringLiteral("Button3"))
      ->setEnabled(chainButtonWanted_[2] && !busy);
  testController_->programSendButton()->setEnabled(!busy);
  testController_->controlSendButton()->setEnabled(!busy);
  // Every byte of a chain or a flash goes to the port selected when it is sent, so the
  // selection may not change until the conversation is over.
  inputDevices->setEnabled(!busy);
  outputDevices->setEnabled(!busy);
  // The flash button and the update check stay off while anything else owns the link.
  firmware_->setLinkBusy(busy);
}

// ---- ConfigEditors ------------------------------------------------------------------------

std::array<std::uint8_t, kTableSize> TForm1::presetPayload() const {
  return presets_->presetPayload();
}
std::array<std::uint8_t, kTableSize> TForm1::ccMapPayload() const {
  return presets_->ccMapPayload();
}
std::array<std::uint8_t, kTableSize> TForm1::pcRemapPayload() const {
  return presets_->pcRemapPayload();
}
std::array<std::uint8_t, kConfigRecordSize> TForm1::configRecord() const {
  return advanced_->configRecord();
}
void TForm1::applyPresets(std::span<const std::uint8_t, kTableSize> items) {
  presets_->applyPresets(items);
}
void TForm1::applyCcMap(std::span<const std::uint8_t, kTableSize> items) {
  presets_->applyCcMap(items);
}
void TForm1::applyPcRemap(std::span<const std::uint8_t, kTableSize> items) {
  presets_->applyPcRemap(items);
}
void TForm1::applyConfigRecord(std::span<const std::uint8_t, kConfigRecordSize> items) {
  advanced_->applyConfigRecord(items);
}

}  // namespace tarvik
