// SPDX-License-Identifier: MIT
#pragma once

#include "sim/fixtures/UpdateServer.h"

#include <QTest>

namespace tarvik::testing {

// The ways a request to the update server fails, each with a piece of the text the user sees.
// Columns: mode (UpdateServer::Mode as int), stopServer, timeoutMs (the request time-out to set),
// textPart. Only a server that never answers gets a short time-out: where an answer comes, a
// short one could beat it on a busy machine.
inline void addRequestFailureRows() {
  using fixtures::UpdateServer;
  QTest::addColumn<int>("mode");
  QTest::addColumn<bool>("stopServer");
  QTest::addColumn<int>("timeoutMs");
  QTest::addColumn<QString>("textPart");
  QTest::newRow("404") << static_cast<int>(UpdateServer::Mode::NotFound) << false << 60000
                       << "Not Found";
  QTest::newRow("500") << static_cast<int>(UpdateServer::Mode::ServerError) << false << 60000
                       << "Internal Server Error";
  QTest::newRow("302 to an HTML page is not followed")
      << static_cast<int>(UpdateServer::Mode::Redirect) << false << 60000
      << "server replied: Found";
  QTest::newRow("connection refused")
      << static_cast<int>(UpdateServer::Mode::Serve) << true << 60000 << "refused";
  QTest::newRow("server never answers") << static_cast<int>(UpdateServer::Mode::Hang) << false
                                        << 300 << "did not answer within 0.3 seconds";
}

}  // namespace tarvik::testing
