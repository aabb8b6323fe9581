// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include "library/LibraryResult.h"
#include "library/SetList.h"

namespace tarvik {

class LibraryConnection;

// The set lists of a library. Every change is one transaction; a set list is written whole, so
// that its songs are always in the order it was saved in. Names of set lists and songs follow
// the rules of setup names (SetupColumns::nameProblem).
class SetListStore {
  Q_DECLARE_TR_FUNCTIONS(SetListStore)

 public:
  explicit SetListStore(LibraryConnection& connection) : connection_(connection) {}

  // Ordered by name without regard to letter case.
  Result<QList<SetListSummary>> list() const;
  Result<SetList> setList(const QString& name) const;

  // Stores the set list with its songs; a name that is taken is refused, or with
  // IfExists::Replace has its songs replaced.
  Outcome save(const SetList& setList, IfExists ifExists);
  Outcome rename(const QString& from, const QString& to);
  Outcome remove(const QString& name);

  // Why the set list cannot be stored as it is (its name, a song's name, a song's preset);
  // empty when it can. `song` is set to the index of the song at fault, -1 for the list.
  static QString problem(const SetList& setList, int* song = nullptr);

 private:
  LibraryConnection& connection_;
};

}  // namespace tarvik
