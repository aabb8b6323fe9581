// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkRequest>
#include <QString>
#include <QUrl>

class QNetworkReply;

namespace tarvik {

// A server that accepts the connection and then never answers must not hold the program;
// every request to the update server gives up after this long without traffic.
inline constexpr int kRequestTimeoutMs = 15000;

// A GET of `fileName` in the update directory, with the headers the update server has always
// been sent.
QNetworkRequest makeUpdateRequest(const QUrl& baseUrl, const QString& fileName, int timeoutMs);

// The text to show for a failed reply; a transfer time-out says so instead of "canceled".
QString updateErrorText(const QNetworkReply& reply, int timeoutMs);

}  // namespace tarvik
