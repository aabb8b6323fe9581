// SPDX-License-Identifier: MIT
#include "app/SetListPane.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/GigView.h"
#include "app/LibraryHolder.h"
#include "app/LibraryTime.h"
#include "app/NamedButton.h"
#include "app/PlatformModule.h"
#include "config/UserFile.h"
#include "config/ui/EditHistory.h"
#include "core/ConfiguratorCore.h"
#include "library/SetArrangement.h"
#include "library/SetupLibrary.h"
#include "library/chart/SetChart.h"

namespace tarvik {
namespace {

enum Column { kSong, kPreset, kLoops, kNote, kColumns };

}  // namespace

SetListPane::SetListPane(LibraryHolder& holder, Dialogs& dialogs, ConfiguratorCore& core,
                         EditTracking& edits, std::function<LibraryItem()> selected,
                         QWidget* parent)
    : QWidget(parent),
      holder_(holder),
      dialogs_(dialogs),
      core_(core),
      edits_(edits),
      selected_(std::move(selected)) {
  choice_ = new QComboBox(this);
  choice_->setObjectName(QStringLiteral("setListChoice"));
  choice_->setAccessibleName(tr("Set list"));
  songs_ = new QTableWidget(0, kColumns, this);
  songs_->setObjectName(QStringLiteral("setSongs"));
  songs_->setHorizontalHeaderLabels({tr("Song"), tr("Preset"), tr("Loops"), tr("Note")});
  songs_->setSelectionMode(QAbstractItemView::SingleSelection);
  songs_->setSelectionBehavior(QAbstractItemView::SelectRows);
  songs_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  songs_->horizontalHeader()->setStretchLastSection(true);
  songs_->horizontalHeader()->resizeSection(kSong, 180);
  songs_->horizontalHeader()->resizeSection(kPreset, 160);
  songs_->horizontalHeader()->resizeSection(kLoops, 240);
  // One line a song, as on the chart.
  songs_->setWordWrap(false);

  create_ = namedButton(this, "newSetButton", tr("New..."), tr("Start a new, empty set list"),
                        [this] { createSet(); });
  auto* rename = namedButton(this, "renameSetButton", tr("Rename..."),
                             tr("Give the set list another name"), [this] { renameSet(); });
  auto* remove = namedButton(this, "deleteSetButton", tr("Delete..."), tr("Delete the set list"),
                             [this] { removeSet(); });
  auto* fromEditors = namedButton(this, "addFromEditorsButton", tr("Add from editors..."),
                                  tr("Add a song with a copy of one of the editors' presets"),
                                  [this] { addFromEditors(); });
  auto* fromSelected =
      namedButton(this, "addSelectedButton", tr("Add from selection..."),
                  tr("Add a song with a copy of one preset of the selected setup or snapshot"),
                  [this] { addSelected(); });
  up_ = namedButton(this, "songUpButton", tr("Up"), tr("Play the song one earlier"),
                    [this] { moveSong(-1); });
  down_ = namedButton(this, "songDownButton", tr("Down"), tr("Play the song one later"),
                      [this] { moveSong(1); });
  removeSong_ = namedButton(this, "removeSongButton", tr("Remove"),
                            tr("Take the song out of the set"), [this] { this->removeSong(); });
  auto* arrange = namedButton(
      this, "arrangeButton", tr("Arrange"),
      tr("Put the songs' presets at presets 1, 2, 3 ... in the editors, in set order, as one "
         "step that Undo takes back"),
      [this] { this->arrange(); });
  auto* print =
      namedButton(this, "printChartButton", tr("Print chart..."),
                  tr("Print the set chart for the music stand"), [this] { printChart(); });
  auto* pdf = namedButton(this, "saveChartButton", tr("Save chart as PDF..."),
                          tr("Write the set chart for the music stand as a PDF file"),
                          [this] { saveChart(); });
  auto* gig = namedButton(this, "gigViewButton", tr("Gig view"),
                          tr("Follow the set on stage in large type, and step through it from "
                             "the keyboard"),
                          [this] { openGigView(); });
  needSet_ = {rename, remove, fromEditors, fromSelected, arrange, print, pdf, gig};

  auto* top = new QHBoxLayout;
  top->addWidget(choice_, 1);
  for (QPushButton* button : {create_, rename, remove, arrange, print, pdf}) top->addWidget(button);
  auto* bottom = new QHBoxLayout;
  for (QPushButton* button : {fromEditors, fromSelected, up_, down_, removeSong_}) {
    bottom->addWidget(button);
  }
  bottom->addStretch();
  bottom->addWidget(gig);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(songs_, 1);
  layout->addLayout(bottom);

  connect(choice_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
    if (!filling_) show(name);
  });
  connect(songs_, &QTableWidget::cellChanged, this, &SetListPane::songEdited);
  connect(songs_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &SetListPane::updateButtons);
  connect(&core_, &ConfiguratorCore::busyChanged, this, &SetListPane::updateButtons);
  refresh();
}

void SetListPane::refresh() {
  const SetupLibrary* library = holder_.library();
  QStringList names;
  if (library != nullptr) {
    const Result<QList<SetListSummary>> lists = library->setLists().list();
    if (lists.ok()) {
      for (const SetListSummary& list : *lists.value) names << list.name;
    }
  }
  const QString keep = names.contains(shown_.name) ? shown_.name : names.value(0);
  filling_ = true;
  choice_->clear();
  choice_->addItems(names);
  choice_->setCurrentText(keep);
  filling_ = false;
  show(keep);
}

void SetListPane::show(const QString& name) {
  const SetupLibrary* library = holder_.library();
  shown_ = {};
  if (library != nullptr && !name.isEmpty()) {
    const Result<SetList> read = library->setLists().setList(name);
    if (read.ok()) shown_ = *read.value;
  }
  if (!shown_.name.isEmpty() && choice_->currentText() != shown_.name) {
    filling_ = true;
    choice_->setCurrentText(shown_.name);
    filling_ = false;
  }
  showSongs();
}

void SetListPane::showSongs() {
  const int keep = currentSong();
  filling_ = true;
  songs_->setRowCount(static_cast<int>(shown_.songs.size()));
  for (int row = 0; row < shown_.songs.size(); ++row) {
    const SetSong& song = shown_.songs[row];
    // The editors are kept as a word of the program's own, not the user's.
    const QString preset =
        (song.source == kEditorsSource ? tr("%1 from the editors").arg(song.sourcePreset)
                                       : tr("%1 of %2").arg(song.sourcePreset).arg(song.source)) +
        (song.preset.name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(song.preset.name));
    const QStringList texts = {song.name, preset, SetChart::loopsText(song), song.note};
    for (int column = 0; column < kColumns; ++column) {
      auto* item = new QTableWidgetItem(texts[column]);
      if (column == kPreset || column == kLoops)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      songs_->setItem(row, column, item);
    }
  }
  filling_ = false;
  if (keep >= 0 && keep < songs_->rowCount()) songs_->selectRow(keep);
  updateButtons();
}

void SetListPane::updateButtons() {
  const bool library = holder_.library() != nullptr;
  const bool set = library && !shown_.name.isEmpty();
  create_->setEnabled(library);
  for (QPushButton* button : needSet_) button->setEnabled(set);
  // The song buttons act on the selected song, and only where it can go.
  const int song = set ? currentSong() : -1;
  up_->setEnabled(song > 0);
  down_->setEnabled(song >= 0 && song + 1 < shown_.songs.size());
  removeSong_->setEnabled(song >= 0);
  // While a transfer runs the editors hold half of what it reads or sends.
  findChild<QPushButton*>(QStringLiteral("arrangeButton"))
      ->setEnabled(set && !core_.busy() && !shown_.songs.isEmpty());
}

int SetListPane::currentSong() const {
  const QModelIndexList rows =
      songs_->selectionModel() ? songs_->selectionModel()->selectedRows() : QModelIndexList();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void SetListPane::refused(const QString& what, const QString& why) {
  dialogs_.error(this, tr("Set list"), what + QStringLiteral("\n\n") + why);
}

bool SetListPane::done(const Outcome& outcome, const QString& what) {
  if (!outcome.ok()) refused(what, outcome.error);
  return outcome.ok();
}

void SetListPane::saveSongs(const QList<SetSong>& songs, int select) {
  SetupLibrary* library = holder_.library();
  if (library == nullptr) return;
  const bool saved = done(library->setLists().save({shown_.name, songs}, IfExists::Replace),
                          tr("The set list was not changed."));
  if (saved) shown_.songs = songs;
  showSongs();
  if (saved && select >= 0 && select < songs_->rowCount()) songs_->selectRow(select);
}

void SetListPane::createSet() {
  SetupLibrary* library = holder_.library();
  if (library == nullptr) return;
  const std::optional<QString> name =
      dialogs_.askText(this, tr("New set list"), tr("Name of the set list:"), {});
  if (!name) return;
  if (done(library->setLists().save({*name, {}}, IfExists::Refuse),
           tr("The set list was not made.")))
    shown_.name = *name;
  refresh();
}

void SetListPane::renameSet() {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || shown_.name.isEmpty()) return;
  const std::optional<QString> name =
      dialogs_.askText(this, tr("Rename"), tr("New name of the set list:"), shown_.name);
  if (!name || *name == shown_.name) return;
  if (done(library->setLists().rename(shown_.name, *name), tr("The set list was not renamed.")))
    shown_.name = *name;
  refresh();
}

void SetListPane::removeSet() {
  SetupLibrary* library = holder_.library();
  if (library == nullptr || shown_.name.isEmpty()) return;
  if (!dialogs_.confirm(this, tr("Delete"),
                        tr("Delete the set list \"%1\"? The setups stay.").arg(shown_.name))) {
    return;
  }
  done(library->setLists().remove(shown_.name), tr("The set list was not deleted."));
  refresh();
}

void SetListPane::addSong(const PresetTables& tables, const PresetNames& names,
                          const LoopLabels& labels, const QString& source) {
  // Chosen from the list, by number and name, as the matrix shows them.
  QStringList presets;
  for (int row = 0; row < kTableSize; ++row) {
    const QString name = names.name(row);
    presets << (name.isEmpty() ? QString::number(row + 1)
                               : QStringLiteral("%1  %2").arg(row + 1).arg(name));
  }
  const QString from = source == kEditorsSource ? tr("the editors") : source;
  const std::optional<int> chosen =
      dialogs_.askItem(this, tr("Add a song"), tr("Preset of %1:").arg(from), presets, 0);
  if (!chosen || *chosen < 0 || *chosen >= kTableSize) return;
  const int row = *chosen;
  const int preset = row + 1;
  const std::optional<QString> name =
      dialogs_.askText(this, tr("Add a song"), tr("Name of the song:"), names.name(row));
  if (!name) return;
  QList<SetSong> songs = shown_.songs;
  const int at = currentSong() >= 0 ? currentSong() + 1 : static_cast<int>(songs.size());
  songs.insert(at, SetSong{*name,
                           {},
                           {tables.mask(row), tables.pcRemap(row), names.name(row)},
                           source,
                           preset,
                           SetSong::labelLines(labels)});
  saveSongs(songs, at);
}

void SetListPane::addFromEditors() {
  if (shown_.name.isEmpty()) return;
  const Configuration& editors = core_.configuration();
  addSong(editors.tables(), editors.names(), editors.labels(), kEditorsSource);
}

void SetListPane::addSelected() {
  const LibraryItem item = selected_ ? selected_() : LibraryItem{};
  if (holder_.library() == nullptr || shown_.name.isEmpty()) return;
  if (item.isNone()) {
    dialogs_.warning(this, tr("Add a song"),
                     tr("Select a setup or a snapshot first: the song takes one of its presets."));
    return;
  }
  const Result<DiffSide> read = item.source().read(core_);
  if (!read.ok()) {
    refused(tr("The song was not added."), read.error);
    return;
  }
  // The device keeps no labels, so neither does its history.
  addSong(read.value->bytes.tables(), read.value->names.value_or(PresetNames()),
          read.value->labels.value_or(LoopLabels()),
          item.isSetup() ? item.name
                         : tr("snapshot %1 (%2)").arg(LibraryTime::text(item.time), item.event));
}

void SetListPane::moveSong(int by) {
  const int row = currentSong();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= shown_.songs.size()) return;
  QList<SetSong> songs = shown_.songs;
  songs.move(row, to);
  saveSongs(songs, to);
}

void SetListPane::removeSong() {
  const int row = currentSong();
  if (row < 0) return;
  QList<SetSong> songs = shown_.songs;
  songs.removeAt(row);
  saveSongs(songs, std::min(row, static_cast<int>(songs.size()) - 1));
}

void SetListPane::songEdited(int row, int column) {
  if (filling_ || row < 0 || row >= shown_.songs.size()) return;
  QList<SetSong> songs = shown_.songs;
  const QString text = songs_->item(row, column)->text();
  if (column == kSong) songs[row].name = text.trimmed();
  if (column == kNote) songs[row].note = text;
  saveSongs(songs, row);
}

void SetListPane::arrange() {
  if (shown_.songs.isEmpty() || core_.busy()) return;
  const Configuration& editors = core_.configuration();
  const PresetRows before(editors.tables(), editors.names());
  const PresetRows::Rows overwritten = core_.setArrangementOverwrites(shown_);
  if (overwritten.empty()) return;
  if (!dialogs_.confirm(
          this, tr("Arrange"),
          tr("Arranging \"%1\" overwrites these presets in the editors: %2.\n\nThe CC map, the "
             "settings and the presets after the set stay. Undo takes it back. Go on?")
              .arg(shown_.name, SetArrangement::presetsText(before, overwritten)))) {
    return;
  }
  EditHistory& history = edits_.history();
  history.beginStep(tr("arrange set \"%1\"").arg(shown_.name));
  core_.arrangeSet(shown_);
  history.endStep();
  holder_.log(tr("The set \"%1\" is arranged at presets 1 to %2 in the editors.")
                  .arg(shown_.name)
                  .arg(shown_.songs.size()));
}

void SetListPane::saveChart() {
  if (shown_.name.isEmpty()) return;
  const QString path = dialogs_.saveFileName(this, tr("PDF file (*.pdf)"), QStringLiteral("pdf"));
  if (path.isEmpty()) return;
  const std::optional<QByteArray> pdf = SetChart::pdf(shown_);
  QString error;
  if (!pdf || !UserFile::write(path, *pdf, &error)) {
    refused(tr("The set chart was not written."),
            pdf ? error : tr("The chart could not be drawn."));
    return;
  }
  holder_.log(tr("The set chart of \"%1\" is written to %2.").arg(shown_.name, path));
}

void SetListPane::openGigView() {
  // One view at a time, of the set as it is now: one opened before shows what it was then.
  if (gig_) gig_->close();
  gig_ = new GigView(core_, shown_, core_.configuration().labels(), window());
  gig_->show();
  gig_->activateWindow();
}

void SetListPane::printChart() {
  if (shown_.name.isEmpty()) return;
  // Printing lives in the platform module, which keeps its libraries out of the start-up; it is
  // loaded once already, or loads now.
  QFunctionPointer entry = nullptr;
  const QString failure =
      ModuleLibrary(PlatformModule::defaultPath()).load({{kPrintSetChartEntry, &entry}});
  const ChartPrint printed = failure.isEmpty()
                                 ? reinterpret_cast<PrintSetChartEntry>(entry)(this, shown_)
                                 : ChartPrint::Failed;
  if (printed == ChartPrint::Failed) {
    refused(tr("The set chart was not printed."),
            failure.isEmpty() ? tr("The printer could not be used.") : failure);
  }
}

}  // namespace tarvik
