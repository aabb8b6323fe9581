// SPDX-License-Identifier: MIT
#include "firmware/FirmwareDownload.h"

namespace tarvik {

FirmwareDownload::FirmwareDownload(UpdateServer& server, QObject* parent)
    : QObject(parent), server_(server), timeoutMs_(kRequestTimeoutMs) {
  qRegisterMetaType<tarvik::FirmwareImage>();
}

// Abandons a running request: it reports nothing.
FirmwareDownload::~FirmwareDownload() = default;

void FirmwareDownload::start() {
  if (running()) {
    return;
  }
  fetch_ = server_.fetch(QStringLiteral("firmware.txt"), timeoutMs_,
                         [this](const UpdateServer::Answer& answer) { onAnswer(answer); });
  Q_EMIT runningChanged(true);
}

void FirmwareDownload::onAnswer(const UpdateServer::Answer& answer) {
  fetch_.reset();
  Q_EMIT runningChanged(false);
  if (answer.failure) {
    Q_EMIT failed(*answer.failure);
    return;
  }
  Q_EMIT checked(FirmwareImage::fromBody(answer.body));
}

}  // namespace tarvik
