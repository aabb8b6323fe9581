// SPDX-License-Identifier: MIT
#pragma once

#include <time.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::bench {

// Median of the samples (the upper one of the middle pair for an even count); 0 for none.
inline double median(std::vector<double> samples) {
  if (samples.empty()) return 0.0;
  const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
  std::nth_element(samples.begin(), middle, samples.end());
  return *middle;
}

// CPU time of every thread of this process so far, at nanosecond resolution (getrusage ticks
// too coarsely for chains that take a few milliseconds).
inline double processCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A field of /proc/self/status (VmHWM, RssShmem ...), in MB (the kernel reports kB). /proc files
// report size 0, so they are read as a stream.
inline std::optional<double> statusMb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024.0;
  }
  return std::nullopt;
}

}  // namespace tarvik::bench
