// SPDX-License-Identifier: MIT
#include "app/LibraryActions.h"

#include <QFileInfo>

#include "app/BusyCursor.h"
#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/FullBackupActions.h"
#include "app/LibraryHolder.h"
#include "app/LibraryTime.h"
#include "app/LibraryWindow.h"
#include "app/TablesFile.h"
#include "config/UserFile.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"

namespace tarvik {

LibraryActions::LibraryActions(LibraryWindow& window, LibraryHolder& holder, Dialogs& dialogs,
                               ConfiguratorCore& core, EditTracking& edits,
                               FullBackupActions& fullBackup)
    : window_(window),
      holder_(holder),
      dialogs_(dialogs),
      core_(core),
      edits_(edits),
      fullBackup_(fullBackup) {}

const LibraryItem& LibraryActions::current() const { return window_.current(); }

void LibraryActions::store() {
  SetupLibrary* library = holder_.library();
  // While a transfer runs, the editors hold half of what it reads or sends.
  if (library == nullptr || core_.busy()) return;
  const std::optional<QString> name = askName(LibraryWindow::tr("Name of the setup:"),
                                              current().isSetup() ? current().name : QString());
  if (!name) return;
  const Configuration& configuration = core_.configuration();
  const ConfigBytes bytes =
      ConfigBytes::fromTables(configuration.tables(), configuration.recordBytes());
  Outcome outcome;
  if (exists(*name)) {
    if (!dialogs_.confirm(
            &window_, LibraryWindow::tr("Store"),
            LibraryWindow::tr("The library holds a setup named \"%1\". Replace its contents with "
                              "what the editors hold? Its note stays.")
                .arg(*name))) {
      return;
    }
    outcome =
        library->setups().replace(*name, bytes, configuration.names(), configuration.labels());
  } else {
    const std::optional<QString> note =
        dialogs_.askText(&window_, LibraryWindow::tr("Store"),
                         LibraryWindow::tr("A note on the setup (may stay empty):"), {});
    if (!note) return;
    outcome = library->setups().store(
        Setup{*name, *note, {}, {}, bytes, configuration.names(), configuration.labels()});
  }
  if (!outcome.ok()) {
    refused(LibraryWindow::tr("The setup was not stored"), outcome.error);
    return;
  }
  // Kept in the library, the editors' work is as safe as in a file: closing no longer asks.
  core_.fileHolds(ConfigBytes::sent(configuration), configuration.names(), configuration.labels());
  holder_.log(LibraryWindow::tr("The editors are stored as the setup \"%1\".").arg(*name));
  holder_.reportChanged();
  window_.select(LibraryItem::setup(*name));
}

void LibraryActions::open() {
  if (holder_.library() == nullptr || current().isNone() || core_.busy()) return;
  if (!edits_.mayDiscard(current().isSetup()
                             ? LibraryWindow::tr("before the setup is opened")
                             : LibraryWindow::tr("before the snapshot is opened"))) {
    return;
  }
  const std::optional<Contents> opened = contents();
  if (!opened) return;
  // What came from the library is kept there, as a loaded file is kept in its file; the marks
  // go on measuring the editors against the device.
  const DiffSide& side = opened->side;
  edits_.open(LibraryWindow::tr("open %1").arg(opened->description), side.bytes, side.names,
              side.labels, true);
}

void LibraryActions::send() {
  if (holder_.library() == nullptr || current().isNone() || core_.busy()) return;
  if (const std::optional<Contents> sent = contents()) {
    fullBackup_.restoreContents(sent->description, sent->side.bytes, sent->side.names,
                                sent->side.labels.value_or(LoopLabels()));
  }
}

void LibraryActions::rename() {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || !current().isSetup()) return;
  const QString name = current().name;
  const std::optional<QString> to =
      askName(LibraryWindow::tr("New name of the setup \"%1\":").arg(name), name);
  if (!to || *to == name) return;
  afterChange(library->setups().rename(name, *to), LibraryWindow::tr("The setup was not renamed"),
              *to);
}

void LibraryActions::duplicate() {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || !current().isSetup()) return;
  const QString name = current().name;
  const std::optional<QString> to =
      askName(LibraryWindow::tr("Name of the copy of \"%1\":").arg(name),
              LibraryWindow::tr("%1 copy").arg(name));
  if (!to) return;
  afterChange(library->setups().duplicate(name, *to), LibraryWindow::tr("The setup was not copied"),
              *to);
}

void LibraryActions::afterChange(const Outcome& outcome, const QString& failed,
                                 const QString& name) {
  if (!outcome.ok()) {
    refused(failed, outcome.error);
    return;
  }
  holder_.reportChanged();
  window_.select(LibraryItem::setup(name));
}

void LibraryActions::remove() {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || !current().isSetup()) return;
  if (!dialogs_.confirm(
          &window_, LibraryWindow::tr("Delete"),
          LibraryWindow::tr("Delete the setup \"%1\" from the library? This cannot be undone.")
              .arg(current().name))) {
    return;
  }
  const Outcome outcome = library->setups().remove(current().name);
  if (!outcome.ok()) refused(LibraryWindow::tr("The setup was not deleted"), outcome.error);
  holder_.reportChanged();
}

void LibraryActions::importChosen() {
  if (holder_.library() == nullptr) return;
  importFiles(dialogs_.openFileNames(&window_, TablesFile::filter(), TablesFile::suffix));
}

void LibraryActions::importFiles(const QStringList& paths) {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || paths.isEmpty()) return;
  // Each file becomes the setup named after it (SetupLibrary::importFiles): those names that are
  // taken are asked about once, before anything is stored.
  QStringList taken;
  for (const QString& path : paths) {
    const QString name = QFileInfo(path).completeBaseName();
    if (exists(name)) taken << QStringLiteral("\"%1\"").arg(name);
  }
  IfExists ifExists = IfExists::Refuse;
  if (!taken.isEmpty()) {
    if (!dialogs_.confirm(
            &window_, LibraryWindow::tr("Import"),
            LibraryWindow::tr("The library holds setups named %1. Replace them with the files?")
                .arg(taken.join(QStringLiteral(", "))))) {
      return;
    }
    ifExists = IfExists::Replace;
  }
  BusyCursor::set(true);
  const Result<QStringList> imported = library->importFiles(paths, ifExists);
  BusyCursor::set(core_.busy());
  if (!imported.ok()) {
    refused(LibraryWindow::tr("Nothing was imported"), imported.error);
    return;
  }
  holder_.log(LibraryWindow::tr("%n file(s) imported into the library.", nullptr,
                                static_cast<int>(imported.value->size())));
  holder_.reportChanged();
  if (!imported.value->isEmpty()) window_.select(LibraryItem::setup(imported.value->constFirst()));
}

void LibraryActions::exportSetup() {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || !current().isSetup()) return;
  const QString name = current().name;
  const QString path = dialogs_.saveFileName(&window_, TablesFile::filter(), TablesFile::suffix);
  if (path.isEmpty()) return;
  const Result<QByteArray> bytes = library->exportSetup(name);
  if (!bytes.ok()) {
    refused(LibraryWindow::tr("The setup was not exported"), bytes.error);
    return;
  }
  // Whole or not at all: a file that was there stays as it was when the writing fails.
  if (!UserFile::write(path, *bytes.value)) {
    dialogs_.error(&window_, LibraryWindow::tr("Library"), cannotWriteText(path));
    return;
  }
  holder_.log(
      LibraryWindow::tr("The setup \"%1\" is written to %2.").arg(name, UserFile::shown(path)));
}

std::optional<LibraryActions::Contents> LibraryActions::contents() {
  const LibraryItem item = current();
  Result<DiffSide> read = item.source().read(core_);
  if (!read.ok()) {
    // Most likely another program took it away: the lists show what is left.
    refused(item.isSetup() ? LibraryWindow::tr("The setup cannot be read")
                           : LibraryWindow::tr("The snapshot cannot be read"),
            read.error);
    holder_.reportChanged();
    return std::nullopt;
  }
  return Contents{std::move(*read.value),
                  item.isSetup()
                      ? LibraryWindow::tr("the setup \"%1\"").arg(item.name)
                      : LibraryWindow::tr("the snapshot of %1").arg(LibraryTime::text(item.time))};
}

void LibraryActions::refused(const QString& what, const QString& why) {
  dialogs_.error(&window_, LibraryWindow::tr("Library"),
                 LibraryWindow::tr("%1: %2").arg(what, why));
}

std::optional<QString> LibraryActions::askName(const QString& label, const QString& offered) {
  const std::optional<QString> name =
      dialogs_.askText(&window_, LibraryWindow::tr("Library"), label, offered);
  // Spaces at either end cannot be part of a name; typed there, they were not meant to be.
  if (!name) return std::nullopt;
  return name->trimmed();
}

bool LibraryActions::exists(const QString& name) const {
  const SetupLibrary* library = holder_.library();
  return library != nullptr && library->setups().setup(name).ok();
}

}  // namespace tarvik
