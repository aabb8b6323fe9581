// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>
#include <optional>

class QTabWidget;

namespace tarvik {

// A page for a tab control that fills itself with the colour of the control's pane. Pages are
// normally transparent: the control paints its pane beneath them, so each change of a control on
// a page has the pane painted again under it, its outline included. This page paints every
// pixel itself and spares that. It does so only where the style paints the inside of the pane
// in one opaque colour; elsewhere it stays transparent like any page.
class PaneFilledPage : public QWidget {
 public:
  explicit PaneFilledPage(const QTabWidget& tabs);

  bool fillsItself() const { return colour_.has_value(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void takePaneColour();

  const QTabWidget& tabs_;
  std::optional<QColor> colour_;
};

}  // namespace tarvik
