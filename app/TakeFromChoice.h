// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "config/RestoreParts.h"
#include "core/CompareSource.h"

namespace tarvik {

// What "Take from..." puts into the editors: the parts of a file, setup or snapshot, and
// whether the loops' labels come with them.
struct TakeFromChoice {
  CompareSource source;
  // How the undo step and the log name the source ("rig.tvk", "Setup live").
  QString title;
  RestoreParts parts;
  bool labels = false;
};

}  // namespace tarvik
