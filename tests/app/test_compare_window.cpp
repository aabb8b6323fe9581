// SPDX-License-Identifier: MIT
// The comparison window over the simulated Tarvik: which sides it offers, what it lists as the
// two sides change, and opening a side into the editors.
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>

#include "WindowRig.h"
#include "app/CompareModel.h"
#include "app/CompareSidePicker.h"
#include "app/CompareWindow.h"
#include "app/EditTracking.h"
#include "app/TablesFile.h"
#include "config/FullBackup.h"
#include "library/LibraryRig.h"

using namespace tarvik;
using namespace tarvik::testing;
using tarvik::test::FreshLibrary;
using tarvik::test::writeFile;

namespace {

using Kind = CompareSource::Kind;
constexpr CompareWindow::Side kLeft = CompareWindow::kLeft;
constexpr CompareWindow::Side kRight = CompareWindow::kRight;

// The factory's contents, which the editors take as they are, with loops 1 and 3 in preset 5
// and "LOOP 2" for CC 10.
TarvikContents deviceContents() {
  TarvikContents contents = TarvikContents::factory();
  contents.presets[4] = 0b101;
  contents.ccMap[9] = 2;
  return contents;
}

CompareWindow* openCompare(WindowRig& rig) {
  QTest::mouseClick(rig.button("compareButton"), Qt::LeftButton);
  return rig.form->findChild<CompareWindow*>();
}

// The result as the user reads it: each block's title, then its rows as "row | left | right".
QStringList shown(const CompareModel& model) {
  QStringList lines;
  for (int group = 0; group < model.rowCount(); ++group) {
    const QModelIndex title = model.index(group, 0);
    lines << title.data().toString();
    for (int row = 0; row < model.rowCount(title); ++row) {
      QStringList cells;
      for (int column = 0; column < CompareModel::kColumnCount; ++column) {
        cells << model.index(row, column, title).data().toString();
      }
      lines << cells.join(QStringLiteral(" | "));
    }
  }
  return lines;
}

QString summary(CompareWindow* compare) { return compare->summary()->text(); }

void chooseKind(CompareWindow* compare, CompareWindow::Side side, Kind kind) {
  compare->picker(side).kindBox()->setCurrentIndex(int(kind));
}

bool kindEnabled(CompareWindow* compare, CompareWindow::Side side, Kind kind) {
  const QAbstractItemModel* kinds = compare->picker(side).kindBox()->model();
  return kinds->flags(kinds->index(int(kind), 0)).testFlag(Qt::ItemIsEnabled);
}

QString kindToolTip(CompareWindow* compare, CompareWindow::Side side, Kind kind) {
  return compare->picker(side).kindBox()->itemData(int(kind), Qt::ToolTipRole).toString();
}

// Settings that a backup file may hold (they go out as they read).
ConfigBytes::Settings settings(int debounce, std::uint8_t muteMask) {
  ConfigRecord record;
  record.magicFunction = 0;
  record.debounceTime = debounce;
  record.muteMask = muteMask;
  return record.toBytes();
}

PresetNames named(int row, const QString& name) {
  PresetNames names;
  names.setName(row, name);
  return names;
}

// Preset 3 with loop 1, preset 8 sending program 5: what the setup "live" holds.
PresetTables liveTables() {
  PresetTables tables;
  tables.setMask(2, 0b1);
  tables.setPcRemap(7, 4);
  return tables;
}

Setup liveSetup() {
  Setup setup;
  setup.name = QStringLiteral("live");
  setup.bytes = ConfigBytes::fromTables(liveTables(), settings(90, 0));
  setup.names = named(2, QStringLiteral("Intro"));
  return setup;
}

struct EditorsState {
  PresetTables tables;
  ConfigRecord record;
  PresetNames names;
  bool operator==(const EditorsState&) const = default;
};

EditorsState editors(WindowRig& rig) {
  const Configuration& configuration = rig.core->configuration();
  return {configuration.tables(), configuration.record(), configuration.names()};
}

}  // namespace

class CompareWindowTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // The device's side is the last download, the editors' side what they hold after each edit,
  // names included; a later download moves the device's side on.
  void editorsAndDeviceFollowTheirChanges() {
    FreshLibrary library;
    QCOMPARE(library.open(), QString());
    WindowRig rig(deviceContents());
    rig.core->setLibrary(library.library.get());
    QVERIFY(rig.connectAndDownload());
    CompareWindow* compare = openCompare(rig);
    QVERIFY(compare != nullptr && compare->isVisible());
    QCOMPARE(compare->picker(kLeft).source(), CompareSource::device());
    QCOMPARE(compare->picker(kRight).source(), CompareSource::editors());
    QCOMPARE(summary(compare), QStringLiteral("The two are the same."));
    QVERIFY(compare->openButton(kLeft)->isEnabled());
    QVERIFY(!compare->openButton(kRight)->isEnabled());

    Configuration& configuration = rig.core->configuration();
    configuration.clickLoop(4, 1);
    QCOMPARE(summary(compare), QStringLiteral("1 difference."));
    configuration.chooseCc(9, 5);
    QVERIFY(configuration.renamePreset(4, QStringLiteral("Clean")).isEmpty());
    // The editors' labels name the loops on the device's side too, which has none.
    QVERIFY(configuration.renameLoop(1, QStringLiteral("Fuzz")).isEmpty());
    QCOMPARE(
        shown(compare->model()),
        QStringList({QStringLiteral("Presets (1)"), QStringLiteral("5  Clean | 1 3 | 1 2 (Fuzz) 3"),
                     QStringLiteral("CC map (1)"), QStringLiteral("10 | LOOP 2 (Fuzz) | LOOP 5")}));
    QCOMPARE(summary(compare), QStringLiteral("2 differences."));
    QCOMPARE(compare->model().headerData(CompareModel::kLeftColumn, Qt::Horizontal),
             QVariant(QStringLiteral("Device")));

    // The device changes and is read again; the first download's snapshot holds the old state.
    TarvikContents changed = deviceContents();
    changed.presets[0] = 0b10000000;
    rig.device().setContents(changed);
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(summary(compare), QStringLiteral("The two are the same."));
    chooseKind(compare, kRight, Kind::Snapshot);
    QComboBox* snapshots = compare->picker(kRight).snapshotBox();
    QCOMPARE(snapshots->count(), 2);
    snapshots->setCurrentIndex(1);  // newest first
    QCOMPARE(shown(compare->model()),
             QStringList({QStringLiteral("Presets (1)"), QStringLiteral("1 | 8 | no loop")}));
  }

  // What the device holds and the editors cannot keep is no edit: both sides are compared as
  // they would be sent, as the change marks count them, and the window says in words what the
  // device keeps; two bytes that no selector item stands for still read apart.
  void valuesTheEditorsCannotKeepAreSaidNotListed_data() {
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("says");
    QTest::newRow("a CC entry past LOOP 8")
        << int(Block::CcMap) << 0 << 0xC8
        << "CC map 1: no selection (0xC8) kept by the Tarvik, sent as no selection";
    QTest::newRow("a remap past none")
        << int(Block::PcRemap) << 127 << 0x81
        << "PC remap 128: no selection (0x81) kept by the Tarvik, sent as no selection";
    QTest::newRow("a CC message item while the function is none")
        << int(Block::Record) << 9 << 5 << "magicChannel: 5 kept by the Tarvik, sent as 0";
  }
  void valuesTheEditorsCannotKeepAreSaidNotListed() {
    QFETCH(int, block);
    QFETCH(int, index);
    QFETCH(int, byte);
    QFETCH(QString, says);
    TarvikContents contents = deviceContents();
    auto& bytes = block == int(Block::CcMap)     ? contents.ccMap
                  : block == int(Block::PcRemap) ? contents.pcRemap
                                                 : contents.presets;
    if (block == int(Block::Record)) {
      contents.configRecord[index] = std::uint8_t(byte);
    } else {
      bytes[index] = std::uint8_t(byte);
    }
    WindowRig rig(contents);
    QVERIFY(rig.connectAndDownload());
    CompareWindow* compare = openCompare(rig);
    QCOMPARE(shown(compare->model()), QStringList());
    QCOMPARE(rig.core->marks().changeCount(Block(block)), 0);
    QCOMPARE(summary(compare), "The two are the same.\nLeft: " + says);
  }

  void settingsAreComparedOnlyWhenBothSidesHaveThem_data() {
    QTest::addColumn<bool>("fileSettings");
    QTest::addColumn<bool>("fileChanged");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("says");
    const QStringList tables = {QStringLiteral("Presets (1)"),
                                QStringLiteral("3  Intro / Verse | 1 | 1 8"),
                                QStringLiteral("PC remap (1)"), QStringLiteral("8 | 5 | none")};
    QTest::newRow("a .tvk file without settings")
        << false << true << tables
        << "2 differences. The settings are not compared: the right side has none.";
    QTest::newRow("a backup with other settings")
        << true << true
        << tables + QStringList{QStringLiteral("Settings (2)"),
                                QStringLiteral("debounceTime | 90 | 20"),
                                QStringLiteral("muteMask | no loop | 1 2")}
        << "4 differences.";
    QTest::newRow("the setup's own backup")
        << true << false << QStringList() << "The two are the same.";
  }
  void settingsAreComparedOnlyWhenBothSidesHaveThem() {
    QFETCH(bool, fileSettings);
    QFETCH(bool, fileChanged);
    QFETCH(QStringList, rows);
    QFETCH(QString, says);
    FreshLibrary library;
    QCOMPARE(library.open(), QString());
    QVERIFY(library.library->setups().store(liveSetup()).ok());
    PresetTables tables = liveTables();
    if (fileChanged) {
      tables.setMask(2, 0b10000001);
      tables.setPcRemap(7, PresetTables::kPcRemapNone);
    }
    const QString path = library.dir.filePath(QStringLiteral("right.tvk"));
    const auto fileSettingsBytes =
        fileSettings ? std::optional(fileChanged ? settings(20, 0b11) : settings(90, 0))
                     : std::nullopt;
    QVERIFY(writeFile(
        path, FullBackup::serialize(
                  tables, fileSettingsBytes,
                  named(2, fileChanged ? QStringLiteral("Verse") : QStringLiteral("Intro")))));
    WindowRig rig;
    rig.core->setLibrary(library.library.get());
    CompareWindow* compare = openCompare(rig);

    chooseKind(compare, kLeft, Kind::Setup);
    QCOMPARE(compare->picker(kLeft).setupBox()->currentText(), QStringLiteral("live"));
    rig.dialogs.nextFileName = path;
    chooseKind(compare, kRight, Kind::File);
    QCOMPARE(rig.dialogs.fileFilters, QStringList{TablesFile::filter()});
    QCOMPARE(compare->picker(kRight).source(), CompareSource::file(path));

    QCOMPARE(shown(compare->model()), rows);
    QCOMPARE(summary(compare), says);
  }

  // The unsaved-work question first; cancelled, nothing changes. Answered, the side's tables,
  // settings and names are in the editors as one step, and undo takes them out again. A file
  // counts as loaded: the window holds nothing unsaved after it.
  void openingASideIsOneUndoStep_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("step");
    QTest::newRow("a setup on the left") << int(kLeft) << "open setup live";
    QTest::newRow("a file on the right") << int(kRight) << "load right.tvk";
  }
  void openingASideIsOneUndoStep() {
    QFETCH(int, side);
    QFETCH(QString, step);
    const auto which = CompareWindow::Side(side);
    FreshLibrary library;
    QCOMPARE(library.open(), QString());
    QVERIFY(library.library->setups().store(liveSetup()).ok());
    PresetTables fileTables;
    fileTables.setCc(3, 6);
    const QString path = library.dir.filePath(QStringLiteral("right.tvk"));
    const PresetNames fileNames = named(3, QStringLiteral("Solo"));
    QVERIFY(writeFile(path, FullBackup::serialize(fileTables, settings(33, 0b100), fileNames)));

    WindowRig rig;
    rig.core->setLibrary(library.library.get());
    rig.core->configuration().clickLoop(0, 0);
    QVERIFY(rig.form->isWindowModified());
    CompareWindow* compare = openCompare(rig);
    compare->picker(kLeft).choose(CompareSource::setup(QStringLiteral("live")));
    compare->picker(kRight).choose(CompareSource::file(path));
    const EditorsState before = editors(rig);
    const QUndoStack& stack = rig.form->edits().history().stack();
    const int steps = stack.count();

    rig.dialogs.saveAnswer = Dialogs::SaveAnswer::Cancel;
    QTest::mouseClick(compare->openButton(which), Qt::LeftButton);
    QCOMPARE(rig.dialogs.saveQuestions.size(), std::size_t{1});
    QVERIFY(rig.dialogs.saveQuestions[0].text.contains(
        which == kLeft ? QStringLiteral("left side") : QStringLiteral("right side")));
    QVERIFY(editors(rig) == before);
    QCOMPARE(stack.count(), steps);

    rig.dialogs.saveAnswer = Dialogs::SaveAnswer::Discard;
    QTest::mouseClick(compare->openButton(which), Qt::LeftButton);
    QCOMPARE(rig.dialogs.saveQuestions.size(), std::size_t{2});
    const Setup setup = liveSetup();
    const EditorsState opened = editors(rig);
    QCOMPARE(opened.tables, which == kLeft ? setup.bytes.tables() : fileTables);
    QCOMPARE(rig.core->configuration().recordBytes(),
             which == kLeft ? *setup.bytes.settings : settings(33, 0b100));
    QCOMPARE(opened.names, which == kLeft ? setup.names : fileNames);
    QCOMPARE(stack.count(), steps + 1);
    QCOMPARE(stack.undoText(), step);
    QCOMPARE(rig.form->isWindowModified(), which == kLeft);

    rig.form->edits().history().undo();
    QVERIFY(editors(rig) == before);
  }

  // Without a library there is nothing to pick a setup or snapshot from, and before a download
  // no device's side; each says why. The window takes in a library attached meanwhile when it
  // is shown again, and a download when it ends.
  void whatIsNotThereIsDisabled() {
    FreshLibrary library;
    QCOMPARE(library.open(), QString());
    WindowRig rig(deviceContents());
    CompareWindow* compare = openCompare(rig);
    for (const Kind kind : {Kind::Device, Kind::Setup, Kind::Snapshot}) {
      QVERIFY(!kindEnabled(compare, kRight, kind));
      QVERIFY(!kindToolTip(compare, kRight, kind).isEmpty());
    }
    QVERIFY(kindToolTip(compare, kLeft, Kind::Setup).contains(QStringLiteral("library")));
    QVERIFY(kindEnabled(compare, kLeft, Kind::Editors));
    QVERIFY(kindEnabled(compare, kLeft, Kind::File));

    rig.core->setLibrary(library.library.get());
    compare->hide();
    compare->show();
    QVERIFY(kindEnabled(compare, kLeft, Kind::Setup));
    QVERIFY(kindEnabled(compare, kRight, Kind::Snapshot));
    QVERIFY(kindToolTip(compare, kRight, Kind::Setup).isEmpty());
    chooseKind(compare, kLeft, Kind::Setup);
    QCOMPARE(summary(compare), QStringLiteral("Left: The library holds no setup."));
    QVERIFY(!compare->openButton(kLeft)->isEnabled());

    QVERIFY(rig.connectAndDownload());
    QVERIFY(kindEnabled(compare, kRight, Kind::Device));
    QCOMPARE(compare->picker(kRight).snapshotBox()->count(), 1);
  }

  // The setup or snapshot of a side is deleted elsewhere: shown again, the side says so and
  // stays empty, also when shown once more; it never falls to another entry, which "Open left
  // into the editors" would then open. Choosing another fills it again.
  void aSideWhoseEntryIsGoneStaysEmpty_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("a setup") << int(Kind::Setup)
                             << "Left: The setup \"live\" is no longer in the library.";
    QTest::newRow("a snapshot") << int(Kind::Snapshot)
                                << "submit is no longer in the device history.";
  }
  void aSideWhoseEntryIsGoneStaysEmpty() {
    QFETCH(int, kind);
    QFETCH(QString, said);
    FreshLibrary library;
    QCOMPARE(library.open(), QString());
    Setup other = liveSetup();
    other.name = QStringLiteral("another");  // listed before "live"
    other.bytes.presets[0] = 0b11;
    for (const Setup& setup : {other, liveSetup()}) {
      QVERIFY(library.library->setups().store(setup).ok());
      QVERIFY(library.library->history()
                  .add(setup.name == "live" ? "submit" : "download", setup.bytes)
                  .ok());
    }
    const qint64 newest = library.library->history().list().value->front().id;
    WindowRig rig;
    rig.core->setLibrary(library.library.get());
    CompareWindow* compare = openCompare(rig);
    CompareSidePicker& picker = compare->picker(kLeft);
    picker.choose(Kind(kind) == Kind::Setup ? CompareSource::setup(QStringLiteral("live"))
                                            : CompareSource::snapshot(newest));
    QVERIFY(compare->openButton(kLeft)->isEnabled());

    compare->hide();
    if (Kind(kind) == Kind::Setup) {
      QVERIFY(library.library->setups().remove(QStringLiteral("live")).ok());
    } else {
      test::RawDatabase raw(library.library->connection().path());
      QCOMPARE(raw.exec({QStringLiteral("DELETE FROM snapshots WHERE id = %1").arg(newest)}),
               QString());
    }
    for (int shows = 0; shows < 2; ++shows) {
      compare->hide();
      compare->show();
      QVERIFY(!picker.source().has_value());
      QVERIFY2(summary(compare).contains(said), qPrintable(summary(compare)));
      QVERIFY(!compare->openButton(kLeft)->isEnabled());
    }

    QComboBox* box = Kind(kind) == Kind::Setup ? picker.setupBox() : picker.snapshotBox();
    box->setCurrentIndex(0);
    QVERIFY(picker.source().has_value());
    QVERIFY(!summary(compare).contains(said));
    QVERIFY(compare->openButton(kLeft)->isEnabled());
  }

  // The editors against themselves tell nothing: the window opens against the device's last
  // download, or else the file last loaded, and says so when there is neither; a download that
  // comes while both sides are the editors takes the left side.
  void opensAgainstTheDownloadOrTheLastFile_data() {
    QTest::addColumn<bool>("downloaded");
    QTest::addColumn<bool>("fileLoaded");
    QTest::addColumn<int>("left");
    QTest::newRow("the last download") << true << false << int(Kind::Device);
    QTest::newRow("the download before the file") << true << true << int(Kind::Device);
    QTest::newRow("no download: the file loaded") << false << true << int(Kind::File);
    QTest::newRow("neither: the editors, and it says so") << false << false << int(Kind::Editors);
  }
  void opensAgainstTheDownloadOrTheLastFile() {
    QFETCH(bool, downloaded);
    QFETCH(bool, fileLoaded);
    QFETCH(int, left);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rig.tvk"));
    QVERIFY(writeFile(path, FullBackup::serialize(liveTables(), settings(33, 0), {})));
    WindowRig rig(deviceContents());
    if (downloaded) QVERIFY(rig.connectAndDownload());
    if (fileLoaded) {
      rig.form->buildDeviceTabs();
      rig.dialogs.nextFileName = path;
      rig.button("Button9")->click();
    }
    CompareWindow* compare = openCompare(rig);
    const std::optional<CompareSource> source = compare->picker(kLeft).source();
    QVERIFY(source.has_value());
    QCOMPARE(int(source->kind()), left);
    if (Kind(left) == Kind::File) QCOMPARE(source->name(), path);
    QCOMPARE(compare->picker(kRight).source(), CompareSource::editors());
    QCOMPARE(summary(compare).startsWith(QStringLiteral("Both sides are the editors")),
             Kind(left) == Kind::Editors);

    if (downloaded) return;
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(int(compare->picker(kLeft).source()->kind()),
             Kind(left) == Kind::Editors ? int(Kind::Device) : left);
  }

  // Opened for the first time, the window stands beside the main window, not over it.
  void opensBesideTheMainWindow() {
    WindowRig rig;
    const QRect screen = rig.form->screen()->availableGeometry();
    QVERIFY2(screen.width() >= 1920, "the test runs on a wide screen (see CMakeLists.txt)");
    rig.form->move(screen.topLeft());
    CompareWindow* compare = openCompare(rig);
    const QRect main = rig.form->frameGeometry();
    QVERIFY(compare->frameGeometry().left() > main.right());
    QCOMPARE(compare->frameGeometry().top(), main.top());
  }
};

QTEST_MAIN(CompareWindowTest)
#include "test_compare_window.moc"
