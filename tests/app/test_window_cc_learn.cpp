// SPDX-License-Identifier: MIT
// CC learn in the window against the virtual Tarvik: the learn entries of the loop headings and
// the CC map's cells, the dialog that waits, and what a control change from the device's input
// port does to the CC map (one undo step, unsaved work, a question before another loop is
// replaced), and that Cancel and the time-out do nothing.
#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMenu>
#include <QTableView>
#include <QUndoStack>
#include <algorithm>

#include "WindowRig.h"
#include "app/CcLearnActions.h"
#include "app/EditTracking.h"
#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"
#include "core/CcLearn.h"
#include "support/ManualClock.h"

using namespace tarvik;
using tarvik::testing::kWaitMs;
using tarvik::testing::ManualClock;
using tarvik::testing::WindowRig;

namespace {

enum class From { Heading, CcCell };
enum class End { Cancel, Escape, TimeOut };

constexpr int kController = 0x14;  // B0 14 7F: CC 20
constexpr int kLoop3 = 2;
constexpr int kCellController = 5;
const QString kLearnLoop3 = QStringLiteral("Learn CC for LOOP 3...");

struct LearnWindow : WindowRig {
  LearnWindow() {
    form->buildDeviceTabs();
    presets = form->findChild<PresetMatrixTab*>();
    actions = form->findChild<CcLearnActions*>();
    actions->learn().setClock(std::unique_ptr<WaitClock>(clock));
  }
  // The device's channel and omni mode.
  bool connectOn(int midiChannel, bool omni) {
    if (!connectAndDownload()) return false;
    ConfigRecord record = core->configuration().record();
    record.midiChannel = midiChannel;
    record.omniMode = omni;
    core->configuration().setRecord(record);
    return true;
  }
  // CC 20's entry as given, CC 5's switching LOOP 3, all of it saved in a file.
  void prepare(int before) {
    core->configuration().chooseCc(kCellController, kLoop3 + 1);
    core->configuration().chooseCc(kController, before);
    core->fileHolds(ConfigBytes::sent(core->configuration()));
    undoSteps = form->edits().history().stack().count();
  }
  // "Learn CC for LOOP 3..." in LOOP 3's heading menu or in the menu of CC 5's cell.
  QAction* learnLoop3(QMenu& menu, From from) {
    if (from == From::Heading) {
      presets->fillLoopMenu(menu, kLoop3);
    } else {
      presets->fillCcMenu(menu, kCellController);
    }
    for (QAction* action : menu.actions()) {
      if (action->text() == kLearnLoop3) return action;
    }
    return nullptr;
  }
  QDialog* dialog() const { return form->findChild<QDialog*>(QStringLiteral("ccLearnDialog")); }
  // Delivers the control changes in order and serves the event loop until the learn has ended.
  bool deliverUntilEnded(const std::vector<std::array<std::uint8_t, 3>>& messages) {
    QSignalSpy ended(actions, &CcLearnActions::ended);
    for (const auto& m : messages) service().deliverShort(sim.inPort(), m[0], m[1], m[2]);
    return ended.wait(kWaitMs);
  }
  int cc(int controller) const { return core->configuration().tables().cc(controller); }
  int newUndoSteps() { return form->edits().history().stack().count() - undoSteps; }

  PresetMatrixTab* presets = nullptr;
  CcLearnActions* actions = nullptr;
  ManualClock* clock = new ManualClock;
  int undoSteps = 0;
};

}  // namespace

class WindowCcLearnTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void learnsTheEntryOfTheIncomingController_data() {
    QTest::addColumn<From>("from");
    QTest::addColumn<int>("before");   // CC 20's entry before: 0 "-", 1..8 a loop
    QTest::addColumn<bool>("answer");  // to the question before another loop is replaced
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("after");
    QTest::newRow("heading, an entry without loop: no question")
        << From::Heading << 0 << false << 0 << 3;
    QTest::newRow("CC cell, an entry without loop") << From::CcCell << 0 << false << 0 << 3;
    QTest::newRow("heading, LOOP 8 replaced after yes") << From::Heading << 8 << true << 1 << 3;
    QTest::newRow("CC cell, LOOP 1 kept after no") << From::CcCell << 1 << false << 1 << 1;
    QTest::newRow("already LOOP 3: nothing to ask or change")
        << From::Heading << 3 << false << 0 << 3;
  }
  void learnsTheEntryOfTheIncomingController() {
    QFETCH(From, from);
    QFETCH(int, before);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(int, after);
    LearnWindow rig;
    QVERIFY(rig.connectOn(0, false));
    rig.prepare(before);
    QVERIFY(!rig.form->isWindowModified());
    rig.dialogs.confirmAnswer = answer;
    QMenu menu;
    QAction* learn = rig.learnLoop3(menu, from);
    QVERIFY(learn != nullptr);
    QVERIFY(learn->isEnabled());
    learn->trigger();
    QVERIFY(rig.dialog() != nullptr && rig.dialog()->isVisible());

    QVERIFY(rig.deliverUntilEnded({{0xB0, kController, 0x7F}}));
    QVERIFY(rig.dialog() == nullptr || !rig.dialog()->isVisible());
    QCOMPARE(int(rig.dialogs.confirmations.size()), questions);
    if (questions > 0) {
      QCOMPARE(
          rig.dialogs.confirmations.front().text,
          QStringLiteral("CC 20 switches LOOP %1 now. Let it switch LOOP 3 instead?").arg(before));
    }
    QCOMPARE(rig.cc(kController), after);
    const bool changed = after != before;
    QCOMPARE(rig.newUndoSteps(), changed ? 1 : 0);
    QCOMPARE(rig.form->isWindowModified(), changed);
    if (changed) {
      QCOMPARE(rig.logMessages().last(), QStringLiteral("CC learn: CC 20 now switches LOOP 3."));
      QCOMPARE(rig.form->edits().history().stack().undoText(),
               QStringLiteral("Learn CC 20 for LOOP 3"));
      rig.form->edits().undoAction()->trigger();
      QCOMPARE(rig.cc(kController), before);
    }
  }

  // Each row's message comes first, then CC 99 on the device's channel: the learn takes the
  // first that the device would act on, and nothing after it.
  void takesWhatTheDeviceWouldActOn_data() {
    QTest::addColumn<int>("midiChannel");  // record item, -1 for none
    QTest::addColumn<bool>("omni");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("learned");
    QTest::newRow("CC 20 on the device's channel 5") << 4 << false << QByteArray("B4 14 7F") << 20;
    QTest::newRow("CC 0 with value 0 counts too") << 4 << false << QByteArray("B4 00 00") << 0;
    QTest::newRow("another channel, omni off: ignored")
        << 4 << false << QByteArray("B0 14 7F") << 99;
    QTest::newRow("another channel in omni mode") << 4 << true << QByteArray("BF 14 7F") << 20;
    QTest::newRow("a note on is no CC") << 4 << false << QByteArray("94 14 7F") << 99;
    QTest::newRow("a program change is no CC") << 4 << true << QByteArray("C4 14 00") << 99;
    QTest::newRow("a record without channel listens on 1")
        << -1 << false << QByteArray("B0 07 01") << 7;
  }
  void takesWhatTheDeviceWouldActOn() {
    QFETCH(int, midiChannel);
    QFETCH(bool, omni);
    QFETCH(QByteArray, message);
    QFETCH(int, learned);
    LearnWindow rig;
    QVERIFY(rig.connectOn(midiChannel, omni));
    rig.core->configuration().deselectAll();
    QMenu menu;
    rig.learnLoop3(menu, From::Heading)->trigger();
    const QByteArray m = QByteArray::fromHex(message);
    const auto channel = static_cast<std::uint8_t>(std::max(midiChannel, 0));
    QVERIFY(rig.deliverUntilEnded({{std::uint8_t(m[0]), std::uint8_t(m[1]), std::uint8_t(m[2])},
                                   {std::uint8_t(0xB0 | channel), 99, 1}}));
    for (int controller = 0; controller < kTableSize; ++controller) {
      QCOMPARE(rig.cc(controller), controller == learned ? kLoop3 + 1 : 0);
    }
  }

  void cancelAndTimeOutChangeNothing_data() {
    QTest::addColumn<End>("end");
    QTest::newRow("Cancel") << End::Cancel;
    QTest::newRow("Esc") << End::Escape;
    QTest::newRow("30 s without a control change") << End::TimeOut;
  }
  void cancelAndTimeOutChangeNothing() {
    QFETCH(End, end);
    LearnWindow rig;
    QVERIFY(rig.connectOn(0, true));
    rig.prepare(0);
    const PresetTables before = rig.core->configuration().tables();
    const bool modified = rig.form->isWindowModified();
    QMenu menu;
    rig.learnLoop3(menu, From::Heading)->trigger();
    QDialog* dialog = rig.dialog();
    QVERIFY(dialog != nullptr);
    QSignalSpy ended(rig.actions, &CcLearnActions::ended);
    switch (end) {
      case End::Cancel:
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        break;
      case End::Escape:
        QTest::keyClick(dialog, Qt::Key_Escape);
        break;
      case End::TimeOut:
        rig.clock->advance(CcLearn::kWaitMs - 1);
        QCOMPARE(ended.count(), 0);
        rig.clock->advance(1);
        QCOMPARE(rig.logMessages().last(),
                 QStringLiteral("CC learn: no control change came within 30 seconds; nothing "
                                "was changed."));
        break;
    }
    QCOMPARE(ended.count(), 1);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!rig.clock->running());
    // A switch stepped on afterwards is only monitored.
    rig.service().deliverShort(rig.sim.inPort(), 0xB0, kController, 0x7F);
    QVERIFY(rig.awaitLog([&] {
      return rig.logMessages().last().startsWith(QStringLiteral("[MIDI IN] ControllChange"));
    }));
    QCOMPARE(ended.count(), 1);
    QVERIFY(rig.core->configuration().tables() == before);
    QCOMPARE(rig.newUndoSteps(), 0);
    QCOMPARE(rig.form->isWindowModified(), modified);
    QVERIFY(rig.dialogs.confirmations.empty());
  }

  void learnThisCcsLoopSelectsItsEntry() {
    LearnWindow rig;
    QVERIFY(rig.connectOn(0, false));
    rig.prepare(0);
    const PresetTables before = rig.core->configuration().tables();
    QMenu menu;
    rig.presets->fillCcMenu(menu, 0);
    QAction* pick = nullptr;
    for (QAction* action : menu.actions()) {
      if (action->text() == QStringLiteral("Learn this CC's loop")) pick = action;
    }
    QVERIFY(pick != nullptr && pick->isEnabled());
    pick->trigger();
    QVERIFY(rig.deliverUntilEnded({{0xB0, kController, 0x7F}}));
    const QModelIndex current = rig.presets->view()->currentIndex();
    QCOMPARE(current.row(), kController);
    QCOMPARE(current.column(), int(PresetMatrixModel::kCcColumn));
    QVERIFY(rig.core->configuration().tables() == before);
    QCOMPARE(rig.newUndoSteps(), 0);
  }

  // No input open (before the connect), nothing could be heard: every learn entry is off.
  void offWhileNoInputIsOpen() {
    LearnWindow rig;
    for (const bool connected : {false, true}) {
      if (connected) QVERIFY(rig.connectAndDownload());
      rig.prepare(0);
      QMenu heading;
      rig.presets->fillLoopMenu(heading, kLoop3);
      QMenu cell;
      rig.presets->fillCcMenu(cell, kCellController);
      QStringList offered;
      for (QMenu* menu : {&heading, &cell}) {
        for (QAction* action : menu->actions()) {
          if (!action->text().startsWith(QStringLiteral("Learn"))) continue;
          offered << action->text();
          QCOMPARE(action->isEnabled(), connected);
        }
      }
      QCOMPARE(offered, (QStringList{kLearnLoop3, kLearnLoop3, "Learn this CC's loop"}));
    }
  }
};

QTEST_MAIN(WindowCcLearnTest)
#include "test_window_cc_learn.moc"
