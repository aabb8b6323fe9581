// SPDX-License-Identifier: MIT
#include "app/TakeFromActions.h"

#include "app/Dialogs.h"
#include "config/PresetCsv.h"
#include "config/ui/EditHistory.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {
namespace {

bool isCsv(const CompareSource& source) {
  return source.kind() == CompareSource::Kind::File &&
         source.name().endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

// A CSV's presets as a side: the loops, the program change and the names; nothing else.
Result<DiffSide> readCsv(const QString& path) {
  const PresetCsv::Read csv = PresetCsv::read(path);
  if (!csv.ok()) return Result<DiffSide>::failed(csv.error);
  return {DiffSide{csv.bytes(), csv.names(), {}}, {}};
}

}  // namespace

void TakeFromActions::refused(const QString& why) {
  dialogs_.error(owner_, tr("Take from"), tr("Nothing was taken.") + QStringLiteral("\n\n") + why);
}

bool TakeFromActions::takeFrom() {
  if (core_.busy()) return false;
  const std::optional<TakeFromChoice> choice = dialogs_.askTakeFrom(owner_, core_);
  return choice && take(*choice);
}

bool TakeFromActions::take(const TakeFromChoice& choice) {
  if (core_.busy()) return false;
  const bool csv = isCsv(choice.source);
  const Result<DiffSide> side = csv ? readCsv(choice.source.name()) : choice.source.read(core_);
  if (!side.ok()) {
    refused(side.error);
    return false;
  }
  const QString refusal = choice.parts.refusal(side.value->bytes, csv);
  if (!refusal.isEmpty()) {
    refused(refusal);
    return false;
  }
  const bool noLabels = !side.value->labels || side.value->labels->isEmpty();
  if (choice.labels && noLabels && choice.parts.isEmpty()) {
    refused(tr("%1 names no loops.").arg(choice.title));
    return false;
  }
  history_.beginStep(tr("take from %1").arg(choice.title));
  const bool taken =
      core_.takeParts(side.value->bytes, side.value->names.value_or(PresetNames()),
                      choice.labels ? side.value->labels : std::nullopt, choice.parts);
  history_.endStep();
  if (!taken) return false;
  QStringList lines = choice.parts.lines(choice.title);
  if (choice.labels) {
    lines << (noLabels ? tr("no loop labels: %1 names no loops").arg(choice.title)
                       : tr("loop labels from %1").arg(choice.title));
  }
  log_(tr("Taken into the editors, not sent: %1").arg(lines.join(QStringLiteral("; "))));
  return true;
}

}  // namespace tarvik
