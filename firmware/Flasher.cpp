// SPDX-License-Identifier: MIT
#include "firmware/Flasher.h"

#include <QPointer>
#include <algorithm>
#include <exception>
#include <optional>
#include <span>
#include <utility>

#include "link/Framing.h"
#include "link/TransferMachine.h"

namespace tarvik {

namespace {

// The items of a reply 9, also of one cut short: then the complete nibble pairs before the
// closing byte. A cut read-back cannot match its page, so the page is given up as unverified
// at once instead of waiting for a reply that already came. Nothing for other frames.
std::optional<std::vector<std::uint8_t>> pageReadBack(std::span<const std::uint8_t> frame,
                                                      bool acceptCut) {
  if (frame.size() < 2 || frame[0] != 0xF0 ||
      frame[1] != static_cast<std::uint8_t>(Command::UploadFlashPage)) {
    return std::nullopt;
  }
  if (std::optional<Reply> reply = parseReply(frame)) {
    return std::move(reply->items);
  }
  if (!acceptCut) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> items;
  const int complete = frame.size() >= 3 ? static_cast<int>((frame.size() - 3) / 2) : 0;
  for (int i = 0; i < complete && i < kFlashPageSize; ++i) {
    items.push_back(DecodeItem(frame, i));
  }
  return items;
}

bool sameBytes(const std::vector<std::uint8_t>& readBack, const QByteArray& page) {
  return std::equal(
      readBack.begin(), readBack.end(), page.begin(), page.end(),
      [](std::uint8_t item, char byte) { return item == static_cast<std::uint8_t>(byte); });
}

}  // namespace

Flasher::Flasher(LinkPort& link, TransferMachine& machine, QObject* parent)
    : QObject(parent), link_(link), machine_(machine) {
  qRegisterMetaType<tarvik::FlashEnd>();
  replyTimer_.setSingleShot(true);
  writeTimer_.setSingleShot(true);
  connect(&replyTimer_, &QTimer::timeout, this, &Flasher::onReplyTimeout);
  connect(&writeTimer_, &QTimer::timeout, this, &Flasher::onWriteTimeout);
}

void Flasher::start(const FirmwareImage& image) {
  if (running() || !image.ok() || machine_.chainRunning()) {
    return;
  }
  pages_ = image.pages();
  lostReply_ = false;
  tries_ = 1;
  setStage(Stage::EnteringBootloader);
  Q_EMIT logLine(tr("Entering bootloader"));
  answered_ = false;
  enterBootloader();
}

void Flasher::enterBootloader() {
  answered_ = false;
  if (send(Command::EnterBootloader)) awaitReply(Command::EnterBootloader);
}

bool Flasher::tryAgain(const QString& line) {
  if (tries_ >= care_.tries()) return false;
  ++tries_;
  Q_EMIT logLine(line.arg(tries_).arg(care_.tries()));
  if (stage_ == Stage::EnteringBootloader) {
    enterBootloader();
  } else {
    sendPage();
  }
  return true;
}

void Flasher::uploadPage(int page) {
  page_ = page;
  setStage(Stage::UploadingPage);
  // The window's log line counts as the page numbers on the wire do, from 0 to the last; every
  // other text counts pages from 1, as progress() does, so the page after the last verified one
  // is the page that failed.
  const int lastPage = static_cast<int>(pages_.size()) - 1;
  Q_EMIT logLine(tr("Upload Flash Page %1 of %2").arg(page).arg(lastPage));
  tries_ = 1;
  sendPage();
}

void Flasher::sendPage() {
  std::vector<std::uint8_t> payload;
  payload.reserve(1 + pages_[page_].bytes.size());
  payload.push_back(static_cast<std::uint8_t>(page_));
  for (const char byte : pages_[page_].bytes) {
    payload.push_back(static_cast<std::uint8_t>(byte));
  }
  answered_ = false;
  if (send(Command::UploadFlashPage, payload)) {
    awaitReply(Command::UploadFlashPage);
  }
}

void Flasher::writeFlash() {
  setStage(Stage::WritingFlash);
  Q_EMIT logLine(tr("write RAM to FLASH..."));
  if (send(Command::WriteRamToFlash) && stage_ == Stage::WritingFlash) {
    writeTimer_.start(writeTimeoutMs_);
  }
}

void Flasher::awaitReply(Command command) {
  awaitingReply_ = true;
  replyTimer_.start(replyTimeoutMs_ + commandFrames(command) * care_.paceMs);
  // A device that answered while the command was still going out was heard before we were
  // waiting; take its reply once the current call has unwound.
  if (answered_) {
    QMetaObject::invokeMethod(this, &Flasher::onBootloaderReply, Qt::QueuedConnection);
  }
}

void Flasher::receiveFrame(int /*port*/, const std::vector<std::uint8_t>& frame) {
  // A cut read-back counts only while a flash runs: it stands for a page the device garbled.
  if (std::optional<std::vector<std::uint8_t>> items = pageReadBack(frame, running())) {
    readBack_ = std::move(*items);
    answered_ = true;
    onBootloaderReply();
    return;
  }
  const std::optional<Reply> reply = parseReply(frame);
  if (!reply) {
    return;
  }
  if (reply->code == static_cast<std::uint8_t>(Command::EnterBootloader)) {
    answered_ = true;
    onBootloaderReply();
  } else if (reply->code == static_cast<std::uint8_t>(Command::WriteRamToFlash)) {
    onFlashWritten();
  }
}

void Flasher::onBootloaderReply() {
  // Replies 8 and 9 both answer; whichever arrives ends the current wait.
  if (!awaitingReply_ || !answered_) {
    return;
  }
  awaitingReply_ = false;
  replyTimer_.stop();
  const int pageCount = static_cast<int>(pages_.size());
  if (stage_ == Stage::EnteringBootloader) {
    Q_EMIT logLine(tr("ok"));
    Q_EMIT progress(0, pageCount);
    uploadPage(0);
    return;
  }
  if (stage_ != Stage::UploadingPage) {
    return;
  }
  if (!sameBytes(readBack_, pages_[page_].bytes)) {
    if (tryAgain(tr("flash page %1 of %2 read back different, try %3 of %4")
                     .arg(page_ + 1)
                     .arg(pageCount)))
      return;
    leaveBootloader(tr("verify failed! Programming canceled!"), FlashEnd::VerifyFailed, {});
    return;
  }
  Q_EMIT logLine(tr("verify ok"));
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
  const char* command = stage_ == Stage::EnteringBootloader ? "EnterBootloader" : "UploadFlashPage";
  if (tryAgain(tr("%1: no reply, try %2 of %3").arg(QLatin1String(command)))) return;
  lostReply_ = true;
  const QString what = stage_ == Stage::EnteringBootloader
                           ? tr("entering bootloader")
                           : tr("uploading flash page %1 of %2").arg(page_ + 1).arg(pages_.size());
  const QString text = tr("no reply from Tarvik while %1 - programming canceled").arg(what);
  leaveBootloader(text, FlashEnd::NoReply, text);
}

void Flasher::onFlashWritten() {
  Q_EMIT logLine(tr("Firmware update successful! Reboot Tarvik..."));
  if (stage_ == Stage::WritingFlash) {
    end(FlashEnd::Flashed, {});
  }
  Q_EMIT flashWritten();
}

void Flasher::onWriteTimeout() {
  if (stage_ != Stage::WritingFlash) {
    return;
  }
  const QString text =
      tr("no confirmation from Tarvik after write RAM to FLASH - reboot Tarvik and check its "
         "firmware version");
  Q_EMIT logLine(text);
  end(FlashEnd::WriteUnconfirmed, text);
}

bool Flasher::cancel() {
  if (!running() || stage_ == Stage::WritingFlash) return false;
  leaveBootloader({}, FlashEnd::Canceled, {});
  return true;
}

void Flasher::abortForLostPort(const QString& portName) {
  if (!running()) {
    return;
  }
  Q_EMIT logLine(tr("MIDI port %1 vanished - programming canceled").arg(portName));
  Q_EMIT logLine(
      tr("Tarvik may still be in its bootloader: connect again and flash the firmware once more"));
  end(FlashEnd::PortGone, portName);
}

void Flasher::abortForFailedSend(const QString& error) {
  if (!running() || stage_ == Stage::WritingFlash) return;
  leaveBootloader(tr("programming canceled: %1").arg(error), FlashEnd::SendFailed, error);
}

bool Flasher::send(Command command, const std::vector<std::uint8_t>& payload) {
  try {
    sendCommand(link_, command, payload);
    return true;
  } catch (const std::exception& error) {
    const QString text = QString::fromLocal8Bit(error.what());
    leaveBootloader(tr("programming canceled: %1").arg(text), FlashEnd::SendFailed, text);
    return false;
  }
}

void Flasher::leaveBootloader(const QString& line, FlashEnd how, const QString& detail) {
  awaitingReply_ = false;
  replyTimer_.stop();
  if (!line.isEmpty()) Q_EMIT logLine(line);
  Q_EMIT logLine(tr("leave bootloader..."));
  // Best effort: when the link has just failed, it may fail again, and the first error is the
  // one the user needs to see; a cancel is reported all the same.
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
