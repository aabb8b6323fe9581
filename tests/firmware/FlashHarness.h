// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkAccessManager>
#include <QPair>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

#include "firmware/FlashView.h"
#include "firmware/Flasher.h"
#include "link/TransferMachine.h"
#include "link/TransferView.h"
#include "sim/fixtures/FakeBootloader.h"
#include "sim/fixtures/NoEditors.h"
#include "sim/fixtures/UpdateServer.h"

namespace tarvik::testing {

// The window as the flash and the transfer machine see it: one event log, one cursor.
class RecordingWindow : public TransferView, public FlashView {
 public:
  QStringList log;  // time-stamped lines and raw lines alike
  QList<QPair<QString, QString>> errors;
  bool busy = false;
  bool flashButtonEnabled = true;
  bool progressVisible = false;
  int progressPage = -1;
  int progressCount = -1;
  int tabsHidden = 0;

  // Called with every line as it is logged, before the flash goes on.
  std::function<void(const QString&)> onLog;

  void addLog(const QString& message) override {
    log.append(message);
    if (onLog) onLog(message);
  }
  void appendRawLogLine(const QString& line) override { log.append(line); }
  void setTabVisible(TabSheet, bool visible) override { tabsHidden += visible ? 0 : 1; }
  void setButtonEnabled(ChainButton, bool) override {}
  void setBusyCursor(bool on) override { busy = on; }
  void showError(const QString& caption, const QString& text) override {
    errors.append({caption, text});
  }
  void setCurrentVersion(const QString&) override {}
  QString currentVersion() const override { return QStringLiteral("1.9"); }
  void setFlashButtonEnabled(bool enabled) override { flashButtonEnabled = enabled; }
  void setProgress(int page, int pageCount) override {
    progressVisible = true;
    progressPage = page;
    progressCount = pageCount;
  }
  void hideProgress() override { progressVisible = false; }
};

// The caption the rig's window reports a handler's errors under; not the program's, so that a
// flash that used a fixed caption of its own shows.
inline const QString kApplicationCaption = QStringLiteral("Flash Test Application");

// Update server, bootloader device, transfer machine and flash wired as in the program. Waits
// that must not run out are long; a test that wants one to run out shortens it.
struct FlashRig {
  fixtures::UpdateServer server;
  fixtures::FakeBootloader device;
  RecordingWindow window;
  fixtures::NoEditors editors;
  TransferMachine machine{device, window, editors};
  QNetworkAccessManager network;
  std::unique_ptr<Flasher> flasher;

  FlashRig() {
    server.start();
    device.setReplySink(
        [this](const std::vector<std::uint8_t>& frame) { machine.DoSysExData(frame); });
    flasher = std::make_unique<Flasher>(device, machine, window, &network,
                                        QUrl(QString::fromStdString(server.baseUrl())),
                                        kApplicationCaption);
    flasher->setRequestTimeout(60000);
    flasher->setReplyTimeout(60000);
    flasher->setWriteTimeout(60000);
  }
  ~FlashRig() {
    flasher.reset();
    server.stop();
  }
  void serveFirmware(const QByteArray& body) { server.setFile("firmware.txt", body.toStdString()); }
};

}  // namespace tarvik::testing
