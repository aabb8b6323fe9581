// SPDX-License-Identifier: MIT
// The program's window over the in-process Tarvik: the cost of showing a downloaded table in
// the preset matrix, and the peak memory of the whole window after a connect with the full
// download (no JACK here, so no server's shared memory in it; bench_jack has that case).
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>

#include "app/TForm1.h"
#include "bench/BenchStats.h"
#include "bench/ConnectedWindow.h"

namespace {

constexpr double kApplyTargetMs = 2.0;
constexpr double kPeakRssTargetMb = 40.0;

}  // namespace

int main(int argc, char** argv) {
  tarvik::bench::offscreenUnlessChosen();
  QApplication app(argc, argv);

  tarvik::bench::ConnectedWindow window;
  if (!window.connect())
    return tarvik::bench::failed(
        "bench_grid: the connect to the in-process Tarvik did not complete");

  // Each sample takes a presets reply that differs from the grid's content into the window's
  // configuration, as the download does, and lets the grid repaint: what the user waits for.
  constexpr int kSamples = 301;
  std::vector<double> milliseconds;
  milliseconds.reserve(kSamples);
  tarvik::PresetTables::Payload reply{};
  for (int sample = 0; sample < kSamples; ++sample) {
    reply.fill(static_cast<std::uint8_t>(sample % 2 == 0 ? 0x55 : 0xAA));
    QElapsedTimer timer;
    timer.start();
    window.core.configuration().applyPresets(reply);
    QApplication::processEvents();
    milliseconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  const double median = tarvik::bench::median(milliseconds);
  const double peak = tarvik::bench::statusMb("VmHWM").value_or(-1.0);

  std::printf("apply_reply_to_grid: %.2f ms (target <= %.0f ms)\n", median, kApplyTargetMs);
  std::printf("peak_rss: %.1f MB (target <= %.0f MB)\n", peak, kPeakRssTargetMb);
  const bool met = median <= kApplyTargetMs && peak >= 0 && peak <= kPeakRssTargetMb;
  return met ? 0 : 1;
}
