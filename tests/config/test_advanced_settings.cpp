// SPDX-License-Identifier: MIT
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "config/Configuration.h"
#include "config/RecordCases.h"
#include "config/ui/AdvancedSettingsTab.h"

using tarvik::AdvancedSettingsTab;
using tarvik::Block;
using tarvik::ConfigRecord;
using tarvik::Configuration;
using namespace tarvik::testing;

namespace {

template <typename T>
T* control(const AdvancedSettingsTab& tab, const QString& name) {
  auto* found = tab.findChild<T*>(name);
  if (found == nullptr) {
    qFatal("control %s missing", qPrintable(name));
  }
  return found;
}

QCheckBox* box(const AdvancedSettingsTab& tab, const QString& name) {
  return control<QCheckBox>(tab, name);
}

// The main window's fixed width.
constexpr int kWindowWidth = 814;

}  // namespace

class AdvancedSettingsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void numberFieldsHaveRangeStartAndUnit_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("unit");
    QTest::newRow("debounce") << "SpinEdit1" << 0 << 254 << 0 << "ms";
    QTest::newRow("before delay") << "SpinEdit2" << 0 << 255 << 0 << "ms";
    QTest::newRow("after delay") << "SpinEdit3" << 0 << 255 << 0 << "ms";
    QTest::newRow("on time") << "SpinEdit4" << 1 << 255 << 10 << "*10 ms";
  }
  void numberFieldsHaveRangeStartAndUnit() {
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, start);
    QFETCH(QString, unit);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    auto* spin = control<QSpinBox>(tab, name);
    QCOMPARE(spin->minimum(), minimum);
    QCOMPARE(spin->maximum(), maximum);
    QCOMPARE(spin->value(), start);
    QCOMPARE(spin->suffix().trimmed(), unit);
  }

  void dropDownsHaveItemsAndStartSelection_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("channel") << "ComboBox1" << 16 << 0 << "1"
                             << "16";
    QTest::newRow("pin 20 function") << "magicFunction" << 4 << -1 << "none"
                                     << "Kemper TapTempo";
    QTest::newRow("pin 20 channel") << "magicChannel" << 16 << 0 << "1"
                                    << "16";
    QTest::newRow("pin 20 controller") << "magicChange" << 128 << 0 << "1"
                                       << "128";
    QTest::newRow("pin 20 value") << "magicValue" << 128 << 0 << "0"
                                  << "127";
    QTest::newRow("bypass program") << "ComboBox5" << 129 << -1 << "1"
                                    << "none";
    QTest::newRow("expression CC") << "expressionCC" << 129 << -1 << "1"
                                   << "none";
  }
  void dropDownsHaveItemsAndStartSelection() {
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(int, start);
    QFETCH(QString, first);
    QFETCH(QString, last);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    auto* combo = control<QComboBox>(tab, name);
    QCOMPARE(combo->count(), count);
    QCOMPARE(combo->currentIndex(), start);
    QCOMPARE(combo->itemText(0), first);
    QCOMPARE(combo->itemText(count - 1), last);
  }

  void captionsAreExact_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("omni") << "CheckBox1"
                          << "Omni Mode";
    QTest::newRow("send CC") << "CheckBox3"
                             << "Send ControllChange (#0 - #7) in IAM";
    QTest::newRow("expander") << "CheckBox4"
                              << "Bank Selection Expander on Pin 20";
    QTest::newRow("double press") << "CheckBox5"
                                  << "Master Bypass when pressed twice";
    QTest::newRow("boundless") << "CheckBox6"
                               << "boundless Bank UP/DOWN";
    QTest::newRow("amp rack") << "CheckBox7"
                              << "Amp/Rack Mode (always \"IAM\")";
    QTest::newRow("mute box") << "muteCB5"
                              << "Loop5";
    QTest::newRow("momentary box") << "switchCB8"
                                   << "Loop8";
    QTest::newRow("lock box") << "lockCB1"
                              << "Loop1";
  }
  void captionsAreExact() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    QCOMPARE(box(tab, name)->text(), caption);
  }

  // A named loop's boxes say which pedal they mute, switch or lock; the box keeps its caption
  // and its place, a long name cut after a word with the whole of it in the tip.
  void loopBoxesShowTheLoopsLabels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");  // a pattern: a long name is cut after some word
    QTest::addColumn<QString>("tip");
    QTest::newRow("a mute box") << "muteCB5"
                                << "Fuzz"
                                << "Loop5\nFuzz"
                                << "Loop5 (Fuzz)";
    QTest::newRow("a momentary box") << "switchCB2"
                                     << "Delay"
                                     << "Loop2\nDelay"
                                     << "Loop2 (Delay)";
    QTest::newRow("an interlock box, its name too long to show whole")
        << "lockCB3"
        << "Tube Screamer Deluxe 808"
        << "Loop3\nTube( Screamer( Deluxe)?)?…"
        << "Loop3 (Tube Screamer Deluxe 808)";
    QTest::newRow("the name taken away again") << "muteCB1"
                                               << ""
                                               << "Loop1"
                                               << "";
  }
  void loopBoxesShowTheLoopsLabels() {
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    const int loop = name.back().digitValue() - 1;
    QVERIFY(configuration.renameLoop(loop, QStringLiteral("Fuzz")).isEmpty());
    QVERIFY(configuration.renameLoop(loop, label).isEmpty());
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(caption));
    QCheckBox* shown = box(tab, name);
    QVERIFY2(pattern.match(shown->text()).hasMatch(), qPrintable(shown->text()));
    QCOMPARE(shown->toolTip(), tip);
    // A screen reader hears the whole name and which of the three settings the box is.
    const QString whole = tip.isEmpty() ? QStringLiteral("Loop1") : tip;
    QVERIFY2(shown->accessibleName().startsWith(whole + ", "), qPrintable(shown->accessibleName()));
    for (const char* prefix : {"muteCB", "switchCB", "lockCB"}) {
      QCOMPARE(box(tab, QLatin1String(prefix) + name.back())->text(), shown->text());
    }

    // Eight long names leave the tab as wide as the window.
    for (int other = 0; other < 8; ++other)
      QVERIFY(configuration.renameLoop(other, QStringLiteral("Octave Fuzz and Booster")).isEmpty());
    QVERIFY2(tab.minimumSizeHint().width() <= kWindowWidth,
             qPrintable(QString::number(tab.minimumSizeHint().width())));
  }

  void layoutNamesAndGroups() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    QCOMPARE(tab.submitButton()->objectName(), QStringLiteral("Button2"));
    QCOMPARE(tab.submitButton()->text(), QStringLiteral("Submit to Tarvik"));
    QCOMPARE(control<QLabel>(tab, "Label35")->text(), QStringLiteral("Expression Pedal CC Nr:"));
    QStringList titles;
    for (const QGroupBox* group : tab.findChildren<QGroupBox*>()) {
      titles << group->title();
    }
    titles.sort();
    QStringList expected{"Midi", "push-buttons", "Output mute / momentary switch mode",
                         "Magic Pin 20", "group 1 of n / interlocking function"};
    expected.sort();
    QCOMPARE(titles, expected);
    auto* panel = control<QWidget>(tab, "Panel1");
    QCOMPARE(control<QComboBox>(tab, "magicValue")->parentWidget(), panel);
    QCOMPARE(control<QComboBox>(tab, "magicChannel")->parentWidget(), panel);
    QCOMPARE(control<QComboBox>(tab, "magicChange")->parentWidget(), panel);
  }

  void startStateRecord() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    const Record expected{0, 0, 0, 0, 0, 0, 0, 10, 255, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0};
    QCOMPARE(configuration.recordBytes(), expected);
    QCOMPARE(tab.shownRecord().toBytes(), expected);
  }

  // The controls show a received record in full (hidden selectors included), and a user's edit
  // of one control afterwards sends nothing else differently: no value is lost or altered on
  // its way through the controls.
  void receivedRecordIsSentBack_data() { addRoundTripRows(); }
  void receivedRecordIsSentBack() {
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, sentBack);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    configuration.applyRecord(toRecord(received));
    QCOMPARE(fromRecord(configuration.recordBytes()), sentBack);
    QVERIFY(tab.shownRecord() == configuration.record());

    box(tab, "CheckBox5")->click();
    QCOMPARE(int(configuration.recordBytes()[14]), sentBack[14] == 1 ? 0 : 1);
    box(tab, "CheckBox5")->click();
    QCOMPARE(fromRecord(configuration.recordBytes()), sentBack);
  }

  void receivedValuesShowInControls() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    configuration.applyRecord(
        toRecord(recordBytes({{1, 16}, {2, 2}, {12, 2}, {0, 255}, {7, 0}, {15, 127}})));
    QCOMPARE(control<QComboBox>(tab, "ComboBox1")->currentIndex(), -1);
    QVERIFY(box(tab, "CheckBox1")->isChecked());
    QVERIFY(!box(tab, "CheckBox3")->isChecked());
    QCOMPARE(control<QSpinBox>(tab, "SpinEdit1")->value(), 254);
    QCOMPARE(control<QSpinBox>(tab, "SpinEdit4")->value(), 1);
    QCOMPARE(control<QComboBox>(tab, "ComboBox5")->currentText(), QStringLiteral("128"));
    configuration.applyRecord(toRecord(recordBytes({{15, 128}})));
    QCOMPARE(control<QComboBox>(tab, "ComboBox5")->currentText(), QStringLiteral("none"));
  }

  // A tab built over a configuration that already holds values shows them, and every tab bound
  // to one configuration shows what the user did in another.
  void tabsShowTheConfigurationTheyAreBoundTo() {
    Configuration configuration;
    configuration.applyRecord(toRecord(recordBytes({{0, 90}, {13, 1}, {19, 0x06}})));
    AdvancedSettingsTab first(configuration);
    AdvancedSettingsTab second(configuration);
    QCOMPARE(control<QSpinBox>(first, "SpinEdit1")->value(), 90);
    QVERIFY(box(first, "CheckBox4")->isChecked());
    QCOMPARE(first.readCheckboxes("lockCB"), 0x06);

    box(first, "muteCB3")->click();
    control<QComboBox>(first, "ComboBox1")->setCurrentIndex(9);
    QVERIFY(box(second, "muteCB3")->isChecked());
    QVERIFY(!box(second, "switchCB3")->isEnabled());
    QCOMPARE(control<QComboBox>(second, "ComboBox1")->currentIndex(), 9);
    QCOMPARE(configuration.record().midiChannel, 9);
    QVERIFY(second.shownRecord() == configuration.record());
  }

  // The panel follows the function both ways: chosen by the user or set in the configuration.
  void panelVisibleOnlyForCcMessage_data() {
    QTest::addColumn<int>("function");
    QTest::addColumn<bool>("visible");
    QTest::newRow("no selection") << -1 << false;
    QTest::newRow("none") << 0 << false;
    QTest::newRow("master bypass") << 1 << false;
    QTest::newRow("CC message") << 2 << true;
    QTest::newRow("kemper tap tempo") << 3 << false;
  }
  void panelVisibleOnlyForCcMessage() {
    QFETCH(int, function);
    QFETCH(bool, visible);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    auto* panel = control<QWidget>(tab, "Panel1");
    auto* selector = control<QComboBox>(tab, "magicFunction");
    selector->setCurrentIndex(2);
    QVERIFY(panel->isVisibleTo(&tab));
    selector->setCurrentIndex(function);
    QCOMPARE(configuration.record().magicFunction, function);
    QCOMPARE(panel->isVisibleTo(&tab), visible);

    ConfigRecord record = configuration.record();
    record.magicFunction = 2;
    configuration.setRecord(record);
    QVERIFY(panel->isVisibleTo(&tab));
    record.magicFunction = function;
    configuration.setRecord(record);
    QCOMPARE(selector->currentIndex(), function);
    QCOMPARE(panel->isVisibleTo(&tab), visible);
  }

  void receivedUnknownFunctionHidesPanel() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    configuration.applyRecord(toRecord(recordBytes({{8, 2}, {9, 1}})));
    QVERIFY(control<QWidget>(tab, "Panel1")->isVisibleTo(&tab));
    configuration.applyRecord(toRecord(recordBytes({{8, 4}, {9, 5}, {10, 6}, {11, 7}})));
    QCOMPARE(control<QComboBox>(tab, "magicFunction")->currentText(), QStringLiteral("none"));
    QVERIFY(!control<QWidget>(tab, "Panel1")->isVisibleTo(&tab));
    // The hidden selectors keep what the earlier record put there; only the bytes are zeroed.
    QCOMPARE(control<QComboBox>(tab, "magicChannel")->currentIndex(), 1);
    QCOMPARE(configuration.record().magicChannel, 1);
    const Record sent = configuration.recordBytes();
    QCOMPARE(sent[9], 0);
    QCOMPARE(sent[10], 0);
    QCOMPARE(sent[11], 0);
  }

  void masterBypassSendsZerosWhateverSelectorsShow() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    control<QComboBox>(tab, "magicFunction")->setCurrentIndex(2);
    control<QComboBox>(tab, "magicChannel")->setCurrentIndex(9);
    control<QComboBox>(tab, "magicChange")->setCurrentIndex(99);
    control<QComboBox>(tab, "magicValue")->setCurrentIndex(42);
    Record sent = configuration.recordBytes();
    QCOMPARE(sent[9], 9);
    QCOMPARE(sent[10], 99);
    QCOMPARE(sent[11], 42);
    control<QComboBox>(tab, "magicFunction")->setCurrentIndex(1);
    sent = configuration.recordBytes();
    QCOMPARE(sent[8], 1);
    QCOMPARE(sent[9], 0);
    QCOMPARE(sent[10], 0);
    QCOMPARE(sent[11], 0);
    // The selectors still hold the user's choice for a return to "CC Message".
    QCOMPARE(control<QComboBox>(tab, "magicChange")->currentIndex(), 99);
    control<QComboBox>(tab, "magicFunction")->setCurrentIndex(2);
    QCOMPARE(int(configuration.recordBytes()[10]), 99);
  }

  void expanderShowsItsControls() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    const QList<QWidget*> dependents{control<QLabel>(tab, "Label35"),
                                     control<QComboBox>(tab, "expressionCC"),
                                     box(tab, "CheckBox6")};
    for (QWidget* w : dependents) {
      QVERIFY2(!w->isVisibleTo(&tab), qPrintable(w->objectName()));
    }
    box(tab, "CheckBox4")->click();
    QVERIFY(configuration.record().bankExpander);
    for (QWidget* w : dependents) {
      QVERIFY2(w->isVisibleTo(&tab), qPrintable(w->objectName()));
    }
    configuration.applyRecord(toRecord(recordBytes({{13, 2}, {16, 5}, {17, 1}})));
    for (QWidget* w : dependents) {
      QVERIFY2(!w->isVisibleTo(&tab), qPrintable(w->objectName()));
    }
    // Hidden controls are still sent.
    const Record sent = configuration.recordBytes();
    QCOMPARE(sent[16], 5);
    QCOMPARE(sent[17], 1);
    QCOMPARE(control<QComboBox>(tab, "expressionCC")->currentIndex(), 5);
  }

  void muteDisablesMomentary() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    QCheckBox* momentary = box(tab, "switchCB3");
    momentary->click();
    QVERIFY(momentary->isChecked());
    QCOMPARE(int(configuration.record().switchMask), 0x04);
    box(tab, "muteCB3")->click();
    QVERIFY(!momentary->isChecked());
    QVERIFY(!momentary->isEnabled());
    QVERIFY(box(tab, "switchCB2")->isEnabled());
    QCOMPARE(int(configuration.record().muteMask), 0x04);
    QCOMPARE(int(configuration.record().switchMask), 0x00);
    box(tab, "muteCB3")->click();
    QVERIFY(momentary->isEnabled());
    QVERIFY(!momentary->isChecked());
    QCOMPARE(int(configuration.record().switchMask), 0x00);
  }

  // A box the program ticks runs the same rule as a click, whichever way it is ticked: a box
  // of a muted loop that is ticked all the same is taken back.
  void setCheckboxesRunsTheMuteRule() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    tab.setCheckboxes("switchCB", 0xFF);
    tab.setCheckboxes("muteCB", 0x81);
    QCOMPARE(tab.readCheckboxes("switchCB"), 0x7E);
    QCOMPARE(int(configuration.record().switchMask), 0x7E);
    QVERIFY(!box(tab, "switchCB1")->isEnabled());
    QVERIFY(!box(tab, "switchCB8")->isEnabled());
    QVERIFY(box(tab, "switchCB4")->isEnabled());

    box(tab, "switchCB1")->setChecked(true);
    QVERIFY(!box(tab, "switchCB1")->isChecked());
    tab.setCheckboxes("switchCB", 0xFF);
    QCOMPARE(int(configuration.record().switchMask), 0x7E);
  }

  // A received loop with both bits shows a ticked but disabled momentary box and is sent back
  // so. The rule acts again on the next change of a mute box: then every muted loop loses its
  // momentary bit, as a click on any mute box runs the rule for all eight loops.
  void receivedMuteAndMomentaryOnOneLoop_data() {
    QTest::addColumn<QString>("muteBox");
    QTest::addColumn<int>("mute");
    QTest::addColumn<int>("momentary");
    QTest::newRow("unmuting that loop keeps it momentary") << "muteCB3" << 0x00 << 0x04;
    QTest::newRow("muting another loop takes the momentary bit") << "muteCB1" << 0x05 << 0x00;
  }
  void receivedMuteAndMomentaryOnOneLoop() {
    QFETCH(QString, muteBox);
    QFETCH(int, mute);
    QFETCH(int, momentary);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    configuration.applyRecord(toRecord(recordBytes({{3, 0x04}, {6, 0x04}})));
    QCheckBox* loop3 = box(tab, "switchCB3");
    QVERIFY(loop3->isChecked());
    QVERIFY(!loop3->isEnabled());
    box(tab, "CheckBox1")->click();  // an edit elsewhere leaves the pair alone
    const Record sent = configuration.recordBytes();
    QCOMPARE(sent[3], 0x04);
    QCOMPARE(sent[6], 0x04);

    box(tab, muteBox)->click();
    QCOMPARE(int(configuration.record().muteMask), mute);
    QCOMPARE(int(configuration.record().switchMask), momentary);
    QCOMPARE(loop3->isChecked(), momentary != 0);
    QCOMPARE(loop3->isEnabled(), (mute & 0x04) == 0);
  }

  void checkboxMasks_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("mask");
    QTest::newRow("mute loop 1 only") << "muteCB" << 0x01;
    QTest::newRow("mute loop 8 only") << "muteCB" << 0x80;
    QTest::newRow("momentary alternate loops") << "switchCB" << 0xAA;
    QTest::newRow("lock all") << "lockCB" << 0xFF;
    QTest::newRow("lock loops 2 and 3") << "lockCB" << 0x06;
  }
  void checkboxMasks() {
    QFETCH(QString, prefix);
    QFETCH(int, mask);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    tab.setCheckboxes(prefix, static_cast<std::uint8_t>(mask));
    QCOMPARE(tab.readCheckboxes(prefix), mask);
    for (int i = 1; i <= 8; ++i) {
      QCOMPARE(box(tab, prefix + QString::number(i))->isChecked(), bool((mask >> (i - 1)) & 1));
    }
    const ConfigRecord& record = configuration.record();
    const int stored = prefix == QLatin1String("muteCB")     ? record.muteMask
                       : prefix == QLatin1String("switchCB") ? record.switchMask
                                                             : record.lockMask;
    QCOMPARE(stored, mask);
  }

  // The interlock group reaches the configuration (where the preset matrix takes its colours
  // from) on every change of a box, and only on a real change.
  void lockBoxesReachTheConfiguration() {
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    QSignalSpy changed(&configuration, &Configuration::changed);
    box(tab, "lockCB2")->click();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.last().at(0).value<Block>(), Block::Record);
    QCOMPARE(int(configuration.record().lockMask), 0x02);
    tab.setCheckboxes("lockCB", 0x06);
    QCOMPARE(int(configuration.record().lockMask), 0x06);
    configuration.applyRecord(toRecord(recordBytes({{19, 0x80}})));
    QCOMPARE(tab.readCheckboxes("lockCB"), 0x80);
    const int before = changed.count();
    tab.setCheckboxes("lockCB", 0x80);
    QCOMPARE(changed.count(), before);  // nothing changed, nothing to recolour
  }

  void numberFieldSettlesTypedTextOnFocusLoss_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("item");
    QTest::newRow("in range") << "SpinEdit2"
                              << "128" << 128 << 4;
    QTest::newRow("above range clamps") << "SpinEdit1"
                                        << "300" << 254 << 0;
    QTest::newRow("negative clamps") << "SpinEdit3"
                                     << "-5" << 0 << 5;
    QTest::newRow("text is the minimum") << "SpinEdit1"
                                         << "abc" << 0 << 0;
    QTest::newRow("empty is the minimum") << "SpinEdit2"
                                          << "" << 0 << 4;
    QTest::newRow("on time zero clamps to 1") << "SpinEdit4"
                                              << "0" << 1 << 7;
    QTest::newRow("on time text is 1") << "SpinEdit4"
                                       << "x1" << 1 << 7;
    QTest::newRow("huge number clamps") << "SpinEdit4"
                                        << "99999999999999999999" << 255 << 7;
  }
  void numberFieldSettlesTypedTextOnFocusLoss() {
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(int, value);
    QFETCH(int, item);
    Configuration configuration;
    AdvancedSettingsTab tab(configuration);
    tab.show();
    tab.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&tab));
    auto* spin = control<QSpinBox>(tab, name);
    spin->setValue(77);
    spin->setFocus();
    QTRY_VERIFY(spin->hasFocus());
    auto* editor = spin->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, typed);
    // Submitting clicks the button, which takes the focus first.
    QTest::mouseClick(tab.submitButton(), Qt::LeftButton);
    QTRY_VERIFY(!spin->hasFocus());
    QCOMPARE(spin->value(), value);
    QCOMPARE(int(configuration.recordBytes()[item]), value);
  }
};

QTEST_MAIN(AdvancedSettingsTest)
#include "test_advanced_settings.moc"
