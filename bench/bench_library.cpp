// SPDX-License-Identifier: MIT
// The library of setups at the size a long-time user reaches: 10,000 setups and 1,000 snapshots
// in a fresh file in a temporary folder. How long typing a letter into the filter takes, storing
// one setup, comparing two, importing 1,000 files, and how much file a setup costs. Each time
// is the median of repeated runs.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "bench/BenchStats.h"
#include "config/ConfigDiff.h"
#include "config/FullBackup.h"
#include "config/ui/EditHistory.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"
#include "library/chart/SetChart.h"
#include "sim/InProcessTarvik.h"

namespace {

using namespace tarvik;

constexpr int kSetups = 10000;
constexpr int kSnapshots = 1000;
constexpr int kImportFiles = 1000;
constexpr int kImportRuns = 5;

const QStringList kWords{"Blues",     "Metal",  "Funk",   "Jazz",     "Clean",
                         "Crunch",    "Lead",   "Rhythm", "Ambient",  "Worship",
                         "Rehearsal", "Studio", "Club",   "Festival", "Acoustic",
                         "Country",   "Punk",   "Reggae", "Soul",     "Opener"};

QString word(QRandomGenerator& random) { return kWords[random.bounded(kWords.size())]; }

// Contents as a user would keep: every byte of the blocks set, a note of a few words, and names
// for eight of the presets.
Setup setupFor(QRandomGenerator& random, const QString& name) {
  Setup setup;
  setup.name = name;
  setup.note = QStringLiteral("%1 set for the %2 gig, %3 board")
                   .arg(word(random), word(random), word(random));
  for (int row = 0; row < kTableSize; ++row) {
    setup.bytes.presets[row] = static_cast<std::uint8_t>(random.bounded(256));
    setup.bytes.ccMap[row] = static_cast<std::uint8_t>(random.bounded(PresetTables::kCcItems));
    setup.bytes.pcRemap[row] =
        static_cast<std::uint8_t>(random.bounded(PresetTables::kPcRemapItems));
  }
  ConfigBytes::Settings settings{};
  for (auto& byte : settings) byte = static_cast<std::uint8_t>(random.bounded(128));
  setup.bytes.settings = settings;
  for (int i = 0; i < 8; ++i) {
    setup.names.setName(random.bounded(kTableSize),
                        QStringLiteral("%1 %2").arg(word(random)).arg(i + 1));
  }
  return setup;
}

// Runs `work` and adds the milliseconds it took to `samples`; hands back what it returned.
template <typename Work>
auto timed(std::vector<double>& samples, Work work) {
  QElapsedTimer timer;
  timer.start();
  auto result = work();
  samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  return result;
}

bool report(const char* name, double value, const char* unit, double target) {
  std::printf("%s: %.3f %s (target <= %g %s)\n", name, value, unit, target, unit);
  return value <= target;
}

bool fail(const QString& why) {
  std::fprintf(stderr, "%s\n", qPrintable(why));
  return false;
}

int failed(const QString& why) {
  fail(why);
  return 1;
}

bool fill(SetupLibrary& library, QRandomGenerator& random) {
  for (int batch = 0; batch < kSetups / 1000; ++batch) {
    QList<Setup> setups;
    for (int i = 0; i < 1000; ++i) {
      const int n = batch * 1000 + i;
      setups.append(
          setupFor(random, QStringLiteral("%1 %2 %3").arg(word(random), word(random)).arg(n)));
    }
    const SetupStore::BatchOutcome stored = library.setups().storeAll(setups, IfExists::Refuse);
    if (!stored.ok()) return fail(stored.error);
  }
  for (int i = 0; i < kSnapshots; ++i) {
    const Result<bool> added =
        library.history().add(QStringLiteral("download"), setupFor(random, QString()).bytes);
    if (!added.ok()) return fail(added.error);
  }
  return true;
}

// The whole file, log included, after the log has gone into the file.
double bytesPerSetup(SetupLibrary& library) {
  QSqlQuery query(library.connection().database());
  query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
  const QString path = library.connection().path();
  const qint64 bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
  return static_cast<double>(bytes) / kSetups;
}

// A set of 30 songs, each a preset of a setup of the library, with a note.
SetList setOf30(QRandomGenerator& random, const QList<SetupSummary>& setups,
                SetupLibrary& library) {
  SetList set{QStringLiteral("Festival"), {}};
  for (int i = 0; i < 30; ++i) {
    const Setup setup = *library.setups().setup(setups[random.bounded(setups.size())].name).value;
    const PresetTables tables = setup.bytes.tables();
    const int row = random.bounded(kTableSize);
    set.songs.append({QStringLiteral("%1 %2 song").arg(word(random), word(random)),
                      QStringLiteral("%1 intro").arg(word(random)),
                      {tables.mask(row), tables.pcRemap(row), setup.names.name(row)},
                      setup.name,
                      row + 1,
                      {}});
  }
  return set;
}

// Arranging a set into the editors as the window does, one undo step each time, two sets in
// turn so that every run changes the presets; then the set chart as a PDF file's bytes.
bool benchSets(SetupLibrary& library, QRandomGenerator& random) {
  const QList<SetupSummary> setups = *library.setups().list().value;
  const SetList sets[] = {setOf30(random, setups, library), setOf30(random, setups, library)};
  SimulatedMidi device;
  ConfiguratorCore core(device.ports());
  EditHistory history(core.configuration());
  std::vector<double> samples;
  for (int i = 0; i < 41; ++i) {
    const bool arranged = timed(samples, [&] {
      history.beginStep(QStringLiteral("arrange"));
      const bool done = core.arrangeSet(sets[i % 2]);
      history.endStep();
      return done;
    });
    if (!arranged) return fail(QStringLiteral("the core refused to arrange"));
  }
  bool met = report("arrange_30_songs", bench::median(samples), "ms", 16);
  samples.clear();
  for (int i = 0; i < 11; ++i) {
    const std::optional<QByteArray> pdf =
        timed(samples, [&] { return SetChart::pdf(sets[i % 2]); });
    if (!pdf) return fail(QStringLiteral("the chart could not be drawn"));
  }
  met &= report("set_chart_pdf", bench::median(samples), "ms", 200);
  return met;
}

}  // namespace

int main(int argc, char** argv) {
  // The chart draws text, which needs a platform for its fonts; it needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QTemporaryDir dir;
  if (!dir.isValid()) return failed(QStringLiteral("no temporary folder"));
  SetupLibrary::Opened opened = SetupLibrary::open(dir.filePath(QStringLiteral("library.sqlite")));
  if (!opened.library) return failed(opened.error);
  SetupLibrary& library = *opened.library;
  QRandomGenerator random(20240501);
  if (!fill(library, random)) return 1;
  bool met = true;

  met &= report("library_file_per_setup", bytesPerSetup(library), "bytes", 2048);
  {
    // Opening checks the whole file (a damaged one is refused before anything is written to
    // it), so it grows with the library. Information only.
    std::vector<double> samples;
    for (int i = 0; i < 5; ++i) {
      const SetupLibrary::Opened again =
          timed(samples, [&] { return SetupLibrary::open(library.connection().path()); });
      if (!again.library) return failed(again.error);
    }
    std::printf("library_open: %.3f ms\n", bench::median(samples));
  }

  {
    std::vector<double> samples;
    std::vector<double> matches;
    for (int round = 0; round < 3; ++round) {
      for (char letter = 'a'; letter <= 'z'; ++letter) {
        const auto list =
            timed(samples, [&] { return library.setups().list(QString(QLatin1Char(letter))); });
        if (!list.ok()) return failed(list.error);
        matches.push_back(static_cast<double>(list.value->size()));
      }
    }
    std::printf("library_filter_letter_matches: %.0f setups\n", bench::median(matches));
    met &= report("library_filter_letter", bench::median(samples), "ms", 16);
  }

  {
    std::vector<double> samples;
    for (int i = 0; i < 51; ++i) {
      const Setup setup = setupFor(random, QStringLiteral("Stored %1").arg(i));
      const Outcome stored = timed(samples, [&] { return library.setups().store(setup); });
      if (!stored.ok()) return failed(stored.error);
    }
    met &= report("library_store_one", bench::median(samples), "ms", 10);
  }

  {
    // The filter reads the file again after a change (SetupStore::list): the first letter typed
    // after storing a setup pays for that read. Information only.
    std::vector<double> samples;
    for (int i = 0; i < 15; ++i) {
      if (!library.setups().store(setupFor(random, QStringLiteral("Changed %1").arg(i))).ok()) {
        return failed(QStringLiteral("storing before the reread failed"));
      }
      const auto list = timed(samples, [&] { return library.setups().list(QStringLiteral("e")); });
      if (!list.ok()) return failed(list.error);
    }
    std::printf("library_filter_after_a_change: %.3f ms\n", bench::median(samples));
  }

  {
    const QList<SetupSummary> all = *library.setups().list().value;
    std::vector<double> samples;
    int lines = 0;
    for (int i = 0; i < 101; ++i) {
      const QString first = all[random.bounded(all.size())].name;
      const QString second = all[random.bounded(all.size())].name;
      QElapsedTimer timer;
      timer.start();
      const Result<Setup> a = library.setups().setup(first);
      const Result<Setup> b = library.setups().setup(second);
      if (!a.ok() || !b.ok()) return failed(a.error + b.error);
      lines += static_cast<int>(ConfigDiff::lines({a.value->bytes, a.value->names, {}},
                                                  {b.value->bytes, b.value->names, {}})
                                    .size());
      samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("library_compare_lines: %d lines a pair\n", lines / 101);
    met &= report("library_compare_two", bench::median(samples), "ms", 1);
  }

  {
    std::vector<double> samples;
    ConfigRecord record;
    record.magicFunction = 0;
    for (int run = 0; run < kImportRuns; ++run) {
      const QString folder = dir.filePath(QStringLiteral("import %1").arg(run));
      QDir().mkpath(folder);
      QStringList paths;
      for (int i = 0; i < kImportFiles; ++i) {
        const Setup setup = setupFor(random, {});
        QFile file(QStringLiteral("%1/run %2 file %3.tvk").arg(folder).arg(run).arg(i));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(
                FullBackup::serialize(setup.bytes.tables(), record.toBytes(), setup.names)) <= 0) {
          return failed(file.fileName() + QStringLiteral(": cannot be written"));
        }
        paths.append(file.fileName());
      }
      const Result<QStringList> imported =
          timed(samples, [&] { return library.importFiles(paths, IfExists::Refuse); });
      if (!imported.ok() || imported.value->size() != kImportFiles) {
        return failed(imported.error);
      }
    }
    met &= report("library_import_1000_files", bench::median(samples), "ms", 2000);
  }
  met &= benchSets(library, random);
  return met ? 0 : 1;
}
