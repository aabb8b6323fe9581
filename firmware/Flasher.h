// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "link/Catalogue.h"

namespace tarvik {

class LinkPort;
class TransferMachine;

// How a flash ended.
enum class FlashEnd {
  Flashed,           // reply 17 confirmed the write
  VerifyFailed,      // a page read back differently; the bootloader was left
  NoReply,           // the bootloader did not answer; it was told to leave
  SendFailed,        // the MIDI layer could not send; the bootloader was told to leave
  PortGone,          // the link's port vanished; the device may still be in its bootloader
  WriteUnconfirmed,  // no reply 17 after WriteRamToFlash; nothing was sent then
};

// Takes the device through its bootloader page by page with a read-back comparison after every
// page, then has it write the image to flash. Every step is started by an event (the machine's
// bootloaderReply(), a time-out), so the owner's thread never waits. The image comes checked
// (FirmwareImage); where it came from (the update server, a file) is the caller's business.
//
// While running() the flash owns the link: the transfer machine refuses chains and acts on the
// bootloader's replies only.
class Flasher : public QObject {
  Q_OBJECT
 public:
  // The question a front end asks (Yes/No, warning icon, Yes default) before start().
  static inline const QString kConfirmText = QStringLiteral(
      "Attention! \r\nDo not disconnect the power supply during the flash procedure!!!!\r\n\r\n"
      "Want continue?");
  static inline const QString kConfirmCaption = QStringLiteral("Information");

  // How long the bootloader may take to answer EnterBootloader or one page upload.
  static constexpr int kReplyTimeoutMs = 5000;
  // How long writing the uploaded image into flash may take before the flash is given up as
  // unconfirmed (the device is not told anything then: it may still be writing).
  static constexpr int kWriteTimeoutMs = 30000;

  enum class Stage { Idle, EnteringBootloader, UploadingPage, WritingFlash };

  Flasher(LinkPort& link, TransferMachine& machine, QObject* parent = nullptr);

  // Tests shorten the waits; the program never changes them.
  void setReplyTimeout(int ms) { replyTimeoutMs_ = ms; }
  void setWriteTimeout(int ms) { writeTimeoutMs_ = ms; }

  // Starts with EnterBootloader. Ignored while a flash runs or when the image is not ok().
  void start(const FirmwareImage& image);
  // The link's port vanished: the flash ends at once.
  void abortForLostPort(const QString& portName);
  bool running() const { return stage_ != Stage::Idle; }
  Stage stage() const { return stage_; }

 Q_SIGNALS:
  void logLine(const QString& line);
  void runningChanged(bool running);
  // `done` pages of `count` are verified.
  void progress(int done, int count);
  // The flash is over; `detail` is the text for the user where there is one (the MIDI error,
  // the time-out), empty for a verification failure and a success.
  void finished(tarvik::FlashEnd end, const QString& detail);

 private:
  void onBootloaderReply();
  void onFlashWritten();
  void onReplyTimeout();
  void onWriteTimeout();

  void uploadPage(int page);
  void writeFlash();
  void awaitReply();
  // Sends a command; a send failure ends the flash (SendFailed) and returns false.
  bool send(Command command, const std::vector<std::uint8_t>& payload = {});
  // Logs the reason, tells the bootloader to leave, and ends the flash.
  void leaveBootloader(const QString& logLine, FlashEnd end, const QString& detail);
  void end(FlashEnd end, const QString& detail);
  void setStage(Stage stage);

  LinkPort& link_;
  TransferMachine& machine_;
  int replyTimeoutMs_ = kReplyTimeoutMs;
  int writeTimeoutMs_ = kWriteTimeoutMs;

  Stage stage_ = Stage::Idle;
  int runs_ = 0;  // counts starts; a late "link carries" belongs to one of them
  std::vector<FirmwarePage> pages_;
  int page_ = 0;
  bool awaitingReply_ = false;
  QTimer replyTimer_;
  QTimer writeTimer_;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::FlashEnd)
