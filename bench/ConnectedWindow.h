// SPDX-License-Identifier: MIT
#pragma once

#include <QEventLoop>
#include <QTabWidget>
#include <QTimer>

#include "bench/SettledWindow.h"
#include "sim/InProcessTarvik.h"
#include "support/CoreWindow.h"
#include "support/FakeDialogs.h"

namespace tarvik::bench {

// The program's window over the in-process Tarvik, connected and downloaded, with the presets
// tab open: where the window benchmarks start measuring.
struct ConnectedWindow {
  static constexpr int kConnectLimitMs = 30000;

  testing::FakeDialogs dialogs;
  SimulatedMidi midi{TarvikContents::fromSeed(7)};
  testing::CoreWindow window{dialogs, midi.ports()};
  TForm1& form = *window.form;
  ConfiguratorCore& core = *window.core;

  // Shows the window, connects and serves the event loop until the download chain has ended;
  // false when it did not end with the device's last reply or a box came up.
  bool connect() {
    if (!showSettled(form, kConnectLimitMs)) return false;
    QEventLoop loop;
    bool downloaded = false;
    QObject::connect(&core, &ConfiguratorCore::transferFinished, &loop, [&](Chain chain) {
      downloaded = chain == Chain::Connect;
      loop.quit();
    });
    QObject::connect(&core, &ConfiguratorCore::transferAborted, &loop, &QEventLoop::quit);
    QObject::connect(&core, &ConfiguratorCore::connectTimedOut, &loop, &QEventLoop::quit);
    QTimer::singleShot(kConnectLimitMs, &loop, &QEventLoop::quit);
    form.Button1Click();
    loop.exec();
    if (!downloaded || !dialogs.errors.empty()) return false;
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    pages->setCurrentWidget(form.findChild<QWidget*>(QStringLiteral("TabSheet2")));
    QApplication::processEvents();
    return true;
  }
};

}  // namespace tarvik::bench
