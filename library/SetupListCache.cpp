// SPDX-License-Identifier: MIT
#include "library/SetupListCache.h"

namespace tarvik {

void SetupListCache::fill(QList<Entry> entries, qint64 dataVersion) {
  entries_ = std::move(entries);
  version_ = dataVersion;
}

QList<SetupSummary> SetupListCache::filtered(const QString& needle) const {
  QList<SetupSummary> summaries;
  summaries.reserve(entries_.size());
  for (const Entry& entry : entries_) {
    if (needle.isEmpty() || entry.search.contains(needle)) summaries.append(entry.summary);
  }
  return summaries;
}

}  // namespace tarvik
