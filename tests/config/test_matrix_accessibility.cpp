// SPDX-License-Identifier: MIT
// What the preset matrix tells a screen reader of each cell: which preset and column it is,
// the value a cell cannot otherwise tell, and for a changed value what the Tarvik holds.
#include <QTest>

#include "config/ChangeMarks.h"
#include "config/ui/PresetMatrixModel.h"

using namespace tarvik;

class MatrixAccessibilityTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Preset 5's cell in `column`: the device sent `device` for every row of the cell's block
  // (-1: the device is unknown), then the user made `edit` of it (-1: none; a loop is clicked).
  void cellsTellWhatTheyAreAndWhatTheTarvikHolds_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("device");
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("unchanged loop box") << 2 << 0x00 << -1 << "Preset 5 Loop 3"
                                        << "";
    QTest::newRow("loop box switched on") << 2 << 0x00 << 1 << "Preset 5 Loop 3"
                                          << "changed; the Tarvik holds off";
    QTest::newRow("loop selector changed")
        << 8 << 3 << 0 << "Preset 5 Controll Change (IAM over Midi): -"
        << "changed; the Tarvik holds LOOP 3";
    QTest::newRow("loop selector the Tarvik left without a loop")
        << 8 << 200 << 1 << "Preset 5 Controll Change (IAM over Midi): LOOP 1"
        << "changed; the Tarvik holds no selection";
    QTest::newRow("program selector changed")
        << 9 << 16 << 128 << "Preset 5 Programm Change Output: none"
        << "changed; the Tarvik holds 17";
    QTest::newRow("program chosen before the Tarvik is known")
        << 9 << -1 << 4 << "Preset 5 Programm Change Output: 5"
        << "";
    // Names never go to the device, so they are never marked.
    QTest::newRow("named preset") << 10 << 0 << 0 << "Preset 5 Name: Crunch"
                                  << "";
    QTest::newRow("unnamed preset") << 10 << 0 << -1 << "Preset 5 Name"
                                    << "";
  }
  void cellsTellWhatTheyAreAndWhatTheTarvikHolds() {
    QFETCH(int, column);
    QFETCH(int, device);
    QFETCH(int, edit);
    QFETCH(QString, name);
    QFETCH(QString, description);
    Configuration configuration;
    ChangeMarks marks(configuration);
    PresetMatrixModel model(configuration);
    model.setChangeMarks(&marks);
    const Block block = column < 8 ? Block::Presets : column == 8 ? Block::CcMap : Block::PcRemap;
    if (device >= 0) {
      PresetTables::Payload bytes{};
      bytes.fill(static_cast<std::uint8_t>(device));
      if (block == Block::Presets) configuration.applyPresets(bytes);
      if (block == Block::CcMap) configuration.applyCcMap(bytes);
      if (block == Block::PcRemap) configuration.applyPcRemap(bytes);
      marks.deviceReceived(block);
    }
    const int row = 4;
    if (edit >= 0) {
      if (column == PresetMatrixModel::kNameColumn) {
        configuration.renamePreset(row, QStringLiteral("Crunch"));
      } else if (block == Block::Presets) {
        configuration.clickLoop(row, column);
      } else {
        block == Block::CcMap ? configuration.chooseCc(row, edit)
                              : configuration.choosePcRemap(row, edit);
      }
    }
    const QModelIndex cell = model.index(row, column);
    QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(), name);
    QCOMPARE(cell.data(Qt::AccessibleDescriptionRole).toString(), description);
  }
};

QTEST_MAIN(MatrixAccessibilityTest)
#include "test_matrix_accessibility.moc"
