// SPDX-License-Identifier: MIT
#include "app/PortListFollower.h"

#include <QListWidget>

namespace tarvik {
namespace {

int selectedRow(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.constFirst());
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

void refill(QListWidget& list, const std::vector<std::string>& names, int selected) {
  list.clear();
  for (const std::string& name : names) list.addItem(QString::fromStdString(name));
  if (selected >= 0) list.setCurrentRow(selected, QItemSelectionModel::ClearAndSelect);
}

}  // namespace

PortListFollower::PortListFollower(ConfiguratorCore& core, QListWidget& inputList,
                                   QListWidget& outputList, Log log, QObject* parent)
    : QObject(parent),
      core_(core),
      inputList_(inputList),
      outputList_(outputList),
      log_(std::move(log)) {
  connect(&core, &ConfiguratorCore::portsChanged, this, &PortListFollower::follow);
  connect(&core, &ConfiguratorCore::portRescanFailed, this,
          [this](const QString& text) { log_(tr("MIDI ports cannot be listed: %1").arg(text)); });
}

void PortListFollower::setRemembered(const std::optional<std::pair<QString, QString>>& remembered) {
  remembered_.reset();
  if (!remembered) return;
  remembered_ = RememberedPorts{remembered->first.toStdString(), remembered->second.toStdString()};
  const QList<QListWidgetItem*> input = inputList_.findItems(remembered->first, Qt::MatchExactly);
  const QList<QListWidgetItem*> output =
      outputList_.findItems(remembered->second, Qt::MatchExactly);
  if (input.isEmpty() || output.isEmpty()) return;
  inputList_.setCurrentItem(input.constFirst(), QItemSelectionModel::ClearAndSelect);
  outputList_.setCurrentItem(output.constFirst(), QItemSelectionModel::ClearAndSelect);
}

void PortListFollower::follow(const MidiPorts::Change& change) {
  const std::vector<std::string> inputs = core_.inputNames();
  const std::vector<std::string> outputs = core_.outputNames();
  int input = followedRow(selectedRow(inputList_), change.inputs);
  int output = followedRow(selectedRow(outputList_), change.outputs);

  if (input < 0) {
    const Appeared newInputs = appeared(inputs, change.inputs);
    const auto [in, out] = preselectPorts(newInputs.names, outputs, remembered_);
    if (in >= 0) {
      input = newInputs.rows[static_cast<std::size_t>(in)];
      if (output < 0) output = out;
    }
  } else if (output < 0) {
    // The device's output may be listed a moment after its input: it is paired then.
    const Appeared newOutputs = appeared(outputs, change.outputs);
    const auto [in, out] =
        preselectPorts({inputs[static_cast<std::size_t>(input)]}, newOutputs.names, remembered_);
    if (in >= 0 && out >= 0) output = newOutputs.rows[static_cast<std::size_t>(out)];
  }
  refill(inputList_, inputs, input);
  refill(outputList_, outputs, output);

  for (const std::string& name : change.inputs.removed)
    log_(tr("MIDI input %1 disconnected").arg(QString::fromStdString(name)));
  for (const std::string& name : change.outputs.removed)
    log_(tr("MIDI output %1 disconnected").arg(QString::fromStdString(name)));
}

}  // namespace tarvik
