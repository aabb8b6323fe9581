// SPDX-License-Identifier: MIT
// What one run leaves for the next (ports, the window's place, the traffic and Library windows'
// geometry), kept in a temporary settings file, and the file named on the command line.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "WindowRig.h"
#include "app/Dialogs.h"
#include "app/LibraryHolder.h"
#include "app/LibraryWindow.h"
#include "app/RememberedState.h"
#include "app/TrafficWindow.h"
#include "config/TvkFile.h"
#include "core/CoreParts.h"
#include "midi/PortWatcher.h"
#include "support/FileFaults.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using tarvik::testing::CoreWindow;
using tarvik::testing::selectedName;
using tarvik::testing::SimulatedDesk;
using tarvik::testing::tablesOf;
using tarvik::testing::WindowRig;

namespace {

const QString kTarvik = QStringLiteral("Tarvik MIDI");
const QString kUmOne = QStringLiteral("UM-ONE:UM-ONE MIDI 1 24:0");

// A second interface listed after the Tarvik: the start-up rule alone picks the Tarvik.
void addUmOne(InMemoryMidiService& service) {
  service.keepWholeNames();
  service.addInput(kUmOne.toStdString());
  service.addOutput(kUmOne.toStdString());
}

void setAllPresent(InMemoryMidiService& service, bool present) {
  for (int id : {0, 1}) {
    service.setInputPresent(id, present);
    service.setOutputPresent(id, present);
  }
}

}  // namespace

class RememberedStateTest : public QObject {
  Q_OBJECT

  // Answers the file dialog about to open from inside its own event loop: notes its folder and
  // accepts `file`, or cancels without one.
  static void answerNextDialog(const QString& file, QString& startedIn) {
    QTimer::singleShot(0, qApp, [file, &startedIn] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) qFatal("no file dialog open");
      startedIn = dialog->directory().absolutePath();
      if (file.isEmpty()) {
        dialog->reject();
        return;
      }
      dialog->selectFile(file);
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
    });
  }

  QTemporaryDir dir_;
  QString settingsPath() const { return dir_.filePath(QStringLiteral("remembered.conf")); }

 private Q_SLOTS:
  void init() { QFile::remove(settingsPath()); }

  void aDamagedFileIsIgnoredWithOneLogLineAndReplaced() {
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[ports\ninput=UM-ONE\noutput=UM-ONE\n");
    file.close();
    RememberedState damaged(settingsPath());
    QVERIFY(!damaged.ports().has_value());
    WindowRig rig;
    const int lines = rig.logMessages().size();
    rig.form->remember(damaged);
    QCOMPARE(rig.logMessages().size(), lines + 1);
    QVERIFY2(rig.logMessages().constLast().contains(settingsPath()),
             qPrintable(rig.logMessages().constLast()));
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(RememberedState(settingsPath()).problem(), QString());
    QCOMPARE(RememberedState(settingsPath()).ports(), std::pair(kTarvik, kTarvik));
  }

  // Read before the first frame: a FIFO there would hold the window back for ever.
  void aFifoInPlaceOfTheFileIsIgnoredAndReplaced() {
    QVERIFY(testing::makeFifo(settingsPath()));
    RememberedState state(settingsPath());
    QVERIFY2(state.problem().contains("cannot be read"), qPrintable(state.problem()));
    QVERIFY(!state.ports().has_value());
    state.setPorts(kTarvik, kTarvik);
    QVERIFY(QFileInfo(settingsPath()).isFile());
    QCOMPARE(RememberedState(settingsPath()).ports(), std::pair(kTarvik, kTarvik));
  }

  // A write that fails (here: a full disk) leaves the file as it was, not cut, and is said
  // once in the event log however often it fails; the next write that can be made is made.
  void aFailedWriteLeavesTheFileWholeAndIsSaidOnce() {
    RememberedState state(settingsPath());
    state.setPorts(kTarvik, kTarvik);
    const QByteArray whole = testing::fileBytes(settingsPath());
    WindowRig rig;
    rig.form->remember(state);
    const int lines = rig.logMessages().size();
    const QString folder = QStringLiteral("/a/folder/with/a/long/name/").repeated(20);
    {
      const testing::FileSizeLimit full(static_cast<rlim_t>(whole.size()));
      state.setFolder(QStringLiteral("open-tvk"), folder);
      state.setFolder(QStringLiteral("save-txt"), folder);
    }
    QCOMPARE(testing::fileBytes(settingsPath()), whole);
    QCOMPARE(rig.logMessages().size(), lines + 1);
    QVERIFY2(rig.logMessages().constLast().contains("cannot be written to " + settingsPath()),
             qPrintable(rig.logMessages().constLast()));
    QCOMPARE(QDir(dir_.path()).entryList({"remembered*"}, QDir::Files | QDir::Hidden),
             QStringList{"remembered.conf"});

    state.setFolder(QStringLiteral("open-tvk"), folder);
    QCOMPARE(rig.logMessages().size(), lines + 1);
    const RememberedState readAgain(settingsPath());
    QCOMPARE(readAgain.folder(QStringLiteral("open-tvk")), folder);
    QCOMPARE(readAgain.folder(QStringLiteral("save-txt")), folder);
    QCOMPARE(readAgain.ports(), std::pair(kTarvik, kTarvik));
  }

  void portsConnectedLastTimeWinWhenListed_data() {
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QString>("offered");
    QTest::newRow("remembered pair listed: it wins over the start-up rule") << kUmOne << kUmOne;
    QTest::newRow("remembered pair gone: the start-up rule")
        << QStringLiteral("Gone:Gone MIDI 1 20:0") << kTarvik;
  }
  void portsConnectedLastTimeWinWhenListed() {
    QFETCH(QString, remembered);
    QFETCH(QString, offered);
    RememberedState state(settingsPath());
    state.setPorts(remembered, remembered);

    // At start-up the lists are already filled (the in-memory service is up at once).
    WindowRig atStart(TarvikContents::fromSeed(7), testing::kUnreachableUpdateServer, addUmOne);
    atStart.form->remember(state);
    QCOMPARE(selectedName(atStart.find<QListWidget>("inputDevices")), offered);
    QCOMPARE(selectedName(atStart.find<QListWidget>("outputDevices")), offered);

    // In the program the lists fill after start-up, through the watcher.
    WindowRig later(TarvikContents::fromSeed(7), testing::kUnreachableUpdateServer, addUmOne);
    setAllPresent(later.service(), false);
    later.core->rescanPorts();
    later.form->remember(state);
    setAllPresent(later.service(), true);
    later.core->rescanPorts();
    QCOMPARE(selectedName(later.find<QListWidget>("inputDevices")), offered);
    QCOMPARE(selectedName(later.find<QListWidget>("outputDevices")), offered);
  }

  // The Midi tab's "Transfer pace" and "Retries": what the file holds is shown and goes to the
  // core at start, a value no build writes gives way to the default; a change goes to both.
  void transferCareIsShownAppliedAndKept_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("pace");
    QTest::addColumn<int>("retries");
    QTest::newRow("nothing remembered: back to back, two retries") << QByteArray() << 0 << 2;
    QTest::newRow("both remembered") << QByteArray("[midi]\npace=7\nretries=4\n") << 7 << 4;
    QTest::newRow("the slowest pace and no retry")
        << QByteArray("[midi]\npace=20\nretries=0\n") << 20 << 0;
    QTest::newRow("a pace beyond the slowest, each value on its own")
        << QByteArray("[midi]\npace=21\nretries=5\n") << 0 << 5;
    QTest::newRow("words and signs") << QByteArray("[midi]\npace=slow\nretries=-1\n") << 0 << 2;
  }
  void transferCareIsShownAppliedAndKept() {
    QFETCH(QByteArray, file);
    QFETCH(int, pace);
    QFETCH(int, retries);
    if (!file.isEmpty()) {
      QFile settings(settingsPath());
      QVERIFY(settings.open(QIODevice::WriteOnly));
      settings.write(file);
    }
    RememberedState state(settingsPath());
    WindowRig rig;
    rig.form->remember(state);
    auto* paceBox = rig.find<QSpinBox>("paceBox");
    auto* retriesBox = rig.find<QSpinBox>("retriesBox");
    QCOMPARE(paceBox->value(), pace);
    QCOMPARE(retriesBox->value(), retries);
    QVERIFY(rig.core->transferCare() == (TransferCare{pace, retries}));
    QCOMPARE(paceBox->text(), QString::number(pace) + QStringLiteral(" ms"));

    paceBox->setValue(12);
    retriesBox->setValue(3);
    QVERIFY(rig.core->transferCare() == (TransferCare{12, 3}));
    QVERIFY(RememberedState(settingsPath()).transferCare() == (TransferCare{12, 3}));
    // As far as the boxes go, and no further.
    paceBox->setValue(99);
    retriesBox->setValue(9);
    QVERIFY(rig.core->transferCare() == (TransferCare{20, 5}));
  }

  void theWindowsPlacesAreKeptAcrossRuns() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint where = screen.topLeft() + QPoint(40, 30);
    const QRect traffic(screen.left() + 230, screen.top() + 170, 300, 200);
    const QRect library(screen.left() + 20, screen.top() + 90, 740, 300);
    {
      RememberedState state(settingsPath());
      WindowRig rig;
      rig.form->remember(state);
      rig.form->move(where);
      QTest::mouseClick(rig.button("TrafficButton"), Qt::LeftButton);
      rig.form->trafficWindow()->setGeometry(traffic);
      rig.button("libraryButton")->click();
      rig.form->library().window()->setGeometry(library);
      QVERIFY(rig.form->close());
    }
    RememberedState state(settingsPath());
    WindowRig rig;
    rig.form->remember(state);
    QCOMPARE(rig.form->pos(), where);
    QTest::mouseClick(rig.button("TrafficButton"), Qt::LeftButton);
    QCOMPARE(rig.form->trafficWindow()->geometry(), traffic);
    rig.button("libraryButton")->click();
    QCOMPARE(rig.form->library().window()->geometry(), library);
  }

  // The real file dialogs: each (open or save, per suffix) starts where it was last accepted,
  // also in the next run.
  void eachFileDialogStartsWhereItWasLastLeft() {
    const QString open = dir_.filePath(QStringLiteral("opened"));
    const QString saved = dir_.filePath(QStringLiteral("saved"));
    const QString text = dir_.filePath(QStringLiteral("text"));
    for (const QString& folder : {open, saved, text}) QVERIFY(QDir().mkpath(folder));
    {
      RememberedState state(settingsPath());
      QtDialogs dialogs;
      dialogs.rememberFoldersIn(&state);
      QString startedIn;
      answerNextDialog(open + QStringLiteral("/a.tvk"), startedIn);
      QCOMPARE(dialogs.openFileName(nullptr, QStringLiteral("T (*.tvk)"), QStringLiteral("tvk")),
               open + QStringLiteral("/a.tvk"));
      answerNextDialog(saved + QStringLiteral("/b.tvk"), startedIn);
      dialogs.saveFileName(nullptr, QStringLiteral("T (*.tvk)"), QStringLiteral("tvk"));
      answerNextDialog(text + QStringLiteral("/c.txt"), startedIn);
      dialogs.saveFileName(nullptr, QStringLiteral("Text (*.txt)"), QStringLiteral("txt"));
    }
    RememberedState state(settingsPath());
    QtDialogs dialogs;
    dialogs.rememberFoldersIn(&state);
    const struct {
      bool save;
      QString suffix;
      QString folder;
    } dialogsAndFolders[] = {{false, QStringLiteral("tvk"), open},
                             {true, QStringLiteral("tvk"), saved},
                             {true, QStringLiteral("txt"), text}};
    for (const auto& [save, suffix, folder] : dialogsAndFolders) {
      QString startedIn;
      answerNextDialog(QString(), startedIn);
      save ? dialogs.saveFileName(nullptr, QString(), suffix)
           : dialogs.openFileName(nullptr, QString(), suffix);
      QCOMPARE(startedIn, folder);
    }
  }

  // The file named on the command line, as "Load from File" would load it.
  void aFileNamedAtStartOpensOnceTheWindowIsShown_data() {
    QTest::addColumn<bool>("valid");
    QTest::newRow("a configuration file is loaded") << true;
    QTest::newRow("a refused file gives the error box") << false;
  }
  void aFileNamedAtStartOpensOnceTheWindowIsShown() {
    QFETCH(bool, valid);
    const QString path = dir_.filePath(QStringLiteral("named.tvk"));
    const PresetTables tables = tablesOf(TarvikContents::fromSeed(5));
    if (valid) {
      QVERIFY(TvkFile::save(path, tables));
    } else {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("not a configuration\n");
    }
    SimulatedDesk desk(TarvikContents::fromSeed(7), {});
    CoreWindow window(desk.dialogs, desk.sim.ports());
    const PresetTables before = window.core->configuration().tables();
    window.form->openFileWhenShown(path);
    QCoreApplication::sendPostedEvents();
    QVERIFY(window.core->configuration().tables() == before);

    window.form->show();
    QCoreApplication::sendPostedEvents();
    QVERIFY(desk.dialogs.saveQuestions.empty());  // nothing was unsaved
    QCOMPARE(window.core->configuration().tables() == tables, valid);
    QCOMPARE(desk.dialogs.errors.size(), std::size_t(valid ? 0 : 1));
  }
};

QTEST_MAIN(RememberedStateTest)
#include "test_remembered_state.moc"
