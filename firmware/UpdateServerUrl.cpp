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

UpdateDirectory chooseUpdateDirectory(const std::optional<QString>& option,
                                      const QString& environment, const QUrl& builtIn) {
  // The option before the environment before the build, each under the same rule.
  const QString given = option.value_or(environment);
  const QString source =
      option ? QStringLiteral("--update-url") : QStringLiteral("TARVIK_UPDATE_BASE_URL");
  if (!option && given.isEmpty()) return {builtIn, {}};
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
