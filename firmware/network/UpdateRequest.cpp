// SPDX-License-Identifier: MIT
#include "firmware/network/UpdateRequest.h"

#include <QCoreApplication>
#include <QNetworkReply>

namespace tarvik {

QNetworkRequest makeUpdateRequest(const QUrl& baseUrl, const QString& fileName, int timeoutMs) {
  QNetworkRequest request(baseUrl.resolved(QUrl(fileName)));
  request.setHeader(QNetworkRequest::UserAgentHeader,
                    QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
  request.setRawHeader("Accept", "text/html, */*");
  request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/html"));
  request.setTransferTimeout(timeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  return request;
}

std::optional<QString> updateFailureText(const QNetworkReply& reply, int timeoutMs) {
  // Nothing in the program aborts a request, so a canceled one is one that hit its time-out.
  if (reply.error() == QNetworkReply::OperationCanceledError ||
      reply.error() == QNetworkReply::TimeoutError) {
    return QCoreApplication::translate("UpdateRequest",
                                       "The update server did not answer within %1 seconds (%2)")
        .arg(timeoutMs / 1000.0)
        .arg(reply.url().toString());
  }
  if (reply.error() != QNetworkReply::NoError) {
    return reply.errorString();
  }
  // A redirect that is not followed ends without an error of its own; word it as the client
  // words an error status.
  const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 300 && status < 400) {
    return QCoreApplication::translate("QNetworkReply",
                                       "Error transferring %1 - server replied: %2")
        .arg(reply.url().toString(),
             reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
  }
  return std::nullopt;
}

}  // namespace tarvik
