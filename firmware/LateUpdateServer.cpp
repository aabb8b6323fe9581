// SPDX-License-Identifier: MIT
#include "firmware/LateUpdateServer.h"

#include <QObject>
#include <algorithm>

namespace tarvik {

// A fetch made before the real server was there. Once started it holds the real server's Fetch;
// destroying it abandons whichever stage it is in.
class LateUpdateServer::Waiting final : public Fetch {
 public:
  Waiting(std::vector<Waiting*>* list, QString fileName, int timeoutMs, Done done)
      : list_(list), fileName_(std::move(fileName)), timeoutMs_(timeoutMs), done_(std::move(done)) {
    if (list_ != nullptr) list_->push_back(this);
  }
  ~Waiting() override { leaveList(); }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

  void leaveList() {
    if (list_ == nullptr) return;
    list_->erase(std::find(list_->begin(), list_->end(), this));
    list_ = nullptr;
  }
  void startOn(UpdateServer& server) {
    leaveList();
    started_ = server.fetch(fileName_, timeoutMs_, std::move(done_));
  }
  void fail(const QString& reason) {
    leaveList();
    // Through the event loop, so never from inside fetch(); the call goes with `context_` when
    // this Fetch is abandoned first.
    QMetaObject::invokeMethod(
        &context_,
        [this, reason] {
          const Answer answer{{}, reason};
          const Done done = std::move(done_);  // it may destroy this Fetch
          done(answer);
        },
        Qt::QueuedConnection);
  }

 private:
  std::vector<Waiting*>* list_;
  QString fileName_;
  int timeoutMs_;
  Done done_;
  std::unique_ptr<Fetch> started_;
  QObject context_;
};

LateUpdateServer::LateUpdateServer() = default;

LateUpdateServer::~LateUpdateServer() {
  // Tolerated, not intended: a waiting fetch that outlives this server then never ends.
  for (Waiting* fetch : std::vector<Waiting*>(waiting_)) fetch->leaveList();
}

std::unique_ptr<UpdateServer::Fetch> LateUpdateServer::fetch(const QString& fileName, int timeoutMs,
                                                             Done done) {
  if (server_) return server_->fetch(fileName, timeoutMs, std::move(done));
  auto fetch = std::make_unique<Waiting>(reason_ ? nullptr : &waiting_, fileName, timeoutMs,
                                         std::move(done));
  if (reason_) fetch->fail(*reason_);
  return fetch;
}

void LateUpdateServer::adopt(std::unique_ptr<UpdateServer> server) {
  Q_ASSERT(!server_ && !reason_);
  server_ = std::move(server);
  // Each one leaves the list as it starts; no fetch() calls back into this list meanwhile.
  while (!waiting_.empty()) waiting_.front()->startOn(*server_);
}

void LateUpdateServer::giveUp(const QString& reason) {
  Q_ASSERT(!server_ && !reason_);
  reason_ = reason;
  while (!waiting_.empty()) waiting_.front()->fail(reason);
}

}  // namespace tarvik
