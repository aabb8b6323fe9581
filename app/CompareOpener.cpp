// SPDX-License-Identifier: MIT
#include "app/CompareOpener.h"

#include <QPushButton>

#include "app/CompareWindow.h"
#include "app/TForm1.h"
#include "app/WindowPlacement.h"

namespace tarvik {

CompareOpener::CompareOpener(Dialogs& dialogs, ConfiguratorCore& core, TForm1& form,
                             QPushButton& button)
    : QObject(&form), dialogs_(dialogs), core_(core), form_(form) {
  connect(&button, &QPushButton::clicked, this, &CompareOpener::show);
}

void CompareOpener::show() {
  if (window_ == nullptr) {
    // Made at the first press, when the window's undo history is there to open a side into.
    window_ = new CompareWindow(dialogs_, core_, form_.edits(), &form_);
    WindowPlacement::placeBeside(form_, *window_);
  }
  WindowPlacement::bringUp(*window_);
}

}  // namespace tarvik
