// SPDX-License-Identifier: MIT
#pragma once

#include <QHeaderView>

namespace tarvik {

// A column header whose captions wrap at spaces to fit their columns, and which is as tall as
// its tallest wrapped caption: a long caption then costs a second line rather than the width of
// its column. QHeaderView draws wrapped text when asked, but measures every caption as one line.
//
// A caption's first line is its title and sets how wide the column must be at least. A line
// under it (a loop's label under "LOOP3") is the user's own text, of any length: it does not
// widen the column but is fitted into it, in whole words on at most kNoteLines lines; a word
// too wide for the column, or what does not fit, ends in "…", and the model's tool tip gives
// it in full.
class WrappingHeader : public QHeaderView {
 public:
  static constexpr int kNoteLines = 2;

  explicit WrappingHeader(QWidget* parent = nullptr);

  QSize sizeHint() const override;
  // The room a caption needs across is that of its widest word: the rest goes on more lines.
  static int widestWord(const QFontMetrics& metrics, const QString& caption);
  // `caption` as drawn in `width`: its title wrapped at spaces, each line under it in whole
  // words on at most kNoteLines lines, every line no wider than `width` but for a title word
  // that is wider still. Lines are separated by '\n'.
  static QString fitted(const QFontMetrics& metrics, const QString& caption, int width);

 protected:
  QSize sectionSizeFromContents(int logicalIndex) const override;
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;

 private:
  int room(int logicalIndex) const;
  // QHeaderView measures its captions in bold, as it draws those of selected sections.
  QFontMetrics boldMetrics() const;
};

}  // namespace tarvik
