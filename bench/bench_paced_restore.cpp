// SPDX-License-Identifier: MIT
// A verified restore at a transfer pace of 5 ms through the core, the real link and the
// in-memory MIDI service to the simulated Tarvik answering at once. Its floor is what the pace
// itself costs, the frames sent times the pace, plus the round trips; against a device that
// answers at once, the round trips are what the same restore takes unpaced (the median of a
// few). The ratio of the paced restore's wall time to that floor says what the pacing costs
// beyond its own gaps: waits that do not overlap, a gap kept where a reply's wait already made
// one.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <vector>

#include "bench/BenchStats.h"
#include "config/FullBackup.h"
#include "config/PresetTables.h"
#include "core/ConfiguratorCore.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "sim/TarvikContents.h"
#include "support/ContentsTables.h"

namespace {

using namespace tarvik;

constexpr int kPaceMs = 5;
constexpr int kUnpacedSamples = 5;
constexpr double kTargetRatio = 1.3;
constexpr int kGiveUpMs = 120000;

struct Run {
  bool verified = false;
  double wallMs = 0;
  std::size_t frames = 0;
};

using tarvik::testing::tablesOf;

// One restore of another setup's tables and settings onto a device fresh from the workshop.
Run restoreAt(int paceMs) {
  SimulatedMidi sim(TarvikContents::factory());
  ConfiguratorCore core(sim.ports());
  core.openPorts(sim.inPort(), sim.outPort());
  core.setTransferCare({paceMs, TransferCare::kDefaultRetries});
  const TarvikContents source = TarvikContents::fromSeed(7);
  const PresetTables tables = tablesOf(source);
  // Settings as the editors send them (a seed's record may hold values they keep otherwise).
  const FullBackup::Settings settings = {90, 2,   1, 5, 5, 6,   128, 10, 2, 1,
                                         6,  127, 1, 0, 1, 127, 255, 1,  0, 3};

  Run run;
  std::optional<bool> ok;
  QEventLoop loop;
  QObject::connect(&core, &ConfiguratorCore::restoreFinished, &loop,
                   [&](bool verified, const QString& text) {
                     if (!verified) std::fprintf(stderr, "%s\n", qPrintable(text));
                     ok = verified;
                     loop.quit();
                   });
  QTimer::singleShot(kGiveUpMs, &loop, &QEventLoop::quit);
  sim.service().clearSent(sim.outPort());
  QElapsedTimer wall;
  wall.start();
  if (!core.restore(tables, settings)) return run;
  if (!ok) loop.exec();
  run.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
  run.frames = sim.service().sent(sim.outPort()).size();
  run.verified = ok.value_or(false) && sim.device().contents().presets == source.presets &&
                 sim.device().contents().configRecord == settings;
  core.closePorts();
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::vector<double> unpaced;
  for (int i = 0; i < kUnpacedSamples; ++i) {
    const Run run = restoreAt(0);
    if (!run.verified) return bench::failed("the unpaced restore did not verify");
    unpaced.push_back(run.wallMs);
  }
  const Run paced = restoreAt(kPaceMs);
  if (!paced.verified) return bench::failed("the paced restore did not verify");
  const double roundTripsMs = bench::median(unpaced);
  const double floorMs = static_cast<double>(paced.frames) * kPaceMs + roundTripsMs;
  const double ratio = paced.wallMs / floorMs;
  // Below its floor, the restore cannot have kept its pace between the frames.
  if (ratio < 1.0) std::fprintf(stderr, "the paced restore took less than its frames' gaps\n");
  std::printf("paced_restore_frames: %zu frames\n", paced.frames);
  std::printf("paced_restore_round_trips: %.1f ms\n", roundTripsMs);
  std::printf("paced_restore_floor: %.1f ms\n", floorMs);
  std::printf("paced_restore_wall: %.1f ms\n", paced.wallMs);
  std::printf("paced_restore_ratio: %.2f ratio (target <= %.1f)\n", ratio, kTargetRatio);
  return ratio >= 1.0 && ratio <= kTargetRatio ? 0 : 1;
}
