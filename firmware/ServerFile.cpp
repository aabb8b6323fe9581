// SPDX-License-Identifier: MIT
#include "firmware/ServerFile.h"

#include <utility>

namespace tarvik {

ServerFile::ServerFile(UpdateServer& server, QString fileName, QObject* parent)
    : QObject(parent), server_(server), fileName_(std::move(fileName)) {}

// Abandons a running request: it reports nothing.
ServerFile::~ServerFile() = default;

void ServerFile::start() {
  if (running()) return;
  fetch_ = server_.fetch(fileName_, timeoutMs_, [this](const UpdateServer::Answer& answer) {
    fetch_.reset();
    Q_EMIT runningChanged(false);
    if (answer.failure) {
      Q_EMIT failed(*answer.failure);
    } else {
      Q_EMIT fetched(answer.body);
    }
  });
  Q_EMIT runningChanged(true);
}

}  // namespace tarvik
