// SPDX-License-Identifier: MIT
// The baseline of the start-up figure: the least a Qt program with one tabbed window does
// before its first frame.
#include <QApplication>
#include <QTabWidget>

#include "bench/FirstFrameQuit.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QTabWidget tabs;
  new tarvik::FirstFrameQuit(tabs);
  tabs.show();
  return QApplication::exec();
}
