// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QUrl;

namespace tarvik {

// A server that accepts the connection and then never answers must not hold the program;
// every request to the update server gives up after this long without traffic, unless its
// user sets another time-out.
inline constexpr int kRequestTimeoutMs = 15000;

// The update directory as the firmware logic and the window see it: a file by name, its body or
// the text to show. Only QtCore, pure virtuals and inline destructors, so that an implementation
// may live in a module loaded at run time without the program linking its network stack.
class UpdateServer {
 public:
  struct Answer {
    QByteArray body;
    std::optional<QString> failure;  // the text to show when the file did not come
  };
  using Done = std::function<void(const Answer&)>;

  // One request on its way. Destroying it abandons the request: its callback is then never
  // called. Every Fetch goes before the server that made it (its code may live in that
  // server's module).
  class Fetch {
   public:
    virtual ~Fetch() = default;
  };

  virtual ~UpdateServer() = default;

  // A GET of `fileName` in the update directory that gives up after `timeoutMs` without traffic.
  // `done` is called exactly once, later (never from inside fetch()), on the calling thread,
  // unless the Fetch is destroyed first. `done` may destroy the Fetch; the Answer stays valid
  // until `done` returns.
  virtual std::unique_ptr<Fetch> fetch(const QString& fileName, int timeoutMs, Done done) = 0;
};

// What a module that holds the network implementation exports, by this name, for the program to
// look up: a new server for the directory `baseUrl`, owned by the caller.
using CreateUpdateServerEntry = UpdateServer* (*)(const QUrl& baseUrl);
inline constexpr char kCreateUpdateServerEntry[] = "tarvik_create_update_server";

}  // namespace tarvik
