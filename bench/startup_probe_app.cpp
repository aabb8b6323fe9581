// SPDX-License-Identifier: MIT
// The configurator's own start-up, as the program entry runs it (port lists, the window with its
// MIDI tab, centred and shown; the platform module, the MIDI system and the device tabs come
// after the first frame), ending at the first frame instead of waiting for the user to close the
// window. It finds the platform module as the installed program does, from its own folder.
// It starts as a German user's program does, the language that loads the most at start-up (the
// program's translation and Qt's own): chosen from the environment, so that the figure holds for
// every user. It opens the library named by its argument after its first frame, as the program
// opens its library.
#include <QApplication>

#include "app/Configurator.h"
#include "app/Dialogs.h"
#include "app/TForm1.h"
#include "bench/FirstFrameQuit.h"
#include "i18n/TranslationLoader.h"

namespace {

// A box would wait for a user who is not there (on a machine without MIDI the program opens
// one at start-up), so every box is answered at once; the probe measures start-up, not reading.
class UnattendedDialogs : public tarvik::Dialogs {
 public:
  void error(QWidget*, const QString&, const QString&) override {}
  void errorWithDetail(QWidget*, const QString&, const QString&, const QStringList&) override {}
  bool errorOfferingCarefulTry(QWidget*, const QString&, const QString&,
                               const QStringList&) override {
    return false;
  }
  void warning(QWidget*, const QString&, const QString&) override {}
  bool confirm(QWidget*, const QString&, const QString&) override { return false; }
  SaveAnswer askToSave(QWidget*, const QString&, const QString&) override {
    return SaveAnswer::Cancel;
  }
  ConnectChoice askConnectChoice(QWidget*, const QString&, const QString&) override {
    return ConnectChoice::Cancel;
  }
  QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QStringList openFileNames(QWidget*, const QString&, const QString&) override { return {}; }
  std::optional<QString> askText(QWidget*, const QString&, const QString&,
                                 const QString&) override {
    return std::nullopt;
  }
  std::optional<int> askItem(QWidget*, const QString&, const QString&, const QStringList&,
                             int) override {
    return std::nullopt;
  }
  std::optional<tarvik::TakeFromChoice> askTakeFrom(QWidget*,
                                                    const tarvik::ConfiguratorCore&) override {
    return std::nullopt;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  qputenv("LANGUAGE", "de");
  QApplication application(argc, argv);
  tarvik::TranslationLoader translations;
  if (!translations.installForSystem()) return 1;
  UnattendedDialogs dialogs;
  if (argc != 2) return 1;
  return tarvik::runConfigurator(
      dialogs, tarvik::updateServerBaseUrl(),
      [](tarvik::TForm1& form, tarvik::ConfiguratorCore&) { new tarvik::FirstFrameQuit(form); }, {},
      nullptr, QString::fromLocal8Bit(argv[1]));
}
