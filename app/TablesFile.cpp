// SPDX-License-Identifier: MIT
#include "app/TablesFile.h"

#include <QFileInfo>

#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/TForm1.h"
#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {

bool TablesFile::save(bool settings) {
  const QString path = dialogs_.saveFileName(&owner_, filter(), suffix);
  if (path.isEmpty()) return false;
  const Configuration& configuration = core_.configuration();
  const bool saved =
      settings ? FullBackup::save(path, configuration.tables(), configuration.recordBytes(),
                                  configuration.names(), configuration.labels())
               : TvkFile::save(path, configuration.tables());
  if (!saved) {
    dialogs_.error(&owner_, TForm1::displayTitle(), cannotWriteText(path));
    return false;
  }
  // Only the backup format holds the names; a .tvk file leaves them unsaved if they were.
  if (settings) {
    core_.fileHolds(ConfigBytes::sent(configuration), configuration.names(),
                    configuration.labels());
  } else {
    core_.fileHolds(ConfigBytes::fromTables(configuration.tables()));
  }
  lastPath_ = path;
  return true;
}

bool TablesFile::chooseAndLoad() {
  if (core_.busy()) return false;
  if (!edits_.mayDiscard(TForm1::tr("before loading a file"))) return false;
  const QString path = dialogs_.openFileName(&owner_, filter(), suffix);
  return !path.isEmpty() && load(path);
}

bool TablesFile::open(const QString& path) {
  if (core_.busy()) return false;
  return edits_.mayDiscard(TForm1::tr("before loading a file")) && load(path);
}

bool TablesFile::load(const QString& path) {
  // A full backup's settings come along; a .tvk file's absent section leaves them as they are.
  const FullBackup::LoadResult result = FullBackup::load(path);
  if (!result.ok()) {
    dialogs_.error(&owner_, tr("Error"), result.message);
    return false;
  }
  // The file's presets come with the file's names, or with none: names given to the presets
  // the file replaces would label the wrong ones. The loops' labels name the pedals on the
  // board, not the presets: a file without any (a .tvk file) leaves them as they are.
  const bool namesRead = result.namesProblem.isEmpty();
  const bool labelsRead = result.labelsProblem.isEmpty() && !result.labels.isEmpty();
  // The same call as the library's "Open": a file and the setup imported from it leave the
  // same editors.
  edits_.open(tr("load %1").arg(QFileInfo(path).fileName()),
              ConfigBytes::fromTables(*result.tables, result.settings),
              namesRead ? result.names : PresetNames(),
              labelsRead ? std::optional(result.labels) : std::nullopt, true);
  lastPath_ = path;
  // The file rules fill a cut or hand-edited file up with defaults; the user hears of it once.
  if (!result.gaps.none()) {
    log_(tr("%1 was loaded with defaults where it says nothing readable: %2")
             .arg(UserFile::shown(path), result.gaps.summary()));
  }
  if (!namesRead) {
    dialogs_.warning(&owner_, tr("Warning"),
                     tr("The file's preset names were not loaded: %1").arg(result.namesProblem));
  }
  if (!result.labelsProblem.isEmpty()) {
    dialogs_.warning(&owner_, tr("Warning"),
                     tr("The file's loop names were not loaded: %1").arg(result.labelsProblem));
  }
  return true;
}

}  // namespace tarvik
