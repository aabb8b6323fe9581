// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <string>

#include "app/TForm1.h"
#include "core/CoreParts.h"
#include "midi/InMemoryMidiService.h"
#include "midi/MidiPorts.h"
#include "sim/InProcessTarvik.h"
#include "support/CoreWindow.h"
#include "support/FakeDialogs.h"
#include "support/ListTexts.h"

namespace tarvik::testing {

// How long a test waits for something that must happen: generous, since a loaded machine
// under the sanitizers is slow, and it costs nothing when the thing comes early.
inline constexpr int kWaitMs = 20000;
// The time-outs of the connect and the chains. Where a test needs one to fire, nothing else can
// happen first (the device is silent), so it may be short; everywhere else it must not fire,
// however slow the machine, and is set long.
inline constexpr int kTimeoutThatFiresMs = 200;
inline constexpr int kTimeoutThatMustNotFireMs = 60000;

// The port a list's selection names, -1 when nothing is selected.
inline int selectedRow(const QListWidget* list) {
  const QList<QListWidgetItem*> items = list->selectedItems();
  return items.isEmpty() ? -1 : list->row(items.first());
}

// A Ctrl+click on a list's first row: it deselects that row.
inline void ctrlClickFirstRow(QListWidget* list) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    list->visualItemRect(list->item(0)).center());
}

// Every tab, as a device with the program's firmware shows them.
inline const QStringList kAllTabs = {QStringLiteral("TabSheet1"), QStringLiteral("TabSheet2"),
                                     QStringLiteral("TabSheet3"), QStringLiteral("TabSheet4"),
                                     QStringLiteral("TabSheet5")};

// What the editors send back for a record they received: the CC-message items only count
// while "CC Message" is the Pin-20 function.
inline std::array<std::uint8_t, 20> sentBack(std::array<std::uint8_t, 20> record) {
  if (record[8] != 2) record[9] = record[10] = record[11] = 0;
  return record;
}

// The dialogs' stand-in and the virtual Tarvik behind the in-memory MIDI service, made before
// the core and the window so that they outlive them: the window closes the link's ports when it
// goes.
struct SimulatedDesk {
  SimulatedDesk(const TarvikContents& contents,
                const std::function<void(InMemoryMidiService&)>& beforeWindow)
      : sim(contents) {
    if (beforeWindow) beforeWindow(sim.service());
    // As the program's entry does: errors inside the input callback show as boxes.
    sim.ports().setErrorReporter([this](const std::string& text) {
      dialogs.error(nullptr, TForm1::applicationTitle, QString::fromStdString(text));
    });
  }
  FakeDialogs dialogs;
  SimulatedMidi sim;
};

// The main window over its core with a virtual Tarvik behind the in-memory MIDI service; both
// ports are named "Tarvik MIDI", so start-up pre-selects them.
struct WindowRig : SimulatedDesk, CoreWindow {
  explicit WindowRig(const TarvikContents& contents = TarvikContents::fromSeed(7),
                     const QUrl& updateServer = kUnreachableUpdateServer,
                     const std::function<void(InMemoryMidiService&)>& beforeWindow = {})
      : SimulatedDesk(contents, beforeWindow), CoreWindow(dialogs, sim.ports(), updateServer) {
    CoreParts::machine(*core).setConnectTimeout(kTimeoutThatMustNotFireMs);
    CoreParts::machine(*core).setReplyWatchdog(kTimeoutThatMustNotFireMs);
    form->show();
  }
  TarvikDevice& device() { return sim.device(); }
  InMemoryMidiService& service() { return sim.service(); }
  InProcessTarvik& tarvik() { return sim.tarvik(); }

  QStringList visibleTabs() const {
    QStringList tabs;
    auto* pages = find<QTabWidget>("PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->isTabVisible(i)) tabs << pages->widget(i)->objectName();
    }
    return tabs;
  }
  int commandsNamed(const std::string& name) {
    int n = 0;
    for (const std::string& line : device().log()) n += line.rfind(name, 0) == 0 ? 1 : 0;
    return n;
  }
  // Waits on the core's report that the link is free again; false when it did not.
  bool awaitChainEnd() {
    QSignalSpy changed(core.get(), &ConfiguratorCore::busyChanged);
    while (core->busy()) {
      if (!changed.wait(kWaitMs)) return false;
    }
    return true;
  }
  // Serves the event loop until `done` holds after a new line in the event log.
  bool awaitLog(const std::function<bool()>& done) {
    return awaitRowsUntil(find<QListWidget>("ListBox1"), done, kWaitMs);
  }
  // Connects and waits until the download chain has ended.
  bool connectAndDownload() {
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    return awaitChainEnd() && button("Button1")->isEnabled();
  }
};

}  // namespace tarvik::testing
