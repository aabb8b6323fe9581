// SPDX-License-Identifier: MIT
// Cost of showing a downloaded table in the preset matrix, and the memory of the two
// configuration tabs.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "config/ui/AdvancedSettingsTab.h"
#include "config/ui/PresetMatrixTab.h"

namespace {

double peakRssMegabytes() {
  // /proc files report size 0, so read them as a stream rather than through QFile::atEnd().
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::stod(line.substr(6)) / 1024.0;  // reported in kB
    }
  }
  return -1.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);

  tarvik::PresetMatrixTab presets;
  tarvik::AdvancedSettingsTab advanced;
  QObject::connect(&advanced, &tarvik::AdvancedSettingsTab::lockMaskChanged, &presets,
                   &tarvik::PresetMatrixTab::setLockMask);
  presets.resize(900, 600);
  presets.show();
  advanced.show();
  QApplication::processEvents();

  // Each sample applies a reply that differs from the grid's content and lets the view repaint,
  // which is what the user waits for.
  constexpr int kSamples = 301;
  std::vector<double> milliseconds;
  milliseconds.reserve(kSamples);
  tarvik::PresetTables::Payload reply{};
  for (int sample = 0; sample < kSamples; ++sample) {
    reply.fill(static_cast<std::uint8_t>(sample % 2 == 0 ? 0x55 : 0xAA));
    QElapsedTimer timer;
    timer.start();
    presets.applyPresets(reply);
    QApplication::processEvents();
    milliseconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::nth_element(milliseconds.begin(), milliseconds.begin() + kSamples / 2, milliseconds.end());
  const double median = milliseconds[kSamples / 2];

  std::printf("apply_reply_to_grid: %.2f ms (target <= 2 ms)\n", median);
  std::printf("peak_rss: %.1f MB (target <= 60 MB)\n", peakRssMegabytes());
  return 0;
}
