// SPDX-License-Identifier: MIT
#pragma once

#include <thread>

namespace tarvik {

// Loads the SQLite driver (Qt's plugin and the SQLite library behind it) on a thread of its own.
// tarvik-cli opens its library only once the device answers, to record what it holds; started
// first thing, the loading overlaps the MIDI system's start and the device's round trips
// instead of adding to them. Opening a library meanwhile is safe: Qt guards its driver list,
// and a plugin loaded twice is loaded once.
class SqlDriverPreload {
 public:
  SqlDriverPreload();
  // Waits for the loading to end, so that it never outlives the application object.
  ~SqlDriverPreload();
  SqlDriverPreload(const SqlDriverPreload&) = delete;
  SqlDriverPreload& operator=(const SqlDriverPreload&) = delete;

 private:
  std::thread thread_;
};

}  // namespace tarvik
