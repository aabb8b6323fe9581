// SPDX-License-Identifier: MIT
#include "cli/LibraryAccess.h"

namespace tarvik::cli {

SetupLibrary* LibraryAccess::get() {
  if (!tried_) {
    tried_ = true;
    if (path_.isEmpty()) {
      error_ = tr("no library file given");
    } else {
      SetupLibrary::Opened opened = SetupLibrary::open(path_);
      library_ = std::move(opened.library);
      error_ = opened.error;
    }
  }
  return library_.get();
}

}  // namespace tarvik::cli
