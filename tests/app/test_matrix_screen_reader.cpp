// SPDX-License-Identifier: MIT
// The preset matrix as a screen reader meets it in the window: the table's cells, reached
// through the accessibility interfaces, after a download from the simulated Tarvik and an edit.
#include <QAccessible>
#include <QTableView>
#include <QTest>

#include "WindowRig.h"
#include "config/ui/PresetMatrixModel.h"
#include "config/ui/SelectorItems.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

QString itemOrNone(const QStringList& items, int index) {
  return index < items.size() ? items[index] : QStringLiteral("no selection");
}

}  // namespace

class MatrixScreenReaderTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void aChangedCellSaysWhatTheTarvikHolds_data() {
    QTest::addColumn<int>("column");
    QTest::newRow("a loop box") << 2;
    QTest::newRow("the loop selector") << int(PresetMatrixModel::kCcColumn);
    QTest::newRow("the program selector") << int(PresetMatrixModel::kPcRemapColumn);
  }
  void aChangedCellSaysWhatTheTarvikHolds() {
    QFETCH(int, column);
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    const TarvikContents held = rig.device().contents();
    auto* view = rig.find<QTableView>("ScrollBox1");
    QAbstractItemModel* model = view->model();
    const int row = 4;  // preset 5
    const QModelIndex cell = model->index(row, column);

    QString name;
    QString holds;
    if (column < PresetMatrixModel::kLoopColumns) {
      const bool on = (held.presets[row] >> column) & 1U;
      QVERIFY(model->setData(cell, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole));
      name = QStringLiteral("Preset 5 Loop 3");
      holds = on ? QStringLiteral("on") : QStringLiteral("off");
    } else {
      const bool cc = column == PresetMatrixModel::kCcColumn;
      const QStringList items = cc ? SelectorItems::loops() : SelectorItems::programs();
      const int device = cc ? held.ccMap[row] : held.pcRemap[row];
      const int chosen = (device + 1) % int(items.size());
      QVERIFY(model->setData(cell, chosen, Qt::EditRole));
      name = QStringLiteral("Preset 5 ") + model->headerData(column, Qt::Horizontal).toString() +
             QStringLiteral(": ") + items[chosen];
      holds = itemOrNone(items, device);
    }

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
    QVERIFY(table != nullptr);
    QVERIFY(table->tableInterface() != nullptr);
    QAccessibleInterface* edited = table->tableInterface()->cellAt(row, column);
    QVERIFY(edited != nullptr);
    QCOMPARE(edited->text(QAccessible::Name), name);
    QCOMPARE(edited->text(QAccessible::Description),
             QStringLiteral("changed; the Tarvik holds ") + holds);
    // The row below was left alone.
    QAccessibleInterface* below = table->tableInterface()->cellAt(row + 1, column);
    QVERIFY(below != nullptr);
    QVERIFY(below->text(QAccessible::Name).startsWith(QStringLiteral("Preset 6 ")));
    QVERIFY(below->text(QAccessible::Description).isEmpty());
  }
};

QTEST_MAIN(MatrixScreenReaderTest)
#include "test_matrix_screen_reader.moc"
