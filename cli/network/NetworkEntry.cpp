// SPDX-License-Identifier: MIT
// tarvik-cli's network module: the update server over HTTP, the one part of the program that
// needs Qt Network. `flash --from-server` loads it (FlashCommand); no other command does.
#include <QUrl>
#include <QtGlobal>
#include <type_traits>

#include "firmware/UpdateServer.h"
#include "firmware/network/NetworkUpdateServer.h"

extern "C" Q_DECL_EXPORT tarvik::UpdateServer* tarvik_create_update_server(const QUrl& baseUrl) {
  return new tarvik::NetworkUpdateServer(baseUrl);
}

// A signature that drifts from what FlashCommand calls would crash at run time; here it stops
// the build.
static_assert(
    std::is_same_v<decltype(&tarvik_create_update_server), tarvik::CreateUpdateServerEntry>);
