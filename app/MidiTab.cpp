// SPDX-License-Identifier: MIT
#include "app/MidiTab.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "app/CaptionRoom.h"
#include "app/PaneFilledPage.h"

namespace tarvik {
namespace {

QListWidget* portList(QWidget* parent, const char* name, int left) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSortingEnabled(false);
  list->setGeometry(left, 24, 169, 193);
  return list;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  return button;
}

}  // namespace

MidiTab MidiTab::build(QTabWidget& tabs) {
  MidiTab tab;
  tab.page = new PaneFilledPage(tabs);
  tab.page->setObjectName(QStringLiteral("TabSheet1"));
  auto* label1 = new QLabel(tr("Input Device:"), tab.page);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->move(8, 8);
  auto* label2 = new QLabel(tr("Output Device:"), tab.page);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->move(216, 8);
  tab.inputs = portList(tab.page, "inputDevices", 8);
  tab.outputs = portList(tab.page, "outputDevices", 216);
  // A list speaks by its own name only; the label stays its buddy for the relation.
  label1->setBuddy(tab.inputs);
  label2->setBuddy(tab.outputs);
  tab.inputs->setAccessibleName(tr("Input Device"));
  tab.outputs->setAccessibleName(tr("Output Device"));
  tab.connect =
      button(tab.page, "Button1", tr("connect to Tarvik and read configuration"),
             QRect(8, 224, 233, 25));
  tab.traffic =
      button(tab.page, "TrafficButton", tr("Traffic..."), QRect(310, 224, 75, 25));
  tab.library =
      button(tab.page, "libraryButton",
             tr("Library..."), QRect(392, 224, 75, 25));
  tab.compare =
      button(tab.page, "compareButton",
             tr("Compare..."), QRect(392, 56, 75, 25));
  tab.refresh =
      button(tab.page, "RefreshButton", tr("Refresh"), QRect(392, 24, 75, 25));
  // Placed as drawn for the window's font; a longer caption widens them.
  auto* room = new CaptionRoom(*tab.page);
  for (QWidget* widget : std::initializer_list<QWidget*>{label1, label2, tab.connect, tab.traffic,
                                                         tab.refresh, tab.library, tab.compare}) {
    room->keep(widget);
  }
  QWidget::setTabOrder(tab.inputs, tab.outputs);
  QWidget::setTabOrder(tab.outputs, tab.refresh);
  QWidget::setTabOrder(tab.refresh, tab.connect);
  QWidget::setTabOrder(tab.connect, tab.traffic);
  QWidget::setTabOrder(tab.traffic, tab.library);
  QWidget::setTabOrder(tab.library, tab.compare);
  tabs.addTab(tab.page, tr("Midi"));
  return tab;
}

void MidiTab::selectPort(QListWidget& list, int row) {
  if (row < 0) {
    list.clearSelection();
    return;
  }
  list.setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

int MidiTab::selectedPort(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

}  // namespace tarvik
