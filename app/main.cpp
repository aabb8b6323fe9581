// SPDX-License-Identifier: MIT
#include "app/Dialogs.h"
#include "app/TForm1.h"
#include "firmware/UpdateServerUrl.h"
#include "midi/MidiDevices.h"
#include "midi/RtMidiService.h"

#include <QApplication>
#include <QScreen>

#include <memory>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(tarvik::TForm1::applicationTitle);

  auto service = std::make_unique<tarvik::RtMidiService>();
  const std::string problem = service->startupProblem();
  tarvik::SetMidiService(std::move(service));

  tarvik::QtDialogs dialogs;
  tarvik::SetMidiErrorReporter([&dialogs](const std::string& text) {
    dialogs.error(nullptr, tarvik::TForm1::applicationTitle, QString::fromStdString(text));
  });
  int result = 0;
  {
    tarvik::TForm1 form(dialogs, tarvik::updateServerBaseUrl());
    if (!problem.empty()) {
      dialogs.error(&form, tarvik::TForm1::applicationTitle, QString::fromStdString(problem));
    }
    const QRect screen = form.screen()->availableGeometry();
    form.move(screen.center() - form.rect().center());
    form.show();
    result = QApplication::exec();
  }
  tarvik::SetMidiErrorReporter(nullptr);
  // The port lists outlive the window and close what is still open.
  tarvik::DestroyMidiDevices();
  return result;
}
