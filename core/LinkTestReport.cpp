// SPDX-License-Identifier: MIT
#include "core/LinkTestReport.h"

#include <algorithm>
#include <cmath>

#include "link/TransferCare.h"

namespace tarvik {
namespace {

QString milliseconds(double us) {
  return QString::number(us / 1000.0, 'f', 1) + QStringLiteral(" ms");
}

}  // namespace

QString LinkTestReport::countsLine() const {
  const long percent = sent > 0 ? std::lround(100.0 * lost() / sent) : 0;
  return QStringLiteral("sent %1, answered %2, lost %3 (%4 %)")
      .arg(sent)
      .arg(answered())
      .arg(lost())
      .arg(percent);
}

QString LinkTestReport::roundTripLine() const {
  if (roundTripsUs.empty()) return QStringLiteral("round trip: none");
  std::vector<std::int64_t> sorted = roundTripsUs;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t middle = sorted.size() / 2;
  // An even count has two middle values; their mean is the median.
  const double median = sorted.size() % 2 == 1
                            ? static_cast<double>(sorted[middle])
                            : (static_cast<double>(sorted[middle - 1]) + sorted[middle]) / 2.0;
  return QStringLiteral("round trip: min %1, median %2, max %3")
      .arg(milliseconds(static_cast<double>(sorted.front())), milliseconds(median),
           milliseconds(static_cast<double>(sorted.back())));
}

std::optional<int> LinkTestReport::paceToTry(int paceMs) const {
  if (lost() == 0 || paceMs >= TransferCare::kMaxPaceMs) return std::nullopt;
  const int careful = TransferCare::careful().paceMs;
  return paceMs < careful ? careful : std::min(2 * paceMs, TransferCare::kMaxPaceMs);
}

}  // namespace tarvik
