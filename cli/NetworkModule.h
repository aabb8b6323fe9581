// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

#include "firmware/UpdateServer.h"

class QUrl;

namespace tarvik::cli {

// Qt Network, with the TLS and proxy code it brings, costs every start of the program several
// milliseconds, and only `flash --from-server` needs it. So the update server over HTTP lives in
// a module of its own (network/NetworkEntry.cpp, tarvik-cli-network.so), loaded only there.
class NetworkModule {
  Q_DECLARE_TR_FUNCTIONS(NetworkModule)

 public:
  // TARVIK_CLI_NETWORK_MODULE when set (tests); else where the installed program finds the
  // module from its own folder, which is also where the build puts it.
  static QString defaultPath();

  // A new server for the directory `baseUrl` from the module at `path`, which is loaded now (a
  // few milliseconds) and stays loaded until the program ends: what it made may live as long.
  // Null when the module cannot be loaded; `error` then says why.
  static std::unique_ptr<UpdateServer> createUpdateServer(const QString& path, const QUrl& baseUrl,
                                                          QString& error);
};

}  // namespace tarvik::cli
