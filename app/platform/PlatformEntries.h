// SPDX-License-Identifier: MIT
#pragma once

class QUrl;

namespace tarvik {

class PlatformMidiService;
class UpdateServer;

// The functions the platform module exports, by name, for PlatformModule to look up. Each
// returns a new object that the caller owns; only pure virtual calls cross the boundary.
using CreateMidiServiceEntry = PlatformMidiService* (*)();
using CreateUpdateServerEntry = UpdateServer* (*)(const QUrl& baseUrl);
inline constexpr char kCreateMidiServiceEntry[] = "tarvik_create_midi_service";
inline constexpr char kCreateUpdateServerEntry[] = "tarvik_create_update_server";

}  // namespace tarvik
