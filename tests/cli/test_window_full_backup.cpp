// SPDX-License-Identifier: MIT
// The window's "Back up everything..." and "Restore everything..." over the simulated Tarvik:
// the same file and the same verified restore as the command line, through the dialogs.
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/FullBackupActions.h"
#include "app/TForm1.h"
#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "firmware/network/NetworkUpdateServer.h"
#include "sim/InProcessTarvik.h"
#include "support/FakeDialogs.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using tarvik::testing::FakeDialogs;
using tarvik::testing::tablesOf;

namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class WindowFullBackupTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  FakeDialogs dialogs;
  std::unique_ptr<SimulatedMidi> device;
  std::unique_ptr<TForm1> form;

  QPushButton* button(const char* name) const {
    auto* found = form->findChild<QPushButton*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("no button named %s", name);
    return found;
  }
  FullBackupActions& actions() const { return *form->findChild<FullBackupActions*>(); }
  QStringList log() const {
    QStringList lines;
    auto* list = form->findChild<QListWidget*>(QStringLiteral("ListBox1"));
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }
  bool logHas(const QString& part) const {
    for (const QString& line : log())
      if (line.contains(part)) return true;
    return false;
  }

  // Connects as a user does, so that the link is open and the presets tab shows.
  void connectWindow(const TarvikContents& contents) {
    device = std::make_unique<SimulatedMidi>(contents);
    form = std::make_unique<TForm1>(dialogs, device->ports(),
                                    std::make_unique<NetworkUpdateServer>(QUrl(
                                        QStringLiteral("http://127.0.0.1:9/downloads/tarvik/"))));
    form->show();
    QSignalSpy finished(&form->machine(), &TransferMachine::chainFinished);
    button("Button1")->click();
    QVERIFY(finished.wait(60000));
    QVERIFY(dialogs.errors.empty());
  }

  // Presses the button and waits for the action's end.
  bool pressAndAwait(const char* name) {
    QSignalSpy finished(&actions(), &FullBackupActions::finished);
    button(name)->click();
    return finished.wait(60000) && finished.front().front().toBool();
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir.isValid()); }

  void cleanup() {
    form.reset();
    device.reset();
    dialogs = FakeDialogs();
  }

  void backUpWritesTheCommandLinesFile() {
    connectWindow(TarvikContents::fromSeed(2));
    QVERIFY(button("backupButton")->isEnabled());
    dialogs.nextFileName = dir.filePath(QStringLiteral("window.tvk"));
    QVERIFY(pressAndAwait("backupButton"));
    const TarvikContents& held = device->device().contents();
    ConfigRecord record;
    record.apply(held.configRecord);
    QCOMPARE(readFile(dialogs.nextFileName),
             FullBackup::serialize(tablesOf(held), record.toBytes()));
    QCOMPARE(dialogs.fileFilters.last(), QStringLiteral("Tarvik Config File (*.tvk)"));
    QVERIFY(logHas(QStringLiteral("Backup written to ") + dialogs.nextFileName));

    // "Load from File" reads the backup's tables and leaves the settings as they are.
    const ConfigRecord settingsBefore = form->configuration().record();
    form->configuration().deselectAll();
    button("Button9")->click();
    QVERIFY(form->configuration().tables() == tablesOf(held));
    QVERIFY(form->configuration().record() == settingsBefore);
  }

  void restoreIsVerifiedAndLogged() {
    connectWindow(TarvikContents::fromSeed(1));
    const QString file = dir.filePath(QStringLiteral("restore.tvk"));
    const PresetTables tables = tablesOf(TarvikContents::fromSeed(5));
    const FullBackup::Settings settings = {90, 2,   1, 5, 5, 6,   128, 10, 2, 1,
                                           6,  127, 1, 0, 1, 127, 255, 1,  0, 3};
    QVERIFY(FullBackup::save(file, tables, settings));
    dialogs.nextFileName = file;
    QVERIFY(pressAndAwait("restoreButton"));
    QVERIFY(logHas(QStringLiteral("Restore verified: ")));
    QVERIFY(dialogs.errors.empty());
    QVERIFY(device->device().contents().presets == tables.presetPayload());
    QVERIFY(device->device().contents().configRecord == settings);
    // The grid shows what the device now holds.
    QVERIFY(form->configuration().tables() == tables);
    QVERIFY(button("restoreButton")->isEnabled());
  }

  void aDifferenceRaisesAnErrorBox() {
    connectWindow(TarvikContents::fromSeed(1));
    const QString file = dir.filePath(QStringLiteral("differs.tvk"));
    QVERIFY(TvkFile::save(file, tablesOf(TarvikContents::fromSeed(5))));
    SimFaults faults;
    faults.alterStoredCommand = 19;
    faults.alteredItem = 7;
    device->device().setFaults(faults);
    dialogs.nextFileName = file;
    QVERIFY(!pressAndAwait("restoreButton"));
    QCOMPARE(dialogs.errors.size(), std::size_t{1});
    QVERIFY2(dialogs.errors.front().text.startsWith(
                 QStringLiteral("Restore failed: PC remap table differ from row 7 on: device ")),
             qPrintable(dialogs.errors.front().text));
    QVERIFY(logHas(QStringLiteral("Restore failed: PC remap table differ from row 7 on")));
  }

  void aRefusedFileIsShownAndNothingIsSent() {
    connectWindow(TarvikContents::fromSeed(1));
    const QString file = dir.filePath(QStringLiteral("broken.tvk"));
    QFile broken(file);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(TvkFile::serialize(PresetTables()) + "[settings]\r\nmuteMask=1\r\n");
    broken.close();
    const int commandsBefore = device->device().commandsReceived();
    dialogs.nextFileName = file;
    button("restoreButton")->click();
    QCOMPARE(dialogs.errors.size(), std::size_t{1});
    QVERIFY(dialogs.errors.front().text.contains(QStringLiteral("debounceTime is missing")));
    QVERIFY(!actions().running());
    QCOMPARE(device->device().commandsReceived(), commandsBefore);
  }
};

QTEST_MAIN(WindowFullBackupTest)
#include "test_window_full_backup.moc"
