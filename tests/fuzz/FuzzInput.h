// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tarvik::fuzz {

// Cuts one fuzz input into messages: each message is a two-byte length (high byte first, so a
// whole 259-byte reply fits) followed by that many bytes (fewer at the end of the input). The
// fuzzer learns the framing from the seeds and can then vary both the cuts and the contents.
inline std::vector<std::vector<std::uint8_t>> messages(const std::uint8_t* data, std::size_t size) {
  std::vector<std::vector<std::uint8_t>> result;
  std::size_t at = 0;
  while (at + 2 <= size) {
    const std::size_t length = (std::size_t{data[at]} << 8) | data[at + 1];
    at += 2;
    const std::size_t take = length < size - at ? length : size - at;
    result.emplace_back(data + at, data + at + take);
    at += take;
  }
  return result;
}

// A broken invariant is a finding: report it and abort so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

inline void require(bool condition, const char* what) {
  if (!condition) fail(what);
}

}  // namespace tarvik::fuzz
