// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "config/ConfigBytes.h"
#include "config/PresetNames.h"
#include "library/LibraryResult.h"
#include "library/Setup.h"

class QSqlDatabase;
class QSqlQuery;

namespace tarvik {

class LibraryConnection;

// The setups of a library. Every change is one transaction: it is in the file whole or not at
// all, whenever the program stops. Names are unique and compared exactly; a setup's note and
// its creation time stay when its contents are replaced. Contents are stored and read in
// ConfigBytes' form, whatever form they are handed in.
class SetupStore {
  Q_DECLARE_TR_FUNCTIONS(SetupStore)

 public:
  using Progress = std::function<void(int done, int total)>;

  explicit SetupStore(LibraryConnection& connection) : connection_(connection) {}

  // Ordered by name without regard to letter case. With a typed text, only the setups whose
  // name or note contains it, in any letter case. Reads the file only when it changed since
  // the last call.
  Result<QList<SetupSummary>> list(const QString& filter = {}) const;
  Result<Setup> setup(const QString& name) const;

  // A new setup; its times are the library's.
  Outcome store(const Setup& setup);
  // New contents for an existing setup.
  Outcome replace(const QString& name, const ConfigBytes& bytes, const PresetNames& names,
                  const LoopLabels& labels);
  Outcome rename(const QString& from, const QString& to);
  // A copy with the contents and the note of `from`, created now.
  Outcome duplicate(const QString& from, const QString& to);
  Outcome remove(const QString& name);
  Outcome setNote(const QString& name, const QString& note);
  Outcome setPresetNames(const QString& name, const PresetNames& names);

  struct BatchOutcome {
    QString error;
    // The setup refused for what it is (its name, its preset names, a name that is taken); -1
    // when the database failed.
    int failedIndex = -1;
    bool ok() const { return error.isEmpty(); }
  };
  // Several setups in one transaction, all of them or none. A name that is taken refuses the
  // whole batch, or with IfExists::Replace has its contents replaced. `progress` is told after
  // each setup, inside the transaction.
  BatchOutcome storeAll(const QList<Setup>& setups, IfExists ifExists,
                        const Progress& progress = {});

 private:
  // Runs `change` in one write transaction and commits it when it returns no error.
  Outcome transact(const std::function<Outcome(qint64 now)>& change);
  Outcome databaseFailure(const QString& driverText) const;
  struct Found {
    qint64 id = 0;  // 0 when there is no such setup, -1 when the query failed
    QString note;
    QString error;
  };
  static Found find(const QSqlDatabase& db, const QString& name);
  // Runs `change` on the setup named `name` in one write transaction; with `newName` given, only
  // while no setup has that name. `change` returns false when a statement of `query` failed.
  using Change = std::function<bool(QSqlQuery& query, const Found& found, qint64 now)>;
  Outcome changeSetup(const QString& name, const QString& newName, const Change& change);
  // Reads the list into the cache unless the cache holds the file's present state.
  QString refreshList() const;

  LibraryConnection& connection_;
  // The setup list as last read, with the folded text the filter looks in. Typing into the
  // filter asks for the list once a key; reading 10,000 rows through the driver for each would
  // take several times the frame a key press may cost, so the filter runs over this copy. The
  // copy is good for as long as the file holds what it was read from: every write here forgets
  // it, and SQLite's data version tells when another program wrote.
  struct Listed {
    SetupSummary summary;
    QString search;  // SetupColumns::search() of the name and the note
  };
  mutable QList<Listed> listed_;
  mutable std::optional<qint64> listedVersion_;
};

}  // namespace tarvik
