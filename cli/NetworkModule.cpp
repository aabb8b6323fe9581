// SPDX-License-Identifier: MIT
#include "cli/NetworkModule.h"

#include "core/ModuleLibrary.h"

namespace tarvik::cli {

QString NetworkModule::defaultPath() {
  return ModuleLibrary::path("TARVIK_CLI_NETWORK_MODULE",
                             QLatin1StringView(TARVIK_CLI_NETWORK_MODULE_FROM_BINDIR));
}

std::unique_ptr<UpdateServer> NetworkModule::createUpdateServer(const QString& path,
                                                                const QUrl& baseUrl,
                                                                QString& error) {
  QFunctionPointer create = nullptr;
  const QString reason = ModuleLibrary(path).load({{kCreateUpdateServerEntry, &create}});
  if (create == nullptr) {
    error = tr("the update server cannot be reached: the program's module %1 could "
               "not be loaded (%2)")
                .arg(path, reason);
    return nullptr;
  }
  return std::unique_ptr<UpdateServer>(reinterpret_cast<CreateUpdateServerEntry>(create)(baseUrl));
}

}  // namespace tarvik::cli
