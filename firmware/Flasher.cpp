// SPDX-License-Identifier: MIT
#include "firmware/Flasher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <exception>

#include "firmware/FlashView.h"
#include "firmware/UpdateRequest.h"
#include "link/Framing.h"
#include "link/TransferMachine.h"

namespace tarvik {

namespace {
const QString kDownloadFailedCaption = QStringLiteral("Error");
const QString kTimeoutCaption = QStringLiteral("Timeout!");
}  // namespace

Flasher::Flasher(LinkPort& link, TransferMachine& machine, FlashView& view,
                 QNetworkAccessManager* network, QUrl baseUrl, QString errorCaption,
                 QObject* parent)
    : QObject(parent),
      link_(link),
      machine_(machine),
      view_(view),
      network_(network),
      baseUrl_(std::move(baseUrl)),
      errorCaption_(std::move(errorCaption)),
      requestTimeoutMs_(kRequestTimeoutMs) {
  replyTimer_.setSingleShot(true);
  writeTimer_.setSingleShot(true);
  connect(&replyTimer_, &QTimer::timeout, this, &Flasher::onReplyTimeout);
  connect(&writeTimer_, &QTimer::timeout, this, &Flasher::onWriteTimeout);
  connect(&machine_, &TransferMachine::bootloaderReply, this, &Flasher::onBootloaderReply);
  connect(&machine_, &TransferMachine::flashWritten, this, &Flasher::onFlashWritten);
}

Flasher::~Flasher() {
  if (download_) {
    download_->disconnect(this);
    download_->abort();
    download_->deleteLater();
  }
}

void Flasher::start() {
  if (running()) {
    return;
  }
  setStage(Stage::Downloading);
  view_.setFlashButtonEnabled(false);
  view_.setBusyCursor(true);
  download_ =
      network_->get(makeUpdateRequest(baseUrl_, QStringLiteral("firmware.txt"), requestTimeoutMs_));
  connect(download_, &QNetworkReply::finished, this, &Flasher::onDownloadFinished);
}

void Flasher::onDownloadFinished() {
  QNetworkReply* reply = download_;
  download_ = nullptr;
  if (reply == nullptr) {
    return;
  }
  reply->deleteLater();
  if (stage_ != Stage::Downloading) {
    return;
  }
  if (const auto failure = updateFailureText(*reply, requestTimeoutMs_)) {
    finish(false, errorCaption_, *failure);
    return;
  }
  const FirmwareImage image = FirmwareImage::fromBody(reply->readAll());
  if (!image.ok()) {
    const bool badDownload = image.problem() == FirmwareImage::Problem::DigestMismatch;
    finish(false, badDownload ? kDownloadFailedCaption : errorCaption_, image.errorText());
    return;
  }
  pages_ = image.pages();
  enterBootloader();
}

void Flasher::enterBootloader() {
  setStage(Stage::EnteringBootloader);
  view_.addLog(QStringLiteral("Entering bootloader"));
  machine_.clearBootloaderFlag();
  if (send(Command::EnterBootloader)) {
    awaitReply();
  }
}

void Flasher::uploadPage(int page) {
  page_ = page;
  setStage(Stage::UploadingPage);
  const int lastPage = static_cast<int>(pages_.size()) - 1;
  view_.addLog(QStringLiteral("Upload Flash Page %1 of %2").arg(page).arg(lastPage));
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
  view_.addLog(QStringLiteral("write RAM to FLASH..."));
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
    view_.addLog(QStringLiteral("ok"));
    view_.setProgress(0, pageCount);
    uploadPage(0);
    return;
  }
  if (stage_ != Stage::UploadingPage) {
    return;
  }
  if (machine_.pageReadBack() != pages_[page_].text) {
    abortInBootloader(QStringLiteral("verify failed! Programming canceled!"), {}, {});
    return;
  }
  view_.addLog(QStringLiteral("verify ok"));
  view_.setProgress(page_ + 1, pageCount);
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
  abortInBootloader(text, kTimeoutCaption, text);
}

void Flasher::onFlashWritten() {
  if (stage_ != Stage::WritingFlash) {
    return;
  }
  // The transfer machine has restored the cursor and hidden the device tabs; the flash button
  // stays off until the next connect and update check.
  end(false, false);
  Q_EMIT finished(true);
}

void Flasher::onWriteTimeout() {
  if (stage_ != Stage::WritingFlash) {
    return;
  }
  const QString text = QStringLiteral(
      "no confirmation from Tarvik after write RAM to FLASH - reboot Tarvik and check its "
      "firmware version");
  view_.addLog(text);
  finish(false, kTimeoutCaption, text);
}

bool Flasher::send(Command command, const std::vector<std::uint8_t>& payload) {
  try {
    sendCommand(link_, command, payload);
    return true;
  } catch (const std::exception& error) {
    const QString text = QString::fromLocal8Bit(error.what());
    abortInBootloader(QStringLiteral("programming canceled: ") + text, errorCaption_, text);
    return false;
  }
}

void Flasher::abortInBootloader(const QString& logLine, const QString& caption,
                                const QString& text) {
  awaitingReply_ = false;
  replyTimer_.stop();
  view_.addLog(logLine);
  view_.addLog(QStringLiteral("leave bootloader..."));
  sendLeaveBootloader();
  finish(false, caption, text);
}

void Flasher::sendLeaveBootloader() {
  // Best effort: when the link has just failed, it may fail again, and the first error is the
  // one the user needs to see.
  try {
    sendCommand(link_, Command::LeaveBootloader);
  } catch (const std::exception&) {
  }
}

void Flasher::finish(bool flashed, const QString& caption, const QString& text) {
  end(true, true);
  if (!text.isEmpty()) {
    view_.showError(caption, text);
  }
  Q_EMIT finished(flashed);
}

void Flasher::end(bool enableButton, bool restoreCursor) {
  awaitingReply_ = false;
  replyTimer_.stop();
  writeTimer_.stop();
  pages_.clear();
  page_ = 0;
  view_.hideProgress();
  // Said both ways: an update check that ended during the flash has set the button's wish too,
  // and the flash's decision must be the last one before the link is free again.
  view_.setFlashButtonEnabled(enableButton);
  if (restoreCursor) {
    view_.setBusyCursor(false);
  }
  setStage(Stage::Idle);
}

void Flasher::setStage(Stage stage) {
  const bool wasRunning = running();
  stage_ = stage;
  if (wasRunning != running()) {
    Q_EMIT runningChanged(running());
  }
}

}  // namespace tarvik
