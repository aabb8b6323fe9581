// SPDX-License-Identifier: MIT
// A pedal moved to another loop, from the loop heading's context menu: every place that names
// either loop follows, as one undo step that puts back exactly what was there.
#include <QAction>
#include <QMenu>
#include <QTest>

#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"

using namespace tarvik;

namespace {

// Loop 3 is used alone, with loop 6, and with loop 1; loop 6 alone too. The CC map switches
// loops 3, 6 and 1; the three masks hold loop 3 or loop 6, not both.
void fill(Configuration& configuration) {
  PresetTables tables;
  tables.setMask(0, 0b00000100);
  tables.setMask(1, 0b00100100);
  tables.setMask(2, 0b00000101);
  tables.setMask(3, 0b00100000);
  tables.setCc(0, 3);
  tables.setCc(1, 6);
  tables.setCc(2, 1);
  tables.setCc(3, 0);
  configuration.setTables(tables);
  ConfigRecord record;
  record.muteMask = 0b00000100;
  record.switchMask = 0b00100000;
  record.lockMask = 0b00100001;
  configuration.setRecord(record);
  LoopLabels labels;
  labels.setLabel(2, QStringLiteral("Tube Screamer"));
  labels.setLabel(0, QStringLiteral("Wah"));
  configuration.setLabels(labels);
}

EditHistory::Snapshot snapshot(const Configuration& configuration) {
  return {configuration.tables(), configuration.record(), configuration.names(),
          configuration.labels()};
}

}  // namespace

class LoopSwapTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Either way round: the heading of loop 3 swapped with loop 6, or loop 6's with loop 3.
  void theHeadingMenuSwapsTwoLoopsAsOneUndoStep_data() {
    QTest::addColumn<int>("heading");
    QTest::addColumn<QString>("offered");
    QTest::newRow("from LOOP 3") << 2 << "LOOP 6";
    QTest::newRow("from LOOP 6, to the labelled loop") << 5 << "LOOP 3 (Tube Screamer)";
  }
  void theHeadingMenuSwapsTwoLoopsAsOneUndoStep() {
    QFETCH(int, heading);
    QFETCH(QString, offered);
    Configuration configuration;
    fill(configuration);
    PresetMatrixTab tab(configuration);
    EditHistory history(configuration);
    tab.setEditHistory(&history);
    const EditHistory::Snapshot before = snapshot(configuration);

    QMenu menu;
    tab.fillLoopMenu(menu, heading);
    QMenu* swap = nullptr;
    for (QAction* action : menu.actions())
      if (action->menu() != nullptr) swap = action->menu();
    QVERIFY(swap != nullptr);
    QCOMPARE(swap->title(), QStringLiteral("Swap LOOP %1 with...").arg(heading + 1));
    QCOMPARE(swap->actions().size(), 7);  // every other loop, by its name
    QAction* target = nullptr;
    for (QAction* action : swap->actions())
      if (action->text() == offered) target = action;
    QVERIFY2(target != nullptr, qPrintable(offered));
    target->trigger();

    const PresetTables& tables = configuration.tables();
    QCOMPARE(int(tables.mask(0)), 0b00100000);
    QCOMPARE(int(tables.mask(1)), 0b00100100);
    QCOMPARE(int(tables.mask(2)), 0b00100001);
    QCOMPARE(int(tables.mask(3)), 0b00000100);
    QCOMPARE(tables.cc(0), 6);
    QCOMPARE(tables.cc(1), 3);
    QCOMPARE(tables.cc(2), 1);
    QCOMPARE(tables.cc(3), 0);
    QCOMPARE(tables.cc(4), PresetTables::kCcStart);
    QCOMPARE(int(configuration.record().muteMask), 0b00100000);
    QCOMPARE(int(configuration.record().switchMask), 0b00000100);
    QCOMPARE(int(configuration.record().lockMask), 0b00000101);
    QCOMPARE(configuration.labels().label(2), QString());
    QCOMPARE(configuration.labels().label(5), QStringLiteral("Tube Screamer"));
    QCOMPARE(configuration.labels().label(0), QStringLiteral("Wah"));

    QCOMPARE(history.stack().count(), 1);
    history.undo();
    QVERIFY(snapshot(configuration) == before);
  }

  // While the matrix takes no input (a transfer runs), nothing can be swapped.
  void noSwapWhileTheMatrixTakesNoInput() {
    Configuration configuration;
    fill(configuration);
    PresetMatrixTab tab(configuration);
    tab.setEditable(false);
    const EditHistory::Snapshot before = snapshot(configuration);
    QMenu menu;
    tab.fillLoopMenu(menu, 2);
    for (QAction* action : menu.actions()) {
      if (action->menu() == nullptr) continue;
      QVERIFY(!action->menu()->isEnabled());
      for (QAction* other : action->menu()->actions()) other->trigger();
    }
    QVERIFY(snapshot(configuration) == before);
  }
};

QTEST_MAIN(LoopSwapTest)
#include "test_loop_swap.moc"
