// SPDX-License-Identifier: MIT
#include "app/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
  // The dialog asks before overwriting and appends the suffix to a bare name.
  QFileDialog dialog(owner, QString(), QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QString QtDialogs::openFileName(QWidget* owner, const QString& filter, const QString& suffix) {
  QFileDialog dialog(owner, QString(), QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A name of a file that does not exist is accepted here; loading reports it.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace tarvik
