// SPDX-License-Identifier: MIT
#pragma once

#include <QHeaderView>

namespace tarvik {

// A column header whose captions wrap at spaces to fit their columns, and which is as tall as
// its tallest wrapped caption: a long caption then costs a second line rather than the width of
// its column. QHeaderView draws wrapped text when asked, but measures every caption as one line.
class WrappingHeader : public QHeaderView {
 public:
  explicit WrappingHeader(QWidget* parent = nullptr);

  QSize sizeHint() const override;
};

}  // namespace tarvik
