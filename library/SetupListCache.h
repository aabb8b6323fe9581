// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "library/Setup.h"

namespace tarvik {

// The setup list as last read from the file, with the folded text the filter looks in. Typing
// into the filter asks for the list once a key; reading 10,000 rows through the driver for each
// would take several times the frame a key press may cost, so the filter runs over this copy.
// The copy is good for as long as the file holds what it was read from: the store forgets it
// when it writes, and SQLite's data version tells when another program wrote.
class SetupListCache {
 public:
  struct Entry {
    SetupSummary summary;
    QString search;  // SetupColumns::search() of the name and the note
  };

  bool holds(qint64 dataVersion) const { return version_ == dataVersion; }
  void fill(QList<Entry> entries, qint64 dataVersion);
  void forget() { version_.reset(); }

  // The summaries, in the order they were read, whose search text contains `needle`
  // (SetupColumns::needle); all of them for an empty one.
  QList<SetupSummary> filtered(const QString& needle) const;

 private:
  QList<Entry> entries_;
  std::optional<qint64> version_;
};

}  // namespace tarvik
