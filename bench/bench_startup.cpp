// SPDX-License-Identifier: MIT
// Start-up of the configurator, from process start to its first frame, against a Qt program that
// shows one window with a tab control holding one empty tab. Each probe announces its first frame
// on its standard output, and the clock stops there: what the probe does after (quitting,
// tearing down) is no part of the figure. The two probes run alternately, so that a machine
// busy with other work slows both alike, and the ratio is taken pair by pair.
//
// Much of a first frame is filling the window's pixels for the first time, which grows with the
// window. The baseline's window has the tab control's own small size; as information, the
// configurator is also set beside the same baseline with a window of the configurator's size.
#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <vector>

#include "bench/BenchStats.h"
#include "bench/FirstFrameQuit.h"

namespace {

// This machine's speed drifts by tens of percent within seconds; a median over more pairs keeps
// one slow phase from deciding the figure.
constexpr int kPairs = 21;
constexpr double kRatioTarget = 1.3;
constexpr int kProbeTimeoutMs = 30000;
// The configurator's window.
const QString kConfiguratorWindowSize = QStringLiteral("814x584");

// Wall time from launching the probe to its first frame, or nothing when it failed (no frame,
// or an unclean exit afterwards).
std::optional<double> firstFrameMs(const QString& program, const QStringList& arguments = {}) {
  QProcess probe;
  // The MIDI service's complaints about missing ALSA or JACK are kept for a failure report.
  probe.setProcessChannelMode(QProcess::MergedChannels);
  QDeadlineTimer deadline(kProbeTimeoutMs);
  QElapsedTimer wall;
  wall.start();
  probe.start(program, arguments);
  QByteArray output;
  std::optional<double> ms;
  while (!ms && probe.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
    output += probe.readAll();
    if (output.contains(tarvik::kFirstFrameLine)) {
      ms = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    }
  }
  if (!probe.waitForFinished(static_cast<int>(deadline.remainingTime()))) {
    std::fprintf(stderr, "%s did not finish: %s\n", qPrintable(program),
                 qPrintable(probe.errorString()));
    probe.kill();
    probe.waitForFinished();
    return std::nullopt;
  }
  output += probe.readAll();
  if (!ms || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0) {
    std::fprintf(stderr, "%s failed (%s, exit code %d):\n%s\n", qPrintable(program),
                 ms ? "after its first frame" : "no first frame", probe.exitCode(),
                 output.constData());
    return std::nullopt;
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  // The probes inherit the platform choice.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QCoreApplication app(argc, argv);
  const QString dir = QCoreApplication::applicationDirPath();
  const QString configurator = dir + QStringLiteral("/startup_probe_app");
  const QString minimal = dir + QStringLiteral("/startup_probe_minimal");

  // One untimed launch each loads the libraries into the page cache.
  if (!firstFrameMs(configurator) || !firstFrameMs(minimal)) return 1;

  std::vector<double> configuratorMs;
  std::vector<double> minimalMs;
  std::vector<double> ratios;
  std::vector<double> sameSizeMs;
  std::vector<double> sameSizeRatios;
  for (int pair = 0; pair < kPairs; ++pair) {
    // The configurator goes first in one round and last in the next, so that any after-effect
    // of one launch on the next stays out of the ratios.
    std::optional<double> app;
    if (pair % 2 == 0) app = firstFrameMs(configurator);
    const std::optional<double> base = firstFrameMs(minimal);
    const std::optional<double> sameSize = firstFrameMs(minimal, {kConfiguratorWindowSize});
    if (pair % 2 != 0) app = firstFrameMs(configurator);
    if (!app || !base || !sameSize) return 1;
    configuratorMs.push_back(*app);
    minimalMs.push_back(*base);
    sameSizeMs.push_back(*sameSize);
    ratios.push_back(*app / *base);
    sameSizeRatios.push_back(*app / *sameSize);
  }

  const double ratio = tarvik::bench::median(ratios);
  const double appMedian = tarvik::bench::median(configuratorMs);
  const double baseMedian = tarvik::bench::median(minimalMs);
  std::printf("startup_ratio: %.2f (target <= %.1f)\n", ratio, kRatioTarget);
  std::printf("startup_configurator: %.0f ms (target <= 1000 ms)\n", appMedian);
  std::printf("startup_minimal: %.0f ms (target <= 1000 ms)\n", baseMedian);
  std::printf("startup_minimal_at_configurator_window_size: %.0f ms\n",
              tarvik::bench::median(sameSizeMs));
  std::printf("startup_ratio_at_configurator_window_size: %.2f\n",
              tarvik::bench::median(sameSizeRatios));
  const bool met = ratio <= kRatioTarget && appMedian <= 1000 && baseMedian <= 1000;
  return met ? 0 : 1;
}
