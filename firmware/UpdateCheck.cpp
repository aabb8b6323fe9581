// SPDX-License-Identifier: MIT
#include "firmware/UpdateCheck.h"

#include "firmware/TextLines.h"

namespace tarvik {

UpdateCheck::UpdateCheck(UpdateServer& server, QObject* parent)
    : QObject(parent), server_(server), timeoutMs_(kRequestTimeoutMs) {}

// Abandons a running request: it reports nothing.
UpdateCheck::~UpdateCheck() = default;

void UpdateCheck::start() {
  if (running()) {
    return;
  }
  fetch_ = server_.fetch(QStringLiteral("changelog.txt"), timeoutMs_,
                         [this](const UpdateServer::Answer& answer) { onAnswer(answer); });
  Q_EMIT runningChanged(true);
}

void UpdateCheck::onAnswer(const UpdateServer::Answer& answer) {
  fetch_.reset();
  Q_EMIT runningChanged(false);
  if (answer.failure) {
    Q_EMIT failed(*answer.failure);
    return;
  }
  const ChangeLog log = parseChangeLog(answer.body);
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
