// SPDX-License-Identifier: MIT
#include "firmware/network/NetworkUpdateServer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

#include "firmware/network/UpdateRequest.h"

namespace tarvik {

namespace {

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
