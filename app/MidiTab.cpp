// SPDX-License-Identifier: MIT
#include "app/MidiTab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/NamedButton.h"
#include "app/RememberedState.h"

namespace tarvik {
namespace {

// A click in a port list's empty part keeps the port selected: the list's own answer to it is
// to clear the selection, and the next connect would then find no port chosen while the user
// thought one was.
class KeepSelectionOnEmptyClick : public QObject {
 public:
  explicit KeepSelectionOnEmptyClick(QListWidget& list) : QObject(&list), list_(list) {
    list.viewport()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    // The type first: the list may be half gone when its viewport's last events come.
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) {
      return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (list_.indexAt(mouse->position().toPoint()).isValid()) return false;
    // The list takes the focus all the same, as a click on it gives it.
    list_.setFocus(Qt::MouseFocusReason);
    return true;
  }

 private:
  QListWidget& list_;
};

// The row a list draws as current is tinted like a selected one: in a port list it is the
// selected row or none, so that what looks chosen is what connect and the test controller use.
// A deselected row (Ctrl+click) or a focus that lands on a list without a selection leaves no
// current row behind.
void keepCurrentOnSelection(QListWidget& list) {
  QItemSelectionModel& model = *list.selectionModel();
  const QModelIndexList selected = model.selectedIndexes();
  if (selected.isEmpty()) {
    if (model.currentIndex().isValid()) model.clearCurrentIndex();
  } else if (model.currentIndex() != selected.constFirst()) {
    model.setCurrentIndex(selected.constFirst(), QItemSelectionModel::NoUpdate);
  }
}

QListWidget* portList(QWidget* parent, const char* name, const QString& accessibleName) {
  auto* list = new QListWidget(parent);
  new KeepSelectionOnEmptyClick(*list);
  QItemSelectionModel* selection = list->selectionModel();
  QObject::connect(selection, &QItemSelectionModel::currentChanged, list,
                   [list] { keepCurrentOnSelection(*list); });
  QObject::connect(selection, &QItemSelectionModel::selectionChanged, list,
                   [list] { keepCurrentOnSelection(*list); });
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSortingEnabled(false);
  list->setFixedSize(169, 193);
  // A list speaks by its own name only; the label stays its buddy for the relation.
  list->setAccessibleName(accessibleName);
  return list;
}

// The list under its label, the label's 16 pixels from the top of the label to the list.
QVBoxLayout* labelled(QWidget* parent, const char* name, const QString& caption,
                      QListWidget* list) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setBuddy(list);
  label->setFixedHeight(16);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* column = new QVBoxLayout;
  column->setSpacing(0);
  column->addWidget(label);
  column->addWidget(list, 0, Qt::AlignLeft);
  return column;
}

// Where the port selected at `row` is now; -1 when it went or nothing was selected.
int followedRow(int row, const PortListChange& change) {
  if (row < 0 || static_cast<std::size_t>(row) >= change.newIndex.size()) return -1;
  return change.newIndex[static_cast<std::size_t>(row)];
}

// The rows of the ports that appeared, in list order, and their names.
struct Appeared {
  std::vector<int> rows;
  std::vector<std::string> names;
};

Appeared appeared(const std::vector<std::string>& names, const PortListChange& change) {
  std::vector<bool> kept(names.size(), false);
  for (int row : change.newIndex)
    if (row >= 0) kept[static_cast<std::size_t>(row)] = true;
  Appeared result;
  for (std::size_t row = 0; row < names.size(); ++row) {
    if (kept[row]) continue;
    result.rows.push_back(static_cast<int>(row));
    result.names.push_back(names[row]);
  }
  return result;
}

QSpinBox* careBox(QWidget* parent, const char* name, int most, int value, const QString& toolTip) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(0, most);
  box->setValue(value);
  box->setToolTip(toolTip);
  return box;
}

// The box after its label, as a pair on one line.
void addLabelled(QHBoxLayout& line, QWidget* parent, const char* name, const QString& caption,
                 QSpinBox* box) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setBuddy(box);
  box->setAccessibleName(caption);
  line.addWidget(label);
  line.addWidget(box);
}

void refill(QListWidget& list, const std::vector<std::string>& names, int selected) {
  list.clear();
  for (const std::string& name : names) list.addItem(QString::fromStdString(name));
  MidiTab::selectPort(list, selected);
}

}  // namespace

MidiTab::MidiTab(QTabWidget& tabs, ConfiguratorCore& core, Log log)
    : PaneFilledPage(tabs),
      inputs(portList(this, "inputDevices", tr("Input Device"))),
      outputs(portList(this, "outputDevices", tr("Output Device"))),
      connectButton(namedButton(this, "Button1", tr("connect to Tarvik and read configuration"))),
      traffic(namedButton(this, "TrafficButton", tr("Traffic..."))),
      library(namedButton(this, "libraryButton", tr("Library..."))),
      compare(namedButton(this, "compareButton", tr("Compare..."))),
      refresh(namedButton(this, "RefreshButton", tr("Refresh"))),
      testLink(namedButton(this, "testLinkButton", tr("Test link"))),
      pace(careBox(this, "paceBox", TransferCare::kMaxPaceMs, TransferCare().paceMs,
                   tr("The least time between two frames sent to Tarvik. A USB-MIDI interface "
                      "that loses or mangles SysEx often gets everything through at 5 ms."))),
      retries(careBox(this, "retriesBox", TransferCare::kMaxRetries, TransferCare().retries,
                      tr("How many more times a command without a reply, or a block that reads "
                         "back different, is sent."))),
      core_(core),
      log_(std::move(log)) {
  setObjectName(QStringLiteral("TabSheet1"));
  // The places as drawn: the lists at (8, 24) and (216, 24), the buttons 7 pixels from them, the
  // connect button at (8, 224), 233 x 25. A longer caption (a larger font, another language)
  // widens its button, and the layout makes room for it.
  connectButton->setMinimumSize(233, 25);
  for (QPushButton* button : {traffic, library, compare, refresh, testLink})
    button->setMinimumSize(75, 25);
  auto* side = new QVBoxLayout;
  side->setContentsMargins(0, 16, 0, 0);
  side->setSpacing(7);
  side->addWidget(refresh);
  side->addWidget(compare);
  side->addWidget(testLink);
  side->addStretch();
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setSpacing(7);
  grid->addLayout(labelled(this, "Label1", tr("Input Device:"), inputs), 0, 0);
  grid->addLayout(labelled(this, "Label2", tr("Output Device:"), outputs), 0, 1);
  grid->addLayout(side, 0, 2);
  grid->addWidget(connectButton, 1, 0, 1, 2, Qt::AlignLeft);
  grid->addWidget(traffic, 1, 1, Qt::AlignRight);
  grid->addWidget(library, 1, 2);
  pace->setSuffix(tr(" ms"));
  auto* care = new QHBoxLayout;
  care->setSpacing(7);
  addLabelled(*care, this, "paceLabel", tr("Transfer pace"), pace);
  care->addSpacing(14);
  addLabelled(*care, this, "retriesLabel", tr("Retries"), retries);
  care->addStretch();
  grid->addLayout(care, 2, 0, 1, 3);
  grid->setColumnMinimumWidth(0, 216 - 8 - 7);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(3, 1);
  QWidget* const order[] = {inputs,  outputs, refresh,  connectButton, traffic,
                            library, compare, testLink, pace,          retries};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  tabs.addTab(this, tr("Midi"));

  core_.setTransferCare(shownCare());
  for (QSpinBox* box : {pace, retries})
    connect(box, &QSpinBox::valueChanged, this, &MidiTab::careChanged);

  connect(&core, &ConfiguratorCore::portsChanged, this, &MidiTab::follow);
  connect(&core, &ConfiguratorCore::portRescanFailed, this,
          [this](const QString& text) { log_(tr("MIDI ports cannot be listed: %1").arg(text)); });
}

void MidiTab::selectPort(QListWidget& list, int row) {
  if (row < 0) {
    list.clearSelection();
    return;
  }
  list.setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

int MidiTab::selectedPort(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

void MidiTab::setRemembered(const std::optional<std::pair<QString, QString>>& remembered) {
  remembered_.reset();
  if (!remembered) return;
  remembered_ = RememberedPorts{remembered->first.toStdString(), remembered->second.toStdString()};
  const QList<QListWidgetItem*> input = inputs->findItems(remembered->first, Qt::MatchExactly);
  const QList<QListWidgetItem*> output = outputs->findItems(remembered->second, Qt::MatchExactly);
  if (input.isEmpty() || output.isEmpty()) return;
  inputs->setCurrentItem(input.constFirst(), QItemSelectionModel::ClearAndSelect);
  outputs->setCurrentItem(output.constFirst(), QItemSelectionModel::ClearAndSelect);
}

void MidiTab::rememberCareIn(RememberedState* state) {
  // What the state holds is not written back while it is shown.
  careState_ = nullptr;
  if (state != nullptr) {
    const TransferCare remembered = state->transferCare();
    pace->setValue(remembered.paceMs);
    retries->setValue(remembered.retries);
  }
  careState_ = state;
}

TransferCare MidiTab::shownCare() const { return {pace->value(), retries->value()}; }

void MidiTab::careChanged() {
  core_.setTransferCare(shownCare());
  if (careState_ != nullptr) careState_->setTransferCare(shownCare());
}

void MidiTab::follow(const MidiPorts::Change& change) {
  const std::vector<std::string> inputNames = core_.inputNames();
  const std::vector<std::string> outputNames = core_.outputNames();
  int input = followedRow(selectedPort(*inputs), change.inputs);
  int output = followedRow(selectedPort(*outputs), change.outputs);

  if (input < 0) {
    const Appeared newInputs = appeared(inputNames, change.inputs);
    const auto [in, out] = preselectPorts(newInputs.names, outputNames, remembered_);
    if (in >= 0) {
      input = newInputs.rows[static_cast<std::size_t>(in)];
      if (output < 0) output = out;
    }
  } else if (output < 0) {
    // The device's output may be listed a moment after its input: it is paired then.
    const Appeared newOutputs = appeared(outputNames, change.outputs);
    const auto [in, out] = preselectPorts({inputNames[static_cast<std::size_t>(input)]},
                                          newOutputs.names, remembered_);
    if (in >= 0 && out >= 0) output = newOutputs.rows[static_cast<std::size_t>(out)];
  }
  refill(*inputs, inputNames, input);
  refill(*outputs, outputNames, output);

  for (const std::string& name : change.inputs.removed)
    log_(tr("MIDI input %1 disconnected").arg(QString::fromStdString(name)));
  for (const std::string& name : change.outputs.removed)
    log_(tr("MIDI output %1 disconnected").arg(QString::fromStdString(name)));
}

}  // namespace tarvik
