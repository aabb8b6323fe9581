// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

class QWidget;

namespace tarvik {

class Dialogs;

// Asks for a file name through the dialogs and writes the lines there as UTF-8 text, one line
// each with "\n" after it. The file is replaced as a whole or not at all; a failure is shown in
// the error box. False when cancelled or failed.
bool exportPlainText(Dialogs& dialogs, QWidget* owner, const QStringList& lines);

}  // namespace tarvik
