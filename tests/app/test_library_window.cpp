// SPDX-License-Identifier: MIT
// The window's Library over a library in a temporary folder: what the editors hold stored and
// found again, opened back as one undo step, sent to the simulated Tarvik with the verified
// restore, files imported all or nothing, and a file that is not a library left as it was.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QUndoStack>
#include <memory>

#include "WindowRig.h"
#include "app/EditTracking.h"
#include "app/FullBackupActions.h"
#include "app/LibraryHolder.h"
#include "app/LibraryWindow.h"
#include "app/SetListPane.h"
#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "library/LibraryRig.h"
#include "library/Schema.h"
#include "library/SmallDisk.h"
#include "support/FileFaults.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using namespace tarvik::testing;
using Answer = Dialogs::SaveAnswer;

namespace {

// Settings the simulated Tarvik keeps byte for byte (the CC-message items count: "CC Message"
// is the Pin-20 function).
constexpr ConfigBytes::Settings kKeptSettings = {90, 2,   1, 5, 5, 6,   128, 10, 2, 1,
                                                 6,  127, 1, 0, 1, 127, 255, 1,  0, 3};

// Contents the device takes as they are, with a name for the first and the last preset.
Setup deviceReadySetup(const QString& name, std::uint32_t seed) {
  const TarvikContents contents = TarvikContents::fromSeed(seed);
  Setup setup;
  setup.name = name;
  setup.bytes = ConfigBytes{contents.presets, contents.ccMap, contents.pcRemap, kKeptSettings};
  setup.names.setName(0, QStringLiteral("Clean"));
  setup.names.setName(127, QStringLiteral("Solo"));
  return setup;
}

QStringList namesOf(const QList<SetupSummary>& setups) {
  QStringList names;
  for (const SetupSummary& setup : setups) names << setup.name;
  return names;
}

}  // namespace

class LibraryWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<WindowRig> rig;
  int files = 0;

  LibraryHolder& holder() const { return rig->form->library(); }
  SetupLibrary& library() const { return *holder().library(); }
  QString newPath(const QString& suffix = QStringLiteral(".sqlite")) {
    return dir.filePath(QStringLiteral("file%1%2").arg(++files).arg(suffix));
  }

  // A window over a new library, with the setups in it, and its Library window open.
  LibraryWindow* openWindow(const QList<Setup>& setups = {},
                            const TarvikContents& contents = TarvikContents::fromSeed(7)) {
    rig = std::make_unique<WindowRig>(contents);
    holder().open(newPath());
    if (holder().library() == nullptr) return nullptr;
    for (const Setup& setup : setups) {
      if (!library().setups().store(setup).ok()) return nullptr;
    }
    rig->button("libraryButton")->click();
    return holder().window();
  }
  QStringList listed() const { return namesOf(holder().window()->setupModel().rows()); }
  QPushButton* button(const char* name) const {
    return holder().window()->findChild<QPushButton*>(QString::fromLatin1(name));
  }
  // Selects as a click on the row does.
  void selectRow(const char* list, int row) const {
    auto* view = holder().window()->findChild<QTreeView*>(QString::fromLatin1(list));
    view->selectionModel()->setCurrentIndex(
        view->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  void selectSetup(const QString& name) const {
    selectRow("setupList", holder().window()->setupModel().rowOf(name));
  }
  bool logHas(const QString& part) const {
    for (const QString& line : rig->logMessages())
      if (line.contains(part)) return true;
    return false;
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir.isValid()); }
  void cleanup() { rig.reset(); }

  // Stored as the editors hold them, values, settings and names; then found by what is typed.
  void storeThenFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing typed: all, by name in any letter case")
        << QString() << QStringList{"Blues", "clean rig", "Lead"};
    QTest::newRow("a name in other letters") << "LEAD" << QStringList{"Lead"};
    QTest::newRow("a word of a note") << "club" << QStringList{"clean rig"};
    QTest::newRow("nothing matches") << "polka" << QStringList{};
  }
  void storeThenFilter() {
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    LibraryWindow* window = openWindow();
    QVERIFY(window != nullptr);
    Configuration& configuration = rig->core->configuration();
    QList<ConfigBytes> held;
    for (const char* name : {"Lead", "clean rig", "Blues"}) {
      configuration.clickLoop(static_cast<int>(held.size()), 3);
      QVERIFY(configuration.renamePreset(5, QString::fromLatin1(name) + " 5").isEmpty());
      held << ConfigBytes::fromTables(configuration.tables(), configuration.recordBytes());
      rig->dialogs.textAnswers = {QString::fromLatin1(name),
                                  name == QByteArray("clean rig") ? "for the club" : ""};
      button("storeButton")->click();
      QCOMPARE(window->current().name, QString::fromLatin1(name));
    }
    QVERIFY(rig->dialogs.errors.empty());
    const Setup clean = *library().setups().setup(QStringLiteral("clean rig")).value;
    QVERIFY(clean.bytes == held[1]);
    QCOMPARE(clean.names.name(5), QStringLiteral("clean rig 5"));
    QCOMPARE(clean.note, QStringLiteral("for the club"));
    // Kept in the library, the work is no longer at risk.
    QVERIFY(!rig->core->marks().unsaved());

    QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("libraryFilter")), typed);
    QCOMPARE(listed(), expected);
  }

  void storingOverASetupAsksFirst_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("replaced when confirmed") << true;
    QTest::newRow("kept when declined") << false;
  }
  void storingOverASetupAsksFirst() {
    QFETCH(bool, replace);
    Setup live = deviceReadySetup(QStringLiteral("Live"), 3);
    live.note = QStringLiteral("Friday");
    QVERIFY(openWindow({live}) != nullptr);
    selectSetup(QStringLiteral("Live"));
    rig->dialogs.textAnswers = {QStringLiteral("Live")};
    rig->dialogs.confirmAnswer = replace;
    button("storeButton")->click();
    // The selected setup's name is offered, and taking it asks before the setup is replaced.
    QCOMPARE(rig->dialogs.offeredTexts, QStringList{"Live"});
    QCOMPARE(rig->dialogs.confirmations.size(), std::size_t{1});
    const Setup stored = *library().setups().setup(QStringLiteral("Live")).value;
    const Configuration& editors = rig->core->configuration();
    QCOMPARE(stored.bytes == ConfigBytes::fromTables(editors.tables(), editors.recordBytes()),
             replace);
    QCOMPARE(stored.bytes == live.bytes, !replace);
    QCOMPARE(stored.note, live.note);
  }

  void openingIsOneUndoStepAfterTheQuestion_data() {
    QTest::addColumn<bool>("snapshot");
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("opened");
    QTest::newRow("a setup, nothing unsaved: no question")
        << false << false << Answer::Cancel << true;
    QTest::newRow("a setup over unsaved work given up") << false << true << Answer::Discard << true;
    QTest::newRow("a setup, the question cancelled: nothing changes")
        << false << true << Answer::Cancel << false;
    QTest::newRow("a snapshot: the editors keep their names")
        << true << false << Answer::Cancel << true;
  }
  void openingIsOneUndoStepAfterTheQuestion() {
    QFETCH(bool, snapshot);
    QFETCH(bool, unsaved);
    QFETCH(Answer, answer);
    QFETCH(bool, opened);
    // Values the editors clamp, and settings the device would not take: opened as a download
    // would put them in.
    const Setup live = test::sampleSetup(QStringLiteral("Live"), 4);
    QVERIFY(openWindow({live}) != nullptr);
    QVERIFY(library().history().add(QStringLiteral("download"), live.bytes).ok());
    holder().reportChanged();
    Configuration& configuration = rig->core->configuration();
    QVERIFY(configuration.renamePreset(9, QStringLiteral("Mine")).isEmpty());
    // Held in a backup: only the click below is unsaved work.
    rig->core->fileHolds(ConfigBytes::sent(configuration), configuration.names());
    if (unsaved) configuration.clickLoop(5, 0);
    QVERIFY(rig->core->marks().unsaved() == unsaved);
    const EditHistory::Snapshot before{configuration.tables(), configuration.record(),
                                       configuration.names()};
    QUndoStack& stack = rig->form->edits().history().stack();
    const int steps = stack.count();

    rig->dialogs.saveAnswer = answer;
    if (snapshot) {
      selectRow("historyList", 0);
    } else {
      selectSetup(QStringLiteral("Live"));
    }
    button("openButton")->click();

    QCOMPARE(rig->dialogs.saveQuestions.size(), std::size_t{unsaved ? 1U : 0U});
    const EditHistory::Snapshot after{configuration.tables(), configuration.record(),
                                      configuration.names()};
    if (!opened) {
      QVERIFY(after == before);
      QCOMPARE(stack.count(), steps);
      return;
    }
    ConfigRecord record;
    record.apply(*live.bytes.settings);
    QVERIFY(after.tables == live.bytes.tables());
    QVERIFY(after.record == record);
    QVERIFY(after.names == (snapshot ? before.names : live.names));
    QVERIFY(!rig->core->marks().unsaved());
    QCOMPARE(stack.count(), steps + 1);
    stack.undo();
    QVERIFY((EditHistory::Snapshot{configuration.tables(), configuration.record(),
                                   configuration.names()}) == before);
  }

  // The library's contents go to the device through the window's verified restore; the device
  // history, listed in the window, gains the restore as it gained the download.
  void sendingRestoresTheSetupVerified() {
    const Setup rig5 = deviceReadySetup(QStringLiteral("Rig"), 5);
    LibraryWindow* window = openWindow({rig5}, TarvikContents::fromSeed(1));
    QVERIFY(window != nullptr);
    selectSetup(QStringLiteral("Rig"));
    QVERIFY2(!button("sendButton")->isEnabled(), "no device connected yet");
    QVERIFY(rig->connectAndDownload());
    QCOMPARE(window->snapshotModel().rows().size(), 1);
    QVERIFY(button("sendButton")->isEnabled());

    QSignalSpy finished(rig->form->findChild<FullBackupActions*>(), &FullBackupActions::finished);
    button("sendButton")->click();
    QVERIFY2(!button("sendButton")->isEnabled(), "the link is busy");
    QVERIFY(finished.wait(kWaitMs));
    QVERIFY2(finished.front().front().toBool(), qPrintable(rig->logMessages().join('\n')));
    QVERIFY(rig->dialogs.errors.empty());
    QVERIFY(logHas(QStringLiteral("Send the setup \"Rig\" to Tarvik")));
    QVERIFY(logHas(QStringLiteral("Restore verified")));

    const TarvikContents& held = rig->device().contents();
    QVERIFY(held.presets == rig5.bytes.presets);
    QVERIFY(held.ccMap == rig5.bytes.ccMap);
    QVERIFY(held.pcRemap == rig5.bytes.pcRemap);
    QVERIFY(held.configRecord == kKeptSettings);
    const QList<SnapshotSummary> history = window->snapshotModel().rows();
    QCOMPARE(history.size(), 2);
    QCOMPARE(history.front().event, QStringLiteral("restore"));
    QVERIFY(library().history().snapshot(history.front().id).value->bytes == rig5.bytes);
  }

  // "Load from File" and the library's "Open" of the setup imported from the same file leave the
  // same editors, also where the file is silent: the CC-message values the device sent stay
  // while the file's Pin-20 function is not "CC Message".
  void aFileAndItsImportedSetupOpenAlike_data() {
    QTest::addColumn<int>("pinFunction");  // -1: a .tvk file without settings
    QTest::addColumn<bool>("named");
    QTest::newRow("settings without CC Message keep the device's CC values") << 1 << true;
    QTest::newRow("settings with CC Message take the file's") << 2 << false;
    QTest::newRow("a .tvk file keeps the device's settings") << -1 << false;
  }
  void aFileAndItsImportedSetupOpenAlike() {
    QFETCH(int, pinFunction);
    QFETCH(bool, named);
    TarvikContents device = TarvikContents::fromSeed(3);
    device.configRecord = kKeptSettings;  // "CC Message" with channel 2, change 6, value 127
    QVERIFY(openWindow({}, device) != nullptr);
    QVERIFY(rig->connectAndDownload());
    const QString path = dir.filePath(QStringLiteral("stage.tvk"));
    const PresetTables tables = tablesOf(TarvikContents::fromSeed(12));
    if (pinFunction < 0) {
      QVERIFY(TvkFile::save(path, tables));
    } else {
      ConfigBytes::Settings settings = kKeptSettings;
      settings[8] = static_cast<std::uint8_t>(pinFunction);
      settings[9] = settings[10] = settings[11] = pinFunction == 2 ? 9 : 0;
      PresetNames names;
      if (named) names.setName(3, QStringLiteral("Lead"));
      LoopLabels labels;
      labels.setLabel(1, QStringLiteral("Fuzz"));
      QVERIFY(FullBackup::save(path, tables, settings, names, labels));
    }
    Configuration& configuration = rig->core->configuration();
    const auto editors = [&] {
      return EditHistory::Snapshot{configuration.tables(), configuration.record(),
                                   configuration.names(), configuration.labels()};
    };
    const EditHistory::Snapshot before = editors();
    QUndoStack& stack = rig->form->edits().history().stack();

    rig->form->openFile(path);
    const EditHistory::Snapshot loaded = editors();
    QVERIFY(!rig->core->marks().unsaved());
    stack.undo();
    QVERIFY(editors() == before);

    rig->dialogs.nextFileNames = {path};
    button("importButton")->click();
    selectSetup(QStringLiteral("stage"));
    button("openButton")->click();
    const EditHistory::Snapshot opened = editors();
    QVERIFY(!rig->core->marks().unsaved());
    QVERIFY(opened.tables == loaded.tables);
    QCOMPARE(opened.record.magicFunction, loaded.record.magicFunction);
    QCOMPARE(opened.record.magicChannel, loaded.record.magicChannel);
    QCOMPARE(opened.record.magicChange, loaded.record.magicChange);
    QCOMPARE(opened.record.magicValue, loaded.record.magicValue);
    QVERIFY(opened == loaded);
    QVERIFY(opened != before);
  }

  void importIsAllOrNothing_data() {
    QTest::addColumn<bool>("oneRefused");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::newRow("each file a setup named after it")
        << false << false << false << QStringList{"amp", "bass", "crunch"};
    QTest::newRow("one file refused: none stored, the box names it")
        << true << false << false << QStringList{"amp"};
    QTest::newRow("a name taken, replace declined: none stored")
        << false << true << false << QStringList{"amp"};
    QTest::newRow("a name taken and replaced")
        << false << true << true << QStringList{"amp", "bass", "crunch"};
  }
  void importIsAllOrNothing() {
    QFETCH(bool, oneRefused);
    QFETCH(bool, taken);
    QFETCH(bool, replace);
    QFETCH(QStringList, listedAfter);
    const Setup amp = deviceReadySetup(QStringLiteral("amp"), 1);
    QVERIFY(openWindow({amp}) != nullptr);
    QTemporaryDir files;
    const QStringList paths{
        files.filePath(QStringLiteral("bass.tvk")),
        files.filePath(taken ? QStringLiteral("amp.tvk") : QStringLiteral("crunch.tvk"))};
    const PresetTables tables = tablesOf(TarvikContents::fromSeed(9));
    QVERIFY(TvkFile::save(paths[0], tables));
    QVERIFY(test::writeFile(paths[1], oneRefused ? "not a setup\n" : TvkFile::serialize(tables)));
    if (taken) QVERIFY(test::writeFile(files.filePath("crunch.tvk"), TvkFile::serialize(tables)));
    rig->dialogs.nextFileNames = paths;
    if (taken) rig->dialogs.nextFileNames << files.filePath("crunch.tvk");
    rig->dialogs.confirmAnswer = replace;

    button("importButton")->click();
    QCOMPARE(listed(), listedAfter);
    QCOMPARE(rig->dialogs.confirmations.size(), std::size_t{taken ? 1U : 0U});
    QCOMPARE(rig->dialogs.errors.size(), std::size_t{oneRefused ? 1U : 0U});
    if (oneRefused) {
      QVERIFY2(rig->dialogs.errors.front().text.contains(paths[1]),
               qPrintable(rig->dialogs.errors.front().text));
    }
    const bool replaced =
        library().setups().setup(QStringLiteral("amp")).value->bytes.tables() == tables;
    QCOMPARE(replaced, taken && replace);
  }

  void droppedFilesAreImported() {
    LibraryWindow* window = openWindow();
    QVERIFY(window != nullptr);
    QTemporaryDir files;
    QList<QUrl> urls;
    for (const char* name : {"verse.tvk", "chorus.tvk"}) {
      QVERIFY(TvkFile::save(files.filePath(name), tablesOf(TarvikContents::fromSeed(2))));
      urls << QUrl::fromLocalFile(files.filePath(name));
    }
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(enter.isAccepted());
    QSignalSpy changed(&holder(), &LibraryHolder::changed);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    QVERIFY(changed.wait(kWaitMs));
    QCOMPARE(listed(), (QStringList{"chorus", "verse"}));
    QCOMPARE(window->current().name, QStringLiteral("verse"));
  }

  void changesToASetup_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<int>("errors");
    QTest::newRow("delete, declined")
        << "deleteButton" << false << QString() << QStringList{"Home", "Live"} << 0;
    QTest::newRow("delete, confirmed")
        << "deleteButton" << true << QString() << QStringList{"Home"} << 0;
    QTest::newRow("rename") << "renameButton" << true << " Studio " << QStringList{"Home", "Studio"}
                            << 0;
    QTest::newRow("rename onto a name that is taken: refused in a box")
        << "renameButton" << true << "Home" << QStringList{"Home", "Live"} << 1;
    QTest::newRow("duplicate under the offered name")
        << "duplicateButton" << true << "Live copy" << QStringList{"Home", "Live", "Live copy"}
        << 0;
  }
  void changesToASetup() {
    QFETCH(QString, button);
    QFETCH(bool, confirm);
    QFETCH(QString, answer);
    QFETCH(QStringList, listedAfter);
    QFETCH(int, errors);
    QVERIFY(openWindow({deviceReadySetup("Live", 1), deviceReadySetup("Home", 2)}) != nullptr);
    selectSetup(QStringLiteral("Live"));
    rig->dialogs.confirmAnswer = confirm;
    rig->dialogs.textAnswers = {answer};
    this->button(qPrintable(button))->click();
    QCOMPARE(listed(), listedAfter);
    QCOMPARE(rig->dialogs.errors.size(), std::size_t(errors));
    if (button == "deleteButton") {
      QCOMPARE(rig->dialogs.confirmations.size(), std::size_t{1});
      QVERIFY(rig->dialogs.confirmations.front().text.contains("\"Live\""));
    } else {
      // The name to change starts from the selected one, or from its copy's.
      QCOMPARE(rig->dialogs.offeredTexts,
               QStringList{button == "renameButton" ? "Live" : "Live copy"});
    }
  }

  void exportWritesTheSetupsBackupFile() {
    Setup live = deviceReadySetup(QStringLiteral("Live"), 6);
    QVERIFY(openWindow({live}) != nullptr);
    selectSetup(QStringLiteral("Live"));
    rig->dialogs.nextFileName = newPath(QStringLiteral(".tvk"));
    button("exportButton")->click();
    QVERIFY(rig->dialogs.errors.empty());
    QFile written(rig->dialogs.nextFileName);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), *library().exportSetup(QStringLiteral("Live")).value);
  }

  // The disk fills while a setup is exported: the box says so and the file that was there
  // stays whole.
  void anExportOnAFullDiskLeavesTheOldFile() {
    QVERIFY(openWindow({deviceReadySetup(QStringLiteral("Live"), 6)}) != nullptr);
    selectSetup(QStringLiteral("Live"));
    rig->dialogs.nextFileName = newPath(QStringLiteral(".tvk"));
    QVERIFY(testing::putFile(rig->dialogs.nextFileName, "old\n"));
    {
      const testing::FileSizeLimit full(1000);
      button("exportButton")->click();
    }
    QCOMPARE(rig->dialogs.errors.size(), std::size_t{1});
    QCOMPARE(testing::fileBytes(rig->dialogs.nextFileName), QByteArray("old\n"));
  }

  // A FIFO or a device dropped on the window is refused before it is opened: reading it would
  // wait for ever or fill the memory.
  void aDroppedFileThatIsNotAFileIsRefused() {
    LibraryWindow* window = openWindow();
    QVERIFY(window != nullptr);
    QTemporaryDir files;
    const QString fifo = files.filePath("fifo.tvk");
    QVERIFY(testing::makeFifo(fifo));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(fifo), QUrl::fromLocalFile("/dev/zero")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    QVERIFY(rig->dialogs.awaitErrors(1, kWaitMs));
    QVERIFY2(rig->dialogs.errors.front().text.contains(fifo + ": not a regular file"),
             qPrintable(rig->dialogs.errors.front().text));
    QCOMPARE(listed(), QStringList());
  }

  // Opened for the first time, it stands beside the main window, not over its port lists: also
  // from the middle of the screen, where the program starts and no side has room for it.
  void theWindowStandsBesideTheMainWindow_data() {
    QTest::addColumn<bool>("centred");
    QTest::newRow("main window at the screen's corner") << false;
    QTest::newRow("main window in the middle, as the program starts") << true;
  }
  void theWindowStandsBesideTheMainWindow() {
    QFETCH(bool, centred);
    rig = std::make_unique<WindowRig>();
    holder().open(newPath());
    const QRect screen = rig->form->screen()->availableGeometry();
    QVERIFY2(screen.width() >= 1920, "the test runs on a wide screen (see CMakeLists.txt)");
    rig->form->move(centred ? screen.center() - rig->form->rect().center() : screen.topLeft());
    rig->button("libraryButton")->click();
    LibraryWindow* window = holder().window();
    QVERIFY(window != nullptr && window->isVisible());
    const QRect frame = window->frameGeometry();
    const QRect lists = rig->form->portListsFrame();
    const QString where = QStringLiteral("frame %1,%2 %3x%4, port lists %5,%6 %7x%8")
                              .arg(frame.x())
                              .arg(frame.y())
                              .arg(frame.width())
                              .arg(frame.height())
                              .arg(lists.x())
                              .arg(lists.y())
                              .arg(lists.width())
                              .arg(lists.height());
    QVERIFY2(screen.contains(frame), qPrintable(where));
    QVERIFY2(!frame.intersects(lists), qPrintable(where));
    QCOMPARE(frame.intersects(rig->form->frameGeometry()), centred);
  }

  // The library is opened after the first frame and attached to the core, which is free of it
  // once the window has gone.
  void theLibraryIsOpenedAfterTheFirstFrameAndDetachedAtTheEnd() {
    rig = std::make_unique<WindowRig>();
    QSignalSpy opened(&holder(), &LibraryHolder::opened);
    holder().openAfterFirstFrame(newPath());
    QVERIFY(holder().library() == nullptr);
    QVERIFY(opened.wait(kWaitMs));
    QVERIFY(holder().library() != nullptr);
    QCOMPARE(rig->core->library(), holder().library());
    rig->form.reset();
    QCOMPARE(rig->core->library(), nullptr);
  }

  // A library refused for a full disk is not called damaged, and it opens the next time the
  // user asks for it once the disk has room again.
  void aLibraryRefusedForAFullDiskOpensWhenAskedAgain() {
    test::SmallDisk disk;
    if (!disk.problem().isEmpty()) QSKIP(qPrintable(disk.problem()));
    const QString path = disk.file(QStringLiteral("library.sqlite"));
    {
      SetupLibrary::Opened made = SetupLibrary::open(path);
      QVERIFY2(made.library, qPrintable(made.error));
      QVERIFY(made.library->setups().store(deviceReadySetup(QStringLiteral("Live"), 1)).ok());
    }
    QVERIFY(disk.fill());
    rig = std::make_unique<WindowRig>();
    holder().open(path);
    QVERIFY(holder().library() == nullptr);
    rig->button("libraryButton")->click();
    auto* problem = holder().window()->findChild<QLabel*>(QStringLiteral("libraryProblem"));
    QVERIFY(problem->isVisible());
    QVERIFY2(problem->text().contains(QStringLiteral("the disk is full")),
             qPrintable(problem->text()));
    QVERIFY(!problem->text().contains(QStringLiteral("damaged")));

    disk.empty();
    rig->button("libraryButton")->click();
    QVERIFY2(holder().library() != nullptr, qPrintable(holder().problem()));
    QCOMPARE(rig->core->library(), holder().library());
    QVERIFY(!problem->isVisible());
    QCOMPARE(listed(), QStringList{"Live"});
    QVERIFY(button("storeButton")->isEnabled());
    rig.reset();
  }

  // Another program inside a write holds up neither the window's library nor its lists.
  void theLibraryOpensBesideAnotherProgramsWrite() {
    const QString path = newPath();
    {
      SetupLibrary::Opened made = SetupLibrary::open(path);
      QVERIFY2(made.library, qPrintable(made.error));
      QVERIFY(made.library->setups().store(deviceReadySetup(QStringLiteral("Live"), 1)).ok());
    }
    test::RawDatabase other(path);
    QCOMPARE(other.exec({"BEGIN IMMEDIATE", "DELETE FROM setups"}), QString());
    rig = std::make_unique<WindowRig>();
    holder().open(path);
    QVERIFY2(holder().library() != nullptr, qPrintable(holder().problem()));
    rig->button("libraryButton")->click();
    QCOMPARE(listed(), QStringList{"Live"});
    rig.reset();
  }

  void aFileThatIsNotALibraryIsLeftAlone_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a text file") << "text"
                                 << "not a setup library of this program";
    QTest::newRow("a damaged database") << "damaged"
                                        << "damaged";
    QTest::newRow("a library of a newer layout") << "newer"
                                                 << "newer version";
  }
  void aFileThatIsNotALibraryIsLeftAlone() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString path = newPath();
    if (kind == "text") {
      QVERIFY(test::writeFile(path, "my setups:\nBlues\n"));
    } else {
      QVERIFY(SetupLibrary::open(path).library != nullptr);
      if (kind == "newer") {
        test::RawDatabase raw(path);
        QCOMPARE(raw.exec({QStringLiteral("PRAGMA user_version = %1").arg(Schema::kVersion + 1)}),
                 QString());
      } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(50));
      }
    }
    const test::FileState before = test::FileState::of(path);

    rig = std::make_unique<WindowRig>();
    QSignalSpy opened(&holder(), &LibraryHolder::opened);
    holder().openAfterFirstFrame(path);
    QVERIFY(opened.wait(kWaitMs));
    QVERIFY(holder().library() == nullptr);
    QCOMPARE(rig->core->library(), nullptr);
    const QStringList lines = rig->logMessages().filter(path);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.front().contains(reason), qPrintable(lines.front()));

    // The window works on: the Library says why it has nothing, and the device is read.
    rig->button("libraryButton")->click();
    auto* problem = holder().window()->findChild<QLabel*>(QStringLiteral("libraryProblem"));
    QVERIFY(problem->isVisible());
    QVERIFY2(problem->text().contains(reason), qPrintable(problem->text()));
    for (const char* name : {"storeButton", "importButton", "openButton"})
      QVERIFY2(!button(name)->isEnabled(), name);
    QVERIFY(rig->connectAndDownload());
    rig.reset();
    QVERIFY(test::FileState::of(path) == before);
  }

  // Each tab shows its own buttons only: those of the setups act on a setup, never on a set.
  void eachTabShowsItsOwnButtons_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");
    const QStringList setups{"storeButton",     "openButton",   "sendButton",   "renameButton",
                             "duplicateButton", "deleteButton", "importButton", "exportButton"};
    const QStringList sets{"newSetButton", "renameSetButton", "deleteSetButton",
                           "addFromEditorsButton", "songUpButton"};
    QTest::newRow("setups and history") << 0 << setups << sets;
    QTest::newRow("set lists") << 1 << sets << setups;
  }
  void eachTabShowsItsOwnButtons() {
    QFETCH(int, tab);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);
    LibraryWindow* window = openWindow();
    QVERIFY(window != nullptr);
    window->findChild<QTabWidget*>(QStringLiteral("libraryTabs"))->setCurrentIndex(tab);
    for (const QString& name : shown)
      QVERIFY2(button(qPrintable(name))->isVisible(), qPrintable(name));
    for (const QString& name : hidden)
      QVERIFY2(!button(qPrintable(name))->isVisible(), qPrintable(name));
  }

  // Up, Down and Remove act on the selected song, and only where it can go.
  void theSongButtonsFollowTheSelectedSong_data() {
    QTest::addColumn<int>("songs");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<bool>>("upDownRemove");
    QTest::newRow("an empty set") << 0 << -1 << QList<bool>{false, false, false};
    QTest::newRow("no song selected") << 3 << -1 << QList<bool>{false, false, false};
    QTest::newRow("the first song") << 3 << 0 << QList<bool>{false, true, true};
    QTest::newRow("a song in the middle") << 3 << 1 << QList<bool>{true, true, true};
    QTest::newRow("the last song") << 3 << 2 << QList<bool>{true, false, true};
  }
  void theSongButtonsFollowTheSelectedSong() {
    QFETCH(int, songs);
    QFETCH(int, selected);
    QFETCH(QList<bool>, upDownRemove);
    QVERIFY(openWindow());
    SetList set{QStringLiteral("Friday"), {}};
    for (int song = 0; song < songs; ++song) {
      SetSong played;
      played.name = QStringLiteral("Song %1").arg(song);
      played.source = QStringLiteral("Rig");
      played.sourcePreset = song + 1;
      set.songs << played;
    }
    QVERIFY(library().setLists().save(set, IfExists::Refuse).ok());
    SetListPane& pane = holder().window()->setLists();
    pane.refresh();
    QCOMPARE(pane.shown().songs.size(), songs);
    auto* table = pane.findChild<QTableWidget*>(QStringLiteral("setSongs"));
    table->clearSelection();
    if (selected >= 0) table->selectRow(selected);
    const QList<bool> enabled{button("songUpButton")->isEnabled(),
                              button("songDownButton")->isEnabled(),
                              button("removeSongButton")->isEnabled()};
    QCOMPARE(enabled, upDownRemove);
  }

  // A set made in the window from a setup's presets, put in order, arranged into the editors
  // after the overwritten presets are listed, taken back by one undo, and charted.
  void aSetMadeInTheWindowArrangesAndCharts() {
    const Setup rigSetup = deviceReadySetup(QStringLiteral("Rig"), 5);
    QVERIFY(openWindow({rigSetup}));
    FakeDialogs& dialogs = rig->dialogs;
    dialogs.textAnswers = {QStringLiteral("Friday"), QStringLiteral("Last song"),
                           QStringLiteral("Opener")};
    dialogs.itemAnswers = {127, 0};
    button("newSetButton")->click();
    selectSetup(QStringLiteral("Rig"));
    button("addSelectedButton")->click();
    button("addSelectedButton")->click();
    // The presets are offered by number and name, not typed; the name offered for the song is
    // its preset's.
    QCOMPARE(dialogs.offeredItems.size(), std::size_t{2});
    const QStringList presets = dialogs.offeredItems.front();
    QCOMPARE(presets.size(), 128);
    QCOMPARE(presets.mid(0, 2), (QStringList{"1  Clean", "2"}));
    QCOMPARE(presets.back(), QStringLiteral("128  Solo"));
    QCOMPARE(dialogs.itemQuestions.front().text, QStringLiteral("Preset of Rig:"));
    QCOMPARE(dialogs.offeredTexts.mid(1), (QStringList{"Solo", "Clean"}));
    button("songUpButton")->click();
    QVERIFY(dialogs.errors.empty());
    const SetList friday = *library().setLists().setList(QStringLiteral("Friday")).value;
    QCOMPARE(friday.songs.size(), 2);
    QCOMPARE(friday.songs[0].name, QStringLiteral("Opener"));
    QCOMPARE(friday.songs[1].sourcePreset, 128);

    Configuration& editors = rig->core->configuration();
    const PresetTables tablesBefore = editors.tables();
    QUndoStack& stack = rig->form->edits().history().stack();
    const int steps = stack.count();
    button("arrangeButton")->click();
    QCOMPARE(dialogs.confirmations.size(), std::size_t{1});
    QVERIFY2(
        dialogs.confirmations[0].text.contains(QStringLiteral("presets in the editors: 1, 2.")),
        qPrintable(dialogs.confirmations[0].text));
    const PresetTables rigTables = rigSetup.bytes.tables();
    QCOMPARE(editors.tables().mask(0), rigTables.mask(0));
    QCOMPARE(editors.tables().mask(1), rigTables.mask(127));
    QCOMPARE(editors.tables().pcRemap(1), rigTables.pcRemap(127));
    // Arranged, the presets are the songs and carry their names, not their sources'.
    QCOMPARE(editors.names().name(0), QStringLiteral("Opener"));
    QCOMPARE(editors.names().name(1), QStringLiteral("Last song"));
    QCOMPARE(editors.tables().cc(1), tablesBefore.cc(1));
    QCOMPARE(stack.count(), steps + 1);
    stack.undo();
    QCOMPARE(editors.tables(), tablesBefore);

    dialogs.nextFileName = newPath(QStringLiteral(".pdf"));
    button("saveChartButton")->click();
    QFile chart(dialogs.nextFileName);
    QVERIFY(chart.open(QIODevice::ReadOnly));
    QVERIFY(chart.read(5) == "%PDF-");
    QVERIFY(dialogs.errors.empty());

    // Printing is in the platform module: without it, the chart is refused with the reason.
    qputenv("TARVIK_PLATFORM_MODULE", QFile::encodeName(newPath(QStringLiteral(".so"))));
    button("printChartButton")->click();
    qunsetenv("TARVIK_PLATFORM_MODULE");
    QCOMPARE(dialogs.errors.size(), std::size_t{1});
    QCOMPARE(dialogs.errors[0].text,
             QStringLiteral("The set chart was not printed.\n\nthe file does not exist"));

    // A song from the editors names them in the user's words.
    dialogs.itemAnswers = {2};
    dialogs.textAnswers = {QStringLiteral("Ballad")};
    button("addFromEditorsButton")->click();
    auto* songs = holder().window()->findChild<QTableWidget*>(QStringLiteral("setSongs"));
    QCOMPARE(songs->rowCount(), 3);
    const QList<QTableWidgetItem*> ballad = songs->findItems("Ballad", Qt::MatchExactly);
    QCOMPARE(ballad.size(), 1);
    const QString source = songs->item(ballad.front()->row(), 1)->text();
    QVERIFY2(source.startsWith(QStringLiteral("3 from the editors")), qPrintable(source));
  }
};

QTEST_MAIN(LibraryWindowTest)
#include "test_library_window.moc"
