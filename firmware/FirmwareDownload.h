// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include "firmware/FirmwareImage.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvik {

// Fetches "firmware.txt" from the update directory and checks it. One result signal per
// start(): checked() with the image (which may be refused: FirmwareImage::ok()), or failed()
// with the client's error text when the request itself failed.
class FirmwareDownload : public QObject {
  Q_OBJECT
 public:
  FirmwareDownload(QNetworkAccessManager* network, QUrl baseUrl, QObject* parent = nullptr);
  ~FirmwareDownload() override;

  void setRequestTimeout(int ms) { timeoutMs_ = ms; }
  // Ignored while a download runs.
  void start();
  bool running() const { return !reply_.isNull(); }

 Q_SIGNALS:
  void runningChanged(bool running);
  void checked(const tarvik::FirmwareImage& image);
  void failed(const QString& errorText);

 private:
  void onFinished();

  QNetworkAccessManager* network_;
  QUrl baseUrl_;
  int timeoutMs_;
  QPointer<QNetworkReply> reply_;
};

}  // namespace tarvik
