// SPDX-License-Identifier: MIT
#pragma once

#include <time.h>

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
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

// CPU time so far by one of the CPU-time clocks, at nanosecond resolution (getrusage ticks too
// coarsely for chains that take a few milliseconds).
inline double cpuMs(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}
// Of every thread of this process.
inline double processCpuMs() { return cpuMs(CLOCK_PROCESS_CPUTIME_ID); }

// Says on standard error why the benchmark cannot go on; its exit code then.
inline int failed(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  return 1;
}

// The windows of a benchmark (and of the programs it starts, which inherit the choice) are drawn
// off screen unless a platform was chosen.
inline void offscreenUnlessChosen() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
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
