// SPDX-License-Identifier: MIT
#include "app/LoopNaming.h"

#include "app/Dialogs.h"
#include "config/Configuration.h"

namespace tarvik {

void LoopNaming::ask(Dialogs& dialogs, QWidget* owner, Configuration& configuration, int loop) {
  const std::optional<QString> label =
      dialogs.askText(owner, tr("Loop names"),
                      tr("What is in LOOP%1 (at most %2 characters; empty for no name):")
                          .arg(loop + 1)
                          .arg(LoopLabels::kMaxLength),
                      configuration.labels().label(loop));
  if (!label) return;
  if (const QString problem = configuration.renameLoop(loop, *label); !problem.isEmpty()) {
    dialogs.error(owner, tr("Loop names"),
                  tr("LOOP%1 was not renamed: the name %2.").arg(loop + 1).arg(problem));
  }
}

}  // namespace tarvik
