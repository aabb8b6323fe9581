// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

#include "library/SetupLibrary.h"

namespace tarvik::cli {

// The library file a command may use, opened on first use only: a command that never needs it
// (ports, a usage error) never touches the file, and a library that cannot be opened fails
// only the commands that depend on it.
class LibraryAccess {
  Q_DECLARE_TR_FUNCTIONS(LibraryAccess)

 public:
  // An empty path is no library at all (an in-process command that was given none).
  explicit LibraryAccess(QString path) : path_(std::move(path)) {}

  bool given() const { return !path_.isEmpty(); }
  // The library; nullptr when there is none or it cannot be opened (see error()).
  SetupLibrary* get();
  // "<file>: <reason>" on one line once get() was refused.
  const QString& error() const { return error_; }

 private:
  QString path_;
  std::unique_ptr<SetupLibrary> library_;
  QString error_;
  bool tried_ = false;
};

}  // namespace tarvik::cli
