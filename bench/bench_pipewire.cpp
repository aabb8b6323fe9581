// SPDX-License-Identifier: MIT
// `tarvik-cli backup` and `restore` as a user of a PipeWire desktop runs them: processes of their
// own under pw-jack against tarvik-sim, on a headless PipeWire server this bench starts at a
// quantum of 1024 frames at 48 kHz. Wall time from spawn to exit, the median of a few runs, set
// beside the protocol's floor at that quantum: a backup's eleven exchanges and a restore's
// fifteen, each a request carried in one cycle and its reply in the next.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "bench/BenchStats.h"
#include "support/CliProcess.h"
#include "support/PipeWireRig.h"

namespace {

constexpr int kQuantum = 1024;
constexpr int kSampleRate = 48000;
constexpr int kSamples = 5;
constexpr int kRunTimeoutMs = 60000;
constexpr double kTarget = 1.25;

double floorMs(int roundTrips) { return roundTrips * 2 * 1000.0 * kQuantum / kSampleRate; }

// Wall milliseconds of one run; negative when it failed.
double runOnce(const QStringList& arguments) {
  QProcess cli;
  QElapsedTimer wall;
  wall.start();
  const tarvik::testing::CliResult result = tarvik::testing::runToEnd(
      cli, QStringLiteral("pw-jack"), QStringList{QStringLiteral(TARVIK_CLI_PATH)} + arguments, {},
      kRunTimeoutMs);
  const double ms = static_cast<double>(wall.nsecsElapsed()) / 1e6;
  if (result.exitCode != 0) {
    std::fprintf(stderr, "bench_pipewire: %s failed (%d): %s\n",
                 qPrintable(arguments.join(QLatin1Char(' '))), result.exitCode,
                 qPrintable(result.err));
    return -1;
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // The processes started here are the sanitized build's; pipewire-jack keeps every port's
  // buffer past jack_client_close() (a client that unregisters its ports and closes shows it
  // too), which the tests' suppressions name. Without them each run would end in a leak report.
  if (qEnvironmentVariableIsEmpty("LSAN_OPTIONS"))
    qputenv("LSAN_OPTIONS", "suppressions=" TARVIK_LSAN_SUPPRESSIONS ":print_suppressions=0");
  tarvik::testing::PipeWireRig pipewire;
  pipewire.quantum = kQuantum;
  if (pipewire.startServer() != tarvik::testing::PipeWireRig::Start::Up) {
    std::fprintf(stderr, "bench_pipewire: %s\n", qPrintable(pipewire.startProblem()));
    return 1;
  }
  const QString failure = pipewire.startSimulator(QStringLiteral(TARVIK_SIM_PATH),
                                                  {QStringLiteral("--seed"), QStringLiteral("42")});
  if (!failure.isEmpty()) {
    std::fprintf(stderr, "bench_pipewire: %s\n", qPrintable(failure));
    return 1;
  }
  QTemporaryDir dir;
  const QString saved = dir.filePath(QStringLiteral("seed42.tvk"));
  std::vector<double> backups;
  std::vector<double> restores;
  // The first run of each pays for the page cache and the server's first client connections.
  for (int i = 0; i <= kSamples; ++i) {
    const double backup = runOnce({QStringLiteral("backup"), saved});
    const double restore = backup < 0 ? -1 : runOnce({QStringLiteral("restore"), saved});
    if (backup < 0 || restore < 0) return 1;
    if (i == 0) continue;
    backups.push_back(backup);
    restores.push_back(restore);
  }
  pipewire.stopSimulator();
  pipewire.stopServer();

  const double backupRatio = tarvik::bench::median(backups) / floorMs(11);
  const double restoreRatio = tarvik::bench::median(restores) / floorMs(15);
  std::printf("pipewire_quantum: %d frames at %d Hz\n", kQuantum, kSampleRate);
  std::printf("pipewire_cli_backup_wall: %.0f ms (floor %.0f ms)\n", tarvik::bench::median(backups),
              floorMs(11));
  std::printf("pipewire_cli_backup_floor_ratio: %.2f (target <= %.2f)\n", backupRatio, kTarget);
  std::printf("pipewire_cli_restore_wall: %.0f ms (floor %.0f ms)\n",
              tarvik::bench::median(restores), floorMs(15));
  std::printf("pipewire_cli_restore_floor_ratio: %.2f (target <= %.2f)\n", restoreRatio, kTarget);
  return backupRatio <= kTarget && restoreRatio <= kTarget ? 0 : 1;
}
