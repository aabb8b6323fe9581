// SPDX-License-Identifier: MIT
#include "firmware/FirmwareDownload.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include "firmware/UpdateRequest.h"

namespace tarvik {

FirmwareDownload::FirmwareDownload(QNetworkAccessManager* network, QUrl baseUrl, QObject* parent)
    : QObject(parent), network_(network), baseUrl_(std::move(baseUrl)), timeoutMs_(kRequestTimeoutMs) {
  qRegisterMetaType<tarvik::FirmwareImage>();
}

FirmwareDownload::~FirmwareDownload() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
  }
}

void FirmwareDownload::start() {
  if (running()) {
    return;
  }
  reply_ = network_->get(makeUpdateRequest(baseUrl_, QStringLiteral("firmware.txt"), timeoutMs_));
  connect(reply_, &QNetworkReply::finished, this, &FirmwareDownload::onFinished);
  Q_EMIT runningChanged(true);
}

void FirmwareDownload::onFinished() {
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  if (reply == nullptr) {
    return;
  }
  reply->deleteLater();
  Q_EMIT runningChanged(false);
  if (const auto failure = updateFailureText(*reply, timeoutMs_)) {
    Q_EMIT failed(*failure);
    return;
  }
  Q_EMIT checked(FirmwareImage::fromBody(reply->readAll()));
}

}  // namespace tarvik
