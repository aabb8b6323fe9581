// SPDX-License-Identifier: MIT
#include "app/Configurator.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <iostream>
#include <memory>

#include "app/Dialogs.h"
#include "app/TForm1.h"
#include "midi/MidiPorts.h"
#include "midi/RtMidiService.h"

namespace tarvik {

int runConfigurator(Dialogs& dialogs, const QUrl& updateServer,
                    const std::function<void(TForm1&)>& beforeShow) {
  QApplication::setApplicationName(TForm1::applicationTitle);

  auto service = std::make_unique<RtMidiService>();
  const std::string problem = service->startupProblem();
  if (!problem.empty()) std::cerr << problem << std::endl;
  // The port lists outlive the window and close what is still open when they go.
  MidiPorts ports(std::move(service));
  ports.setErrorReporter([&dialogs](const std::string& text) {
    dialogs.error(nullptr, TForm1::applicationTitle, QString::fromStdString(text));
  });

  TForm1 form(dialogs, ports, updateServer);
  const QRect screen = form.screen()->availableGeometry();
  form.move(screen.center() - form.rect().center());
  if (beforeShow) beforeShow(form);
  form.show();
  if (!problem.empty()) {
    // Over the window it concerns, once that is on screen.
    QTimer::singleShot(0, &form, [&dialogs, &form, problem] {
      dialogs.error(&form, TForm1::applicationTitle, QString::fromStdString(problem));
    });
  }
  return QApplication::exec();
}

}  // namespace tarvik
