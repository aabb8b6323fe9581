// SPDX-License-Identifier: MIT
#pragma once

#include <QHeaderView>

namespace tarvik {

// The row header of a table whose rows are labelled by their numbers. QHeaderView finds its
// width by asking the style for the size of up to two hundred labels, each time the model or
// the layout changes; the widest number's label gives the same width, and it is kept until the
// font or the style changes.
//
// A row's number stands for the row as a whole: a double click on it, or Enter once a click on
// it has given the header the focus, asks for that row to be played (rowPlayRequested).
class RowNumberHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit RowNumberHeader(QWidget* parent = nullptr);

  QSize sizeHint() const override;

 Q_SIGNALS:
  void rowPlayRequested(int row);

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  mutable QSize hint_;
  mutable int hintCount_ = -1;
};

}  // namespace tarvik
