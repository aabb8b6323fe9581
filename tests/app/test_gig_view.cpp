// SPDX-License-Identifier: MIT
// The gig view against the virtual Tarvik: it follows the program changes that come in and the
// ones it sends, plays the next and the previous song from the keyboard and nothing besides,
// waits for a connection, and says when the device does not hold the set where it is played.
#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>

#include "WindowRig.h"
#include "app/GigView.h"

using namespace tarvik;
using tarvik::testing::kWaitMs;
using tarvik::testing::WindowRig;

namespace {

// Songs A, B, C, D on the presets 1..4 the device holds; `changedRow` holds a song whose preset
// the device does not have there.
SetList setOnTheDevice(const Configuration& configuration, int changedRow = -1) {
  SetList set{QStringLiteral("Friday"), {}};
  const PresetTables& tables = configuration.tables();
  for (int row = 0; row < 4; ++row) {
    const QString name = QStringLiteral("Song %1").arg(QChar(u'A' + row));
    std::uint8_t mask = tables.mask(row);
    if (row == changedRow) mask ^= 0x40;
    set.songs << SetSong{name,    {}, {mask, tables.pcRemap(row), name}, QStringLiteral("Live"),
                         row + 1, {}};
  }
  return set;
}

QString shown(const GigView& view, const char* part) {
  return view.findChild<QLabel*>(QLatin1String(part))->text();
}

}  // namespace

class GigViewTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void followsWhatComesIn_data() {
    QTest::addColumn<int>("program");
    QTest::addColumn<QString>("song");
    QTest::addColumn<QString>("next");
    QTest::newRow("C0 01 selects song 2") << 1 << "Song B"
                                          << "Next: Song C";
    QTest::newRow("C5 03, any channel: the last song") << 3 << "Song D"
                                                       << "Last song of the set";
    QTest::newRow("C0 7F is beyond the set") << 127 << "Preset 128 is not in this set"
                                             << "Next: Song A";
  }
  void followsWhatComesIn() {
    QFETCH(int, program);
    QFETCH(QString, song);
    QFETCH(QString, next);
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    GigView view(*rig.core, setOnTheDevice(rig.core->configuration()), {});
    view.show();
    QCOMPARE(shown(view, "gigSong"), QStringLiteral("Song A"));
    QSignalSpy heard(rig.core.get(), &ConfiguratorCore::programChangeReceived);
    rig.service().deliverShort(rig.sim.inPort(), program == 3 ? 0xC5 : 0xC0,
                               static_cast<std::uint8_t>(program), 0);
    QVERIFY(heard.wait(kWaitMs));
    QCOMPARE(shown(view, "gigSong"), song);
    QCOMPARE(view.findChild<QLabel*>("gigSong")->accessibleName(),
             QStringLiteral("Current song: ") + song);
    QCOMPARE(shown(view, "gigNextSong"), next);
    QVERIFY(view.findChild<QLabel*>("gigWarning")->isHidden());
  }

  // Each key sends the one program change of its song on the device's channel, and the view
  // shows that song; the first and the last song stop a step that would leave the set.
  void theKeysPlayTheSet_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QList<int>>("programsSent");
    QTest::addColumn<QString>("song");
    QTest::newRow("Space from the start plays song 2")
        << QList<int>{Qt::Key_Space} << QList<int>{1} << "Song B";
    QTest::newRow("Right, Page Down, then Left")
        << QList<int>{Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Left} << QList<int>{1, 2, 1}
        << "Song B";
    QTest::newRow("Page Up at the first song sends nothing")
        << QList<int>{Qt::Key_PageUp} << QList<int>{} << "Song A";
    QTest::newRow("past the last song, then Home")
        << QList<int>{Qt::Key_Space, Qt::Key_Space, Qt::Key_Space, Qt::Key_Space, Qt::Key_Home}
        << QList<int>{1, 2, 3, 0} << "Song A";
  }
  void theKeysPlayTheSet() {
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, programsSent);
    QFETCH(QString, song);
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    ConfigRecord record = rig.core->configuration().record();
    record.midiChannel = 6;
    rig.core->configuration().editRecord(record);
    GigView view(*rig.core, setOnTheDevice(rig.core->configuration()), {});
    view.show();
    rig.service().clearSent(rig.sim.outPort());
    for (int key : keys) QTest::keyClick(&view, Qt::Key(key));
    std::vector<std::vector<std::uint8_t>> expected;
    for (int program : programsSent) expected.push_back({0xC6, static_cast<std::uint8_t>(program)});
    QCOMPARE(rig.service().sent(rig.sim.outPort()), expected);
    QCOMPARE(shown(view, "gigSong"), song);
  }

  void waitsForAConnectionAndWarnsOfASetNotSent() {
    WindowRig rig;
    {
      GigView unconnected(*rig.core, SetList{QStringLiteral("Friday"), {}}, {});
      QVERIFY(!unconnected.findChild<QPushButton*>("gigNext")->isEnabled());
      QVERIFY(shown(unconnected, "gigState").startsWith(QStringLiteral("Connect to Tarvik")));
      QTest::keyClick(&unconnected, Qt::Key_Space);
      QVERIFY(rig.service().sent(rig.sim.outPort()).empty());
    }
    QVERIFY(rig.connectAndDownload());
    GigView view(*rig.core, setOnTheDevice(rig.core->configuration(), 2), {});
    QCOMPARE(view.windowTitle(), QStringLiteral("Gig view - Friday"));
    QVERIFY(view.findChild<QPushButton*>("gigNext")->isEnabled());
    QCOMPARE(
        shown(view, "gigWarning"),
        QStringLiteral("Preset 3 on the Tarvik is not \"Song C\": arrange the set and send it"));
  }

  // Read from two metres, also in a dark theme: the sizes at a scale factor of 1, and every part
  // drawn in the palette's text colours, not a colour of its own that a dark theme loses. With
  // TARVIK_GIG_VIEW_PICTURE set, the view is saved there as the README shows it.
  void readsAcrossTheRoomInTheDark() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x24));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Button, QColor(0x33, 0x33, 0x38));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::PlaceholderText, QColor(0x99, 0x99, 0xA0));
    QApplication::setPalette(dark);
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    SetList set = setOnTheDevice(rig.core->configuration(), 3);
    const QStringList names = {"Pride and Joy", "Little Wing", "Voodoo Child", "Texas Flood"};
    for (int song = 0; song < 4; ++song) set.songs[song].name = names[song];
    set.songs[1].note = QStringLiteral("Capo on 2, count in slow");
    set.songs[1].loopLabels = QStringLiteral("Comp\nFuzz\nDrive\nWah\nDelay\nChorus\nVerb\nBoost");
    GigView view(*rig.core, set, rig.core->configuration().labels());
    view.show();
    rig.core->playPreset(1);
    const QList<std::pair<const char*, int>> sizes = {
        {"gigSong", 40}, {"gigPreset", 28}, {"gigLoops", 28}, {"gigPlace", 28}};
    for (const auto& [part, points] : sizes) {
      const QLabel* label = view.findChild<QLabel*>(QLatin1String(part));
      QVERIFY2(label->font().pointSize() >= points, part);
      QVERIFY2(label->isVisible(), part);
    }
    const QImage picture = view.grab().toImage();
    const QString path = qEnvironmentVariable("TARVIK_GIG_VIEW_PICTURE");
    if (!path.isEmpty()) QVERIFY(picture.save(path));
    // The song's name is drawn light on the dark window: its label's area holds pixels of both.
    const QLabel* song = view.findChild<QLabel*>("gigSong");
    const QImage area = picture.copy(song->geometry());
    int light = 0;
    for (int y = 0; y < area.height(); ++y)
      for (int x = 0; x < area.width(); ++x) light += qGray(area.pixel(x, y)) > 0xC0 ? 1 : 0;
    QVERIFY2(light > 100, qPrintable(QString::number(light)));
    QCOMPARE(qGray(area.pixel(0, 0)) < 0x40, true);
  }
};

QTEST_MAIN(GigViewTest)
#include "test_gig_view.moc"
