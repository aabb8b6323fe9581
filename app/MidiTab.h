// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>

class QListWidget;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tarvik {

// The "Midi" tab (TabSheet1): the two port lists, the connect button and the buttons beside
// them, laid out as the window's first page. The window binds them.
struct MidiTab {
  Q_DECLARE_TR_FUNCTIONS(MidiTab)

 public:
  // Adds the page as the tab control's next tab.
  static MidiTab build(QTabWidget& tabs);
  // Selects the list's row, or nothing for -1.
  static void selectPort(QListWidget& list, int row);
  // The list's selected row, -1 when nothing is selected (the current row may differ).
  static int selectedPort(const QListWidget& list);

  QWidget* page = nullptr;         // TabSheet1
  QListWidget* inputs = nullptr;   // inputDevices
  QListWidget* outputs = nullptr;  // outputDevices
  QPushButton* connect = nullptr;  // Button1
  QPushButton* traffic = nullptr;  // TrafficButton
  QPushButton* compare = nullptr;  // compareButton
  QPushButton* library = nullptr;  // libraryButton
  QPushButton* refresh = nullptr;  // RefreshButton
};

}  // namespace tarvik
