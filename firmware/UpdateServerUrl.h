// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

namespace tarvik {

// The maker's update directory, fixed when the program is built (CMake cache variable
// TARVIK_UPDATE_BASE_URL). "changelog.txt" and "firmware.txt" are resolved against it.
inline QUrl updateServerBaseUrl() { return QUrl(QStringLiteral(TARVIK_UPDATE_BASE_URL)); }

}  // namespace tarvik
