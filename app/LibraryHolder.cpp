// SPDX-License-Identifier: MIT
#include "app/LibraryHolder.h"

#include "app/AfterFirstFrame.h"
#include "app/LibraryWindow.h"
#include "app/RememberedState.h"
#include "app/TForm1.h"
#include "app/WindowPlacement.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"

namespace tarvik {

LibraryHolder::LibraryHolder(Dialogs& dialogs, TForm1& form, ConfiguratorCore& core,
                             EditTracking& edits, FullBackupActions& fullBackup)
    : QObject(&form),
      dialogs_(dialogs),
      form_(form),
      core_(core),
      edits_(edits),
      fullBackup_(fullBackup),
      problem_(tr("No library file was opened.")) {
  connect(&core_, &ConfiguratorCore::historyRecorded, this, &LibraryHolder::changed);
}

LibraryHolder::~LibraryHolder() {
  if (window_ && remembered_ != nullptr) remembered_->setLibraryGeometry(window_->saveGeometry());
  window_.reset();
  close();
}

void LibraryHolder::openAfterFirstFrame(const QString& path) {
  new AfterFirstFrame(form_, [this, path] { open(path); });
}

void LibraryHolder::open(const QString& path) {
  close();
  path_ = path;
  SetupLibrary::Opened result = SetupLibrary::open(path);
  library_ = std::move(result.library);
  if (library_) {
    problem_.clear();
    core_.setLibrary(library_.get());
  } else {
    // The reason names the file; the file itself is left as it was. A retry that meets the same
    // reason adds no line.
    const bool news = problem_ != result.error;
    problem_ = result.error;
    if (news) {
      log(tr("The library of setups cannot be used, the program goes on without it: %1")
              .arg(result.error));
    }
  }
  Q_EMIT opened();
}

void LibraryHolder::retry() {
  if (!library_ && !path_.isEmpty()) open(path_);
}

void LibraryHolder::close() {
  if (!library_) return;
  if (core_.library() == library_.get()) core_.setLibrary(nullptr);
  library_.reset();
}

void LibraryHolder::showWindow() {
  retry();
  WindowPlacement::open(window_, form_, form_.portListsFrame(),
                        remembered_ ? remembered_->libraryGeometry() : QByteArray(), [this] {
                          return std::make_unique<LibraryWindow>(*this, dialogs_, core_, edits_,
                                                                 fullBackup_, &form_);
                        });
}

void LibraryHolder::log(const QString& line) { form_.addLog(line); }

}  // namespace tarvik
