// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>
#include <vector>

namespace tarvik::cli {

struct PortChoice {
  Q_DECLARE_TR_FUNCTIONS(PortChoice)

 public:
  int input = -1;
  int output = -1;
  QString error;  // why no pair could be chosen; empty when both are set
  bool ok() const { return error.isEmpty(); }
};

// The pair a command talks to. A given text picks the first port whose name contains it,
// regardless of case. Without --in the window's pre-selection picks the input; without --out
// the output is the one named like the chosen input (without regard to case), which is the
// window's rule too and pairs the two halves of a JACK device.
PortChoice choosePorts(const std::vector<std::string>& inputs,
                       const std::vector<std::string>& outputs, const QString& inText,
                       const QString& outText);

// The input alone, for the monitor.
PortChoice chooseInput(const std::vector<std::string>& inputs, const QString& inText);

}  // namespace tarvik::cli
