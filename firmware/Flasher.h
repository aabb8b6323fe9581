// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "link/Catalogue.h"
#include "link/TransferCare.h"

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
  Canceled,          // cancel() told the bootloader to leave
};

// Takes the device through its bootloader page by page with a read-back comparison after every
// page, then has it write the image to flash. Every step is started by an event (a bootloader
// reply handed to receiveFrame(), a time-out), so the owner's thread never waits. The image
// comes checked (FirmwareImage); where it came from (the update server, a file) is the caller's
// business.
//
// The bootloader's replies (8, 9 and 17) are the flash's alone: the owner hands every SysEx
// message of the link to receiveFrame(), as it does to the transfer machine, which leaves those
// three to the flash. While running() the flash owns the link: the machine refuses chains and
// ignores the configuration replies.
class Flasher : public QObject {
  Q_OBJECT
 public:
  // The question a front end asks (Yes/No, warning icon, Yes default) before start().
  static QString confirmText() {
    return tr(
        "Attention! \r\nDo not disconnect the power supply during the flash procedure!!!!\r\n\r\n"
        "Want continue?");
  }
  static QString confirmCaption() { return tr("Information"); }

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
  // The link's pace lengthens every wait by the frames of its command; a page that reads back
  // different and a command that is not answered in time are sent again up to care.retries
  // more times. WriteRamToFlash is never sent twice: the device may be writing.
  void setCare(const TransferCare& care) { care_ = care; }
  // The last flash ended because the bootloader did not answer, after every try.
  bool lostReply() const { return lostReply_; }

  // Starts with EnterBootloader. Ignored while a flash runs or when the image is not ok().
  void start(const FirmwareImage& image);
  // The user gave up: the bootloader is told to leave and the flash ends. Nothing while the
  // device writes its flash (false then, as when no flash runs): that must not be cut off.
  bool cancel();
  // The link's port vanished: the flash ends at once.
  void abortForLostPort(const QString& portName);
  // A paced frame could not go out (FramePacer::sendFailed): a flash under way ends as a failed
  // send.
  void abortForFailedSend(const QString& error);
  // One SysEx message from the link (connected to DeviceLink::sysExReceived). Replies 8 and 9
  // end the wait for the bootloader, whichever of them comes; reply 9 brings the read-back of
  // the page just uploaded. Reply 17 is logged and reported whenever it comes. Everything else
  // is the transfer machine's and left alone.
  void receiveFrame(int port, const std::vector<std::uint8_t>& frame);
  bool running() const { return stage_ != Stage::Idle; }
  Stage stage() const { return stage_; }

 Q_SIGNALS:
  void logLine(const QString& line);
  void runningChanged(bool running);
  // `done` pages of `count` are verified: page done + 1 (counted from 1) is under way.
  void progress(int done, int count);
  // The flash is over; `detail` is the text for the user where there is one (the MIDI error,
  // the time-out), empty for a verification failure and a success.
  void finished(tarvik::FlashEnd end, const QString& detail);
  // Reply 17: the device wrote the uploaded image to flash. Comes after the log line, and after
  // finished() when it ends a flash.
  void flashWritten();

 private:
  void onBootloaderReply();
  void onFlashWritten();
  void onReplyTimeout();
  void onWriteTimeout();

  void uploadPage(int page);
  void sendPage();
  void enterBootloader();
  // Logs the try and sends the step's command again; false when no try is left.
  bool tryAgain(const QString& line);
  void writeFlash();
  void awaitReply(Command command);
  // Sends a command; a send failure ends the flash (SendFailed) and returns false.
  bool send(Command command, const std::vector<std::uint8_t>& payload = {});
  // Logs the reason (when there is one), tells the bootloader to leave, and ends the flash.
  void leaveBootloader(const QString& logLine, FlashEnd end, const QString& detail);
  void end(FlashEnd end, const QString& detail);
  void setStage(Stage stage);

  LinkPort& link_;
  TransferMachine& machine_;
  int replyTimeoutMs_ = kReplyTimeoutMs;
  int writeTimeoutMs_ = kWriteTimeoutMs;

  Stage stage_ = Stage::Idle;
  std::vector<FirmwarePage> pages_;
  int page_ = 0;
  TransferCare care_;
  // Which try of the current step's command is under way.
  int tries_ = 1;
  bool lostReply_ = false;
  bool awaitingReply_ = false;
  // A reply 8 or 9 came since the last command that waits for one went out. It may come before
  // the wait has begun; the wait then takes it.
  bool answered_ = false;
  // The items of the last page read-back (reply 9); reply 8 leaves them as they are, so a wait
  // for a page that reply 8 ends compares what was read back before.
  std::vector<std::uint8_t> readBack_;
  QTimer replyTimer_;
  QTimer writeTimer_;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::FlashEnd)
