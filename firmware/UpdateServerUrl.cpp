// SPDX-License-Identifier: MIT
#include "firmware/UpdateServerUrl.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace tarvik {

bool isUpdateDirectory(const QUrl& url) {
  return url.isValid() && !url.host().isEmpty() &&
         (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
         url.path().endsWith(QLatin1String("/downloads/tarvik/"));
}

UpdateDirectory chooseUpdateDirectory(const QString& option) {
  QString given = option;
  QString source = QStringLiteral("--update-url");
  if (given.isEmpty() && qEnvironmentVariableIsSet("TARVIK_UPDATE_BASE_URL")) {
    given = qEnvironmentVariable("TARVIK_UPDATE_BASE_URL");
    source = QStringLiteral("TARVIK_UPDATE_BASE_URL");
  }
  if (given.isEmpty()) return {updateServerBaseUrl(), {}};
  const QUrl url(given, QUrl::StrictMode);
  if (!isUpdateDirectory(url)) {
    return {{},
            QCoreApplication::translate("UpdateServerUrl",
                                        "%1 needs an http(s) URL whose path ends in "
                                        "\"/downloads/tarvik/\", not \"%2\"")
                .arg(source, given)};
  }
  return {url, {}};
}

}  // namespace tarvik
