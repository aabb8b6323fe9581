// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "firmware/FirmwareImage.h"
#include "firmware/UpdateServer.h"

namespace tarvik {

// Fetches "firmware.txt" from the update directory and checks it. One result signal per
// start(): checked() with the image (which may be refused: FirmwareImage::ok()), or failed()
// with the client's error text when the request itself failed.
class FirmwareDownload : public QObject {
  Q_OBJECT
 public:
  // The server must outlive the download.
  explicit FirmwareDownload(UpdateServer& server, QObject* parent = nullptr);
  ~FirmwareDownload() override;

  void setRequestTimeout(int ms) { timeoutMs_ = ms; }
  // Ignored while a download runs.
  void start();
  bool running() const { return fetch_ != nullptr; }

 Q_SIGNALS:
  void runningChanged(bool running);
  void checked(const tarvik::FirmwareImage& image);
  void failed(const QString& errorText);

 private:
  void onAnswer(const UpdateServer::Answer& answer);

  UpdateServer& server_;
  int timeoutMs_;
  std::unique_ptr<UpdateServer::Fetch> fetch_;
};

}  // namespace tarvik
