// SPDX-License-Identifier: MIT
#include "firmware/UpdateRequest.h"

#include <QNetworkReply>

namespace tarvik {

QNetworkRequest makeUpdateRequest(const QUrl& baseUrl, const QString& fileName, int timeoutMs) {
  QNetworkRequest request(baseUrl.resolved(QUrl(fileName)));
  request.setHeader(QNetworkRequest::UserAgentHeader,
                    QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
  request.setRawHeader("Accept", "text/html, */*");
  request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/html"));
  request.setTransferTimeout(timeoutMs);
  return request;
}

QString updateErrorText(const QNetworkReply& reply, int timeoutMs) {
  // Nothing in the program aborts a request, so a canceled one is one that hit its time-out.
  if (reply.error() == QNetworkReply::OperationCanceledError ||
      reply.error() == QNetworkReply::TimeoutError) {
    return QStringLiteral("The update server did not answer within %1 seconds (%2)")
        .arg(timeoutMs / 1000.0)
        .arg(reply.url().toString());
  }
  return reply.errorString();
}

}  // namespace tarvik
