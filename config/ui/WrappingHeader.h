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
  // The room a caption needs across is that of its widest word: the rest goes on more lines.
  static int widestWord(const QFontMetrics& metrics, const QString& caption);

 protected:
  QSize sectionSizeFromContents(int logicalIndex) const override;
};

}  // namespace tarvik
