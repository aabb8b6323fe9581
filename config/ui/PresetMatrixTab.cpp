// SPDX-License-Identifier: MIT
#include "config/ui/PresetMatrixTab.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "config/ChangeMarks.h"
#include "config/ui/EditHistory.h"
#include "config/ui/LoopCellDelegate.h"
#include "config/ui/PresetNameDelegate.h"
#include "config/ui/PresetRowActions.h"
#include "config/ui/PresetSelectorDelegate.h"
#include "config/ui/RowNumberHeader.h"
#include "config/ui/SelectorItems.h"
#include "config/ui/SubmitButton.h"
#include "config/ui/WrappingHeader.h"

namespace tarvik {
namespace {

constexpr int kRowHeight = 28;
constexpr int kLoopColumnWidth = 44;
// The selectors' captions take two lines, which leaves room for a name of twenty-odd
// characters within the window's width.
constexpr int kCcColumnWidth = 100;
constexpr int kPcRemapColumnWidth = 105;
constexpr int kNameColumnWidth = 140;

// The width a column is drawn with for the window's font.
int drawnWidth(int column) {
  if (column < PresetMatrixModel::kLoopColumns) return kLoopColumnWidth;
  if (column == PresetMatrixModel::kNameColumn) return kNameColumnWidth;
  return column == PresetMatrixModel::kCcColumn ? kCcColumnWidth : kPcRemapColumnWidth;
}

}  // namespace

PresetMatrixTab::PresetMatrixTab(Configuration& configuration, QWidget* parent)
    : QWidget(parent),
      model_(new PresetMatrixModel(configuration, this)),
      view_(new QTableView(this)),
      // The labels of a file opened before the tab was built are there already.
      loopSelector_(new PresetSelectorDelegate(SelectorItems::loops(configuration.labels()), this)),
      programSelector_(new PresetSelectorDelegate(SelectorItems::programs(), this)) {
  view_->setObjectName(QStringLiteral("ScrollBox1"));
  view_->setAccessibleName(tr("Presets"));
  auto* rowNumbers = new RowNumberHeader(view_);
  rowNumbers->setAccessibleName(tr("Preset numbers"));
  view_->setVerticalHeader(rowNumbers);
  auto* columns = new WrappingHeader(view_);
  // As the table's own header does: a click on a caption selects in that column.
  columns->setSectionsClickable(true);
  columns->setHighlightSections(true);
  view_->setHorizontalHeader(columns);
  view_->setModel(model_);
  auto* loopCell = new LoopCellDelegate(this);
  for (int column = 0; column < PresetMatrixModel::kLoopColumns; ++column) {
    view_->setItemDelegateForColumn(column, loopCell);
  }
  view_->setItemDelegateForColumn(PresetMatrixModel::kCcColumn, loopSelector_);
  view_->setItemDelegateForColumn(PresetMatrixModel::kPcRemapColumn, programSelector_);
  view_->setItemDelegateForColumn(PresetMatrixModel::kNameColumn, new PresetNameDelegate(this));
  // Several presets at once for the row acts: Shift extends, Ctrl adds a row.
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Only an explicit act opens an editor: F2 or typing here, a click (a selector's list at
  // once), a double click or Enter in openEditor. An editor opened merely by entering a cell
  // would take the next arrow key or wheel turn meant for the grid as a new value.
  view_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  connect(view_, &QAbstractItemView::clicked, this,
          [this](const QModelIndex& index) { openEditor(index, true); });
  connect(view_, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { openEditor(index, false); });
  // Not every platform activates on a double click.
  connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.column() == PresetMatrixModel::kNameColumn) openEditor(index, false);
  });
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

  QHeaderView* rows = view_->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kRowHeight);
  columns->setSectionResizeMode(QHeaderView::Fixed);
  // The name takes what the other columns leave of the window's width: a language whose
  // headings need wider columns takes it from the name rather than from the view, which would
  // then scroll sideways and hide the last column's heading.
  columns->setSectionResizeMode(PresetMatrixModel::kNameColumn, QHeaderView::Stretch);
  fitColumns();
  connect(columns, &QHeaderView::sectionDoubleClicked, this, &PresetMatrixTab::askLoopRename);
  columns->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(columns, &QHeaderView::customContextMenuRequested, this, [this, columns](QPoint at) {
    const int section = columns->logicalIndexAt(at);
    if (section < 0 || section >= PresetMatrixModel::kLoopColumns) return;
    QMenu menu(this);
    fillLoopMenu(menu, section);
    menu.exec(columns->viewport()->mapToGlobal(at));
  });
  connect(&configuration, &Configuration::labelsChanged, this, &PresetMatrixTab::showLabels);
  // A preset reads as its number and its name, then its loops.
  columns->moveSection(columns->visualIndex(PresetMatrixModel::kNameColumn), 0);

  rowActions_ = new PresetRowActions(*model_, *view_, this);
  // The row acts and "Play on Tarvik" everywhere, and CC learn in the CC map's cells.
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QWidget::customContextMenuRequested, this, &PresetMatrixTab::showGridMenu);
  interlockPlaced_ = new QCheckBox(tr("Interlock moved and pasted presets"), this);
  interlockPlaced_->setObjectName(QStringLiteral("interlockPlacedBox"));
  interlockPlaced_->setToolTip(
      tr("When ticked, presets that are pasted, moved, swapped or duplicated keep only one loop "
         "of the interlock group, the lowest; otherwise they arrive exactly as they were."));
  connect(interlockPlaced_, &QCheckBox::toggled, rowActions_,
          &PresetRowActions::setInterlockPlaced);
  rowProblem_ = new QLabel(this);
  rowProblem_->setObjectName(QStringLiteral("rowProblemLabel"));
  rowProblem_->setWordWrap(true);
  rowProblem_->hide();
  connect(rowActions_, &PresetRowActions::problemChanged, this, [this](const QString& problem) {
    rowProblem_->setText(problem);
    rowProblem_->setVisible(!problem.isEmpty());
  });

  // Every loop box and both selectors of every row (names never go to the device).
  submit_ = new SubmitButton(PresetTables::kRows * (PresetMatrixModel::kLoopColumns + 2), this);
  submit_->setObjectName(QStringLiteral("Button3"));
  save_ = button(QStringLiteral("Button8"), tr("Save as File"));
  load_ = button(QStringLiteral("Button9"), tr("Load from File"));
  backup_ = button(QStringLiteral("backupButton"), tr("Back up everything..."));
  restore_ = button(QStringLiteral("restoreButton"), tr("Restore everything..."));
  sheet_ = button(QStringLiteral("setupSheetButton"), tr("Setup sheet..."));
  takeFrom_ = button(QStringLiteral("takeFromButton"), tr("Take from..."));
  auto* sheetMenu = new QMenu(sheet_);
  printSheet_ = sheetMenu->addAction(tr("Print..."));
  printSheet_->setObjectName(QStringLiteral("printSetupSheet"));
  saveSheet_ = sheetMenu->addAction(tr("Save as PDF or CSV..."));
  saveSheet_->setObjectName(QStringLiteral("saveSetupSheet"));
  sheet_->setMenu(sheetMenu);
  deselectAll_ = button(QStringLiteral("Button10"), tr("Deselect all"));
  defaultProgramChange_ = button(QStringLiteral("Button12"), tr("Default ProgramChange"));
  connect(deselectAll_, &QPushButton::clicked, this, &PresetMatrixTab::Button10Click);
  connect(defaultProgramChange_, &QPushButton::clicked, this, &PresetMatrixTab::Button12Click);

  play_ = new QAction(tr("Play on Tarvik"), this);
  play_->setObjectName(QStringLiteral("playOnTarvik"));
  play_->setEnabled(false);
  connect(play_, &QAction::triggered, this, [this] {
    const QModelIndex current = view_->currentIndex();
    if (current.isValid()) Q_EMIT playRequested(current.row());
  });
  view_->addAction(play_);
  rowNumbers->setContextMenuPolicy(Qt::ActionsContextMenu);
  rowNumbers->addAction(play_);
  connect(rowNumbers, &RowNumberHeader::rowPlayRequested, this, [this](int row) {
    if (play_->isEnabled()) Q_EMIT playRequested(row);
  });
  follow_ = new QCheckBox(tr("Follow"), this);
  follow_->setObjectName(QStringLiteral("followBox"));
  follow_->setToolTip(tr("Show the preset that Tarvik switches to by a program change"));

  // Two rows: with their whole captions the seven buttons are wider than the window.
  auto* page = new QVBoxLayout(this);
  page->addWidget(view_);
  page->addWidget(rowProblem_);
  page->addWidget(interlockPlaced_);
  QHBoxLayout* buttons = nullptr;
  for (const auto& row :
       {std::initializer_list<QPushButton*>{submit_, save_, load_, deselectAll_,
                                            defaultProgramChange_},
        std::initializer_list<QPushButton*>{backup_, restore_, takeFrom_, sheet_}}) {
    buttons = new QHBoxLayout;
    for (QPushButton* b : row) buttons->addWidget(b);
    buttons->addStretch();
    page->addLayout(buttons);
  }
  // At the far end of the second row, where it leaves room for the buttons.
  buttons->addWidget(follow_);
}

void PresetMatrixTab::askLoopRename(int section) {
  if (section >= 0 && section < PresetMatrixModel::kLoopColumns && model_->editable()) {
    Q_EMIT loopRenameRequested(section);
  }
}

void PresetMatrixTab::fillLoopMenu(QMenu& menu, int loop) {
  connect(menu.addAction(tr("Name LOOP%1...").arg(loop + 1)), &QAction::triggered, this,
          [this, loop] { askLoopRename(loop); });
  QMenu* swap = menu.addMenu(tr("Swap LOOP %1 with...").arg(loop + 1));
  swap->setEnabled(model_->editable());
  const LoopLabels& labels = model_->configuration().labels();
  for (int other = 0; other < PresetMatrixModel::kLoopColumns; ++other) {
    if (other == loop) continue;
    connect(swap->addAction(labels.item(other)), &QAction::triggered, this,
            [this, loop, other] { swapLoops(loop, other); });
  }
  QAction* learn = menu.addAction(tr("Learn CC for LOOP %1...").arg(loop + 1));
  learn->setEnabled(ccLearnable());
  connect(learn, &QAction::triggered, this, [this, loop] { Q_EMIT ccLearnRequested(loop); });
}

void PresetMatrixTab::showGridMenu(QPoint at) {
  QMenu menu(this);
  menu.addActions(view_->actions());
  const QModelIndex index = view_->indexAt(at);
  if (index.isValid() && index.column() == PresetMatrixModel::kCcColumn) {
    menu.addSeparator();
    fillCcMenu(menu, index.row());
  }
  menu.exec(view_->viewport()->mapToGlobal(at));
}

bool PresetMatrixTab::ccLearnable() const {
  return model_->editable() && ccLearnAvailable_ && ccLearnAvailable_();
}

void PresetMatrixTab::fillCcMenu(QMenu& menu, int row) {
  const int entry = model_->tables().cc(row);
  if (entry >= 1 && entry < PresetTables::kCcItems) {
    QAction* learn = menu.addAction(tr("Learn CC for LOOP %1...").arg(entry));
    learn->setEnabled(ccLearnable());
    connect(learn, &QAction::triggered, this,
            [this, entry] { Q_EMIT ccLearnRequested(entry - 1); });
  }
  QAction* pick = menu.addAction(tr("Learn this CC's loop"));
  pick->setEnabled(ccLearnable());
  connect(pick, &QAction::triggered, this, &PresetMatrixTab::ccEntryLearnRequested);
}

void PresetMatrixTab::showCcEntry(int controller) {
  if (controller < 0 || controller >= model_->rowCount()) return;
  const QModelIndex index = model_->index(controller, PresetMatrixModel::kCcColumn);
  view_->setCurrentIndex(index);
  view_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  if (model_->editable()) openEditor(index, false);
}

void PresetMatrixTab::swapLoops(int a, int b) {
  if (!model_->editable()) return;
  if (history_ != nullptr)
    history_->beginStep(tr("Swap LOOP %1 with LOOP %2").arg(a + 1).arg(b + 1));
  model_->configuration().swapLoops(a, b);
  if (history_ != nullptr) history_->endStep();
}

void PresetMatrixTab::showLabels() {
  loopSelector_->setItems(SelectorItems::loops(model_->configuration().labels()));
  // A label under a heading may need a wider column or a taller header.
  fitColumns();
  view_->horizontalHeader()->updateGeometry();
}

void PresetMatrixTab::setPlayable(bool playable) { play_->setEnabled(playable); }

void PresetMatrixTab::showRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  const QModelIndex index =
      model_->index(row, view_->currentIndex().isValid() ? view_->currentIndex().column()
                                                         : PresetMatrixModel::kNameColumn);
  view_->setCurrentIndex(index);
  view_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void PresetMatrixTab::setChangeMarks(const ChangeMarks* marks) {
  if (marks_ != nullptr) disconnect(marks_, nullptr, this, nullptr);
  marks_ = marks;
  model_->setChangeMarks(marks);
  if (marks_ != nullptr) {
    connect(marks_, &ChangeMarks::marksChanged, this, [this](Block block) {
      if (block != Block::Record) showChangeCount();
    });
  }
  showChangeCount();
}

void PresetMatrixTab::setEditHistory(EditHistory* history) {
  history_ = history;
  rowActions_->setHistory(history);
}

void PresetMatrixTab::showChangeCount() {
  // The button submits the three tables together.
  int changes = 0;
  if (marks_ != nullptr) {
    for (Block block : {Block::Presets, Block::CcMap, Block::PcRemap}) {
      changes += marks_->changeCount(block);
    }
  }
  submit_->showChangeCount(changes);
}

QPushButton* PresetMatrixTab::submitButton() const { return submit_; }

void PresetMatrixTab::fitColumns() {
  // A heading that needs more room than drawn (a larger font, a longer text) widens its column.
  const QHeaderView* columns = view_->horizontalHeader();
  for (int column = 0; column < model_->columnCount(); ++column) {
    view_->setColumnWidth(column, std::max(drawnWidth(column), columns->sectionSizeHint(column)));
  }
}

void PresetMatrixTab::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The view's headers have taken the new font or style by now.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) fitColumns();
}

void PresetMatrixTab::setEditable(bool editable) {
  // The model refuses too: a selector that was open commits its choice when it loses the focus,
  // which disabling the view takes from it.
  model_->setEditable(editable);
  view_->setEnabled(editable);
  load_->setEnabled(editable);
  takeFrom_->setEnabled(editable);
  deselectAll_->setEnabled(editable);
  defaultProgramChange_->setEnabled(editable);
  rowActions_->setEditable(editable);
}

void PresetMatrixTab::Button10Click() { model_->configuration().deselectAll(); }

void PresetMatrixTab::Button12Click() { model_->configuration().defaultProgramChange(); }

void PresetMatrixTab::openEditor(const QModelIndex& index, bool click) {
  const int column = index.column();
  const bool selector =
      column == PresetMatrixModel::kCcColumn || column == PresetMatrixModel::kPcRemapColumn;
  if (!selector && (column != PresetMatrixModel::kNameColumn || click)) {
    return;
  }
  if (view_->indexWidget(index) != nullptr) {
    return;  // already being edited
  }
  view_->edit(index);
  auto* editor = qobject_cast<QComboBox*>(view_->indexWidget(index));
  if (editor != nullptr && click) {
    editor->showPopup();
  }
}

QPushButton* PresetMatrixTab::button(const QString& name, const QString& caption) {
  auto* b = new QPushButton(caption, this);
  b->setObjectName(name);
  return b;
}

}  // namespace tarvik
