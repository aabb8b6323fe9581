// SPDX-License-Identifier: MIT
#include "app/PlainTextExport.h"

#include <QCoreApplication>

#include "app/Dialogs.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"

namespace tarvik {

bool exportPlainText(Dialogs& dialogs, QWidget* owner, const QStringList& lines) {
  const QString path = dialogs.saveFileName(
      owner, QCoreApplication::translate("PlainTextExport", "Text File (*.txt)"),
      QStringLiteral("txt"));
  if (path.isEmpty()) return false;
  QByteArray text;
  for (const QString& line : lines) {
    text += line.toUtf8();
    text += '\n';
  }
  if (!UserFile::write(path, text)) {
    // The same words as for a configuration file that cannot be written.
    dialogs.error(owner, QCoreApplication::translate("PlainTextExport", "Error"),
                  cannotWriteText(path));
    return false;
  }
  return true;
}

}  // namespace tarvik
