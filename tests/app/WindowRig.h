// SPDX-License-Identifier: MIT
#pragma once

#include "app/TForm1.h"
#include "midi/InMemoryMidiService.h"
#include "midi/MidiDevices.h"
#include "sim/InProcessTarvik.h"
#include "support/FakeDialogs.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>

namespace tarvik::testing {

// The main window with a virtual Tarvik behind the in-memory MIDI service; both ports are
// named "Tarvik MIDI", so start-up pre-selects them.
struct WindowRig {
  explicit WindowRig(const TarvikContents& contents = TarvikContents::fromSeed(7),
                     const QUrl& updateServer = QUrl(QStringLiteral(
                         "http://127.0.0.1:9/downloads/tarvik/")),
                     const std::function<void(InMemoryMidiService&)>& beforeWindow = {}) {
    sim = installInProcessTarvik(contents);
    if (beforeWindow) beforeWindow(sim->service());
    form = std::make_unique<TForm1>(dialogs, updateServer);
    form->machine().setConnectTimeout(200);
    form->machine().setReplyWatchdog(500);
    form->show();
  }
  ~WindowRig() {
    form.reset();
    sim.reset();
    DestroyMidiDevices();
  }

  template <class T = QWidget>
  T* find(const char* name) const {
    auto* widget = form->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }
  QPushButton* button(const char* name) const { return find<QPushButton>(name); }
  TarvikDevice& device() { return sim->device(); }
  InMemoryMidiService& service() { return sim->service(); }

  // Event-log messages without their time stamps.
  QStringList logMessages() const {
    QStringList lines;
    auto* list = find<QListWidget>("ListBox1");
    for (int i = 0; i < list->count(); ++i) {
      const QString line = list->item(i)->text();
      const int cut = line.indexOf(QStringLiteral("] "));
      lines << (line.startsWith(QLatin1Char('[')) && cut > 0 ? line.mid(cut + 2) : line);
    }
    return lines;
  }
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
  // Connects and waits until the download chain has ended.
  bool connectAndDownload() {
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    return QTest::qWaitFor([&] {
      return button("Button1")->isEnabled() && !form->machine().chainRunning();
    }, 5000);
  }

  FakeDialogs dialogs;
  std::unique_ptr<InProcessTarvik> sim;
  std::unique_ptr<TForm1> form;
};

}  // namespace tarvik::testing
