// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>

class QWidget;

namespace tarvik {

class Configuration;
class Dialogs;

// Names a loop the user asked to name: asks for the label, offering the present one, and gives
// it to the configuration, whose change is then one step of the editors' history. A label the
// rules refuse is said in an error box and changes nothing.
class LoopNaming {
  Q_DECLARE_TR_FUNCTIONS(LoopNaming)

 public:
  static void ask(Dialogs& dialogs, QWidget* owner, Configuration& configuration, int loop);
};

}  // namespace tarvik
