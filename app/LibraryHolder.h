// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditTracking;
class FullBackupActions;
class LibraryWindow;
class RememberedState;
class SetupLibrary;
class TForm1;

// The main window's library of setups, and the Library window that shows it. The file is opened
// once the main window's first frame is out, so that start-up does not wait for the database,
// and is attached to the core so that the device history records; it is detached before it
// closes. A file that cannot be the library is named with the reason in the event log, never
// written to, and the program works on without a library until the user next asks for it (the
// Library window shown or activated): a full disk may have been freed, or another program's
// lock released, meanwhile.
//
// Everything here runs on the window's thread, the only one that uses the library.
class LibraryHolder : public QObject {
  Q_OBJECT
 public:
  // All must outlive the holder; the core outlives the window. The holder is the form's child.
  LibraryHolder(Dialogs& dialogs, TForm1& form, ConfiguratorCore& core, EditTracking& edits,
                FullBackupActions& fullBackup);
  ~LibraryHolder() override;

  // open() once the form's first frame is out.
  void openAfterFirstFrame(const QString& path);
  // Opens the file now, in place of any library opened before; opened() tells the end.
  void open(const QString& path);
  // Opens the file of the last open() again when that was refused; nothing while a library is
  // open or before the first open().
  void retry();

  // nullptr while there is none (see problem()).
  SetupLibrary* library() const { return library_.get(); }
  // Why there is no library, for the Library window; empty while there is one.
  const QString& problem() const { return problem_; }
  // The file opened or refused last; empty before the first open().
  const QString& path() const { return path_; }

  // The Library window's place is remembered there from now on; nullptr remembers nothing. The
  // state must outlive the holder.
  void setRemembered(RememberedState* state) { remembered_ = state; }
  // "Library...": shows the Library window, made and placed beside the form on first use.
  void showWindow();
  // Null until first shown.
  LibraryWindow* window() const { return window_.get(); }

  // A line in the form's event log.
  void log(const QString& line);
  // Something the program did changed the library's contents.
  void reportChanged() { Q_EMIT changed(); }

 Q_SIGNALS:
  // open() has ended: library() or problem() tells how.
  void opened();
  // The library's contents changed: by an action of the Library window, or by a snapshot the
  // core recorded. A change by another program is seen when the Library window is next
  // activated.
  void changed();

 private:
  void close();

  Dialogs& dialogs_;
  TForm1& form_;
  ConfiguratorCore& core_;
  EditTracking& edits_;
  FullBackupActions& fullBackup_;
  RememberedState* remembered_ = nullptr;
  std::unique_ptr<SetupLibrary> library_;
  QString path_;
  QString problem_;
  // Goes before the library it shows.
  std::unique_ptr<LibraryWindow> window_;
};

}  // namespace tarvik
