// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <memory>

#include "firmware/UpdateServer.h"

class QNetworkAccessManager;

namespace tarvik {

// The update directory over HTTP, with the requests and failure texts of makeUpdateRequest and
// updateFailureText. It owns its HTTP client (object name "IdHTTP1"); a Fetch holds one reply.
// Used on the thread that made it: the client answers there.
class NetworkUpdateServer final : public UpdateServer {
 public:
  explicit NetworkUpdateServer(QUrl baseUrl);
  ~NetworkUpdateServer() override;
  NetworkUpdateServer(const NetworkUpdateServer&) = delete;
  NetworkUpdateServer& operator=(const NetworkUpdateServer&) = delete;

  std::unique_ptr<Fetch> fetch(const QString& fileName, int timeoutMs, Done done) override;

 private:
  QUrl baseUrl_;
  std::unique_ptr<QNetworkAccessManager> network_;
};

}  // namespace tarvik
