// SPDX-License-Identifier: MIT
// The preset matrix as a screen reader meets it in the window: cells reached through the
// accessibility interfaces, after a download from the simulated Tarvik and an edit.
#include <QAccessible>
#include <QTableView>
#include <QTest>

#include "WindowRig.h"
#include "config/ui/PresetMatrixModel.h"
#include "config/ui/SelectorItems.h"

using namespace tarvik;
using namespace tarvik::testing;

class MatrixScreenReaderTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void changedCellsSayWhatTheTarvikHolds() {
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    const TarvikContents held = rig.device().contents();
    auto* view = rig.find<QTableView>("ScrollBox1");
    QAbstractItemModel* model = view->model();
    const int row = 4;  // preset 5
    const bool on = (held.presets[row] >> 2) & 1U;
    QVERIFY(
        model->setData(model->index(row, 2), on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole));
    const int cc = PresetMatrixModel::kCcColumn;
    const QStringList loops = SelectorItems::loops();
    const int chosen = (held.ccMap[row] + 1) % int(loops.size());
    QVERIFY(model->setData(model->index(row, cc), chosen, Qt::EditRole));

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
    QVERIFY(table != nullptr && table->tableInterface() != nullptr);
    auto cell = [&](int r, int column) { return table->tableInterface()->cellAt(r, column); };
    QVERIFY(cell(row, 2) != nullptr && cell(row, cc) != nullptr && cell(row + 1, 2) != nullptr);
    QCOMPARE(cell(row, 2)->text(QAccessible::Name), QStringLiteral("Preset 5 Loop 3"));
    QCOMPARE(cell(row, 2)->text(QAccessible::Description),
             QStringLiteral("changed; the Tarvik holds ") + (on ? "on" : "off"));
    QCOMPARE(cell(row, cc)->text(QAccessible::Name),
             QStringLiteral("Preset 5 Controll Change (IAM over Midi): ") + loops[chosen]);
    QCOMPARE(cell(row, cc)->text(QAccessible::Description),
             QStringLiteral("changed; the Tarvik holds ") + loops[held.ccMap[row]]);
    // The row below was left alone.
    QCOMPARE(cell(row + 1, 2)->text(QAccessible::Name), QStringLiteral("Preset 6 Loop 3"));
    QVERIFY(cell(row + 1, 2)->text(QAccessible::Description).isEmpty());
  }
};

QTEST_MAIN(MatrixScreenReaderTest)
#include "test_matrix_screen_reader.moc"
