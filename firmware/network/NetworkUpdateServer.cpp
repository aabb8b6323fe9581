// SPDX-License-Identifier: MIT
#include "firmware/network/NetworkUpdateServer.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <optional>

namespace tarvik {
namespace {

// A GET of `fileName` in the update directory, with the headers the update server has always
// been sent. Redirects are not followed: a host that sends the program elsewhere (a moved or
// suspended site) would hand back an HTML page as the change log or the firmware file.
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

// Nothing when the reply brought the file; otherwise the text to show. A redirect fails like an
// error status, with the same wording; a transfer time-out says so instead of "canceled".
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

class ReplyFetch final : public UpdateServer::Fetch {
 public:
  ReplyFetch(QNetworkReply* reply, int timeoutMs, UpdateServer::Done done)
      : reply_(reply), timeoutMs_(timeoutMs), done_(std::move(done)) {
    // The client reports even a reply that is over before get() returns through this signal,
    // from its event loop: the callback never runs inside fetch().
    finished_ = QObject::connect(reply, &QNetworkReply::finished, reply, [this] { finish(); });
  }
  ~ReplyFetch() override {
    if (reply_) {
      // Abandoned: abort() would report the end to the callback, which must stay silent now.
      QObject::disconnect(finished_);
      reply_->abort();
      reply_->deleteLater();
    }
  }
  ReplyFetch(const ReplyFetch&) = delete;
  ReplyFetch& operator=(const ReplyFetch&) = delete;

 private:
  void finish() {
    QNetworkReply* reply = reply_;
    if (reply == nullptr) return;
    reply_ = nullptr;
    reply->deleteLater();
    UpdateServer::Answer answer;
    answer.failure = updateFailureText(*reply, timeoutMs_);
    if (!answer.failure) answer.body = reply->readAll();
    // The callback may destroy this Fetch; nothing of it is touched afterwards.
    const UpdateServer::Done done = std::move(done_);
    done(answer);
  }

  // Null once answered; the client deletes its replies when it goes.
  QPointer<QNetworkReply> reply_;
  QMetaObject::Connection finished_;
  int timeoutMs_;
  UpdateServer::Done done_;
};

}  // namespace

NetworkUpdateServer::NetworkUpdateServer(QUrl baseUrl)
    : baseUrl_(std::move(baseUrl)), network_(std::make_unique<QNetworkAccessManager>()) {
  network_->setObjectName(QStringLiteral("IdHTTP1"));
}

NetworkUpdateServer::~NetworkUpdateServer() = default;

std::unique_ptr<UpdateServer::Fetch> NetworkUpdateServer::fetch(const QString& fileName,
                                                                int timeoutMs, Done done) {
  QNetworkReply* reply = network_->get(makeUpdateRequest(baseUrl_, fileName, timeoutMs));
  return std::make_unique<ReplyFetch>(reply, timeoutMs, std::move(done));
}

}  // namespace tarvik
