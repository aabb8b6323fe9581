// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>

namespace tarvik {

// A submit button whose caption counts the changed values of its blocks. It keeps the size of
// its caption with the most changes those blocks can hold: a new count then neither moves its
// neighbours nor asks the window for a new layout, which would repaint every tab page at each
// change of the marks.
class SubmitButton : public QPushButton {
  Q_OBJECT
 public:
  explicit SubmitButton(int mostChanges, QWidget* parent = nullptr);

  // The plain "Submit to Tarvik" while the blocks hold nothing the device lacks, otherwise with
  // the number of changed values.
  static QString caption(int changes);
  void showChangeCount(int changes);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void fitWidestCaption();

  int mostChanges_;
};

}  // namespace tarvik
