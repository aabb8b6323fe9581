// SPDX-License-Identifier: MIT
#pragma once

namespace tarvik {

// The application-wide busy cursor as a state: setting it twice and restoring once gives the
// normal cursor back, unlike Qt's stack of override cursors.
class BusyCursor {
 public:
  static void set(bool busy);
  static bool isBusy();
};

}  // namespace tarvik
