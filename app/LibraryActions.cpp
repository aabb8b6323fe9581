// SPDX-License-Identifier: MIT
#include "app/LibraryActions.h"

#include <QFileInfo>

#include "app/BusyCursor.h"
#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/FullBackupActions.h"
#include "app/LibraryHolder.h"
#include "app/LibraryTime.h"
#include "app/TablesFile.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"

namespace tarvik {

LibraryActions::LibraryActions(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core,
                               EditTracking& edits, FullBackupActions& fullBackup,
                               LibraryHolder& holder, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      owner_(owner),
      core_(core),
      edits_(edits),
      fullBackup_(fullBackup),
      holder_(holder) {}

std::optional<QString> LibraryActions::store(const QString& offered) {
  SetupLibrary* library = holder_.library();
  // While a transfer runs, the editors hold half of what it reads or sends.
  if (library == nullptr || core_.busy()) return std::nullopt;
  const std::optional<QString> name = askName(tr("Name of the setup:"), offered);
  if (!name) return std::nullopt;
  const Configuration& configuration = core_.configuration();
  const ConfigBytes bytes =
      ConfigBytes::fromTables(configuration.tables(), configuration.recordBytes());
  Outcome outcome;
  if (exists(*name)) {
    if (!dialogs_.confirm(&owner_, tr("Store"),
                          tr("The library holds a setup named \"%1\". Replace its contents with "
                             "what the editors hold? Its note stays.")
                              .arg(*name))) {
      return std::nullopt;
    }
    outcome =
        library->setups().replace(*name, bytes, configuration.names(), configuration.labels());
  } else {
    const std::optional<QString> note =
        dialogs_.askText(&owner_, tr("Store"), tr("A note on the setup (may stay empty):"), {});
    if (!note) return std::nullopt;
    outcome = library->setups().store(
        Setup{*name, *note, {}, {}, bytes, configuration.names(), configuration.labels()});
  }
  if (!outcome.ok()) {
    refused(tr("The setup was not stored"), outcome.error);
    return std::nullopt;
  }
  // Kept in the library, the editors' work is as safe as in a file: closing no longer asks.
  core_.marks().fileHolds({Block::Presets, Block::CcMap, Block::PcRemap, Block::Record});
  core_.marks().namesSaved(configuration.names());
  core_.marks().labelsSaved(configuration.labels());
  holder_.log(tr("The editors are stored as the setup \"%1\".").arg(*name));
  holder_.reportChanged();
  return name;
}

void LibraryActions::open(const LibraryItem& item) {
  if (holder_.library() == nullptr || item.isNone() || core_.busy()) return;
  if (!edits_.mayDiscard(item.isSetup() ? tr("before the setup is opened")
                                        : tr("before the snapshot is opened"))) {
    return;
  }
  const std::optional<Contents> opened = contents(item);
  if (!opened) return;
  edits_.open(tr("open %1").arg(opened->description), opened->bytes, opened->names, opened->labels);
  // What came from the library is kept there, as a loaded file is kept in its file; the marks
  // go on measuring the editors against the device.
  ChangeMarks& marks = core_.marks();
  marks.fileHolds({Block::Presets, Block::CcMap, Block::PcRemap});
  if (opened->bytes.settings) marks.fileHolds({Block::Record});
  if (opened->names) marks.namesSaved(*opened->names);
  if (opened->labels && !opened->labels->isEmpty()) marks.labelsSaved(*opened->labels);
}

void LibraryActions::send(const LibraryItem& item) {
  if (holder_.library() == nullptr || item.isNone() || core_.busy()) return;
  const std::optional<Contents> sent = contents(item);
  if (sent) {
    fullBackup_.restoreContents(sent->description, sent->bytes, sent->names,
                                sent->labels.value_or(LoopLabels()));
  }
}

std::optional<QString> LibraryActions::rename(const QString& name) {
  SetupLibrary* library = holder_.library();
  if (library == nullptr) return std::nullopt;
  const std::optional<QString> to = askName(tr("New name of the setup \"%1\":").arg(name), name);
  if (!to || *to == name) return std::nullopt;
  const Outcome outcome = library->setups().rename(name, *to);
  if (!outcome.ok()) {
    refused(tr("The setup was not renamed"), outcome.error);
    return std::nullopt;
  }
  holder_.reportChanged();
  return to;
}

std::optional<QString> LibraryActions::duplicate(const QString& name) {
  SetupLibrary* library = holder_.library();
  if (library == nullptr) return std::nullopt;
  const std::optional<QString> to =
      askName(tr("Name of the copy of \"%1\":").arg(name), tr("%1 copy").arg(name));
  if (!to) return std::nullopt;
  const Outcome outcome = library->setups().duplicate(name, *to);
  if (!outcome.ok()) {
    refused(tr("The setup was not copied"), outcome.error);
    return std::nullopt;
  }
  holder_.reportChanged();
  return to;
}

void LibraryActions::remove(const QString& name) {
  SetupLibrary* library = holder_.library();
  if (library == nullptr) return;
  if (!dialogs_.confirm(
          &owner_, tr("Delete"),
          tr("Delete the setup \"%1\" from the library? This cannot be undone.").arg(name))) {
    return;
  }
  const Outcome outcome = library->setups().remove(name);
  if (!outcome.ok()) refused(tr("The setup was not deleted"), outcome.error);
  holder_.reportChanged();
}

QStringList LibraryActions::importChosen() {
  if (holder_.library() == nullptr) return {};
  return importFiles(dialogs_.openFileNames(&owner_, TablesFile::filter(), TablesFile::suffix));
}

QStringList LibraryActions::importFiles(const QStringList& paths) {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || paths.isEmpty()) return {};
  // Each file becomes the setup named after it (SetupFile::read): those names that are taken
  // are asked about once, before anything is stored.
  QStringList taken;
  for (const QString& path : paths) {
    const QString name = QFileInfo(path).completeBaseName();
    if (exists(name)) taken << QStringLiteral("\"%1\"").arg(name);
  }
  IfExists ifExists = IfExists::Refuse;
  if (!taken.isEmpty()) {
    if (!dialogs_.confirm(&owner_, tr("Import"),
                          tr("The library holds setups named %1. Replace them with the files?")
                              .arg(taken.join(QStringLiteral(", "))))) {
      return {};
    }
    ifExists = IfExists::Replace;
  }
  BusyCursor::set(true);
  const Result<QStringList> imported = library->importFiles(paths, ifExists);
  BusyCursor::set(core_.busy());
  if (!imported.ok()) {
    refused(tr("Nothing was imported"), imported.error);
    return {};
  }
  holder_.log(tr("%n file(s) imported into the library.", nullptr,
                 static_cast<int>(imported.value->size())));
  holder_.reportChanged();
  return *imported.value;
}

void LibraryActions::exportSetup(const QString& name) {
  SetupLibrary* library = holder_.library();
  if (library == nullptr) return;
  const QString path = dialogs_.saveFileName(&owner_, TablesFile::filter(), TablesFile::suffix);
  if (path.isEmpty()) return;
  const Result<QByteArray> bytes = library->exportSetup(name);
  if (!bytes.ok()) {
    refused(tr("The setup was not exported"), bytes.error);
    return;
  }
  // Whole or not at all: a file that was there stays as it was when the writing fails.
  if (!UserFile::write(path, *bytes.value)) {
    dialogs_.error(&owner_, tr("Library"), cannotWriteText(path));
    return;
  }
  holder_.log(tr("The setup \"%1\" is written to %2.").arg(name, UserFile::shown(path)));
}

std::optional<LibraryActions::Contents> LibraryActions::contents(const LibraryItem& item) {
  SetupLibrary* library = holder_.library();
  if (item.isSetup()) {
    Result<Setup> setup = library->setups().setup(item.name);
    if (!setup.ok()) {
      // Most likely another program took it away: the lists show what is left.
      refused(tr("The setup cannot be read"), setup.error);
      holder_.reportChanged();
      return std::nullopt;
    }
    return Contents{setup.value->bytes, setup.value->names, tr("the setup \"%1\"").arg(item.name),
                    setup.value->labels};
  }
  Result<Snapshot> snapshot = library->history().snapshot(item.id);
  if (!snapshot.ok()) {
    refused(tr("The snapshot cannot be read"), snapshot.error);
    holder_.reportChanged();
    return std::nullopt;
  }
  return Contents{snapshot.value->bytes, std::nullopt,
                  tr("the snapshot of %1").arg(LibraryTime::text(snapshot.value->time))};
}

void LibraryActions::refused(const QString& what, const QString& why) {
  dialogs_.error(&owner_, tr("Library"), tr("%1: %2").arg(what, why));
}

std::optional<QString> LibraryActions::askName(const QString& label, const QString& offered) {
  const std::optional<QString> name = dialogs_.askText(&owner_, tr("Library"), label, offered);
  // Spaces at either end cannot be part of a name; typed there, they were not meant to be.
  if (!name) return std::nullopt;
  return name->trimmed();
}

bool LibraryActions::exists(const QString& name) const {
  const SetupLibrary* library = holder_.library();
  return library != nullptr && library->setups().setup(name).ok();
}

}  // namespace tarvik
