// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarvik {

// The caption of a submit button: the plain "Submit to Tarvik" while its blocks hold nothing
// the device lacks, otherwise with the number of changed values.
inline QString submitCaption(int changes) {
  const QString caption = QStringLiteral("Submit to Tarvik");
  if (changes <= 0) return caption;
  if (changes == 1) return caption + QStringLiteral(" (1 change)");
  return caption + QStringLiteral(" (%1 changes)").arg(changes);
}

}  // namespace tarvik
