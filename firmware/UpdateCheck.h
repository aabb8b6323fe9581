// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "firmware/UpdateServer.h"

namespace tarvik {

// Asks the update server for "changelog.txt": its first line is the latest firmware version,
// the rest is shown to the user. The request runs asynchronously; one result signal per start.
class UpdateCheck : public QObject {
  Q_OBJECT
 public:
  struct ChangeLog {
    QString latestVersion;
    QString text;  // CR LF line ends, without the version line
  };

  // The server must outlive the check.
  explicit UpdateCheck(UpdateServer& server, QObject* parent = nullptr);
  ~UpdateCheck() override;

  void setRequestTimeout(int ms) { timeoutMs_ = ms; }
  // Ignored while a check is running.
  void start();
  bool running() const { return fetch_ != nullptr; }

  static ChangeLog parseChangeLog(const QByteArray& body);
  // Text order by character code, a prefix first (so "1.10" is before "1.9"); flashing is
  // offered when the server's version is not before the device's.
  static bool flashAllowed(const QString& latest, const QString& current);

 Q_SIGNALS:
  void runningChanged(bool running);
  void finished(const QString& latestVersion, const QString& changeLogWithoutFirstLine);
  void failed(const QString& errorText);

 private:
  void onAnswer(const UpdateServer::Answer& answer);

  UpdateServer& server_;
  int timeoutMs_;
  std::unique_ptr<UpdateServer::Fetch> fetch_;
};

}  // namespace tarvik
