// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QFunctionPointer>
#include <QLibrary>
#include <QString>
#include <initializer_list>

namespace tarvik {

// A module of the program's own (the window's platform module, the command line's network and
// chart modules): code that is loaded at run time so that the libraries behind it stay out of the
// start-up, and never unloaded, since what it made may live until the program ends.
class ModuleLibrary {
  Q_DECLARE_TR_FUNCTIONS(ModuleLibrary)
 public:
  // `variable` from the environment when set (tests, a program run from its build); else
  // `fromBinDir`, relative to the program's own folder, where the installed program finds its
  // module and where the build puts it.
  static QString path(const char* variable, QLatin1StringView fromBinDir);

  explicit ModuleLibrary(const QString& path) : library_(path) {}
  QString fileName() const { return library_.fileName(); }

  struct Entry {
    const char* name;
    QFunctionPointer* function;
  };
  // Loads the module and looks up each entry by name. Empty when all were found; else the
  // loader's reason, and the entries are null.
  QString load(std::initializer_list<Entry> entries);

 private:
  QLibrary library_;
};

}  // namespace tarvik
