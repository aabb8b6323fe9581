// SPDX-License-Identifier: MIT
#include "app/Dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/RememberedState.h"
#include "app/TakeFromDialog.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"

namespace tarvik {

void QtDialogs::error(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox::critical(owner, caption, text, QMessageBox::Ok);
}

void QtDialogs::errorWithDetail(QWidget* owner, const QString& caption, const QString& text,
                                const QStringList& detail) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
  if (!detail.isEmpty()) box.setDetailedText(detail.join(QLatin1Char('\n')));
  box.exec();
}

bool QtDialogs::errorOfferingCarefulTry(QWidget* owner, const QString& caption, const QString& text,
                                        const QStringList& detail) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
  QPushButton* careful = box.addButton(QObject::tr("Try again carefully"), QMessageBox::ActionRole);
  // Enter or Escape only closes the box: a transfer starts only when asked for by name.
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  if (!detail.isEmpty()) box.setDetailedText(detail.join(QLatin1Char('\n')));
  box.exec();
  return box.clickedButton() == careful;
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

Dialogs::ConnectChoice QtDialogs::askConnectChoice(QWidget* owner, const QString& caption,
                                                   const QString& text) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Cancel, owner);
  QPushButton* send = box.addButton(QObject::tr("Send to Tarvik"), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(QObject::tr("Keep and compare"), QMessageBox::ActionRole);
  QPushButton* replace = box.addButton(QObject::tr("Replace"), QMessageBox::DestructiveRole);
  box.setDefaultButton(send);
  box.exec();
  if (box.clickedButton() == send) return ConnectChoice::Send;
  if (box.clickedButton() == keep) return ConnectChoice::Keep;
  if (box.clickedButton() == replace) return ConnectChoice::Replace;
  return ConnectChoice::Cancel;  // also Escape and the close box
}

QString QtDialogs::saveFileName(QWidget* owner, const QString& filter, const QString& suffix) {
  return run(owner, filter, suffix, Mode::Save).value(0);
}

QString QtDialogs::openFileName(QWidget* owner, const QString& filter, const QString& suffix) {
  return run(owner, filter, suffix, Mode::Open).value(0);
}

QStringList QtDialogs::openFileNames(QWidget* owner, const QString& filter, const QString& suffix) {
  return run(owner, filter, suffix, Mode::OpenMany);
}

std::optional<QString> QtDialogs::askText(QWidget* owner, const QString& caption,
                                          const QString& label, const QString& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(owner, caption, label, QLineEdit::Normal, text, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

std::optional<int> QtDialogs::askItem(QWidget* owner, const QString& caption, const QString& label,
                                      const QStringList& items, int current) {
  QInputDialog dialog(owner);
  dialog.setWindowTitle(caption);
  dialog.setLabelText(label);
  dialog.setComboBoxItems(items);
  dialog.setComboBoxEditable(false);
  // By row, not by text, both ways: two items may read the same.
  auto* list = dialog.findChild<QComboBox*>();
  if (list == nullptr) return std::nullopt;
  list->setCurrentIndex(current);
  if (dialog.exec() != QDialog::Accepted || list->currentIndex() < 0) return std::nullopt;
  return list->currentIndex();
}

std::optional<TakeFromChoice> QtDialogs::askTakeFrom(QWidget* owner, const ConfiguratorCore& core) {
  TakeFromDialog dialog(*this, core, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

QStringList QtDialogs::run(QWidget* owner, const QString& filter, const QString& suffix,
                           Mode mode) {
  // Opening one file or several starts in the same folder: both read the same kind of file.
  const QString which =
      (mode == Mode::Save ? QStringLiteral("save-") : QStringLiteral("open-")) + suffix;
  QFileDialog dialog(owner, QString(),
                     remembered_ != nullptr ? remembered_->folder(which) : QString(), filter);
  // Saving, the dialog asks before overwriting. Opening one, a name of a file that does not
  // exist is accepted; loading reports it. Both append the suffix to a bare name. Several files
  // are only ever taken as they are.
  dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(mode == Mode::OpenMany ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
  if (mode != Mode::OpenMany) dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QStringList paths = dialog.selectedFiles();
  if (remembered_ != nullptr) {
    remembered_->setFolder(which, QFileInfo(paths.constFirst()).absolutePath());
  }
  return paths;
}

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
