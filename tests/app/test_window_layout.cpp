// SPDX-License-Identifier: MIT
// What the window shows at its fixed size: every caption whole, nothing on top of another.
#include "WindowRig.h"

#include <QPushButton>
#include <QStyle>
#include <QTabWidget>

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
        const int needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() +
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
};

QTEST_MAIN(WindowLayoutTest)
#include "test_window_layout.moc"
