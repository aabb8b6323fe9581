// SPDX-License-Identifier: MIT
// The configurator's own start-up, as the program entry runs it (platform MIDI service, the
// window with all five tabs, centred and shown), ending at the first frame instead of waiting
// for the user to close the window.
#include <QApplication>
#include <QScreen>

#include <memory>

#include "app/Dialogs.h"
#include "app/TForm1.h"
#include "bench/FirstFrameQuit.h"
#include "firmware/UpdateServerUrl.h"
#include "midi/MidiDevices.h"
#include "midi/RtMidiService.h"

namespace {

// A box would wait for a user who is not there (on a machine without MIDI the program opens
// one at start-up), so every box is answered at once; the probe measures start-up, not reading.
class UnattendedDialogs : public tarvik::Dialogs {
 public:
  void error(QWidget*, const QString&, const QString&) override {}
  bool confirm(QWidget*, const QString&, const QString&) override { return false; }
  QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(tarvik::TForm1::applicationTitle);

  auto service = std::make_unique<tarvik::RtMidiService>();
  const std::string problem = service->startupProblem();
  tarvik::SetMidiService(std::move(service));

  UnattendedDialogs dialogs;
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
    new tarvik::FirstFrameQuit(form);
    form.show();
    result = QApplication::exec();
  }
  tarvik::SetMidiErrorReporter(nullptr);
  tarvik::DestroyMidiDevices();
  return result;
}
