// SPDX-License-Identifier: MIT
// `tarvik-cli backup` as a user runs it: a process of its own against tarvik-sim over a JACK
// server of ours (dummy driver, short period), wall time from spawn to exit set beside the time
// the same bytes take on a DIN MIDI wire, and the process's peak memory.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "bench/BenchStats.h"
#include "link/Framing.h"
#include "support/JackRig.h"

extern char** environ;

namespace {

using namespace tarvik;

constexpr int kSamples = 9;
constexpr int kPeriodFrames = 64;
constexpr int kSampleRate = 48000;
// 31,250 baud, ten bits a byte.
constexpr double kDinBytesPerSecond = 3125.0;
// RtMidiService waits this long after opening each JACK port (two per run).
constexpr double kPortSettleMs = 64.0;
constexpr double kPeakMemoryTargetMb = 25.0;

class CountingPort : public LinkPort {
 public:
  void SendByte(std::uint8_t value) override { bytes += nibbleFrame(value).size(); }
  std::size_t bytes = 0;
};

// Every byte of a connect with the full download, both ways: seven identifies and their
// replies, then the four download commands and their replies.
std::size_t backupWireBytes() {
  CountingPort port;
  std::size_t replies = 0;
  for (int i = 0; i < 7; ++i) {
    sendCommand(port, Command::Identify);
    replies += buildReplyFrame(1, std::vector<std::uint8_t>(2)).size();
  }
  const struct {
    Command command;
    std::size_t items;
  } downloads[] = {{Command::DownloadPresets, kTableSize},
                   {Command::DownloadConfig, kConfigRecordSize},
                   {Command::DownloadCcMap, kTableSize},
                   {Command::DownloadPcRemap, kTableSize}};
  for (const auto& download : downloads) {
    sendCommand(port, download.command);
    replies += buildReplyFrame(static_cast<std::uint8_t>(download.command),
                               std::vector<std::uint8_t>(download.items))
                   .size();
  }
  return port.bytes + replies;
}

struct Run {
  bool ok = false;
  double wallMs = 0;
  double peakMb = 0;  // the child's maximum resident set (VmHWM)
  QByteArray err;
};

// Spawns the program and waits for it with wait4, which reports that child's own peak memory.
Run runCli(const QString& cliPath, const QString& file, const QString& errPath) {
  Run run;
  const QByteArray program = QFile::encodeName(cliPath);
  const QByteArray target = QFile::encodeName(file);
  const QByteArray errFile = QFile::encodeName(errPath);
  std::vector<char*> argv = {const_cast<char*>(program.constData()), const_cast<char*>("backup"),
                             const_cast<char*>(target.constData()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  QElapsedTimer clock;
  clock.start();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return run;
  run.wallMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  QFile errors(errPath);
  if (errors.open(QIODevice::ReadOnly)) run.err = errors.readAll();
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::JackRig jack;
  jack.periodFrames = kPeriodFrames;
  if (const QString problem = jack.startServer(); !problem.isEmpty()) {
    std::fprintf(stderr, "bench_cli: %s\n", qPrintable(problem));
    return 1;
  }
  if (const QString problem = jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH),
                                                  {QStringLiteral("--seed"), QStringLiteral("7")});
      !problem.isEmpty()) {
    std::fprintf(stderr, "bench_cli: %s\n", qPrintable(problem));
    return 1;
  }
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("backup.tvk"));
  const QString errPath = dir.filePath(QStringLiteral("stderr.txt"));

  // The first run pays for the page cache and the JACK server's first client connections.
  Run warmUp = runCli(QStringLiteral(TARVIK_CLI_PATH), file, errPath);
  if (!warmUp.ok) {
    std::fprintf(stderr, "bench_cli: tarvik-cli backup failed:\n%s\n", warmUp.err.constData());
    return 1;
  }
  std::vector<double> walls;
  double peakMb = warmUp.peakMb;
  for (int i = 0; i < kSamples; ++i) {
    const Run run = runCli(QStringLiteral(TARVIK_CLI_PATH), file, errPath);
    if (!run.ok) {
      std::fprintf(stderr, "bench_cli: tarvik-cli backup failed:\n%s\n", run.err.constData());
      return 1;
    }
    walls.push_back(run.wallMs);
    peakMb = std::max(peakMb, run.peakMb);
  }
  jack.stopSimulator();
  jack.stopServer();

  const std::size_t wireBytes = backupWireBytes();
  const double wireMs = static_cast<double>(wireBytes) / kDinBytesPerSecond * 1e3;
  const double wallMs = bench::median(walls);
  const double wallTargetMs = wireMs / 2;
  std::printf("jack_period: %d frames at %d Hz (%.2f ms)\n", kPeriodFrames, kSampleRate,
              kPeriodFrames * 1e3 / kSampleRate);
  std::printf("cli_backup_wire_bytes: %zu bytes\n", wireBytes);
  std::printf("cli_backup_din_wire_time: %.1f ms\n", wireMs);
  std::printf("cli_backup_wall_min: %.1f ms\n", *std::min_element(walls.begin(), walls.end()));
  std::printf("cli_backup_port_settle_sleeps: %.1f ms\n", 2 * kPortSettleMs);
  std::printf("cli_backup_wall_less_settle_sleeps: %.1f ms\n", wallMs - 2 * kPortSettleMs);
  std::printf("cli_backup_wall_time: %.1f ms (target <= %.1f)\n", wallMs, wallTargetMs);
  std::printf("cli_peak_memory: %.1f MB (target <= %.1f)\n", peakMb, kPeakMemoryTargetMb);
  return wallMs <= wallTargetMs && peakMb <= kPeakMemoryTargetMb ? 0 : 1;
}
