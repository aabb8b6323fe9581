// SPDX-License-Identifier: MIT
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/PaneFilledPage.h"

using tarvik::PaneFilledPage;

namespace {

// A tab control with one page holding a button and a list, the page either filling itself or
// transparent as pages are.
std::unique_ptr<QTabWidget> tabsWithPage(bool filled, QStyle* style = nullptr) {
  auto tabs = std::make_unique<QTabWidget>();
  if (style != nullptr) tabs->setStyle(style);
  tabs->resize(400, 300);
  QWidget* page = filled ? new PaneFilledPage(*tabs) : new QWidget;
  auto* button = new QPushButton(QStringLiteral("connect to Tarvik"), page);
  button->setGeometry(8, 224, 233, 25);
  auto* list = new QListWidget(page);
  list->setGeometry(8, 24, 169, 193);
  list->addItems({QStringLiteral("Tarvik MIDI"), QStringLiteral("Midi Through")});
  tabs->addTab(page, QStringLiteral("Midi"));
  // Shown, so that the page has its place inside the pane.
  tabs->show();
  if (!QTest::qWaitForWindowExposed(tabs.get())) qFatal("the tab control was never shown");
  return tabs;
}

// Paints the pane as a gradient: no one colour to fill a page with.
class GradientPaneStyle : public QProxyStyle {
 public:
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_FrameTabWidget) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    QLinearGradient gradient(option->rect.topLeft(), option->rect.bottomRight());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, Qt::darkGray);
    painter->fillRect(option->rect, gradient);
  }
};

}  // namespace

class TestPaneFilledPage : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The page paints every pixel itself, so that its controls' repaints skip the pane, and it
  // looks as a transparent page over the pane does, also with its controls disabled.
  void looksAsATransparentPageOverThePane() {
    const auto filled = tabsWithPage(true);
    const auto plain = tabsWithPage(false);
    auto* page = static_cast<PaneFilledPage*>(filled->widget(0));
    QVERIFY(page->fillsItself());
    QVERIFY(page->testAttribute(Qt::WA_OpaquePaintEvent));
    QCOMPARE(filled->grab().toImage(), plain->grab().toImage());
    filled->widget(0)->setEnabled(false);
    plain->widget(0)->setEnabled(false);
    QCOMPARE(filled->grab().toImage(), plain->grab().toImage());
  }

  void aPaneOfManyColoursLeavesThePageTransparent() {
    GradientPaneStyle style;
    const auto filled = tabsWithPage(true, &style);
    const auto plain = tabsWithPage(false, &style);
    auto* page = static_cast<PaneFilledPage*>(filled->widget(0));
    QVERIFY(!page->fillsItself());
    QVERIFY(!page->testAttribute(Qt::WA_OpaquePaintEvent));
    QCOMPARE(filled->grab().toImage(), plain->grab().toImage());
  }
};

QTEST_MAIN(TestPaneFilledPage)
#include "test_pane_filled_page.moc"
