// SPDX-License-Identifier: MIT
// The baseline of the start-up figure: the least a Qt program does that shows one window with a
// tab control holding one empty tab, up to its first frame.
#include <QApplication>
#include <QTabWidget>
#include <QWidget>

#include "bench/FirstFrameQuit.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QTabWidget tabs;
  tabs.addTab(new QWidget, QStringLiteral("Midi"));
  new tarvik::FirstFrameQuit(tabs);
  tabs.show();
  return QApplication::exec();
}
