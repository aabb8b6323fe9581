// SPDX-License-Identifier: MIT
// The baseline of the start-up figure: the least a Qt program does that shows one window with a
// tab control holding one empty tab, up to its first frame. Given a size ("814x584"), the window
// has that size instead of the tab control's own.
#include <QApplication>
#include <QStringList>
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
  if (argc > 1) {
    const QStringList size = QString::fromLocal8Bit(argv[1]).split(QLatin1Char('x'));
    if (size.size() == 2) tabs.setFixedSize(size[0].toInt(), size[1].toInt());
  }
  new tarvik::FirstFrameQuit(tabs);
  tabs.show();
  return QApplication::exec();
}
