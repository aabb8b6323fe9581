// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/GigView.h"
#include "app/LibraryItem.h"
#include "library/LibraryResult.h"
#include "library/SetList.h"

class QComboBox;
class QPushButton;
class QTableWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditTracking;
class LibraryHolder;

// The Library window's set lists: one set list at a time, its songs in the order they are
// played. A song is added from the editors or from the setup or snapshot selected in the
// window, with a copy of one preset; its name and note are edited in place. "Arrange" puts the
// songs' presets at presets 1, 2, 3 ... in the editors as one undo step, after listing what it
// overwrites; the chart is printed or saved as a PDF file. Every change is stored at once.
class SetListPane : public QWidget {
  Q_OBJECT
 public:
  // All must outlive the pane; `selected` tells the window's selected setup or snapshot.
  SetListPane(LibraryHolder& holder, Dialogs& dialogs, ConfiguratorCore& core, EditTracking& edits,
              std::function<LibraryItem()> selected, QWidget* parent = nullptr);

  // Reads the set lists again, keeping the one shown when it is still there.
  void refresh();
  const SetList& shown() const { return shown_; }
  // Shows the set list of that name, when there is one.
  void show(const QString& name);

  // The actions, for the buttons and for tests.
  void createSet();
  void renameSet();
  void removeSet();
  void addFromEditors();
  void addSelected();
  void moveSong(int by);
  void removeSong();
  void arrange();
  void saveChart();
  void printChart();
  // The gig view of the set shown (GigView).
  void openGigView();
  GigView* gigView() const { return gig_; }

 private:
  void showSongs();
  void updateButtons();
  void songEdited(int row, int column);
  int currentSong() const;
  // Stores the set list shown with these songs and selects the song at `select`; a refusal is
  // shown with the reason.
  void saveSongs(const QList<SetSong>& songs, int select);
  // Asks for the preset (from a list of them) and the song's name, and adds it from `tables`
  // and `names` after the selected song, or at the end.
  void addSong(const PresetTables& tables, const PresetNames& names, const LoopLabels& labels,
               const QString& source);
  void refused(const QString& what, const QString& why);
  // True when the library did it, else false with `what` and the library's reason in a box.
  bool done(const Outcome& outcome, const QString& what);

  LibraryHolder& holder_;
  Dialogs& dialogs_;
  ConfiguratorCore& core_;
  EditTracking& edits_;
  std::function<LibraryItem()> selected_;
  SetList shown_;
  bool filling_ = false;

  QComboBox* choice_ = nullptr;
  QTableWidget* songs_ = nullptr;
  QList<QPushButton*> needSet_;
  QPointer<GigView> gig_;
  QPushButton* create_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QPushButton* removeSong_ = nullptr;
};

}  // namespace tarvik
