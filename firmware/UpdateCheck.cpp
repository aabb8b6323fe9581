// SPDX-License-Identifier: MIT
#include "firmware/UpdateCheck.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include "firmware/TextLines.h"
#include "firmware/UpdateRequest.h"

namespace tarvik {

UpdateCheck::UpdateCheck(QNetworkAccessManager* network, QUrl baseUrl, QObject* parent)
    : QObject(parent),
      network_(network),
      baseUrl_(std::move(baseUrl)),
      timeoutMs_(kRequestTimeoutMs) {}

UpdateCheck::~UpdateCheck() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
  }
}

void UpdateCheck::start() {
  if (running()) {
    return;
  }
  reply_ = network_->get(makeUpdateRequest(baseUrl_, QStringLiteral("changelog.txt"), timeoutMs_));
  connect(reply_, &QNetworkReply::finished, this, &UpdateCheck::onReplyFinished);
  Q_EMIT runningChanged(true);
}

void UpdateCheck::onReplyFinished() {
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
  const ChangeLog log = parseChangeLog(reply->readAll());
  Q_EMIT finished(log.latestVersion, log.text);
}

UpdateCheck::ChangeLog UpdateCheck::parseChangeLog(const QByteArray& body) {
  const QString text = lfToCrLf(bodyText(body));
  qsizetype end = 0;
  while (end < text.size() && lineBreakLength(text, end) == 0) {
    ++end;
  }
  ChangeLog log;
  log.latestVersion = text.left(end);
  log.text = text.mid(end + lineBreakLength(text, end));
  return log;
}

bool UpdateCheck::flashAllowed(const QString& latest, const QString& current) {
  // UTF-16 code units order Latin-1 text exactly as its unsigned bytes would.
  return QString::compare(latest, current, Qt::CaseSensitive) >= 0;
}

}  // namespace tarvik
