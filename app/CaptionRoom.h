// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <vector>

class QEvent;
class QWidget;

namespace tarvik {

// Keeps widgets that sit at fixed places, outside any layout, large enough for their captions,
// which no layout does for them. Each keeps the size it was placed with unless its size hint,
// which measures its caption, asks for more (a larger font, a longer text); a widget that was
// only moved takes its size hint. It looks again whenever the holder is asked to lay out its
// children, which a child's new text or font does, and when the holder is shown.
class CaptionRoom : public QObject {
 public:
  explicit CaptionRoom(QWidget& holder);

  // `widget` is a child of the holder.
  void keep(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fit();

  struct Kept {
    QPointer<QWidget> widget;
    QSize placed;  // invalid for a widget that was only moved
  };
  std::vector<Kept> kept_;
};

}  // namespace tarvik
