// SPDX-License-Identifier: MIT
#include "app/PaneFilledPage.h"

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabWidget>

namespace tarvik {
namespace {

// The colour of the inside of the pane as the tab control's style paints it; nothing when that
// is not one opaque colour.
std::optional<QColor> paneColour(const QTabWidget& tabs) {
  constexpr int kSide = 16;
  QImage pane(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
  pane.fill(Qt::transparent);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(&tabs);
  frame.rect = pane.rect();
  {
    QPainter painter(&pane);
    tabs.style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, &tabs);
  }
  // Well inside the outline and any shading along it.
  const QRgb inside = pane.pixel(kSide / 2, kSide / 2);
  if (qAlpha(inside) != 255) return std::nullopt;
  for (int y = kSide / 4; y <= 3 * kSide / 4; ++y) {
    for (int x = kSide / 4; x <= 3 * kSide / 4; ++x) {
      if (pane.pixel(x, y) != inside) return std::nullopt;
    }
  }
  return QColor(inside);
}

}  // namespace

PaneFilledPage::PaneFilledPage(const QTabWidget& tabs) : tabs_(tabs) { takePaneColour(); }

void PaneFilledPage::takePaneColour() {
  colour_ = paneColour(tabs_);
  setAttribute(Qt::WA_OpaquePaintEvent, colour_.has_value());
}

void PaneFilledPage::paintEvent(QPaintEvent* event) {
  if (!colour_) return;
  QPainter painter(this);
  painter.fillRect(event->rect(), *colour_);
}

void PaneFilledPage::changeEvent(QEvent* event) {
  if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange) {
    takePaneColour();
    update();
  }
  QWidget::changeEvent(event);
}

}  // namespace tarvik
