// SPDX-License-Identifier: MIT
// What the MIDI libraries say is the detail of a failure only: of the start-up problem while the
// MIDI system was reached, else of the next failure, which takes it once.
#include <QtTest>

#include "core/MidiSystem.h"
#include "midi/MidiLog.h"

using namespace tarvik;

namespace {

// Says `atStart` while it reaches its system, finds `problem`, then says `later`.
class TalkingService : public PlatformMidiService {
 public:
  TalkingService(QStringList atStart, QString problem, QStringList later)
      : atStart_(std::move(atStart)), problem_(std::move(problem)), later_(std::move(later)) {}
  void startInBackground() override {
    for (const QString& line : atStart_) qCInfo(midiLibraryLog).noquote() << line;
    started_ = true;
    for (auto& waiter : waiters_) waiter();
    for (const QString& line : later_) qCInfo(midiLibraryLog).noquote() << line;
  }
  void whenStarted(std::function<void()> started) override {
    if (started_) return started();
    waiters_.push_back(std::move(started));
  }
  std::string startupProblem() const override { return problem_.toStdString(); }

 private:
  QStringList atStart_;
  QString problem_;
  QStringList later_;
  bool started_ = false;
  std::vector<std::function<void()>> waiters_;
};

}  // namespace

class TestMidiSystem : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void libraryLinesAreDetailOfAFailureOnly_data() {
    QTest::addColumn<QStringList>("atStart");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QStringList>("later");
    QTest::addColumn<QStringList>("withTheProblem");
    QTest::addColumn<QStringList>("forTheNextFailure");
    const QStringList noise{
        QStringLiteral("ALSA lib seq_hw.c:466:(snd_seq_hw_open) open /dev/snd/seq failed"),
        QStringLiteral("jack server is not running or cannot be started")};
    QTest::newRow("the start-up problem carries what was said while reaching")
        << noise << QStringLiteral("No MIDI ports are available") << QStringList{} << noise
        << QStringList{};
    // ALSA's missing sequencer on the way to JACK is not what a later failure on JACK is about.
    QTest::newRow("a start that worked keeps only what was said after it")
        << QStringList{noise[0]} << QString() << QStringList{noise[1]} << QStringList{}
        << QStringList{noise[1]};
    QTest::newRow("a quiet start keeps nothing")
        << QStringList{} << QString() << QStringList{} << QStringList{} << QStringList{};
  }
  void libraryLinesAreDetailOfAFailureOnly() {
    QFETCH(QStringList, atStart);
    QFETCH(QString, problem);
    QFETCH(QStringList, later);
    QFETCH(QStringList, withTheProblem);
    QFETCH(QStringList, forTheNextFailure);
    MidiSystem midi([](const QString&) {});
    QStringList detail;
    QString reported;
    midi.start(std::make_unique<TalkingService>(atStart, problem, later), false,
               [&](const QString& found) {
                 reported = found;
                 if (!found.isEmpty()) detail = midi.libraryLines();
               });
    QCOMPARE(reported, problem);
    QCOMPARE(detail, withTheProblem);
    QCOMPARE(midi.libraryLines(), forTheNextFailure);
    QCOMPARE(midi.libraryLines(), QStringList{});
  }
};

QTEST_GUILESS_MAIN(TestMidiSystem)
#include "test_midi_system.moc"
