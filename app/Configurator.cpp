// SPDX-License-Identifier: MIT
#include "app/Configurator.h"

#include "app/Dialogs.h"
#include "app/TForm1.h"
#include "firmware/UpdateServerUrl.h"
#include "midi/MidiDevices.h"
#include "midi/RtMidiService.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace tarvik {

int runConfigurator(Dialogs& dialogs, const std::function<void(TForm1&)>& beforeShow) {
  QApplication::setApplicationName(TForm1::applicationTitle);

  auto service = std::make_unique<RtMidiService>();
  const std::string problem = service->startupProblem();
  SetMidiService(std::move(service));

  SetMidiErrorReporter([&dialogs](const std::string& text) {
    dialogs.error(nullptr, TForm1::applicationTitle, QString::fromStdString(text));
  });
  int result = 0;
  {
    TForm1 form(dialogs, updateServerBaseUrl());
    const QRect screen = form.screen()->availableGeometry();
    form.move(screen.center() - form.rect().center());
    if (beforeShow) beforeShow(form);
    form.show();
    if (!problem.empty()) {
      std::fprintf(stderr, "%s\n", problem.c_str());  // for a start from a terminal, too
      // Over the window it concerns, once that is on screen.
      QTimer::singleShot(0, &form, [&dialogs, &form, problem] {
        dialogs.error(&form, TForm1::applicationTitle, QString::fromStdString(problem));
      });
    }
    result = QApplication::exec();
  }
  SetMidiErrorReporter(nullptr);
  // The port lists outlive the window and close what is still open.
  DestroyMidiDevices();
  return result;
}

}  // namespace tarvik
