// SPDX-License-Identifier: MIT
#include "firmware/Flasher.h"

#include <QPointer>
#include <exception>

#include "link/Framing.h"
#include "link/TransferMachine.h"

namespace tarvik {

Flasher::Flasher(LinkPort& link, TransferMachine& machine, QObject* parent)
    : QObject(parent), link_(link), machine_(machine) {
  qRegisterMetaType<tarvik::FlashEnd>();
  replyTimer_.setSingleShot(true);
  writeTimer_.setSingleShot(true);
  connect(&replyTimer_, &QTimer::timeout, this, &Flasher::onReplyTimeout);
  connect(&writeTimer_, &QTimer::timeout, this, &Flasher::onWriteTimeout);
  connect(&machine_, &TransferMachine::bootloaderReply, this, &Flasher::onBootloaderReply);
  connect(&machine_, &TransferMachine::flashWritten, this, &Flasher::onFlashWritten);
}

void Flasher::start(const FirmwareImage& image) {
  if (running() || !image.ok() || machine_.chainRunning()) {
    return;
  }
  pages_ = image.pages();
  setStage(Stage::EnteringBootloader);
  Q_EMIT logLine(QStringLiteral("Entering bootloader"));
  machine_.clearBootloaderFlag();
  // Ports opened just before (the command line's flash) may not carry data yet.
  const int run = ++runs_;
  link_.whenCarrying([self = QPointer<Flasher>(this), run] {
    if (!self || self->runs_ != run || self->stage_ != Stage::EnteringBootloader) return;
    if (self->send(Command::EnterBootloader)) self->awaitReply();
  });
}

void Flasher::uploadPage(int page) {
  page_ = page;
  setStage(Stage::UploadingPage);
  const int lastPage = static_cast<int>(pages_.size()) - 1;
  Q_EMIT logLine(QStringLiteral("Upload Flash Page %1 of %2").arg(page).arg(lastPage));
  std::vector<std::uint8_t> payload;
  payload.reserve(1 + pages_[page].bytes.size());
  payload.push_back(static_cast<std::uint8_t>(page));
  for (const char byte : pages_[page].bytes) {
    payload.push_back(static_cast<std::uint8_t>(byte));
  }
  machine_.clearBootloaderFlag();
  if (send(Command::UploadFlashPage, payload)) {
    awaitReply();
  }
}

void Flasher::writeFlash() {
  setStage(Stage::WritingFlash);
  Q_EMIT logLine(QStringLiteral("write RAM to FLASH..."));
  if (send(Command::WriteRamToFlash) && stage_ == Stage::WritingFlash) {
    writeTimer_.start(writeTimeoutMs_);
  }
}

void Flasher::awaitReply() {
  awaitingReply_ = true;
  replyTimer_.start(replyTimeoutMs_);
  // A device that answered while the command was still going out has already set the flag;
  // its signal came before we were waiting, so look again once the current call has unwound.
  if (machine_.bootloaderFlag()) {
    QMetaObject::invokeMethod(this, &Flasher::onBootloaderReply, Qt::QueuedConnection);
  }
}

void Flasher::onBootloaderReply() {
  // Replies 8 and 9 set the same flag; whichever arrives ends the current wait.
  if (!awaitingReply_ || !machine_.bootloaderFlag()) {
    return;
  }
  awaitingReply_ = false;
  replyTimer_.stop();
  const int pageCount = static_cast<int>(pages_.size());
  if (stage_ == Stage::EnteringBootloader) {
    Q_EMIT logLine(QStringLiteral("ok"));
    Q_EMIT progress(0, pageCount);
    uploadPage(0);
    return;
  }
  if (stage_ != Stage::UploadingPage) {
    return;
  }
  if (machine_.pageReadBack() != pages_[page_].text) {
    leaveBootloader(QStringLiteral("verify failed! Programming canceled!"), FlashEnd::VerifyFailed,
                    {});
    return;
  }
  Q_EMIT logLine(QStringLiteral("verify ok"));
  Q_EMIT progress(page_ + 1, pageCount);
  if (page_ + 1 < pageCount) {
    uploadPage(page_ + 1);
  } else {
    writeFlash();
  }
}

void Flasher::onReplyTimeout() {
  if (!awaitingReply_) {
    return;
  }
  awaitingReply_ = false;
  const QString what = stage_ == Stage::EnteringBootloader
                           ? QStringLiteral("entering bootloader")
                           : QStringLiteral("uploading flash page %1").arg(page_);
  const QString text =
      QStringLiteral("no reply from Tarvik while %1 - programming canceled").arg(what);
  leaveBootloader(text, FlashEnd::NoReply, text);
}

void Flasher::onFlashWritten() {
  if (stage_ != Stage::WritingFlash) {
    return;
  }
  end(FlashEnd::Flashed, {});
}

void Flasher::onWriteTimeout() {
  if (stage_ != Stage::WritingFlash) {
    return;
  }
  const QString text = QStringLiteral(
      "no confirmation from Tarvik after write RAM to FLASH - reboot Tarvik and check its "
      "firmware version");
  Q_EMIT logLine(text);
  end(FlashEnd::WriteUnconfirmed, text);
}

void Flasher::abortForLostPort(const QString& portName) {
  if (!running()) {
    return;
  }
  Q_EMIT logLine(QStringLiteral("MIDI port %1 vanished - programming canceled").arg(portName));
  Q_EMIT logLine(QStringLiteral(
      "Tarvik may still be in its bootloader: connect again and flash the firmware once more"));
  end(FlashEnd::PortGone, portName);
}

bool Flasher::send(Command command, const std::vector<std::uint8_t>& payload) {
  try {
    sendCommand(link_, command, payload);
    return true;
  } catch (const std::exception& error) {
    const QString text = QString::fromLocal8Bit(error.what());
    leaveBootloader(QStringLiteral("programming canceled: ") + text, FlashEnd::SendFailed, text);
    return false;
  }
}

void Flasher::leaveBootloader(const QString& line, FlashEnd how, const QString& detail) {
  awaitingReply_ = false;
  replyTimer_.stop();
  Q_EMIT logLine(line);
  Q_EMIT logLine(QStringLiteral("leave bootloader..."));
  // Best effort: when the link has just failed, it may fail again, and the first error is the
  // one the user needs to see.
  try {
    sendCommand(link_, Command::LeaveBootloader);
  } catch (const std::exception&) {
  }
  end(how, detail);
}

void Flasher::end(FlashEnd how, const QString& detail) {
  awaitingReply_ = false;
  replyTimer_.stop();
  writeTimer_.stop();
  pages_.clear();
  page_ = 0;
  setStage(Stage::Idle);
  Q_EMIT finished(how, detail);
}

void Flasher::setStage(Stage stage) {
  const bool wasRunning = running();
  stage_ = stage;
  machine_.setFlashOwnsLink(running());
  if (wasRunning != running()) {
    Q_EMIT runningChanged(running());
  }
}

}  // namespace tarvik
