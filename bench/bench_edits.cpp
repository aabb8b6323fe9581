// SPDX-License-Identifier: MIT
// The program's window over the in-process Tarvik: what it costs to mark the values that
// differ from the device once a download of all four blocks has come in, and to undo such a
// download, each up to the repainted window. The targets are on the window thread's CPU time;
// the wall time, which on a busy machine also counts waiting for a core, is shown beside. Last,
// the heap the undo history holds after an evening's worth of single edits.
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "app/EditTracking.h"
#include "app/TForm1.h"
#include "bench/BenchStats.h"
#include "bench/ConnectedWindow.h"
#include "core/CoreParts.h"

namespace {

// The bytes that operator new has handed out and not yet got back. Counted here rather than
// asked of the C library, whose heap statistics AddressSanitizer's allocator leaves empty.
std::atomic<long long> heapInUse{0};

void* counted(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  heapInUse.fetch_add(static_cast<long long>(malloc_usable_size(block)), std::memory_order_relaxed);
  return block;
}

void release(void* block) noexcept {
  if (block == nullptr) return;
  heapInUse.fetch_sub(static_cast<long long>(malloc_usable_size(block)), std::memory_order_relaxed);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return counted(size); }
void* operator new[](std::size_t size) { return counted(size); }
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t) noexcept { release(block); }

namespace {

using tarvik::Block;

constexpr double kMarkTargetMs = 2.0;
constexpr double kUndoTargetMs = 2.0;
constexpr int kHistoryEdits = 10000;
constexpr double kHistoryTargetKiB = 1024;
constexpr int kSamples = 301;
constexpr Block kBlocks[] = {Block::Presets, Block::CcMap, Block::PcRemap, Block::Record};

// Puts one of two full sets of contents into the configuration, as the four download replies
// do; every value differs between the two sets.
void applyDownload(tarvik::Configuration& configuration, int which) {
  tarvik::PresetTables::Payload table{};
  table.fill(static_cast<std::uint8_t>(which == 0 ? 0x55 : 0xAA));
  configuration.applyPresets(table);
  table.fill(static_cast<std::uint8_t>(which == 0 ? 1 : 2));
  configuration.applyCcMap(table);
  table.fill(static_cast<std::uint8_t>(which == 0 ? 10 : 20));
  configuration.applyPcRemap(table);
  tarvik::ConfigRecord record;
  record.debounceTime = which == 0 ? 50 : 90;
  record.omniMode = which != 0;
  record.muteMask = which == 0 ? 0x0F : 0xF0;
  record.lockMask = which == 0 ? 0x03 : 0x0C;
  configuration.applyRecord(record.toBytes());
}

// CPU time of the window's thread, where all of this work happens. On a machine shared with
// other jobs the wall clock also counts the time the thread waited for a core; this does not.
double threadCpuMs() { return tarvik::bench::cpuMs(CLOCK_THREAD_CPUTIME_ID); }

// Wall time and the thread's CPU time since start().
struct Stopwatch {
  void start() {
    wall.start();
    cpuStart = threadCpuMs();
  }
  double wallMs() const { return static_cast<double>(wall.nsecsElapsed()) / 1e6; }
  double cpuMs() const { return threadCpuMs() - cpuStart; }
  QElapsedTimer wall;
  double cpuStart = 0;
};

// Per sample: the work up to the views being told (`work`, thread CPU time), and with the
// window repainted (`cpu` and `wall`).
struct Samples {
  Samples() {
    work.reserve(kSamples);
    cpu.reserve(kSamples);
    wall.reserve(kSamples);
  }
  void told(const Stopwatch& watch) { work.push_back(watch.cpuMs()); }
  void painted(const Stopwatch& watch) {
    cpu.push_back(watch.cpuMs());
    wall.push_back(watch.wallMs());
  }
  std::vector<double> work;
  std::vector<double> cpu;
  std::vector<double> wall;
};

}  // namespace

int main(int argc, char** argv) {
  tarvik::bench::offscreenUnlessChosen();
  QApplication app(argc, argv);

  tarvik::bench::ConnectedWindow window;
  tarvik::TForm1& form = window.form;
  if (!window.connect())
    return tarvik::bench::failed(
        "bench_edits: the connect to the in-process Tarvik did not complete");

  tarvik::Configuration& configuration = window.core.configuration();
  tarvik::ChangeMarks& marks = tarvik::CoreParts::marks(window.core);
  tarvik::EditHistory& history = form.edits().history();

  // Marking: the configuration holds a download every value of which differs from the
  // device's previous contents, so everything is marked; then the marks follow the device's
  // new contents (all of them vanish) and the window repaints.
  Samples marking;
  for (int sample = 0; sample < kSamples; ++sample) {
    applyDownload(configuration, sample % 2);
    QApplication::processEvents();
    Stopwatch watch;
    watch.start();
    for (Block block : kBlocks) marks.deviceReceived(block);
    marking.told(watch);
    QApplication::processEvents();
    marking.painted(watch);
  }

  // Undo: a download recorded as one step, as the window records it, is taken back.
  Samples undoing;
  for (int sample = 0; sample < kSamples; ++sample) {
    history.beginStep(QStringLiteral("read configuration from Tarvik"));
    applyDownload(configuration, sample % 2);
    history.endStep();
    QApplication::processEvents();
    Stopwatch watch;
    watch.start();
    history.undo();
    undoing.told(watch);
    QApplication::processEvents();
    undoing.painted(watch);
  }

  // The history's memory: 10,000 edits of one cell each, counted from an empty history as the
  // heap in use (each step holds the configuration before and after it).
  history.stack().clear();
  QApplication::processEvents();
  const auto heapBefore = static_cast<double>(heapInUse.load());
  for (int edit = 1; edit <= kHistoryEdits; ++edit) {
    configuration.chooseCc(edit % 100, edit % 8 + 1);
  }
  const double historyKiB = (static_cast<double>(heapInUse.load()) - heapBefore) / 1024.0;

  const double markMs = tarvik::bench::median(marking.cpu);
  const double undoMs = tarvik::bench::median(undoing.cpu);
  std::printf("marks_after_download_cpu: %.2f ms (target <= %.0f ms)\n", markMs, kMarkTargetMs);
  std::printf("undo_download_cpu: %.2f ms (target <= %.0f ms)\n", undoMs, kUndoTargetMs);
  std::printf("undo_history_after_10000_edits: %.0f KiB (target <= %.0f KiB)\n", historyKiB,
              kHistoryTargetKiB);
  std::printf("marks_after_download_wall: %.2f ms\n", tarvik::bench::median(marking.wall));
  std::printf("undo_download_wall: %.2f ms\n", tarvik::bench::median(undoing.wall));
  std::printf("marks_after_download_before_repaint: %.3f ms\n",
              tarvik::bench::median(marking.work));
  std::printf("undo_download_before_repaint: %.3f ms\n", tarvik::bench::median(undoing.work));
  return markMs <= kMarkTargetMs && undoMs <= kUndoTargetMs && historyKiB <= kHistoryTargetKiB ? 0
                                                                                               : 1;
}
