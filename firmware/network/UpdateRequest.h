// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkRequest>
#include <QString>
#include <QUrl>
#include <optional>

class QNetworkReply;

namespace tarvik {

// A GET of `fileName` in the update directory, with the headers the update server has always
// been sent. Redirects are not followed: a host that sends the program elsewhere (a moved or
// suspended site) would hand back an HTML page as the change log or the firmware file.
QNetworkRequest makeUpdateRequest(const QUrl& baseUrl, const QString& fileName, int timeoutMs);

// Nothing when the reply brought the file; otherwise the text to show. A redirect fails like an
// error status, with the same wording; a transfer time-out says so instead of "canceled".
std::optional<QString> updateFailureText(const QNetworkReply& reply, int timeoutMs);

}  // namespace tarvik
