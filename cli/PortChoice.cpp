// SPDX-License-Identifier: MIT
#include "cli/PortChoice.h"

#include "core/PortPreselection.h"

namespace tarvik::cli {
namespace {

int firstContaining(const std::vector<std::string>& names, const QString& text) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (QString::fromStdString(names[i]).contains(text, Qt::CaseInsensitive))
      return static_cast<int>(i);
  }
  return -1;
}

int firstNamedLike(const std::vector<std::string>& names, const std::string& name) {
  const QString wanted = QString::fromStdString(name);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (QString::fromStdString(names[i]).compare(wanted, Qt::CaseInsensitive) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

PortChoice chooseInput(const std::vector<std::string>& inputs, const QString& inText) {
  PortChoice choice;
  if (!inText.isEmpty()) {
    choice.input = firstContaining(inputs, inText);
    if (choice.input < 0) choice.error = PortChoice::tr("no MIDI input matches \"%1\"").arg(inText);
    return choice;
  }
  choice.input = preselectPorts(inputs, {}).first;
  if (choice.input < 0)
    choice.error = PortChoice::tr("no MIDI input has \"MIDI\" in its name; choose one with --in");
  return choice;
}

PortChoice choosePorts(const std::vector<std::string>& inputs,
                       const std::vector<std::string>& outputs, const QString& inText,
                       const QString& outText) {
  PortChoice choice = chooseInput(inputs, inText);
  if (!choice.ok()) return choice;
  if (!outText.isEmpty()) {
    choice.output = firstContaining(outputs, outText);
    if (choice.output < 0)
      choice.error = PortChoice::tr("no MIDI output matches \"%1\"").arg(outText);
    return choice;
  }
  const std::string& inputName = inputs[static_cast<std::size_t>(choice.input)];
  choice.output = firstNamedLike(outputs, inputName);
  if (choice.output < 0) {
    choice.error = PortChoice::tr(
                       "no MIDI output is named like the input \"%1\"; choose one with "
                       "--out")
                       .arg(QString::fromStdString(inputName));
  }
  return choice;
}

}  // namespace tarvik::cli
