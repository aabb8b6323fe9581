// SPDX-License-Identifier: MIT
#include "app/Configurator.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <iostream>
#include <memory>

#include "app/AfterFirstFrame.h"
#include "app/Dialogs.h"
#include "app/TForm1.h"
#include "firmware/network/NetworkUpdateServer.h"
#include "midi/MidiPorts.h"
#include "midi/PortWatcher.h"
#include "midi/RtMidiService.h"

namespace tarvik {

namespace {
constexpr int kLatestMidiStartMs = 1000;
}  // namespace

int runConfigurator(Dialogs& dialogs, const QUrl& updateServer,
                    const std::function<void(TForm1&)>& beforeShow) {
  QApplication::setApplicationName(TForm1::applicationTitle);

  // The window shows before the MIDI system is reached, and the lists fill when it has been:
  // reaching it takes time and, on its thread beside the window's, slows the window's building.
  auto service = std::make_unique<RtMidiService>(RtMidiService::Start::Later);
  RtMidiService& midi = *service;
  // The port lists outlive the window and close what is still open when they go.
  MidiPorts ports(std::move(service));
  ports.setErrorReporter([&dialogs](const std::string& text) {
    dialogs.error(nullptr, TForm1::applicationTitle, QString::fromStdString(text));
  });

  TForm1 form(dialogs, ports, std::make_unique<NetworkUpdateServer>(updateServer));
  const QRect screen = form.screen()->availableGeometry();
  form.move(screen.center() - form.rect().center());
  midi.whenStarted([&dialogs, &form, &midi] {
    // The first look finds every port new, and offers the start-up pair as for ports that
    // appear later.
    form.portWatcher().rescan();
    const std::string problem = midi.startupProblem();
    if (problem.empty()) return;
    std::cerr << problem << std::endl;
    // Over the window it concerns: the report comes through the window's event loop.
    dialogs.error(&form, TForm1::applicationTitle, QString::fromStdString(problem));
  });
  new AfterFirstFrame(form, [&midi] { midi.startInBackground(); });
  // A window that is not drawn soon (shown minimised) gets its ports all the same.
  QTimer::singleShot(kLatestMidiStartMs, &form, [&midi] { midi.startInBackground(); });
  if (beforeShow) beforeShow(form);
  form.show();
  return QApplication::exec();
}

}  // namespace tarvik
