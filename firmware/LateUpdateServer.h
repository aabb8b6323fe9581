// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "firmware/UpdateServer.h"

namespace tarvik {

// Stands in for the update server until the real one is there (its module loads after the
// window's first frame). Fetches made meanwhile wait: adopt() starts them on the real server and
// hands every later fetch to it; giveUp() answers them, and every later fetch, with the reason.
// Call one of the two, once. Waiting fetches go before this server, like any Fetch.
class LateUpdateServer final : public UpdateServer {
 public:
  LateUpdateServer();
  ~LateUpdateServer() override;
  LateUpdateServer(const LateUpdateServer&) = delete;
  LateUpdateServer& operator=(const LateUpdateServer&) = delete;

  std::unique_ptr<Fetch> fetch(const QString& fileName, int timeoutMs, Done done) override;
  void adopt(std::unique_ptr<UpdateServer> server);
  void giveUp(const QString& reason);

 private:
  class Waiting;

  std::vector<Waiting*> waiting_;
  std::unique_ptr<UpdateServer> server_;
  std::optional<QString> reason_;
};

}  // namespace tarvik
