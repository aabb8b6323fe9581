// SPDX-License-Identifier: MIT
// `tarvik-cli backup` as a user runs it: a process of its own against tarvik-sim over a JACK
// server of ours (dummy driver, short period), wall time from spawn to exit, and the process's
// peak memory.
//
// Wall time: start-up and the port lists wait on the CPU, the exchanges with the device mostly on
// the server's cycles, so the machine's speed moves the two parts differently and milliseconds
// cannot be judged, nor can a ratio to `ports` alone (about 1.8 on a slow machine, 3.2 on a fast
// one). The reference drifts both ways: the same program's `ports` (start-up and the lists), run
// beside each backup, plus the protocol's own floor at the server's period: eleven exchanges
// (seven identifies, four downloads), each a request carried in one cycle and its reply in the
// next. What the backup adds beyond these is opening and closing the pair and the program's
// work per reply. The target was set from two phases of a shared two-core machine: other
// programs compiling on both cores (load 4.5 to 6.2: 1.56, 2.05, 1.70) and that with two busy
// loops beside them (load 7.5: 1.45, 1.63); a fast idle machine's figures (`ports` 39 ms,
// backup 128 ms) give 1.87.
//
// Peak memory: the kernel's peak resident set of the process (ru_maxrss, VmHWM) holds the JACK
// server's shared memory, which every client of the server maps and touches (about 100 MB with
// the dummy driver); its size is the server's, set by its port count and buffers, not the
// program's. The figure with a target is the program's own peak: that peak less the shared
// memory a tarvik-cli has resident on the same server (RssShmem, read from a running `monitor`,
// whose JACK clients map the same segments). The segments stay mapped from the MIDI service's
// start to its end, so they are part of the peak the kernel reports. Both are printed.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <optional>
#include <vector>

#include "bench/BenchStats.h"
#include "support/JackRig.h"

extern char** environ;

namespace {

using namespace tarvik;

constexpr int kPairs = 11;
constexpr int kPeriodFrames = 64;
constexpr int kSampleRate = 48000;
constexpr int kExchanges = 11;
constexpr double kRatioTarget = 2.2;
constexpr double kPeakMemoryTargetMb = 25.0;

struct Run {
  bool ok = false;
  double wallMs = 0;
  double peakMb = 0;  // the child's maximum resident set (VmHWM)
  QByteArray err;
};

// Starts the program with its standard output going nowhere and its standard error to `errFd`;
// 0 when it could not be started.
pid_t spawnCli(const QStringList& arguments, int errFd) {
  std::vector<QByteArray> texts = {QFile::encodeName(QStringLiteral(TARVIK_CLI_PATH))};
  for (const QString& argument : arguments) texts.push_back(QFile::encodeName(argument));
  std::vector<char*> argv;
  for (QByteArray& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : 0;
}

// Spawns the program and waits for it with wait4, which reports that child's own peak memory.
Run runCli(const QStringList& arguments, const QString& errPath) {
  Run run;
  const int errFd =
      open(QFile::encodeName(errPath).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (errFd < 0) return run;
  QElapsedTimer clock;
  clock.start();
  const pid_t pid = spawnCli(arguments, errFd);
  close(errFd);
  if (pid == 0) return run;
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

// Runs the program, or says why it failed.
std::optional<Run> runOk(const QStringList& arguments, const QString& errPath) {
  Run run = runCli(arguments, errPath);
  if (run.ok) return run;
  std::fprintf(stderr, "bench_cli: tarvik-cli %s failed:\n%s\n",
               qPrintable(arguments.join(QLatin1Char(' '))), run.err.constData());
  return std::nullopt;
}

// What a running tarvik-cli with its JACK clients open holds, in MB: its own memory (anonymous
// and file pages) and the shared memory it maps, which under JACK is the server's segment that
// every client maps. Read from the monitor, which stays up until told to stop.
struct Resident {
  double ownMb = 0;
  double sharedMb = 0;
};
std::optional<Resident> residentWhileOpen() {
  int pipeEnds[2];
  // Both ends close at the exec; the child's standard error is a copy that stays open.
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t pid = spawnCli({QStringLiteral("monitor")}, pipeEnds[1]);
  close(pipeEnds[1]);
  if (pid == 0) {
    close(pipeEnds[0]);
    return std::nullopt;
  }
  // It says so once its input port is open.
  QByteArray said;
  char buffer[512];
  ssize_t got = 0;
  while (!said.contains("monitoring ") && (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
    said.append(buffer, got);
  std::optional<Resident> resident;
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (said.contains("monitoring ") && status.open(QIODevice::ReadOnly)) {
    Resident values;
    for (const QByteArray& line : status.readAll().split('\n')) {
      const QList<QByteArray> fields = line.simplified().split(' ');
      if (fields.size() < 2) continue;
      const double mb = fields[1].toDouble() / 1024.0;
      if (fields[0] == "RssAnon:" || fields[0] == "RssFile:") values.ownMb += mb;
      if (fields[0] == "RssShmem:") values.sharedMb = mb;
    }
    resident = values;
  }
  kill(pid, SIGTERM);
  int exitStatus = 0;
  waitpid(pid, &exitStatus, 0);
  close(pipeEnds[0]);
  return resident;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::JackRig jack;
  jack.periodFrames = kPeriodFrames;
  if (const QString problem = jack.startWithSimulator(
          QStringLiteral(TARVIK_SIM_PATH), {QStringLiteral("--seed"), QStringLiteral("7")});
      !problem.isEmpty()) {
    std::fprintf(stderr, "bench_cli: %s\n", qPrintable(problem));
    return 1;
  }
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("backup.tvk"));
  const QString errPath = dir.filePath(QStringLiteral("stderr.txt"));

  const QStringList backup = {QStringLiteral("backup"), file};
  const QStringList ports = {QStringLiteral("ports")};
  // The first run pays for the page cache and the JACK server's first client connections.
  const std::optional<Run> warmUp = runOk(backup, errPath);
  if (!warmUp) return 1;
  double peakMb = warmUp->peakMb;
  // Each pair runs close together, so that both meet the machine in the same phase; the order
  // alternates, so that any after-effect of one run on the next stays out of the differences.
  std::vector<double> backupMs;
  std::vector<double> portsMs;
  std::vector<double> beyondPortsMs;
  std::vector<double> ratios;
  const double periodMs = kPeriodFrames * 1e3 / kSampleRate;
  const double floorMs = kExchanges * 2 * periodMs;
  for (int pair = 0; pair < kPairs; ++pair) {
    std::optional<Run> listed;
    if (pair % 2 == 0) listed = runOk(ports, errPath);
    const std::optional<Run> backedUp = runOk(backup, errPath);
    if (pair % 2 != 0) listed = runOk(ports, errPath);
    if (!listed || !backedUp) return 1;
    peakMb = std::max(peakMb, backedUp->peakMb);
    backupMs.push_back(backedUp->wallMs);
    portsMs.push_back(listed->wallMs);
    beyondPortsMs.push_back(backedUp->wallMs - listed->wallMs);
    ratios.push_back(backedUp->wallMs / (listed->wallMs + floorMs));
  }
  const std::optional<Resident> resident = residentWhileOpen();
  jack.stopSimulator();
  jack.stopServer();

  const double ratio = bench::median(ratios);
  std::printf("jack_period: %d frames at %d Hz (%.2f ms)\n", kPeriodFrames, kSampleRate, periodMs);
  std::printf("cli_backup_wall_time: %.1f ms\n", bench::median(backupMs));
  std::printf("cli_ports_wall_time: %.1f ms\n", bench::median(portsMs));
  std::printf("cli_backup_wall_less_ports: %.1f ms\n", bench::median(beyondPortsMs));
  std::printf("cli_backup_protocol_floor: %.1f ms\n", floorMs);
  if (!resident) return bench::failed("bench_cli: no memory figures from a running tarvik-cli");
  std::printf("cli_monitor_resident_own: %.1f MB\n", resident->ownMb);
  std::printf("cli_jack_shared_segment_resident: %.1f MB\n", resident->sharedMb);
  std::printf("cli_peak_memory_with_shared_segment: %.1f MB\n", peakMb);
  const double ownPeakMb = peakMb - resident->sharedMb;
  std::printf("cli_backup_over_ports_and_floor: %.2f (target <= %.1f)\n", ratio, kRatioTarget);
  std::printf("cli_own_peak_memory: %.1f MB (target <= %.1f MB)\n", ownPeakMb, kPeakMemoryTargetMb);
  return ratio <= kRatioTarget && ownPeakMb <= kPeakMemoryTargetMb ? 0 : 1;
}
