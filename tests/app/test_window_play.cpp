// SPDX-License-Identifier: MIT
// Playing a preset on the virtual Tarvik from the preset matrix, and "Follow": the program change
// that goes out is the one the device switches by, on the configuration's channel, and one that
// comes in shows its row only when asked to.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>

#include "WindowRig.h"
#include "app/RememberedState.h"
#include "config/ui/PresetMatrixTab.h"

using namespace tarvik;
using tarvik::testing::WindowRig;

namespace {

enum class Play { DoubleClick, Enter, Action };

PresetMatrixTab* presetsShown(WindowRig& rig) {
  rig.find<QTabWidget>("PageControl1")->setCurrentWidget(rig.find("TabSheet2"));
  return rig.form->findChild<PresetMatrixTab*>();
}

QPoint rowNumberCentre(const QHeaderView* header, int row) {
  return {header->width() / 2, header->sectionViewportPosition(row) + header->sectionSize(row) / 2};
}

std::vector<std::vector<std::uint8_t>> programChangesSent(WindowRig& rig) {
  std::vector<std::vector<std::uint8_t>> found;
  for (const auto& message : rig.service().sent(rig.sim.outPort())) {
    if (!message.empty() && (message[0] & 0xF0) == 0xC0) found.push_back(message);
  }
  return found;
}

}  // namespace

class WindowPlayTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void playsTheRowsPresetOnTheConfiguredChannel_data() {
    QTest::addColumn<Play>("play");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("midiChannel");  // record item, -1 for none
    QTest::addColumn<bool>("omni");
    QTest::addColumn<int>("channelSent");
    QTest::newRow("double click on row number 3") << Play::DoubleClick << 2 << 4 << false << 4;
    QTest::newRow("Enter on row number 1, channel 16") << Play::Enter << 0 << 15 << false << 15;
    QTest::newRow("action, omni keeps the configured channel")
        << Play::Action << 6 << 9 << true << 9;
    QTest::newRow("action, a record without channel sends on 1")
        << Play::Action << 3 << -1 << false << 0;
  }
  void playsTheRowsPresetOnTheConfiguredChannel() {
    QFETCH(Play, play);
    QFETCH(int, row);
    QFETCH(int, midiChannel);
    QFETCH(bool, omni);
    QFETCH(int, channelSent);
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QAction* action = rig.find<QAction>("playOnTarvik");
    QVERIFY(!action->isEnabled());
    QVERIFY(!rig.core->playPreset(row));

    QVERIFY(rig.connectAndDownload());
    QVERIFY(action->isEnabled());
    ConfigRecord record = rig.core->configuration().record();
    record.midiChannel = midiChannel;
    record.omniMode = omni;
    rig.core->configuration().editRecord(record);
    rig.service().clearSent(rig.sim.outPort());

    PresetMatrixTab* presets = presetsShown(rig);
    QHeaderView* header = presets->view()->verticalHeader();
    switch (play) {
      case Play::DoubleClick:
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, rowNumberCentre(header, row));
        break;
      case Play::Enter:
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, rowNumberCentre(header, row));
        QTest::keyClick(header, Qt::Key_Return);
        break;
      case Play::Action:
        presets->view()->setCurrentIndex(presets->model().index(row, 0));
        action->trigger();
        break;
    }

    const std::vector<std::vector<std::uint8_t>> expected = {
        {static_cast<std::uint8_t>(0xC0 | channelSent), static_cast<std::uint8_t>(row)}};
    QCOMPARE(programChangesSent(rig), expected);
    QCOMPARE(rig.logMessages().last(),
             QStringLiteral("Played preset %1 on Tarvik (program change %1 on MIDI channel %2)")
                 .arg(row + 1)
                 .arg(channelSent + 1));
    const std::string arrived =
        "ProgramChange " + std::to_string(row) + " on channel " + std::to_string(channelSent + 1);
    QVERIFY(std::count(rig.device().log().begin(), rig.device().log().end(), arrived) == 1);
  }

  void refusedWhileATransferRuns() {
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    rig.tarvik().holdReplies(true);
    QTest::mouseClick(rig.button("Button3"), Qt::LeftButton);
    QVERIFY(!rig.find<QAction>("playOnTarvik")->isEnabled());
    QVERIFY(!rig.core->playPreset(5));
    rig.tarvik().holdReplies(false);
    QVERIFY(rig.awaitChainEnd());
    QVERIFY(rig.find<QAction>("playOnTarvik")->isEnabled());
    QVERIFY(programChangesSent(rig).empty());
  }

  void followShowsTheIncomingPresetsRow_data() {
    QTest::addColumn<bool>("follow");
    QTest::newRow("follow on: row 101 selected and shown") << true;
    QTest::newRow("follow off: nothing moves") << false;
  }
  void followShowsTheIncomingPresetsRow() {
    QFETCH(bool, follow);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state.conf"));
    RememberedState state(path);
    WindowRig rig;
    rig.form->remember(state);
    QVERIFY(rig.connectAndDownload());
    PresetMatrixTab* presets = presetsShown(rig);
    QCheckBox* box = rig.find<QCheckBox>("followBox");
    QVERIFY(!box->isChecked());
    box->setChecked(follow);
    QCOMPARE(RememberedState(path).follow(), follow);
    QTableView* view = presets->view();
    view->setCurrentIndex(presets->model().index(0, 0));
    QCOMPARE(view->verticalScrollBar()->value(), 0);

    rig.service().deliverShort(rig.sim.inPort(), 0xC3, 100, 0);
    const QString monitored =
        QStringLiteral("[MIDI IN] ProgrammChange - MidiChannel: 4 - ProgrammNr: 101");
    QVERIFY(rig.awaitLog([&] { return rig.logMessages().contains(monitored); }));

    QCOMPARE(view->currentIndex().row(), follow ? 100 : 0);
    QCOMPARE(view->selectionModel()->isSelected(presets->model().index(100, 0)), follow);
    const QRect shown = view->visualRect(presets->model().index(100, 0));
    QCOMPARE(view->viewport()->rect().contains(shown.center()), follow);
  }
};

QTEST_MAIN(WindowPlayTest)
#include "test_window_play.moc"
