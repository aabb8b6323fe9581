// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "link/Catalogue.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvik {

class FlashView;
class LinkPort;
class TransferMachine;

// Downloads "firmware.txt", checks it, and takes the device through its bootloader page by
// page with a read-back comparison after every page. Every step is started by an event (the
// download finishing, the transfer machine's bootloaderReply(), a time-out), so the window
// stays responsive and nothing spins the event loop.
//
// While running() the flash owns the link: the window must keep every other sender locked.
class Flasher : public QObject {
  Q_OBJECT
 public:
  // The question the window asks (Yes/No, warning icon, Yes default) before calling start().
  static inline const QString kConfirmText = QStringLiteral(
      "Attention! \r\nDo not disconnect the power supply during the flash procedure!!!!\r\n\r\n"
      "Want continue?");
  static inline const QString kConfirmCaption = QStringLiteral("Information");

  // How long the bootloader may take to answer EnterBootloader or one page upload.
  static constexpr int kReplyTimeoutMs = 5000;
  // How long writing the uploaded image into flash may take before the flash is given up as
  // unconfirmed (the device is not told anything then: it may still be writing).
  static constexpr int kWriteTimeoutMs = 30000;

  enum class Stage { Idle, Downloading, EnteringBootloader, UploadingPage, WritingFlash };

  // errorCaption: the caption under which the window reports an error that ends one of its
  // handlers. The flash's own failures (the download, an unusable file, a send error) are shown
  // under it, as if they had left the click handler; only "Download failed!" and the time-outs
  // have captions of their own.
  Flasher(LinkPort& link, TransferMachine& machine, FlashView& view, QNetworkAccessManager* network,
          QUrl baseUrl, QString errorCaption, QObject* parent = nullptr);
  ~Flasher() override;

  // Tests shorten the waits; the program never changes them.
  void setReplyTimeout(int ms) { replyTimeoutMs_ = ms; }
  void setWriteTimeout(int ms) { writeTimeoutMs_ = ms; }
  void setRequestTimeout(int ms) { requestTimeoutMs_ = ms; }

  // The user has confirmed. Ignored while a flash is running.
  void start();
  bool running() const { return stage_ != Stage::Idle; }
  Stage stage() const { return stage_; }

 Q_SIGNALS:
  void runningChanged(bool running);
  // The flash is over: true once the device confirmed the write, false on every other end.
  void finished(bool flashed);

 private:
  void onDownloadFinished();
  void onBootloaderReply();
  void onFlashWritten();
  void onReplyTimeout();
  void onWriteTimeout();

  void enterBootloader();
  void uploadPage(int page);
  void writeFlash();
  void awaitReply();
  // Sends a command; a send failure ends the flash through abortInBootloader. False then.
  bool send(Command command, const std::vector<std::uint8_t>& payload = {});
  // Logs the reason, leaves the bootloader, ends the flash and shows the box (if any text).
  void abortInBootloader(const QString& logLine, const QString& caption, const QString& text);
  void sendLeaveBootloader();
  // Ends with the flash button on and the normal cursor, then shows the box (if any text).
  void finish(bool flashed, const QString& caption, const QString& text);
  void end(bool enableButton, bool restoreCursor);
  void setStage(Stage stage);

  LinkPort& link_;
  TransferMachine& machine_;
  FlashView& view_;
  QNetworkAccessManager* network_;
  QUrl baseUrl_;
  QString errorCaption_;
  int replyTimeoutMs_ = kReplyTimeoutMs;
  int writeTimeoutMs_ = kWriteTimeoutMs;
  int requestTimeoutMs_;

  Stage stage_ = Stage::Idle;
  QPointer<QNetworkReply> download_;
  std::vector<FirmwarePage> pages_;
  int page_ = 0;
  bool awaitingReply_ = false;
  QTimer replyTimer_;
  QTimer writeTimer_;
};

}  // namespace tarvik
