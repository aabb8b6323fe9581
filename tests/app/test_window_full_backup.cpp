// SPDX-License-Identifier: MIT
// The window's "Back up everything..." and "Restore everything..." over the simulated Tarvik:
// the same file and the same verified restore as the command line, through the rig->dialogs.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "WindowRig.h"
#include "app/EditTracking.h"
#include "app/FullBackupActions.h"
#include "config/FullBackup.h"
#include "config/PresetCsv.h"
#include "config/TvkFile.h"
#include "config/ui/AdvancedSettingsTab.h"
#include "config/ui/PresetMatrixModel.h"
#include "core/CoreParts.h"
#include "link/RestoreCheck.h"
#include "support/FileFaults.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using tarvik::testing::tablesOf;
using tarvik::testing::WindowRig;

namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PresetNames crunchAndSolo() {
  PresetNames names;
  names.setName(4, QStringLiteral("Crunch"));
  names.setName(127, QStringLiteral("Solo"));
  return names;
}

}  // namespace

class WindowFullBackupTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<WindowRig> rig;

  FullBackupActions& actions() const { return *rig->form->findChild<FullBackupActions*>(); }
  bool logHas(const QString& part) const {
    for (const QString& line : rig->logMessages())
      if (line.contains(part)) return true;
    return false;
  }

  // Connects as a user does, so that the link is open and the presets tab shows.
  void connectWindow(const TarvikContents& contents) {
    rig = std::make_unique<WindowRig>(contents);
    QVERIFY(rig->connectAndDownload());
    QVERIFY(rig->dialogs.errors.empty());
  }

  // The backup file of what the device holds, its settings as the program sends them.
  QByteArray backupOfDevice() const {
    const TarvikContents& held = rig->device().contents();
    ConfigRecord record;
    record.apply(held.configRecord);
    return FullBackup::serialize(tablesOf(held), record.toBytes());
  }

  QString nameShown(int row) const {
    const QAbstractItemModel* matrix = rig->find<QTableView>("ScrollBox1")->model();
    return matrix->index(row, PresetMatrixModel::kNameColumn).data().toString();
  }

  // Presses the button and waits for the action's end.
  bool pressAndAwait(const char* name) {
    QSignalSpy finished(&actions(), &FullBackupActions::finished);
    rig->button(name)->click();
    return finished.wait(testing::kWaitMs) && finished.front().front().toBool();
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir.isValid()); }

  void cleanup() { rig.reset(); }

  void backUpWritesTheCommandLinesFile() {
    connectWindow(TarvikContents::fromSeed(2));
    QVERIFY(rig->button("backupButton")->isEnabled());
    rig->dialogs.nextFileName = dir.filePath(QStringLiteral("window.tvk"));
    QVERIFY(pressAndAwait("backupButton"));
    QCOMPARE(readFile(rig->dialogs.nextFileName), backupOfDevice());
    QCOMPARE(rig->dialogs.fileFilters.last(), QStringLiteral("Tarvik Config File (*.tvk)"));
    QVERIFY(logHas(QStringLiteral("Backup written to ") + rig->dialogs.nextFileName));

    // "Load from File" reads the backup back: the device's tables, and the settings the editor
    // already holds.
    const TarvikContents& held = rig->device().contents();
    const ConfigRecord settingsBefore = rig->core->configuration().record();
    rig->core->configuration().deselectAll();
    rig->button("Button9")->click();
    QVERIFY(rig->core->configuration().tables() == tablesOf(held));
    QVERIFY(rig->core->configuration().record() == settingsBefore);
  }

  void restoreIsVerifiedAndLogged() {
    connectWindow(TarvikContents::fromSeed(1));
    const QString file = dir.filePath(QStringLiteral("restore.tvk"));
    const PresetTables tables = tablesOf(TarvikContents::fromSeed(5));
    const FullBackup::Settings settings = {90, 2,   1, 5, 5, 6,   128, 10, 2, 1,
                                           6,  127, 1, 0, 1, 127, 255, 1,  0, 3};
    QVERIFY(FullBackup::save(file, tables, settings));
    rig->dialogs.nextFileName = file;
    QVERIFY(pressAndAwait("restoreButton"));
    QVERIFY(logHas(QStringLiteral("Restore verified: ")));
    QVERIFY(rig->dialogs.errors.empty());
    QVERIFY(rig->device().contents().presets == tables.presetPayload());
    QVERIFY(rig->device().contents().configRecord == settings);
    // The grid shows what the device now holds.
    QVERIFY(rig->core->configuration().tables() == tables);
    QVERIFY(rig->button("restoreButton")->isEnabled());
  }

  void aDifferenceRaisesAnErrorBox() {
    connectWindow(TarvikContents::fromSeed(1));
    const QString file = dir.filePath(QStringLiteral("differs.tvk"));
    QVERIFY(TvkFile::save(file, tablesOf(TarvikContents::fromSeed(5))));
    SimFaults faults;
    faults.alterStoredCommand = 19;
    faults.alteredItem = 7;
    rig->device().setFaults(faults);
    rig->dialogs.nextFileName = file;
    QVERIFY(!pressAndAwait("restoreButton"));
    QCOMPARE(rig->dialogs.errors.size(), std::size_t{1});
    QVERIFY2(rig->dialogs.errors.front().text.startsWith(
                 QStringLiteral("Restore failed: PC remap table differ from row 8 on: device ")),
             qPrintable(rig->dialogs.errors.front().text));
    QVERIFY(logHas(QStringLiteral("Restore failed: PC remap table differ from row 8 on")));
  }

  void aRefusedFileIsShownAndNothingIsSent() {
    connectWindow(TarvikContents::fromSeed(1));
    const QString file = dir.filePath(QStringLiteral("broken.tvk"));
    QFile broken(file);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(TvkFile::serialize(PresetTables()) + "[settings]\r\nmuteMask=1\r\n");
    broken.close();
    const int commandsBefore = rig->device().commandsReceived();
    rig->dialogs.nextFileName = file;
    rig->button("restoreButton")->click();
    QCOMPARE(rig->dialogs.errors.size(), std::size_t{1});
    QVERIFY(rig->dialogs.errors.front().text.contains(QStringLiteral("debounceTime is missing")));
    QVERIFY(!rig->core->busy());
    QCOMPARE(rig->device().commandsReceived(), commandsBefore);
  }

  // "Load from File" keeps the file rules (what a cut file lacks takes its default) and says
  // so in one line; "Restore everything..." refuses the same file and sends nothing.
  void aCutFileLoadsWithOneLogLineButIsNeverRestored() {
    connectWindow(TarvikContents::fromSeed(1));
    const QString file = dir.filePath(QStringLiteral("cut.tvk"));
    QByteArray cut = TvkFile::serialize(tablesOf(TarvikContents::fromSeed(5))).left(400);
    cut.replace("[2]\r\npc=", "[2]\r\npc=x");
    QVERIFY(testing::putFile(file, cut));
    rig->dialogs.nextFileName = file;
    const int linesBefore = rig->logMessages().size();
    rig->button("Button9")->click();
    QVERIFY(rig->dialogs.errors.empty());
    QVERIFY(rig->core->configuration().tables() == *TvkFile::parse(cut).tables);
    const QStringList lines = rig->logMessages().mid(linesBefore);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.front().contains(file + " was loaded with defaults") &&
                 lines.front().contains("rows missing or incomplete") &&
                 lines.front().contains("could not be read: [2] pc=x"),
             qPrintable(lines.front()));

    const int commandsBefore = rig->device().commandsReceived();
    rig->button("restoreButton")->click();
    QCOMPARE(rig->dialogs.errors.size(), std::size_t{1});
    QVERIFY2(rig->dialogs.errors.front().text.startsWith(file + ": [2] pc="),
             qPrintable(rig->dialogs.errors.front().text));
    QCOMPARE(rig->device().commandsReceived(), commandsBefore);
  }

  // While the restore waits for the device's answer to the presets, nothing a user can reach
  // edits the configuration; and whatever still changes it makes the restore fail, since the
  // device is measured against the file, not against what went out.
  void aRestoreIsMeasuredAgainstTheFileAndLocksTheEditors() {
    connectWindow(TarvikContents::fromSeed(1));
    // One try: a second would send the file again and mend what the change broke.
    rig->core->setTransferCare({0, 0});
    const QString file = dir.filePath(QStringLiteral("moving.tvk"));
    QVERIFY(TvkFile::save(file, tablesOf(TarvikContents::fromSeed(5))));
    rig->dialogs.nextFileName = file;
    RestoreCheck& check = CoreParts::restoreCheck(*rig->core);
    QSignalSpy held(&rig->tarvik(), &InProcessTarvik::replyHeld);
    QObject::connect(&check, &RestoreCheck::stageChanged, &check, [&](RestoreCheck::Stage stage) {
      if (stage == RestoreCheck::Stage::SubmittingTables) rig->tarvik().holdReplies(true);
    });
    QSignalSpy finished(&actions(), &FullBackupActions::finished);
    rig->button("restoreButton")->click();
    // The presets' answer is the first held: the submit waits for it.
    QVERIFY(held.wait(testing::kWaitMs));

    for (const char* name : {"Button9", "Button10", "Button12", "backupButton", "restoreButton"})
      QVERIFY2(!rig->button(name)->isEnabled(), name);
    QVERIFY(!rig->find<QTableView>("ScrollBox1")->isEnabled());
    QVERIFY(!rig->find<QWidget>("TabSheet3")->findChild<AdvancedSettingsTab*>()->isEnabled());
    QVERIFY(!rig->form->findChild<QAction*>(QStringLiteral("undoAction"))->isEnabled());

    // What no control offers any more stands for any change that still comes through.
    rig->core->configuration().deselectAll();
    rig->tarvik().holdReplies(false);
    rig->tarvik().releaseHeld();
    if (finished.isEmpty()) QVERIFY(finished.wait(testing::kWaitMs));
    QCOMPARE(finished.front().front().toBool(), false);
    QVERIFY(logHas(QStringLiteral("Restore failed: CC map differ from row")));
    QVERIFY(!logHas(QStringLiteral("Restore verified")));
    for (const char* name : {"Button9", "Button10", "Button12", "restoreButton"})
      QVERIFY2(rig->button(name)->isEnabled(), name);
    QVERIFY(rig->find<QTableView>("ScrollBox1")->isEnabled());
  }

  // The backup holds what the device sent, not what the editors hold when the download ends.
  void aBackupIgnoresEditsMadeWhileItDownloads() {
    connectWindow(TarvikContents::fromSeed(2));
    rig->dialogs.nextFileName = dir.filePath(QStringLiteral("during.tvk"));
    QObject::connect(&CoreParts::machine(*rig->core), &TransferMachine::received, rig->form.get(),
                     [this](Block block) {
                       if (block == Block::Presets) rig->core->configuration().deselectAll();
                     });
    QVERIFY(pressAndAwait("backupButton"));
    QCOMPARE(readFile(rig->dialogs.nextFileName), backupOfDevice());
  }

  // Values the editors would change are written as the program would send them, and said so.
  void aBackupNamesEveryValueItCouldNotKeep() {
    TarvikContents contents = TarvikContents::fromSeed(3);
    contents.ccMap[4] = 200;
    contents.configRecord[0] = 255;
    connectWindow(contents);
    rig->dialogs.nextFileName = dir.filePath(QStringLiteral("clamped.tvk"));
    QVERIFY(pressAndAwait("backupButton"));
    QVERIFY(
        logHas(QStringLiteral("Backup differs from Tarvik: CC map row 5: Tarvik holds 0xC8, "
                              "the backup keeps 0xFF")));
    QVERIFY(logHas(QStringLiteral(
        "Backup differs from Tarvik: debounceTime: Tarvik holds 0xFF, the backup keeps 0xFE")));
    QCOMPARE(rig->dialogs.warnings.size(), std::size_t{1});
    QVERIFY(rig->dialogs.warnings.front().text.contains(QStringLiteral("CC map row 5")));
    const FullBackup::LoadResult written = FullBackup::load(rig->dialogs.nextFileName);
    QVERIFY(written.ok());
    QCOMPARE(written.tables->ccMapPayload()[4], std::uint8_t{0xFF});
    QCOMPARE((*written.settings)[0], std::uint8_t{254});
  }

  // Save in the question before closing keeps an unsaved setting: the file is a full backup,
  // and loading it puts the settings back into the editor, as one undo step.
  void saveBeforeClosingKeepsTheSettingsAndLoadBringsThemBack() {
    connectWindow(TarvikContents::fromSeed(4));
    Configuration& configuration = rig->core->configuration();
    ConfigRecord edited = configuration.record();
    edited.omniMode = !edited.omniMode;
    configuration.editRecord(edited);
    const QString file = dir.filePath(QStringLiteral("closing.tvk"));
    rig->dialogs.nextFileName = file;
    rig->dialogs.saveAnswer = Dialogs::SaveAnswer::Save;
    QVERIFY(rig->form->close());
    QCOMPARE(rig->dialogs.saveQuestions.size(), std::size_t{1});
    const FullBackup::LoadResult saved = FullBackup::load(file);
    QVERIFY(saved.ok());
    QVERIFY(saved.settings.has_value());
    QCOMPARE(*saved.settings, edited.toBytes());

    // A fresh window over the same device loads the file back.
    connectWindow(TarvikContents::fromSeed(4));
    QVERIFY(rig->core->configuration().record() != edited);
    rig->dialogs.nextFileName = file;
    rig->button("Button9")->click();
    QVERIFY(rig->core->configuration().record() == edited);
    QCOMPARE(rig->core->marks().changeCount(Block::Record), 1);
    QVERIFY(!rig->form->isWindowModified());
    rig->form->findChild<QAction*>(QStringLiteral("undoAction"))->trigger();
    QVERIFY(rig->core->configuration().record() != edited);
    QVERIFY(rig->core->configuration().tables() == tablesOf(TarvikContents::fromSeed(4)));
  }

  // A file's names come into the editors with its tables, replacing the names given before,
  // and one undo takes both back; names the file holds wrongly are left out, and said so.
  void aFilesNamesComeWithItsTablesAsOneStep_data() {
    QTest::addColumn<bool>("restore");
    QTest::addColumn<bool>("readable");
    QTest::newRow("Load from File") << false << true;
    QTest::newRow("Restore everything") << true << true;
    QTest::newRow("Load from File, names unreadable") << false << false;
    QTest::newRow("Restore everything, names unreadable") << true << false;
  }
  void aFilesNamesComeWithItsTablesAsOneStep() {
    QFETCH(bool, restore);
    QFETCH(bool, readable);
    connectWindow(TarvikContents::fromSeed(1));
    Configuration& configuration = rig->core->configuration();
    const PresetTables before = configuration.tables();
    configuration.renamePreset(0, QStringLiteral("Old"));
    const PresetTables tables = tablesOf(TarvikContents::fromSeed(5));
    const QString file = dir.filePath(QStringLiteral("named.tvk"));
    QFile named(file);
    QVERIFY(named.open(QIODevice::WriteOnly));
    named.write(FullBackup::serialize(tables, std::nullopt, crunchAndSolo()) +
                (readable ? "" : "200=Beyond\r\n"));
    named.close();
    rig->dialogs.nextFileName = file;

    if (restore) {
      QVERIFY(pressAndAwait("restoreButton"));
    } else {
      rig->button("Button9")->click();
    }
    QVERIFY(configuration.tables() == tables);
    QCOMPARE(nameShown(4), readable ? QStringLiteral("Crunch") : QString());
    QVERIFY(configuration.names() == (readable ? crunchAndSolo() : PresetNames()));
    const bool told = restore
                          ? logHas(QStringLiteral("The preset names in %1 are left out").arg(file))
                          : !rig->dialogs.warnings.empty();
    QCOMPARE(told, !readable);
    // The names are as the file gave them (or none), which is no unsaved work; the name given
    // before, back with the undo, is.
    QVERIFY(!rig->form->isWindowModified());

    rig->form->findChild<QAction*>(QStringLiteral("undoAction"))->trigger();
    QVERIFY(configuration.tables() == before);
    QCOMPARE(nameShown(0), QStringLiteral("Old"));
    QVERIFY(configuration.names().name(4).isEmpty());
    QVERIFY(rig->form->isWindowModified());
  }

  // A restore of tables alone leaves the device its settings, which its read-back brings into
  // the editors over an edit there as one named step: one undo brings the edit back.
  void aRestoresReadBackIsOneNamedStep() {
    connectWindow(TarvikContents::fromSeed(2));
    Configuration& configuration = rig->core->configuration();
    const ConfigRecord device = configuration.record();
    ConfigRecord edited = device;
    edited.omniMode = !edited.omniMode;
    configuration.editRecord(edited);
    const QString file = dir.filePath(QStringLiteral("tables.tvk"));
    QFile tablesOnly(file);
    QVERIFY(tablesOnly.open(QIODevice::WriteOnly));
    tablesOnly.write(
        FullBackup::serialize(tablesOf(TarvikContents::fromSeed(6)), std::nullopt, {}));
    tablesOnly.close();
    rig->dialogs.nextFileName = file;
    QVERIFY(pressAndAwait("restoreButton"));
    QVERIFY(configuration.record() == device);
    QCOMPARE(rig->form->edits().history().stack().undoText(),
             QStringLiteral("read configuration from Tarvik"));
    rig->form->findChild<QAction*>(QStringLiteral("undoAction"))->trigger();
    QVERIFY(configuration.record() == edited);
  }

  // The names are the editors', not the device's: only the full backup the editors write holds
  // them, and a .tvk file is written byte for byte as ever.
  // A .tvk file leaves the names unsaved; the question's Save keeps them in the backup format,
  // also when they are all that is unsaved.
  void onlyTheEditorsFullBackupHoldsTheirNames_data() {
    QTest::addColumn<bool>("closing");
    QTest::addColumn<bool>("settingsEdited");
    QTest::newRow("Save as File") << false << false;
    QTest::newRow("Save in the question before closing, settings unsaved") << true << true;
    QTest::newRow("Save in the question before closing, names alone unsaved") << true << false;
  }
  void onlyTheEditorsFullBackupHoldsTheirNames() {
    QFETCH(bool, closing);
    QFETCH(bool, settingsEdited);
    connectWindow(TarvikContents::fromSeed(4));
    Configuration& configuration = rig->core->configuration();
    configuration.setNames(crunchAndSolo());
    rig->dialogs.nextFileName =
        dir.filePath(QStringLiteral("names-%1-%2.tvk").arg(closing).arg(settingsEdited));
    QByteArray expected = TvkFile::serialize(configuration.tables());
    if (settingsEdited) {
      ConfigRecord edited = configuration.record();
      edited.omniMode = !edited.omniMode;
      configuration.editRecord(edited);
    }
    if (closing) {
      expected = FullBackup::serialize(configuration.tables(), configuration.recordBytes(),
                                       crunchAndSolo());
      rig->dialogs.saveAnswer = Dialogs::SaveAnswer::Save;
      QVERIFY(rig->form->close());
    } else {
      rig->button("Button8")->click();
    }
    QCOMPARE(readFile(rig->dialogs.nextFileName), expected);
    QCOMPARE(rig->form->isWindowModified(), !closing);
  }

  // "Setup sheet..." writes what the editors hold, edits and all, by the name chosen: its
  // extension says what.
  void theSetupSheetWritesTheEditorsByTheChosenName() {
    connectWindow(TarvikContents::fromSeed(11));
    Configuration& editors = rig->core->configuration();
    editors.clickLoop(3, 2);
    editors.choosePcRemap(3, PresetTables::kPcRemapNone);
    editors.setNames(crunchAndSolo());
    auto* save = rig->form->findChild<QAction*>(QStringLiteral("saveSetupSheet"));
    QVERIFY(save != nullptr);
    QVERIFY(rig->button("setupSheetButton")->menu()->actions().contains(save));

    const QString csv = dir.filePath(QStringLiteral("sheet.csv"));
    rig->dialogs.nextFileName = csv;
    save->trigger();
    QVERIFY(rig->dialogs.errors.empty());
    const PresetCsv::Read read = PresetCsv::parse(readFile(csv));
    QVERIFY2(read.ok(), qPrintable(read.error));
    for (int row = 0; row < kTableSize; ++row) {
      QCOMPARE(read.presets->at(row),
               (PresetRow{editors.tables().mask(row), editors.tables().pcRemap(row),
                          crunchAndSolo().name(row)}));
    }
    QCOMPARE(read.presets->at(3).pcRemap, PresetTables::kPcRemapNone);
    QVERIFY(logHas(QStringLiteral("The setup sheet is written to %1.").arg(csv)));

    const QString text = dir.filePath(QStringLiteral("sheet.txt"));
    rig->dialogs.nextFileName = text;
    save->trigger();
    QCOMPARE(rig->dialogs.errors.size(), std::size_t{1});
    QVERIFY2(rig->dialogs.errors[0].text.contains(QStringLiteral("is neither")),
             qPrintable(rig->dialogs.errors[0].text));
    QVERIFY(!QFile::exists(text));
  }
};

QTEST_MAIN(WindowFullBackupTest)
#include "test_window_full_backup.moc"
