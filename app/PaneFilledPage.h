// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <optional>

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

// Adds a page to the tab control, then builds its content inside it: created inside its final
// parent, the content resolves its fonts and styles once, not again on reparenting.
template <class Content, class... Args>
Content* addPage(QTabWidget* tabs, QWidget*& page, const char* name, const QString& caption,
                 Args&... args) {
  page = new PaneFilledPage(*tabs);
  page->setObjectName(QString::fromLatin1(name));
  tabs->addTab(page, caption);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* content = new Content(args..., page);
  layout->addWidget(content);
  return content;
}

}  // namespace tarvik
