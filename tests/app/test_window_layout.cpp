// SPDX-License-Identifier: MIT
// What the window shows at its fixed size: every caption whole, nothing on top of another.
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>

#include "WindowRig.h"
#include "config/ui/PresetMatrixModel.h"

using namespace tarvik;
using namespace tarvik::testing;

class WindowLayoutTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void everyButtonOfEveryTabShowsItsWholeCaption() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    auto* pages = rig.find<QTabWidget>("PageControl1");
    QCOMPARE(pages->count(), 5);
    for (int tab = 0; tab < pages->count(); ++tab) {
      pages->setCurrentIndex(tab);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      const QList<QPushButton*> buttons = pages->widget(tab)->findChildren<QPushButton*>();
      QVERIFY(!buttons.isEmpty());
      for (QPushButton* button : buttons) {
        if (!button->isVisibleTo(pages)) continue;
        const QString name = pages->widget(tab)->objectName() + '/' + button->objectName();
        // The caption and the room the style keeps around it, as a button measures itself
        // (without the least width the style gives any button).
        const QStyle* style = button->style();
        const int needed =
            button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() +
            style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
            2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        QVERIFY2(button->width() >= needed, qPrintable(name));
        const QRect place(button->mapTo(rig.form.get(), QPoint(0, 0)), button->size());
        QVERIFY2(rig.form->rect().contains(place), qPrintable(name));
        for (QPushButton* other : buttons) {
          if (other == button || !other->isVisibleTo(pages)) continue;
          const QRect otherPlace(other->mapTo(rig.form.get(), QPoint(0, 0)), other->size());
          QVERIFY2(!place.intersects(otherPlace), qPrintable(name + " and " + other->objectName()));
        }
      }
    }
  }

  // The preset matrix at the window's size: every column in view without scrolling sideways,
  // the name beside the row number with room for a name of twenty characters, the loop boxes
  // as wide as their captions, and every caption of the header whole.
  void theMatrixShowsEveryColumnWhole() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    auto* pages = rig.find<QTabWidget>("PageControl1");
    pages->setCurrentWidget(rig.find<QWidget>("TabSheet2"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* view = rig.find<QTableView>("ScrollBox1");
    QHeaderView* header = view->horizontalHeader();
    const QFontMetrics metrics = header->fontMetrics();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);

    QVERIFY2(
        header->length() <= view->viewport()->width(),
        qPrintable(QStringLiteral("%1 > %2").arg(header->length()).arg(view->viewport()->width())));
    QCOMPARE(header->logicalIndex(0), PresetMatrixModel::kNameColumn);
    QVERIFY(view->columnWidth(PresetMatrixModel::kNameColumn) >
            view->fontMetrics().horizontalAdvance(QStringLiteral("Clean Chorus + Delay")) +
                2 * margin);
    for (int section = 0; section < header->count(); ++section) {
      const QString caption = view->model()->headerData(section, Qt::Horizontal).toString();
      const QRect room(0, 0, header->sectionSize(section) - 2 * margin,
                       header->height() - 2 * margin);
      const QRect needed = metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, caption);
      QVERIFY2(room.contains(needed), qPrintable(caption));
    }
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "test_window_layout.moc"
