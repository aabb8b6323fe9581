// SPDX-License-Identifier: MIT
#include "cli/NetworkModule.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace tarvik::cli {

QString NetworkModule::defaultPath() {
  const QString chosen = qEnvironmentVariable("TARVIK_CLI_NETWORK_MODULE");
  if (!chosen.isEmpty()) return chosen;
  return QCoreApplication::applicationDirPath() + QLatin1Char('/') +
         QLatin1StringView(TARVIK_CLI_NETWORK_MODULE_FROM_BINDIR);
}

std::unique_ptr<UpdateServer> NetworkModule::createUpdateServer(const QString& path,
                                                                const QUrl& baseUrl,
                                                                QString& error) {
  QString reason;
  CreateUpdateServerEntry create = nullptr;
  // QLibrary would try other names for a missing file and report the last one it tried.
  if (!QFileInfo::exists(path)) {
    reason = tr("the file does not exist");
  } else {
    // Never unloaded: QLibrary's destructor leaves the module mapped.
    QLibrary library(path);
    if (library.load())
      create = reinterpret_cast<CreateUpdateServerEntry>(library.resolve(kCreateUpdateServerEntry));
    if (create == nullptr) reason = library.errorString();
  }
  if (create == nullptr) {
    error = tr("the update server cannot be reached: the program's module %1 could "
               "not be loaded (%2)")
                .arg(path, reason);
    return nullptr;
  }
  return std::unique_ptr<UpdateServer>(create(baseUrl));
}

}  // namespace tarvik::cli
