// SPDX-License-Identifier: MIT
// Marked values stay readable in any theme: the text on every tint of the preset matrix and the
// bold marked settings keep 4.5:1 against what they are drawn on, under a light and a dark
// palette taken up while the window is open.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include "config/ChangeMarks.h"
#include "config/Configuration.h"
#include "config/ui/AdvancedSettingsTab.h"
#include "config/ui/Contrast.h"
#include "config/ui/PresetMatrixTab.h"

using namespace tarvik;

namespace {

// The dark palette commonly paired with the Fusion style.
QPalette darkPalette() {
  QPalette palette;
  for (auto role : {QPalette::Window, QPalette::Button}) palette.setColor(role, QColor(53, 53, 53));
  palette.setColor(QPalette::Base, QColor(42, 42, 42));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(role, Qt::white);
  }
  return palette;
}

QPalette lightPalette() { return QApplication::style()->standardPalette(); }

// The roles a control's text is drawn in: a number field's in its edit line, a drop-down list's
// on its button, a check box's on the window.
std::pair<QPalette::ColorRole, QPalette::ColorRole> textRoles(const QWidget* control) {
  if (qobject_cast<const QAbstractSpinBox*>(control)) return {QPalette::Text, QPalette::Base};
  if (qobject_cast<const QComboBox*>(control)) return {QPalette::ButtonText, QPalette::Button};
  return {control->foregroundRole(), control->backgroundRole()};
}

constexpr int kRow = 5;
constexpr int kFreeLoop = 0;
constexpr int kLockedLoop = 2;

// Something of every kind marked: row kRow's free and interlocked loop boxes and both
// selectors, and three settings of different controls.
struct MarkedDesk {
  MarkedDesk() {
    ConfigRecord record;
    record.lockMask = 1U << kLockedLoop;
    configuration.setRecord(record);
    for (Block block : {Block::Presets, Block::CcMap, Block::PcRemap, Block::Record}) {
      marks.deviceReceived(block);
    }
    configuration.clickLoop(kRow, kFreeLoop);
    configuration.clickLoop(kRow, kLockedLoop);
    configuration.chooseCc(kRow, (configuration.tables().cc(kRow) + 1) % PresetTables::kCcItems);
    configuration.choosePcRemap(kRow, (configuration.tables().pcRemap(kRow) + 1) % 128);
    record.debounceTime = 90;
    record.omniMode = true;
    record.midiChannel = 3;
    configuration.editRecord(record);
    presets.setChangeMarks(&marks);
    settings.setChangeMarks(&marks);
    // A window takes up a new application palette once it is on screen.
    presets.show();
    settings.show();
  }
  Configuration configuration;
  ChangeMarks marks{configuration};
  PresetMatrixTab presets{configuration};
  AdvancedSettingsTab settings{configuration};
};

}  // namespace

class ContrastTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
  void cleanup() { QApplication::setPalette(lightPalette()); }

  void ratioFollowsTheFormula_data() {
    QTest::addColumn<QColor>("one");
    QTest::addColumn<QColor>("other");
    QTest::addColumn<double>("ratio");
    QTest::newRow("white on black, the most") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    QTest::newRow("a colour on itself, the least") << QColor(Qt::red) << QColor(Qt::red) << 1.0;
    QTest::newRow("the lightest grey that passes on white")
        << QColor(0x76, 0x76, 0x76) << QColor(Qt::white) << 4.54;
    QTest::newRow("blue weighs least") << QColor(Qt::blue) << QColor(Qt::black) << 2.44;
  }
  void ratioFollowsTheFormula() {
    QFETCH(QColor, one);
    QFETCH(QColor, other);
    QFETCH(double, ratio);
    QVERIFY2(qAbs(contrastRatio(one, other) - ratio) < 0.01,
             qPrintable(QString::number(contrastRatio(one, other))));
  }

  // Over a grid through the whole colour cube, the chosen text colour always reads.
  void blackOrWhiteReadsOnAnyBackground() {
    for (int r = 0; r <= 255; r += 15) {
      for (int g = 0; g <= 255; g += 15) {
        for (int b = 0; b <= 255; b += 15) {
          const QColor background(r, g, b);
          const double ratio = contrastRatio(readableOn(background), background);
          QVERIFY2(ratio >= kReadableContrast, qPrintable(background.name()));
        }
      }
    }
  }

  void markedValuesReadInEveryTheme_data() {
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("setting");
    for (const auto& [theme, palette] :
         {std::pair{"light", lightPalette()}, std::pair{"dark", darkPalette()}}) {
      auto row = [&](const char* what) -> QTestData& {
        return QTest::addRow("%s: %s", theme, what);
      };
      row("changed loop box") << palette << kFreeLoop << QString();
      row("changed box in an interlock column") << palette << kLockedLoop << QString();
      row("unchanged box in an interlock column") << palette << -kLockedLoop << QString();
      row("changed loop selector") << palette << PresetMatrixModel::kCcColumn << QString();
      row("changed program selector") << palette << PresetMatrixModel::kPcRemapColumn << QString();
      row("marked spin box") << palette << -1 << QStringLiteral("SpinEdit1");
      row("marked check box") << palette << -1 << QStringLiteral("CheckBox1");
      row("marked drop-down list") << palette << -1 << QStringLiteral("ComboBox1");
    }
  }
  // The desk is built under the light palette, as at start-up; the row's palette comes after.
  void markedValuesReadInEveryTheme() {
    QFETCH(QPalette, palette);
    QFETCH(int, column);
    QFETCH(QString, setting);
    MarkedDesk desk;
    QApplication::setPalette(palette);
    // The windows hand a new palette down to their controls through a posted event.
    QCoreApplication::sendPostedEvents();

    if (!setting.isEmpty()) {
      auto* control = desk.settings.findChild<QWidget*>(setting);
      QVERIFY(control != nullptr);
      QVERIFY(control->font().bold());
      const QPalette shown = control->palette();
      QCOMPARE(shown.color(QPalette::Window), palette.color(QPalette::Window));
      const auto [text, background] = textRoles(control);
      const double ratio = contrastRatio(shown.color(text), shown.color(background));
      QVERIFY2(ratio >= kReadableContrast, qPrintable(QString::number(ratio)));
      return;
    }
    // Negative: the unchanged box of that interlock column in another row.
    const QModelIndex cell = desk.presets.model().index(column < 0 ? kRow + 1 : kRow, qAbs(column));
    QCOMPARE(cell.data(PresetMatrixModel::ChangedRole).toBool(), column >= 0);
    const QVariant background = cell.data(Qt::BackgroundRole);
    QVERIFY(background.isValid());
    const QVariant foreground = cell.data(Qt::ForegroundRole);
    const QColor text =
        foreground.isValid() ? foreground.value<QBrush>().color() : palette.color(QPalette::Text);
    const double onTint = contrastRatio(text, background.value<QBrush>().color());
    QVERIFY2(onTint >= kReadableContrast, qPrintable(QString::number(onTint)));
    if (qAbs(column) < PresetMatrixModel::kLoopColumns) {
      // The check mark is drawn inside a box filled with the view's base.
      const double inBox = contrastRatio(text, palette.color(QPalette::Base));
      QVERIFY2(inBox >= kReadableContrast, qPrintable(QString::number(inBox)));
    }
  }
};

QTEST_MAIN(ContrastTest)
#include "test_contrast.moc"
