// SPDX-License-Identifier: MIT
// A file opened while no Tarvik is connected is shown in the editing tabs, and the next connect
// asks what becomes of it: sent to the Tarvik, kept beside the device's configuration, or
// replaced by it.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "WindowRig.h"
#include "config/ConfigBytes.h"
#include "config/FullBackup.h"
#include "core/CoreParts.h"

using namespace tarvik;
using tarvik::testing::WindowRig;

Q_DECLARE_METATYPE(tarvik::Dialogs::ConnectChoice)
Q_DECLARE_METATYPE(tarvik::SimFaults)

namespace {

ConfigBytes keptOf(const TarvikContents& held) {
  return ConfigBytes{held.presets, held.ccMap, held.pcRemap, held.configRecord}.kept();
}

ConfigBytes editorsOf(const ConfiguratorCore& core) {
  const Configuration& configuration = core.configuration();
  return ConfigBytes::fromTables(configuration.tables(), configuration.recordBytes()).kept();
}

}  // namespace

class WorkWithoutDeviceTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // An answer that could not be carried out leaves the opened work as it was: the next connect
  // asks again instead of reading the device over it.
  void aFileOpenedAtStartUpMeetsTheConnect_data() {
    QTest::addColumn<Dialogs::ConnectChoice>("choice");
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<bool>("deviceGetsTheFile");
    QTest::addColumn<bool>("editorsKeepTheFile");
    QTest::addColumn<bool>("settled");  // the next connect asks no more
    const SimFaults healthy;
    const SimFaults silent{.silent = true};
    const SimFaults refusing{.submitStatus = 0x01};
    using Choice = Dialogs::ConnectChoice;
    QTest::newRow("sent to the Tarvik, verified")
        << Choice::Send << healthy << true << true << true;
    QTest::newRow("kept, the Tarvik read for Compare only")
        << Choice::Keep << healthy << false << true << true;
    QTest::newRow("replaced by the Tarvik's configuration")
        << Choice::Replace << healthy << false << false << true;
    QTest::newRow("sent, Tarvik refuses the presets")
        << Choice::Send << refusing << false << true << false;
    QTest::newRow("sent, nothing answers") << Choice::Send << silent << false << true << false;
    QTest::newRow("kept, nothing answers") << Choice::Keep << silent << false << true << false;
  }
  void aFileOpenedAtStartUpMeetsTheConnect() {
    QFETCH(Dialogs::ConnectChoice, choice);
    QFETCH(SimFaults, faults);
    QFETCH(bool, deviceGetsTheFile);
    QFETCH(bool, editorsKeepTheFile);
    QFETCH(bool, settled);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rig.tvk"));
    const ConfigBytes file = keptOf(TarvikContents::fromSeed(3));
    QVERIFY(FullBackup::save(path, file.tables(), *file.settings));
    WindowRig rig(TarvikContents::fromSeed(7));
    rig.device().setFaults(faults);
    if (faults.silent)
      CoreParts::machine(*rig.core).setConnectTimeout(testing::kTimeoutThatFiresMs);
    const ConfigBytes device = keptOf(rig.device().contents());
    QVERIFY(!(file == device));

    rig.form->openFileWhenShown(path);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(rig.visibleTabs(), (QStringList{"TabSheet1", "TabSheet2", "TabSheet3"}));
    QVERIFY(editorsOf(*rig.core) == file);

    rig.dialogs.connectChoice = choice;
    QSignalSpy busyChanged(rig.core.get(), &ConfiguratorCore::busyChanged);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.connectQuestions.size(), std::size_t{1});
    QVERIFY(rig.core->busy());
    while (rig.core->busy()) QVERIFY(busyChanged.wait(testing::kWaitMs));

    QCOMPARE(keptOf(rig.device().contents()) == file, deviceGetsTheFile);
    QCOMPARE(editorsOf(*rig.core) == file, editorsKeepTheFile);
    if (settled) {
      if (!rig.dialogs.errors.empty()) QFAIL(qPrintable(rig.dialogs.errors.front().text));
      QCOMPARE(rig.visibleTabs(), testing::kAllTabs);
      // Whatever the editors hold, the comparison's device side is what the Tarvik holds now.
      QVERIFY(ConfigBytes::fromDevice(rig.core->deviceBlocks()) == keptOf(rig.device().contents()));
    }
    // The question is for what was opened away from the device, until its answer was done.
    rig.device().setFaults({});
    rig.dialogs.connectChoice = Dialogs::ConnectChoice::Keep;
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    while (rig.core->busy()) QVERIFY(busyChanged.wait(testing::kWaitMs));
    QCOMPARE(rig.dialogs.connectQuestions.size(), std::size_t(settled ? 1 : 2));
  }

  // A submit goes to the Tarvik the last connect found: with none connected it is off and says
  // why, as "Play" is off; a connect brings it back.
  void theSubmitsWaitForAConnectedTarvik_data() {
    QTest::addColumn<bool>("silent");
    QTest::newRow("work opened before any connect") << false;
    QTest::newRow("after a connect that found no Tarvik") << true;
  }
  void theSubmitsWaitForAConnectedTarvik() {
    QFETCH(bool, silent);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rig.tvk"));
    const ConfigBytes file = keptOf(TarvikContents::fromSeed(3));
    QVERIFY(FullBackup::save(path, file.tables(), *file.settings));
    WindowRig rig(TarvikContents::fromSeed(7));
    rig.form->openFile(path);
    if (silent) {
      SimFaults faults;
      faults.silent = true;
      rig.device().setFaults(faults);
      CoreParts::machine(*rig.core).setConnectTimeout(testing::kTimeoutThatFiresMs);
      rig.dialogs.connectChoice = Dialogs::ConnectChoice::Keep;
      QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
      QVERIFY(rig.dialogs.awaitErrors(1, testing::kWaitMs));
      QCOMPARE(rig.dialogs.errors[0].text, QStringLiteral("No Tarvik found :("));
    }
    const std::size_t commands = rig.device().log().size();
    for (const char* name : {"Button2", "Button3"}) {
      QPushButton* submit = rig.button(name);
      QVERIFY2(!submit->isEnabled(), name);
      QCOMPARE(submit->toolTip(),
               QStringLiteral("No Tarvik is connected: connect to it on the \"Midi\" tab first."));
      QTest::mouseClick(submit, Qt::LeftButton);
    }
    QCOMPARE(rig.device().log().size(), commands);

    rig.device().setFaults(SimFaults{});
    rig.dialogs.connectChoice = Dialogs::ConnectChoice::Keep;
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(rig.awaitChainEnd());
    for (const char* name : {"Button2", "Button3"}) {
      QVERIFY2(rig.button(name)->isEnabled(), name);
      QVERIFY(rig.button(name)->toolTip().isEmpty());
    }
  }
};

QTEST_MAIN(WorkWithoutDeviceTest)
#include "test_work_without_device.moc"
