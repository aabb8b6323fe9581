// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

namespace tarvik {

// The caption of a submit button: the plain "Submit to Tarvik" while its blocks hold nothing
// the device lacks, otherwise with the number of changed values.
inline QString submitCaption(int changes) {
  if (changes <= 0) return QCoreApplication::translate("SubmitCaption", "Submit to Tarvik");
  if (changes == 1)
    return QCoreApplication::translate("SubmitCaption", "Submit to Tarvik (1 change)");
  return QCoreApplication::translate("SubmitCaption", "Submit to Tarvik (%1 changes)").arg(changes);
}

}  // namespace tarvik
