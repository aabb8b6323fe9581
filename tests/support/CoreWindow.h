// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <memory>

#include "app/TForm1.h"
#include "core/ConfiguratorCore.h"
#include "firmware/network/NetworkUpdateServer.h"
#include "support/FakeDialogs.h"
#include "support/ListTexts.h"

namespace tarvik::testing {

// An update server address where nothing listens: for rigs whose chains never fetch.
inline const QUrl kUnreachableUpdateServer(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/"));

// The program's window over its core, made as the program's entry makes them: the core first,
// the window over it, and the window goes first. Tests and benchmarks drive the program through
// `core` and find the window's controls by their object names.
struct CoreWindow {
  CoreWindow(Dialogs& dialogs, MidiPorts& ports,
             const QUrl& updateServer = kUnreachableUpdateServer)
      : core(std::make_unique<ConfiguratorCore>(
            ports, std::make_unique<NetworkUpdateServer>(updateServer))),
        form(std::make_unique<TForm1>(dialogs, *core)) {}
  ~CoreWindow() { form.reset(); }
  CoreWindow(const CoreWindow&) = delete;
  CoreWindow& operator=(const CoreWindow&) = delete;

  template <class T = QWidget>
  T* find(const char* name) const {
    auto* widget = form->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }
  QPushButton* button(const char* name) const { return find<QPushButton>(name); }
  // Event-log messages without their time stamps.
  QStringList logMessages() const { return testing::logMessages(find<QListWidget>("ListBox1")); }

  std::unique_ptr<ConfiguratorCore> core;
  std::unique_ptr<TForm1> form;
};

}  // namespace tarvik::testing
