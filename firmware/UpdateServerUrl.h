// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>
#include <QtGlobal>
#include <optional>

namespace tarvik {

// The maker's update directory, fixed when the program is built (CMake cache variable
// TARVIK_UPDATE_BASE_URL). "changelog.txt" and "firmware.txt" are resolved against it.
inline QUrl updateServerBaseUrl() { return QUrl(QStringLiteral(TARVIK_UPDATE_BASE_URL)); }

// The directory's path is part of the protocol with the update server: whatever host serves
// it, only an http(s) URL whose path ends in "/downloads/tarvik/" is an update directory.
bool isUpdateDirectory(const QUrl& url);

// The directory a run uses, for trying the update without the maker's server: `option` (the
// value of --update-url) when given, else `environment` (the variable TARVIK_UPDATE_BASE_URL)
// when set, else `builtIn`. `error` says why a given directory was refused (url is then empty).
struct UpdateDirectory {
  QUrl url;
  QString error;
};
UpdateDirectory chooseUpdateDirectory(
    const std::optional<QString>& option,
    const QString& environment = qEnvironmentVariable("TARVIK_UPDATE_BASE_URL"),
    const QUrl& builtIn = updateServerBaseUrl());

}  // namespace tarvik
