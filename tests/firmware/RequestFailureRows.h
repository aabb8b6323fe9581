// SPDX-License-Identifier: MIT
#pragma once

#include "sim/fixtures/UpdateServer.h"

#include <QTest>

namespace tarvik::testing {

// The ways a request to the update server fails, each with a piece of the text the user sees.
// Columns: mode (UpdateServer::Mode as int), stopServer, textPart.
inline void addRequestFailureRows() {
  using fixtures::UpdateServer;
  QTest::addColumn<int>("mode");
  QTest::addColumn<bool>("stopServer");
  QTest::addColumn<QString>("textPart");
  QTest::newRow("404") << static_cast<int>(UpdateServer::Mode::NotFound) << false << "Not Found";
  QTest::newRow("500") << static_cast<int>(UpdateServer::Mode::ServerError) << false
                       << "Internal Server Error";
  QTest::newRow("connection refused")
      << static_cast<int>(UpdateServer::Mode::Serve) << true << "refused";
  QTest::newRow("server never answers") << static_cast<int>(UpdateServer::Mode::Hang) << false
                                        << "did not answer within 0.3 seconds";
}

}  // namespace tarvik::testing
