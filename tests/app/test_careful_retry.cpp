// SPDX-License-Identifier: MIT
// "Try again carefully": a window's transfer that failed because the virtual Tarvik stopped
// answering is offered once more; pressed, the same transfer runs again with the careful care,
// once, and the care chosen on the Midi tab holds again after it.
#include <QSpinBox>
#include <QTemporaryDir>
#include <vector>

#include "WindowRig.h"
#include "config/TvkFile.h"
#include "core/CoreParts.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using tarvik::testing::kTimeoutThatFiresMs;
using tarvik::testing::kTimeoutThatMustNotFireMs;
using tarvik::testing::kWaitMs;
using tarvik::testing::WindowRig;

namespace {

enum class Transfer { Connect, SubmitPresets, Restore, Backup };

// The care the core had at each command the device received.
struct CareOnTheWire {
  CareOnTheWire(InProcessTarvik& tarvik, const ConfiguratorCore& core) {
    QObject::connect(&tarvik, &InProcessTarvik::logLine, &context,
                     [this, &core] { seen.push_back(core.transferCare()); });
  }
  bool allWere(const TransferCare& care) const {
    return !seen.empty() &&
           std::all_of(seen.begin(), seen.end(), [&](const TransferCare& c) { return c == care; });
  }
  QObject context;
  std::vector<TransferCare> seen;
};

// Serves the event loop until the core is idle and `done` holds.
bool awaitIdle(ConfiguratorCore& core, const std::function<bool()>& done) {
  QSignalSpy busy(&core, &ConfiguratorCore::busyChanged);
  while (core.busy() || !done()) {
    if (!busy.wait(kWaitMs)) return false;
  }
  return true;
}

}  // namespace

Q_DECLARE_METATYPE(Transfer)

class CarefulRetryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private Q_SLOTS:
  void aTransferThatLostRepliesRunsAgainCarefullyOnce_data() {
    QTest::addColumn<Transfer>("transfer");
    // How many of the transfer's commands the device answers before it falls silent.
    QTest::addColumn<int>("answered");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QString>("succeeded");  // the event-log line of the careful try's success
    QTest::newRow("a connect silent after its identify")
        << Transfer::Connect << 1 << true << "download programm change remap table complete";
    QTest::newRow("submit presets")
        << Transfer::SubmitPresets << 0 << true << "transmission successful";
    QTest::newRow("restore everything, its read-back silent")
        << Transfer::Restore << 1 << true << "Restore verified: ";
    QTest::newRow("back up everything into the same file")
        << Transfer::Backup << 1 << true << "Backup written to ";
    QTest::newRow("OK sends nothing again") << Transfer::SubmitPresets << 0 << false << "";
  }
  void aTransferThatLostRepliesRunsAgainCarefullyOnce() {
    QFETCH(Transfer, transfer);
    QFETCH(int, answered);
    QFETCH(bool, pressed);
    QFETCH(QString, succeeded);
    const TarvikContents held = TarvikContents::fromSeed(11);
    WindowRig rig(held);
    if (transfer != Transfer::Connect) QVERIFY(rig.connectAndDownload());
    // The user's own care, neither the default nor the careful one.
    rig.find<QSpinBox>("paceBox")->setValue(1);
    rig.find<QSpinBox>("retriesBox")->setValue(0);
    const TransferCare chosen{1, 0};
    QVERIFY(rig.core->transferCare() == chosen);

    rig.device().setFaults(SimFaults{.answerFirst = rig.device().commandsReceived() + answered});
    CoreParts::machine(*rig.core).setReplyWatchdog(kTimeoutThatFiresMs);
    rig.dialogs.tryCarefully = pressed ? 1 : 0;
    int commandsAtTheBox = -1;
    std::unique_ptr<CareOnTheWire> careful;
    rig.dialogs.carefulOffered = [&] {
      if (commandsAtTheBox >= 0) return;
      commandsAtTheBox = rig.device().commandsReceived();
      rig.device().setFaults({});
      CoreParts::machine(*rig.core).setReplyWatchdog(kTimeoutThatMustNotFireMs);
      careful = std::make_unique<CareOnTheWire>(rig.tarvik(), *rig.core);
    };

    const QString file = dir_.filePath(QStringLiteral("careful.tvk"));
    QFile::remove(file);
    const PresetTables restored = testing::tablesOf(TarvikContents::fromSeed(12));
    switch (transfer) {
      case Transfer::Connect:
        rig.button("Button1")->click();
        break;
      case Transfer::SubmitPresets:
        rig.button("Button3")->click();
        break;
      case Transfer::Restore:
        QVERIFY(TvkFile::save(file, restored));
        rig.dialogs.nextFileName = file;
        rig.button("restoreButton")->click();
        break;
      case Transfer::Backup:
        rig.dialogs.nextFileName = file;
        rig.button("backupButton")->click();
        break;
    }
    QVERIFY(rig.dialogs.awaitErrors(1, kWaitMs));
    QCOMPARE(rig.dialogs.carefulOffers, std::vector<std::size_t>{0});
    QVERIFY(careful != nullptr);
    QVERIFY2(rig.dialogs.errors[0].text.contains("\"Try again carefully\" runs the same transfer"),
             qPrintable(rig.dialogs.errors[0].text));
    QVERIFY(rig.dialogs.errors[0].text.contains("on the \"Midi\" tab"));

    if (!pressed) {
      QVERIFY(awaitIdle(*rig.core, [] { return true; }));
      QCoreApplication::sendPostedEvents();
      QVERIFY(!rig.core->busy());
      QCOMPARE(rig.device().commandsReceived(), commandsAtTheBox);
      QVERIFY(rig.core->transferCare() == chosen);
      return;
    }
    QVERIFY(awaitIdle(*rig.core, [&] { return !careful->seen.empty(); }));
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QVERIFY(careful->allWere(TransferCare::careful()));
    const QStringList log = rig.logMessages();
    const auto again =
        log.indexOf(QStringLiteral("Trying again carefully: 5 ms between frames, "
                                   "3 retries..."));
    QVERIFY2(again >= 0, qPrintable(log.join('\n')));
    QVERIFY2(std::any_of(log.begin() + again, log.end(),
                         [&](const QString& line) { return line.startsWith(succeeded); }),
             qPrintable(log.join('\n')));
    if (transfer == Transfer::Restore)
      QVERIFY(rig.device().contents().presets == restored.presetPayload());
    if (transfer == Transfer::Backup) {
      const TvkFile::LoadResult backup = TvkFile::load(file);
      QVERIFY(backup.ok() && *backup.tables == testing::tablesOf(held));
    }

    // Once: the next transfer has the care of the Midi tab again.
    QVERIFY(rig.core->transferCare() == chosen);
    CareOnTheWire next(rig.tarvik(), *rig.core);
    rig.button("Button2")->click();
    QVERIFY(awaitIdle(*rig.core, [&] { return !next.seen.empty(); }));
    QVERIFY(next.allWere(chosen));
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
  }
};

QTEST_MAIN(CarefulRetryTest)
#include "test_careful_retry.moc"
