// SPDX-License-Identifier: MIT
#include "app/LibraryHolder.h"

#include <QFileInfo>

#include "app/AfterFirstFrame.h"
#include "app/BusyCursor.h"
#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/FullBackupActions.h"
#include "app/LibraryTime.h"
#include "app/LibraryWindow.h"
#include "app/RememberedState.h"
#include "app/TForm1.h"
#include "app/TablesFile.h"
#include "app/WindowPlacement.h"
#include "config/UserFile.h"
#include "core/CompareSource.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"

namespace tarvik {

LibraryHolder::LibraryHolder(Dialogs& dialogs, TForm1& form, ConfiguratorCore& core,
                             EditTracking& edits, FullBackupActions& fullBackup)
    : QObject(&form),
      dialogs_(dialogs),
      form_(form),
      core_(core),
      edits_(edits),
      fullBackup_(fullBackup),
      problem_(tr("No library file was opened.")) {
  connect(&core_, &ConfiguratorCore::historyRecorded, this, &LibraryHolder::changed);
}

LibraryHolder::~LibraryHolder() {
  if (window_ && remembered_ != nullptr) remembered_->setLibraryGeometry(window_->saveGeometry());
  window_.reset();
  close();
}

void LibraryHolder::openAfterFirstFrame(const QString& path) {
  new AfterFirstFrame(form_, [this, path] { open(path); });
}

void LibraryHolder::open(const QString& path) {
  close();
  path_ = path;
  SetupLibrary::Opened result = SetupLibrary::open(path);
  library_ = std::move(result.library);
  if (library_) {
    problem_.clear();
    core_.setLibrary(library_.get());
  } else {
    // The reason names the file; the file itself is left as it was. A retry that meets the same
    // reason adds no line.
    const bool news = problem_ != result.error;
    problem_ = result.error;
    if (news) {
      log(tr("The library of setups cannot be used, the program goes on without it: %1")
              .arg(result.error));
    }
  }
  Q_EMIT opened();
}

void LibraryHolder::retry() {
  if (!library_ && !path_.isEmpty()) open(path_);
}

void LibraryHolder::close() {
  if (!library_) return;
  if (core_.library() == library_.get()) core_.setLibrary(nullptr);
  library_.reset();
}

void LibraryHolder::showWindow() {
  retry();
  WindowPlacement::open(
      window_, form_, remembered_ ? remembered_->libraryGeometry() : QByteArray(),
      [this] { return std::make_unique<LibraryWindow>(*this, dialogs_, core_, edits_, &form_); });
}

void LibraryHolder::log(const QString& line) { form_.addLog(line); }

std::optional<QString> LibraryHolder::store(const QString& offered) {
  SetupLibrary* library = library_.get();
  // While a transfer runs, the editors hold half of what it reads or sends.
  if (library == nullptr || core_.busy()) return std::nullopt;
  const std::optional<QString> name = askName(tr("Name of the setup:"), offered);
  if (!name) return std::nullopt;
  const Configuration& configuration = core_.configuration();
  const ConfigBytes bytes =
      ConfigBytes::fromTables(configuration.tables(), configuration.recordBytes());
  Outcome outcome;
  if (exists(*name)) {
    if (!dialogs_.confirm(window_.get(), tr("Store"),
                          tr("The library holds a setup named \"%1\". Replace its contents with "
                             "what the editors hold? Its note stays.")
                              .arg(*name))) {
      return std::nullopt;
    }
    outcome =
        library->setups().replace(*name, bytes, configuration.names(), configuration.labels());
  } else {
    const std::optional<QString> note = dialogs_.askText(
        window_.get(), tr("Store"), tr("A note on the setup (may stay empty):"), {});
    if (!note) return std::nullopt;
    outcome = library->setups().store(
        Setup{*name, *note, {}, {}, bytes, configuration.names(), configuration.labels()});
  }
  if (!outcome.ok()) {
    refused(tr("The setup was not stored"), outcome.error);
    return std::nullopt;
  }
  // Kept in the library, the editors' work is as safe as in a file: closing no longer asks.
  core_.fileHolds(ConfigBytes::sent(configuration), configuration.names(), configuration.labels());
  log(tr("The editors are stored as the setup \"%1\".").arg(*name));
  reportChanged();
  return name;
}

void LibraryHolder::openInEditors(const LibraryItem& item) {
  if (library() == nullptr || item.isNone() || core_.busy()) return;
  if (!edits_.mayDiscard(item.isSetup() ? tr("before the setup is opened")
                                        : tr("before the snapshot is opened"))) {
    return;
  }
  const std::optional<Contents> opened = contents(item);
  if (!opened) return;
  // What came from the library is kept there, as a loaded file is kept in its file; the marks
  // go on measuring the editors against the device.
  const DiffSide& side = opened->side;
  edits_.open(tr("open %1").arg(opened->description), side.bytes, side.names, side.labels, true);
}

void LibraryHolder::send(const LibraryItem& item) {
  if (library() == nullptr || item.isNone() || core_.busy()) return;
  const std::optional<Contents> sent = contents(item);
  if (sent) {
    fullBackup_.restoreContents(sent->description, sent->side.bytes, sent->side.names,
                                sent->side.labels.value_or(LoopLabels()));
  }
}

std::optional<QString> LibraryHolder::rename(const QString& name) {
  if (!library_) return std::nullopt;
  const std::optional<QString> to = askName(tr("New name of the setup \"%1\":").arg(name), name);
  if (!to || *to == name) return std::nullopt;
  return afterChange(library_->setups().rename(name, *to), tr("The setup was not renamed"), *to);
}

std::optional<QString> LibraryHolder::duplicate(const QString& name) {
  if (!library_) return std::nullopt;
  const std::optional<QString> to =
      askName(tr("Name of the copy of \"%1\":").arg(name), tr("%1 copy").arg(name));
  if (!to) return std::nullopt;
  return afterChange(library_->setups().duplicate(name, *to), tr("The setup was not copied"), *to);
}

std::optional<QString> LibraryHolder::afterChange(const Outcome& outcome, const QString& failed,
                                                  const QString& name) {
  if (!outcome.ok()) {
    refused(failed, outcome.error);
    return std::nullopt;
  }
  reportChanged();
  return name;
}

void LibraryHolder::remove(const QString& name) {
  SetupLibrary* library = library_.get();
  if (library == nullptr) return;
  if (!dialogs_.confirm(
          window_.get(), tr("Delete"),
          tr("Delete the setup \"%1\" from the library? This cannot be undone.").arg(name))) {
    return;
  }
  const Outcome outcome = library->setups().remove(name);
  if (!outcome.ok()) refused(tr("The setup was not deleted"), outcome.error);
  reportChanged();
}

QStringList LibraryHolder::importChosen() {
  if (library() == nullptr) return {};
  return importFiles(
      dialogs_.openFileNames(window_.get(), TablesFile::filter(), TablesFile::suffix));
}

QStringList LibraryHolder::importFiles(const QStringList& paths) {
  SetupLibrary* library = library_.get();
  if (library == nullptr || paths.isEmpty()) return {};
  // Each file becomes the setup named after it (SetupLibrary::importFiles): those names that are
  // taken are asked about once, before anything is stored.
  QStringList taken;
  for (const QString& path : paths) {
    const QString name = QFileInfo(path).completeBaseName();
    if (exists(name)) taken << QStringLiteral("\"%1\"").arg(name);
  }
  IfExists ifExists = IfExists::Refuse;
  if (!taken.isEmpty()) {
    if (!dialogs_.confirm(window_.get(), tr("Import"),
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
  log(tr("%n file(s) imported into the library.", nullptr,
         static_cast<int>(imported.value->size())));
  reportChanged();
  return *imported.value;
}

void LibraryHolder::exportSetup(const QString& name) {
  SetupLibrary* library = library_.get();
  if (library == nullptr) return;
  const QString path =
      dialogs_.saveFileName(window_.get(), TablesFile::filter(), TablesFile::suffix);
  if (path.isEmpty()) return;
  const Result<QByteArray> bytes = library->exportSetup(name);
  if (!bytes.ok()) {
    refused(tr("The setup was not exported"), bytes.error);
    return;
  }
  // Whole or not at all: a file that was there stays as it was when the writing fails.
  if (!UserFile::write(path, *bytes.value)) {
    dialogs_.error(window_.get(), tr("Library"), cannotWriteText(path));
    return;
  }
  log(tr("The setup \"%1\" is written to %2.").arg(name, UserFile::shown(path)));
}

std::optional<LibraryHolder::Contents> LibraryHolder::contents(const LibraryItem& item) {
  const CompareSource source =
      item.isSetup() ? CompareSource::setup(item.name) : CompareSource::snapshot(item.id);
  Result<DiffSide> read = source.read(core_);
  if (!read.ok()) {
    // Most likely another program took it away: the lists show what is left.
    refused(item.isSetup() ? tr("The setup cannot be read") : tr("The snapshot cannot be read"),
            read.error);
    reportChanged();
    return std::nullopt;
  }
  return Contents{std::move(*read.value),
                  item.isSetup() ? tr("the setup \"%1\"").arg(item.name)
                                 : tr("the snapshot of %1").arg(LibraryTime::text(item.time))};
}

void LibraryHolder::refused(const QString& what, const QString& why) {
  dialogs_.error(window_.get(), tr("Library"), tr("%1: %2").arg(what, why));
}

std::optional<QString> LibraryHolder::askName(const QString& label, const QString& offered) {
  const std::optional<QString> name =
      dialogs_.askText(window_.get(), tr("Library"), label, offered);
  // Spaces at either end cannot be part of a name; typed there, they were not meant to be.
  if (!name) return std::nullopt;
  return name->trimmed();
}

bool LibraryHolder::exists(const QString& name) const {
  const SetupLibrary* library = library_.get();
  return library != nullptr && library->setups().setup(name).ok();
}

}  // namespace tarvik
