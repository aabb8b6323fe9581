// SPDX-License-Identifier: MIT
#pragma once

namespace tarvik {

// How carefully the program talks to the device over a link that loses or mangles frames: the
// smallest gap between two frames it sends, and how many more times a command whose reply does
// not come, or a block that reads back different, is sent again. The defaults are the program's
// as it always sent: back to back, with two more tries.
struct TransferCare {
  static constexpr int kMaxPaceMs = 20;
  static constexpr int kMaxRetries = 5;
  static constexpr int kDefaultRetries = 2;

  int paceMs = 0;
  int retries = kDefaultRetries;

  // What "Try again carefully" uses for one transfer.
  static constexpr TransferCare careful() { return {5, 3}; }
  // The count of tries a transfer may take: the first and its retries.
  int tries() const { return 1 + retries; }
  bool operator==(const TransferCare&) const = default;
};

}  // namespace tarvik
