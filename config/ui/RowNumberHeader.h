// SPDX-License-Identifier: MIT
#pragma once

#include <QHeaderView>

namespace tarvik {

// The row header of a table whose rows are labelled by their numbers. QHeaderView finds its
// width by asking the style for the size of up to two hundred labels, each time the model or
// the layout changes; the widest number's label gives the same width, and it is kept until the
// font or the style changes.
class RowNumberHeader : public QHeaderView {
 public:
  explicit RowNumberHeader(QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  mutable QSize hint_;
  mutable int hintCount_ = -1;
};

}  // namespace tarvik
