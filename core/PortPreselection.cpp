// SPDX-License-Identifier: MIT
#include "core/PortPreselection.h"

#include <QString>
#include <algorithm>

namespace tarvik {
namespace {

std::string lowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool offersDevice(const std::string& name) {
  static const std::string audioDevice = "usb-audiogerät";  // UTF-8, as the service names ports
  const std::string lowered = lowerAscii(name);
  // ALSA's "Midi Through:Midi Through Port-0 14:0" loops back inside the computer: it names no
  // interface, whatever its name holds.
  if (lowered.rfind("midi through", 0) == 0) return false;
  return lowered.find("midi") != std::string::npos ||
         lowered.find(audioDevice) != std::string::npos;
}

}  // namespace

std::pair<int, int> preselectPorts(const std::vector<std::string>& inputs,
                                   const std::vector<std::string>& outputs) {
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (!offersDevice(inputs[i])) continue;
    const QString wanted = QString::fromStdString(inputs[i]);
    for (std::size_t o = 0; o < outputs.size(); ++o) {
      if (QString::fromStdString(outputs[o]).compare(wanted, Qt::CaseInsensitive) == 0) {
        return {static_cast<int>(i), static_cast<int>(o)};
      }
    }
    return {static_cast<int>(i), -1};
  }
  return {-1, -1};
}

std::pair<int, int> preselectPorts(const std::vector<std::string>& inputs,
                                   const std::vector<std::string>& outputs,
                                   const std::optional<RememberedPorts>& remembered) {
  if (remembered) {
    const auto input = std::find(inputs.begin(), inputs.end(), remembered->input);
    const auto output = std::find(outputs.begin(), outputs.end(), remembered->output);
    if (input != inputs.end() && output != outputs.end()) {
      return {static_cast<int>(input - inputs.begin()), static_cast<int>(output - outputs.begin())};
    }
  }
  return preselectPorts(inputs, outputs);
}

}  // namespace tarvik
