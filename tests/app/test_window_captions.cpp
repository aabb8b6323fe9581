// SPDX-License-Identifier: MIT
// Every caption and column heading of the window shows whole, at any scale: CTest runs this once
// as it is and once at twice the scale (QT_SCALE_FACTOR=2).
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include "WindowRig.h"
#include "config/ui/WrappingHeader.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

int textWidth(const QWidget* widget, const QString& text) {
  return widget->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

// The room a caption needs in its widget, as the style lays the widget out; -1 for a widget that
// shows no caption.
int neededWidth(const QWidget* widget) {
  const QStyle* style = widget->style();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    if (label->text().isEmpty() || label->wordWrap()) return -1;
    const int margins = label->width() - label->contentsRect().width();
    return textWidth(label, label->text()) + margins;
  }
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
    return textWidth(button, button->text()) +
           style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
  }
  if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
    return textWidth(box, box->text()) +
           style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.rect = group->rect();
    // The style places the title for its text's size; the box must reach past its end.
    return style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group)
               .right() +
           1;
  }
  return -1;
}

}  // namespace

class WindowCaptionsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void everyCaptionShowsWhole_data() {
    QTest::addColumn<double>("fontScale");
    QTest::newRow("as the window comes up") << 1.0;
    // Longer texts (another language, a wider face) ask for the same room.
    QTest::newRow("in a font a quarter larger") << 1.25;
  }
  void everyCaptionShowsWhole() {
    QFETCH(double, fontScale);
    WindowRig rig;
    // The scaled run must really be scaled.
    const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                             ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                             : 1.0;
    QCOMPARE(rig.form->devicePixelRatioF(), scale);
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(rig.visibleTabs(), kAllTabs);
    QFont font = rig.form->font();
    font.setPointSizeF(font.pointSizeF() * fontScale);
    rig.form->setFont(font);
    auto* pages = rig.find<QTabWidget>("PageControl1");
    QStringList cut;
    int measured = 0;
    QSet<QWidget*> seen;
    for (int tab = 0; tab < pages->count(); ++tab) {
      pages->setCurrentIndex(tab);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      for (QWidget* widget : rig.form->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->window() != rig.form.get()) continue;
        if (seen.contains(widget)) continue;  // outside the pages: measured once
        seen.insert(widget);
        const int needed = neededWidth(widget);
        if (needed < 0) continue;
        ++measured;
        if (widget->width() < needed) {
          cut << QStringLiteral("%1 \"%2\": %3 < %4")
                     .arg(widget->objectName(), widget->property("text").toString())
                     .arg(widget->width())
                     .arg(needed);
        }
      }
    }
    // Tab captions: every tab at least as wide as its caption, none scrolled out of sight.
    QTabBar* bar = pages->tabBar();
    for (int tab = 0; tab < bar->count(); ++tab) {
      ++measured;
      const int needed = textWidth(bar, bar->tabText(tab));
      if (bar->tabRect(tab).width() < needed || !bar->rect().contains(bar->tabRect(tab))) {
        cut << QStringLiteral("tab \"%1\"").arg(bar->tabText(tab));
      }
    }
    // Column headings of the preset matrix, and the row numbers.
    pages->setCurrentIndex(pages->indexOf(rig.find("TabSheet2")));
    auto* matrix = rig.find<QTableView>("ScrollBox1");
    for (QHeaderView* header : {matrix->horizontalHeader(), matrix->verticalHeader()}) {
      const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
      for (int section = 0; section < header->count(); ++section) {
        ++measured;
        const QString text = header->model()->headerData(section, header->orientation()).toString();
        const bool across = header->orientation() == Qt::Horizontal;
        const int room = across ? header->sectionSize(section) : header->width();
        // A column heading wraps at its spaces: each word must fit across, and the header must
        // be as tall as the lines that makes.
        const int needed = (across ? WrappingHeader::widestWord(header->fontMetrics(), text)
                                   : textWidth(header, text)) +
                           margin;
        const int lines = across ? header->fontMetrics()
                                       .boundingRect(QRect(0, 0, room - margin, QWIDGETSIZE_MAX),
                                                     Qt::AlignCenter | Qt::TextWordWrap, text)
                                       .height()
                                 : 0;
        if (room < needed || header->height() < lines) {
          cut << QStringLiteral("heading \"%1\": %2 < %3 or %4 < %5 high")
                     .arg(text)
                     .arg(room)
                     .arg(needed)
                     .arg(header->height())
                     .arg(lines);
        }
      }
    }
    QVERIFY(measured > 100);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
  }
};

QTEST_MAIN(WindowCaptionsTest)
#include "test_window_captions.moc"
