// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/TakeFromChoice.h"

class QWidget;

namespace tarvik {

class ConfiguratorCore;
class RememberedState;

// Every modal box and file dialog of the program goes through here, so that tests can answer
// them without a nested event loop waiting for a user who is not there.
class Dialogs {
 public:
  enum class SaveAnswer { Save, Discard, Cancel };
  // What a connect does with editors that hold work opened while no device was connected.
  enum class ConnectChoice { Send, Keep, Replace, Cancel };

  virtual ~Dialogs() = default;
  // Error icon, OK button.
  virtual void error(QWidget* owner, const QString& caption, const QString& text) = 0;
  // The same with lines for whoever helps the user (what a library said), behind the box's
  // details button; without lines the box has none.
  virtual void errorWithDetail(QWidget* owner, const QString& caption, const QString& text,
                               const QStringList& detail) = 0;
  // The same for a transfer that failed because replies were lost, with "Try again carefully"
  // beside OK (the default); true when that was pressed.
  virtual bool errorOfferingCarefulTry(QWidget* owner, const QString& caption, const QString& text,
                                       const QStringList& detail) = 0;
  // Warning icon, OK button: something did not happen as asked, but nothing is broken.
  virtual void warning(QWidget* owner, const QString& caption, const QString& text) = 0;
  // Warning icon, Yes (default) and No; true for Yes.
  virtual bool confirm(QWidget* owner, const QString& caption, const QString& text) = 0;
  // Warning icon, the platform's Save (default), Discard and Cancel: work would be lost.
  virtual SaveAnswer askToSave(QWidget* owner, const QString& caption, const QString& text) = 0;
  // Question icon, "Send to Tarvik" (default), "Keep and compare", "Replace" and Cancel.
  virtual ConnectChoice askConnectChoice(QWidget* owner, const QString& caption,
                                         const QString& text) = 0;
  // Empty when cancelled. filter is in Qt's form ("Tarvik Config File (*.tvk)").
  virtual QString saveFileName(QWidget* owner, const QString& filter, const QString& suffix) = 0;
  virtual QString openFileName(QWidget* owner, const QString& filter, const QString& suffix) = 0;
  // Several existing files at once; empty when cancelled.
  virtual QStringList openFileNames(QWidget* owner, const QString& filter,
                                    const QString& suffix) = 0;
  // One line of text, `text` offered for editing; nothing when cancelled (an accepted empty line
  // is an empty text).
  virtual std::optional<QString> askText(QWidget* owner, const QString& caption,
                                         const QString& label, const QString& text) = 0;
  // One of `items` from a list that cannot be typed into, `current` offered; its index, or
  // nothing when cancelled.
  virtual std::optional<int> askItem(QWidget* owner, const QString& caption, const QString& label,
                                     const QStringList& items, int current) = 0;
  // "Take from...": the source and its parts (TakeFromDialog); nothing when cancelled.
  virtual std::optional<TakeFromChoice> askTakeFrom(QWidget* owner,
                                                    const ConfiguratorCore& core) = 0;
};

// The real boxes and the platform's file dialogs. With a remembered state, each file dialog
// (open or save, per suffix) starts in the folder it was last accepted in.
class QtDialogs : public Dialogs {
 public:
  // The state must outlive the dialogs' use; nullptr forgets nothing and remembers nothing.
  void rememberFoldersIn(RememberedState* state) { remembered_ = state; }

  void error(QWidget* owner, const QString& caption, const QString& text) override;
  void errorWithDetail(QWidget* owner, const QString& caption, const QString& text,
                       const QStringList& detail) override;
  bool errorOfferingCarefulTry(QWidget* owner, const QString& caption, const QString& text,
                               const QStringList& detail) override;
  void warning(QWidget* owner, const QString& caption, const QString& text) override;
  bool confirm(QWidget* owner, const QString& caption, const QString& text) override;
  SaveAnswer askToSave(QWidget* owner, const QString& caption, const QString& text) override;
  ConnectChoice askConnectChoice(QWidget* owner, const QString& caption,
                                 const QString& text) override;
  QString saveFileName(QWidget* owner, const QString& filter, const QString& suffix) override;
  QString openFileName(QWidget* owner, const QString& filter, const QString& suffix) override;
  QStringList openFileNames(QWidget* owner, const QString& filter, const QString& suffix) override;
  std::optional<QString> askText(QWidget* owner, const QString& caption, const QString& label,
                                 const QString& text) override;
  std::optional<int> askItem(QWidget* owner, const QString& caption, const QString& label,
                             const QStringList& items, int current) override;
  std::optional<TakeFromChoice> askTakeFrom(QWidget* owner, const ConfiguratorCore& core) override;

 private:
  enum class Mode { Save, Open, OpenMany };
  QStringList run(QWidget* owner, const QString& filter, const QString& suffix, Mode mode);

  RememberedState* remembered_ = nullptr;
};

// Asks for a file name through the dialogs and writes the lines there as UTF-8 text, one line
// each with "\n" after it. The file is replaced as a whole or not at all; a failure is shown in
// the error box. False when cancelled or failed.
bool exportPlainText(Dialogs& dialogs, QWidget* owner, const QStringList& lines);

}  // namespace tarvik
