// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

#include "firmware/UpdateServer.h"

namespace tarvik {

// One file of the update directory ("changelog.txt", "firmware.txt"), fetched on request. One
// result signal per start(): fetched() with the body, or failed() with the client's error text
// when the request itself failed; what the body means is its reader's business.
class ServerFile : public QObject {
  Q_OBJECT
 public:
  // The server must outlive the file.
  ServerFile(UpdateServer& server, QString fileName, QObject* parent = nullptr);
  ~ServerFile() override;

  void setRequestTimeout(int ms) { timeoutMs_ = ms; }
  // Ignored while a request runs.
  void start();
  bool running() const { return fetch_ != nullptr; }

 Q_SIGNALS:
  void runningChanged(bool running);
  void fetched(const QByteArray& body);
  void failed(const QString& errorText);

 private:
  UpdateServer& server_;
  QString fileName_;
  int timeoutMs_ = kRequestTimeoutMs;
  std::unique_ptr<UpdateServer::Fetch> fetch_;
};

}  // namespace tarvik
