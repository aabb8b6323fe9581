// SPDX-License-Identifier: MIT
// Start-up of the configurator, from process start to its first frame, against a Qt program that
// shows one window with a tab control holding one empty tab. Each probe announces its first frame
// on its standard output with the time it was out, and the clock stops there: what the probe
// does after (the configurator's work after its first frame, quitting, tearing down) is no part
// of the figure. The two probes run alternately, so that a machine busy with other work slows
// both alike, and the ratio is taken pair by pair. The configurator starts as a user's does,
// with its library (opened after the first frame) and in German.
//
// Much of a first frame is filling the window's pixels for the first time, which grows with the
// window. The baseline's window has the tab control's own small size; as information, the
// configurator is also set beside the same baseline with a window of the configurator's size.
#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include "bench/BenchStats.h"
#include "bench/FirstFrameQuit.h"

namespace {

// This machine's speed drifts by tens of percent within seconds; a median over more pairs keeps
// one slow phase from deciding the figure.
constexpr int kPairs = 21;
constexpr double kRatioTarget = 1.25;
constexpr int kProbeTimeoutMs = 30000;
// The configurator's window.
const QString kConfiguratorWindowSize = QStringLiteral("814x584");

struct FirstFrame {
  double wallMs = 0;  // from launching the probe
  double cpuMs = 0;   // the probe's processor time
};

// The probe's first frame, or nothing when it failed (no frame, or an unclean exit afterwards).
std::optional<FirstFrame> firstFrame(const QString& program, const QStringList& arguments = {}) {
  QProcess probe;
  // The MIDI service's complaints about missing ALSA or JACK are kept for a failure report.
  probe.setProcessChannelMode(QProcess::MergedChannels);
  QDeadlineTimer deadline(kProbeTimeoutMs);
  const auto launched = std::chrono::steady_clock::now().time_since_epoch();
  probe.start(program, arguments);
  QByteArray output;
  std::optional<FirstFrame> ms;
  while (!ms && probe.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
    output += probe.readAll();
    const qsizetype line = output.indexOf(tarvik::kFirstFrameLine);
    const qsizetype end = output.indexOf('\n', line);
    if (line >= 0 && end > line) {
      const qsizetype from = line + qsizetype(sizeof tarvik::kFirstFrameLine) - 1;
      const QList<QByteArray> readings = output.mid(from, end - from).split(' ');
      if (readings.size() != 2) break;
      const qint64 frameNs = readings[0].toLongLong();
      ms = FirstFrame{
          static_cast<double>(frameNs - std::chrono::nanoseconds(launched).count()) / 1e6,
          static_cast<double>(readings[1].toLongLong()) / 1e6};
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
  tarvik::bench::offscreenUnlessChosen();
  QCoreApplication app(argc, argv);
  const QString dir = QCoreApplication::applicationDirPath();
  const QString configurator = dir + QStringLiteral("/startup_probe_app");
  const QString minimal = dir + QStringLiteral("/startup_probe_minimal");
  // The configurator's library: made by the untimed launch, opened by every timed one.
  const QTemporaryDir libraryDir;
  const QStringList library = {libraryDir.filePath(QStringLiteral("library.sqlite"))};

  // One untimed launch each loads the libraries into the page cache.
  if (!firstFrame(configurator, library) || !firstFrame(minimal)) return 1;

  std::vector<double> configuratorMs;
  std::vector<double> minimalMs;
  std::vector<double> ratios;
  std::vector<double> sameSizeMs;
  std::vector<double> sameSizeRatios;
  std::vector<double> cpuRatios;
  for (int pair = 0; pair < kPairs; ++pair) {
    // The configurator goes first in one round and last in the next, so that any after-effect
    // of one launch on the next stays out of the ratios.
    std::optional<FirstFrame> app;
    if (pair % 2 == 0) app = firstFrame(configurator, library);
    const std::optional<FirstFrame> base = firstFrame(minimal);
    const std::optional<FirstFrame> sameSize = firstFrame(minimal, {kConfiguratorWindowSize});
    if (pair % 2 != 0) app = firstFrame(configurator, library);
    if (!app || !base || !sameSize) return 1;
    configuratorMs.push_back(app->wallMs);
    minimalMs.push_back(base->wallMs);
    sameSizeMs.push_back(sameSize->wallMs);
    ratios.push_back(app->wallMs / base->wallMs);
    sameSizeRatios.push_back(app->wallMs / sameSize->wallMs);
    cpuRatios.push_back(app->cpuMs / base->cpuMs);
  }

  const double ratio = tarvik::bench::median(ratios);
  const double appMedian = tarvik::bench::median(configuratorMs);
  const double baseMedian = tarvik::bench::median(minimalMs);
  std::printf("startup_ratio: %.2f (target <= %.2f)\n", ratio, kRatioTarget);
  std::printf("startup_configurator: %.0f ms (target <= 1000 ms)\n", appMedian);
  std::printf("startup_minimal: %.0f ms (target <= 1000 ms)\n", baseMedian);
  std::printf("startup_minimal_at_configurator_window_size: %.0f ms\n",
              tarvik::bench::median(sameSizeMs));
  std::printf("startup_ratio_at_configurator_window_size: %.2f\n",
              tarvik::bench::median(sameSizeRatios));
  // The processor time the probes take up to their first frames: what the machine's other work
  // moves least.
  std::printf("startup_processor_time_ratio: %.2f\n", tarvik::bench::median(cpuRatios));
  const bool met = ratio <= kRatioTarget && appMedian <= 1000 && baseMedian <= 1000;
  return met ? 0 : 1;
}
