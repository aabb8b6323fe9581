// SPDX-License-Identifier: MIT
#pragma once

#include "firmware/UpdateServer.h"

namespace tarvik {

class PlatformMidiService;

// The functions the platform module exports, by name, for PlatformModule to look up: these and
// the update server's (CreateUpdateServerEntry). Each returns a new object that the caller
// owns; only pure virtual calls cross the boundary.
using CreateMidiServiceEntry = PlatformMidiService* (*)();
inline constexpr char kCreateMidiServiceEntry[] = "tarvik_create_midi_service";

}  // namespace tarvik
