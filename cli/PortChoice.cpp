// SPDX-License-Identifier: MIT
#include "cli/PortChoice.h"

#include "core/PortPreselection.h"

namespace tarvik::cli {
namespace {

// The first name that contains `text`, or (`whole`) is it, regardless of case.
int firstMatching(const std::vector<std::string>& names, const QString& text, bool whole = false) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    const QString name = QString::fromStdString(names[i]);
    if (whole ? name.compare(text, Qt::CaseInsensitive) == 0
              : name.contains(text, Qt::CaseInsensitive))
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

PortChoice chooseInput(const std::vector<std::string>& inputs, const QString& inText) {
  PortChoice choice;
  if (!inText.isEmpty()) {
    choice.input = firstMatching(inputs, inText);
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
    choice.output = firstMatching(outputs, outText);
    if (choice.output < 0)
      choice.error = PortChoice::tr("no MIDI output matches \"%1\"").arg(outText);
    return choice;
  }
  const std::string& inputName = inputs[static_cast<std::size_t>(choice.input)];
  choice.output = firstMatching(outputs, QString::fromStdString(inputName), true);
  if (choice.output < 0) {
    choice.error = PortChoice::tr(
                       "no MIDI output is named like the input \"%1\"; choose one with "
                       "--out")
                       .arg(QString::fromStdString(inputName));
  }
  return choice;
}

}  // namespace tarvik::cli
