// SPDX-License-Identifier: MIT
#include "app/Dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/RememberedState.h"

namespace tarvik {

void QtDialogs::error(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox::critical(owner, caption, text, QMessageBox::Ok);
}

void QtDialogs::warning(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox::warning(owner, caption, text, QMessageBox::Ok);
}

bool QtDialogs::confirm(QWidget* owner, const QString& caption, const QString& text) {
  return QMessageBox::warning(owner, caption, text, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Yes) == QMessageBox::Yes;
}

Dialogs::SaveAnswer QtDialogs::askToSave(QWidget* owner, const QString& caption,
                                         const QString& text) {
  // Standard buttons, so that the platform orders and names them as its users expect.
  switch (QMessageBox::warning(owner, caption, text,
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                               QMessageBox::Save)) {
    case QMessageBox::Save:
      return SaveAnswer::Save;
    case QMessageBox::Discard:
      return SaveAnswer::Discard;
    default:
      return SaveAnswer::Cancel;  // also Escape and the close box
  }
}

QString QtDialogs::saveFileName(QWidget* owner, const QString& filter, const QString& suffix) {
  return run(owner, filter, suffix, true);
}

QString QtDialogs::openFileName(QWidget* owner, const QString& filter, const QString& suffix) {
  return run(owner, filter, suffix, false);
}

QString QtDialogs::run(QWidget* owner, const QString& filter, const QString& suffix, bool save) {
  const QString which = (save ? QStringLiteral("save-") : QStringLiteral("open-")) + suffix;
  QFileDialog dialog(owner, QString(),
                     remembered_ != nullptr ? remembered_->folder(which) : QString(), filter);
  // Saving, the dialog asks before overwriting. Opening, a name of a file that does not exist
  // is accepted; loading reports it. Both append the suffix to a bare name.
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = dialog.selectedFiles().constFirst();
  if (remembered_ != nullptr) remembered_->setFolder(which, QFileInfo(path).absolutePath());
  return path;
}

}  // namespace tarvik
