// SPDX-License-Identifier: MIT
// Presets that move, acted on in the matrix: each act moves loops, PC remap entry and name
// together, leaves the CC map where it is, and is one undo step.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>

#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"
#include "config/ui/PresetRowActions.h"

using namespace tarvik;

namespace {

using Rows = QList<int>;

constexpr std::uint8_t kLockMask = 0x06;  // loops 2 and 3

// Every row distinct: loops row + 1, program 127 - row, the first six named, CC entry row % 9.
void fill(Configuration& configuration) {
  PresetTables tables;
  PresetNames names;
  for (int row = 0; row < kTableSize; ++row) {
    tables.setMask(row, static_cast<std::uint8_t>(row + 1));
    tables.setPcRemap(row, 127 - row);
    tables.setCc(row, row % PresetTables::kCcItems);
    if (row < 6) names.setName(row, QStringLiteral("Preset %1").arg(row + 1));
  }
  ConfigRecord record;
  record.lockMask = kLockMask;
  configuration.setRecord(record);
  configuration.setTables(tables);
  configuration.setNames(names);
}

void select(PresetMatrixTab& tab, const Rows& rows) {
  QItemSelectionModel* selection = tab.view()->selectionModel();
  selection->clear();
  for (int row : rows) {
    selection->select(tab.model().index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

}  // namespace

class PresetRowsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void actOnSelectedRows_data() {
    // An action's name, or a drag, a paste, a busy device, a shortcut.
    QTest::addColumn<QString>("action");
    QTest::addColumn<Rows>("selection");
    // Where each of the first rows comes from (-1: an empty row); below them every row comes
    // from `tailShift` rows further on.
    QTest::addColumn<Rows>("origins");
    QTest::addColumn<int>("tailShift");
    QTest::addColumn<bool>("interlock");
    // The undo step's name, empty when nothing changes.
    QTest::addColumn<QString>("step");

    QTest::newRow("move two rows down")
        << "moveRowsDownAction" << Rows{1, 2} << Rows{0, 3, 1, 2} << 0 << false << "move presets";
    QTest::newRow("move rows apart up together")
        << "moveRowsUpAction" << Rows{2, 5} << Rows{0, 2, 1, 3, 5, 4} << 0 << false
        << "move presets";
    QTest::newRow("nothing moves above the first row")
        << "moveRowsUpAction" << Rows{0, 1} << Rows{} << 0 << false << "";
    QTest::newRow("swap two rows")
        << "swapRowsAction" << Rows{1, 4} << Rows{0, 4, 2, 3, 1} << 0 << false << "swap presets";
    QTest::newRow("swap wants exactly two rows")
        << "swapRowsAction" << Rows{1, 2, 3} << Rows{} << 0 << false << "";
    QTest::newRow("duplicate pushes the rest down")
        << "duplicateRowsAction" << Rows{1, 2} << Rows{0, 1, 2} << -2 << false
        << "duplicate presets";
    QTest::newRow("cut closes up, empty rows at the end")
        << "cutRowsAction" << Rows{1, 3} << Rows{0, 2} << 2 << false << "cut presets";
    QTest::newRow("drag a row number down")
        << "drag" << Rows{1, 4} << Rows{0, 2, 3, 4, 1} << 0 << false << "move presets";
    QTest::newRow("drag a row number up")
        << "drag" << Rows{5, 0} << Rows{5, 0, 1, 2, 3, 4} << 0 << false << "move presets";
    // Row 5 holds loops 2 and 3, both in the group; placed with the rule only loop 2 stays.
    QTest::newRow("swap under the interlock rule")
        << "swapRowsAction" << Rows{0, 5} << Rows{5, 1, 2, 3, 4, 0} << 0 << true << "swap presets";
    // Rows 4 and 5 copied, pasted from row 1 on.
    QTest::newRow("paste writes over rows")
        << "paste" << Rows{4, 5, 1} << Rows{0, 4, 5} << 0 << false << "paste presets";
    QTest::newRow("paste under the interlock rule")
        << "paste" << Rows{5, 0} << Rows{5} << 0 << true << "paste presets";
    QTest::newRow("refused while a transfer runs")
        << "busy" << Rows{2} << Rows{} << 0 << false << "";
    // The shortcuts reach the acts while the grid has the focus (the same actions as above).
    QTest::newRow("Alt+Up moves one row up")
        << "Alt+Up" << Rows{2} << Rows{0, 2, 1} << 0 << false << "move presets";
    QTest::newRow("Alt+Down moves down")
        << "Alt+Down" << Rows{2} << Rows{0, 1, 3, 2} << 0 << false << "move presets";
    QTest::newRow("Ctrl+D duplicates")
        << "Ctrl+D" << Rows{2} << Rows{0, 1, 2} << -1 << false << "duplicate presets";
    QTest::newRow("Insert adds an empty row")
        << "Ins" << Rows{2} << Rows{0, 1, -1} << -1 << false << "insert an empty preset";
  }

  void actOnSelectedRows() {
    QFETCH(QString, action);
    QFETCH(Rows, selection);
    QFETCH(Rows, origins);
    QFETCH(int, tailShift);
    QFETCH(bool, interlock);
    QFETCH(QString, step);
    Configuration configuration;
    fill(configuration);

    const EditHistory::Snapshot before{configuration.tables(), configuration.record(),
                                       configuration.names()};
    EditHistory history(configuration);
    PresetMatrixTab tab(configuration);
    tab.setEditHistory(&history);
    tab.interlockPlacedBox()->setChecked(interlock);

    if (action == QLatin1String("drag")) {
      tab.resize(600, 500);
      tab.show();
      QVERIFY(QTest::qWaitForWindowExposed(&tab));
      QHeaderView* numbers = tab.view()->verticalHeader();
      const auto [from, to] = std::pair(selection[0], selection[1]);
      auto at = [numbers](int row, int beyond) {
        return QPoint(numbers->width() / 2, numbers->sectionViewportPosition(row) +
                                                numbers->sectionSize(row) / 2 + beyond);
      };
      // Dropped past the middle of the target row's number, on the side away from the start.
      QTest::mousePress(numbers->viewport(), Qt::LeftButton, {}, at(from, 0));
      QTest::mouseMove(numbers->viewport(), at(to, to > from ? 5 : -5));
      QTest::mouseRelease(numbers->viewport(), Qt::LeftButton, {}, at(to, to > from ? 5 : -5));
      QCOMPARE(numbers->visualIndex(from), from);
      // The moved preset stays selected where it landed.
      QCOMPARE(tab.rowActions().selectedRows(), PresetRows::Rows{to});
    } else if (action == QLatin1String("paste")) {
      select(tab, selection.mid(0, selection.size() - 1));
      tab.rowActions().copy();
      select(tab, {selection.back()});
      tab.rowActions().paste();
    } else if (action == QLatin1String("busy")) {
      tab.setEditable(false);
      select(tab, selection);
      tab.rowActions().moveDown();
    } else if (action.endsWith(QLatin1String("Action"))) {
      select(tab, selection);
      tab.rowActions().action(action)->trigger();
    } else {
      tab.show();
      tab.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&tab));
      tab.view()->setFocus();
      tab.view()->setCurrentIndex(tab.model().index(selection[0], 0));
      select(tab, selection);
      QTest::keySequence(tab.view(), QKeySequence(action));
    }

    const PresetTables& tables = configuration.tables();
    for (int row = 0; row < kTableSize; ++row) {
      int from = row < origins.size() ? origins[row] : row + tailShift;
      if (from >= kTableSize) from = -1;
      std::uint8_t mask = from < 0 ? 0 : before.tables.mask(from);
      if (interlock && from == 5 && row != 5) mask = 0x02;
      QCOMPARE(int(tables.mask(row)), int(mask));
      QCOMPARE(tables.pcRemap(row), from < 0 ? -1 : before.tables.pcRemap(from));
      QCOMPARE(configuration.names().name(row), from < 0 ? QString() : before.names.name(from));
      QCOMPARE(tables.cc(row), before.tables.cc(row));
    }

    // Only an act that leaves every row where it was leaves no undo step.
    QCOMPARE(history.stack().count(), step.isEmpty() ? 0 : 1);
    QCOMPARE(history.stack().undoText(), step);
    history.undo();
    QVERIFY(EditHistory::Snapshot(
                {configuration.tables(), configuration.record(), configuration.names()}) == before);
  }
};

QTEST_MAIN(PresetRowsTest)
#include "test_preset_rows.moc"
