// SPDX-License-Identifier: MIT
// What the preset matrix tells a screen reader of each cell: which preset and column it is,
// the value a cell cannot otherwise tell, and for a changed value what the Tarvik holds.
#include <QSignalSpy>
#include <QTest>

#include "config/ChangeMarks.h"
#include "config/ui/PresetMatrixModel.h"

using namespace tarvik;

namespace {

PresetTables::Payload filled(std::uint8_t value) {
  PresetTables::Payload payload{};
  payload.fill(value);
  return payload;
}

// Preset 5 is row 4.
constexpr int kRow = 4;

}  // namespace

class MatrixAccessibilityTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // `device` fills the edited cell's block as the device sent it (-1: the device is unknown),
  // `edit` changes the cell as the user would (-1: not at all).
  void cellsTellWhatTheyAreAndWhatTheTarvikHolds_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("device");
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("an unchanged loop box") << 2 << 0x00 << -1 << "Preset 5 Loop 3"
                                           << "";
    QTest::newRow("a loop box switched on") << 2 << 0x00 << 1 << "Preset 5 Loop 3"
                                            << "changed; the Tarvik holds off";
    QTest::newRow("a loop box switched off") << 7 << 0xFF << 1 << "Preset 5 Loop 8"
                                             << "changed; the Tarvik holds on";
    QTest::newRow("an unchanged loop selector")
        << 8 << 3 << -1 << "Preset 5 Controll Change (IAM over Midi): LOOP 3"
        << "";
    QTest::newRow("a loop selector changed")
        << 8 << 3 << 0 << "Preset 5 Controll Change (IAM over Midi): -"
        << "changed; the Tarvik holds LOOP 3";
    QTest::newRow("a loop selector the Tarvik left without a loop")
        << 8 << 200 << 1 << "Preset 5 Controll Change (IAM over Midi): LOOP 1"
        << "changed; the Tarvik holds no selection";
    QTest::newRow("a program selector changed")
        << 9 << 16 << 128 << "Preset 5 Programm Change Output: none"
        << "changed; the Tarvik holds 17";
    QTest::newRow("a program selector without a program")
        << 9 << 255 << -1 << "Preset 5 Programm Change Output"
        << "";
    QTest::newRow("a program chosen before the Tarvik is known")
        << 9 << -1 << 4 << "Preset 5 Programm Change Output: 5"
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
      const PresetTables::Payload bytes = filled(static_cast<std::uint8_t>(device));
      if (block == Block::Presets) configuration.applyPresets(bytes);
      if (block == Block::CcMap) configuration.applyCcMap(bytes);
      if (block == Block::PcRemap) configuration.applyPcRemap(bytes);
      marks.deviceReceived(block);
    }
    const QModelIndex cell = model.index(kRow, column);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    if (edit >= 0) {
      if (block == Block::Presets) configuration.clickLoop(kRow, column);
      if (block == Block::CcMap) configuration.chooseCc(kRow, edit);
      if (block == Block::PcRemap) configuration.choosePcRemap(kRow, edit);
    }
    QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(), name);
    QCOMPARE(cell.data(Qt::AccessibleDescriptionRole).toString(), description);
    // A reader that caches what it was told learns of every change of it.
    QList<int> roles;
    for (const QList<QVariant>& signal : changed) roles += signal.at(2).value<QList<int>>();
    if (!description.isEmpty()) QVERIFY(roles.contains(Qt::AccessibleDescriptionRole));
    if (edit >= 0 && block != Block::Presets) QVERIFY(roles.contains(Qt::AccessibleTextRole));
  }

  // A name is never marked, as it never goes to the device; an unnamed preset's cell says only
  // what it is.
  void theNameCellTellsItsName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("a named preset") << "Crunch"
                                    << "Preset 5 Name: Crunch";
    QTest::newRow("an unnamed preset") << ""
                                       << "Preset 5 Name";
  }
  void theNameCellTellsItsName() {
    QFETCH(QString, typed);
    QFETCH(QString, name);
    Configuration configuration;
    ChangeMarks marks(configuration);
    for (Block block : {Block::Presets, Block::CcMap, Block::PcRemap, Block::Record}) {
      marks.deviceReceived(block);
    }
    PresetMatrixModel model(configuration);
    model.setChangeMarks(&marks);
    QVERIFY(model.setData(model.index(kRow, PresetMatrixModel::kNameColumn), typed));
    const QModelIndex cell = model.index(kRow, PresetMatrixModel::kNameColumn);
    QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(), name);
    QVERIFY(cell.data(Qt::AccessibleDescriptionRole).toString().isEmpty());
  }
};

QTEST_MAIN(MatrixAccessibilityTest)
#include "test_matrix_accessibility.moc"
