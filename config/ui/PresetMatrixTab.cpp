// SPDX-License-Identifier: MIT
#include "config/ui/PresetMatrixTab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "config/ChangeMarks.h"
#include "config/ui/LoopCellDelegate.h"
#include "config/ui/PresetSelectorDelegate.h"
#include "config/ui/RowNumberHeader.h"
#include "config/ui/SelectorItems.h"
#include "config/ui/SubmitButton.h"

namespace tarvik {
namespace {

constexpr int kRowHeight = 28;
constexpr int kLoopColumnWidth = 44;
constexpr int kCcColumnWidth = 190;
constexpr int kPcRemapColumnWidth = 155;

}  // namespace

PresetMatrixTab::PresetMatrixTab(Configuration& configuration, QWidget* parent)
    : QWidget(parent),
      model_(new PresetMatrixModel(configuration, this)),
      view_(new QTableView(this)),
      loopSelector_(new PresetSelectorDelegate(SelectorItems::loops(), this)),
      programSelector_(new PresetSelectorDelegate(SelectorItems::programs(), this)) {
  view_->setObjectName(QStringLiteral("ScrollBox1"));
  view_->setVerticalHeader(new RowNumberHeader(view_));
  view_->setModel(model_);
  auto* loopCell = new LoopCellDelegate(this);
  for (int column = 0; column < PresetMatrixModel::kLoopColumns; ++column) {
    view_->setItemDelegateForColumn(column, loopCell);
  }
  view_->setItemDelegateForColumn(PresetMatrixModel::kCcColumn, loopSelector_);
  view_->setItemDelegateForColumn(PresetMatrixModel::kPcRemapColumn, programSelector_);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  // Only an explicit act opens a selector: F2 or typing here, a click (its list at once) or
  // Enter in openSelector. An editor opened merely by entering a cell would take the next
  // arrow key or wheel turn meant for the grid as a new value.
  view_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  connect(view_, &QAbstractItemView::clicked, this,
          [this](const QModelIndex& index) { openSelector(index, true); });
  connect(view_, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { openSelector(index, false); });
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

  QHeaderView* rows = view_->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kRowHeight);
  QHeaderView* columns = view_->horizontalHeader();
  columns->setSectionResizeMode(QHeaderView::Fixed);
  for (int column = 0; column < PresetMatrixModel::kLoopColumns; ++column) {
    view_->setColumnWidth(column, kLoopColumnWidth);
  }
  view_->setColumnWidth(PresetMatrixModel::kCcColumn, kCcColumnWidth);
  view_->setColumnWidth(PresetMatrixModel::kPcRemapColumn, kPcRemapColumnWidth);

  // Every loop box and both selectors of every row.
  submit_ = new SubmitButton(PresetTables::kRows * PresetMatrixModel::kColumns, this);
  submit_->setObjectName(QStringLiteral("Button3"));
  save_ = button(QStringLiteral("Button8"), tr("Save as File"));
  load_ = button(QStringLiteral("Button9"), tr("Load from File"));
  backup_ = button(QStringLiteral("backupButton"), tr("Back up everything..."));
  restore_ = button(QStringLiteral("restoreButton"), tr("Restore everything..."));
  deselectAll_ = button(QStringLiteral("Button10"), tr("Deselect all"));
  defaultProgramChange_ = button(QStringLiteral("Button12"), tr("Default ProgramChange"));
  connect(deselectAll_, &QPushButton::clicked, this, &PresetMatrixTab::Button10Click);
  connect(defaultProgramChange_, &QPushButton::clicked, this, &PresetMatrixTab::Button12Click);

  // Two rows: with their whole captions the seven buttons are wider than the window.
  auto* page = new QVBoxLayout(this);
  page->addWidget(view_);
  for (const auto& row : {std::initializer_list<QPushButton*>{submit_, save_, load_, deselectAll_,
                                                              defaultProgramChange_},
                          std::initializer_list<QPushButton*>{backup_, restore_}}) {
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : row) buttons->addWidget(b);
    buttons->addStretch();
    page->addLayout(buttons);
  }
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

void PresetMatrixTab::setEditable(bool editable) {
  // The model refuses too: a selector that was open commits its choice when it loses the focus,
  // which disabling the view takes from it.
  model_->setEditable(editable);
  view_->setEnabled(editable);
  load_->setEnabled(editable);
  deselectAll_->setEnabled(editable);
  defaultProgramChange_->setEnabled(editable);
}

void PresetMatrixTab::Button10Click() { model_->configuration().deselectAll(); }

void PresetMatrixTab::Button12Click() { model_->configuration().defaultProgramChange(); }

void PresetMatrixTab::openSelector(const QModelIndex& index, bool showList) {
  if (index.column() != PresetMatrixModel::kCcColumn &&
      index.column() != PresetMatrixModel::kPcRemapColumn) {
    return;
  }
  if (view_->indexWidget(index) != nullptr) {
    return;  // already being edited
  }
  view_->edit(index);
  auto* editor = qobject_cast<QComboBox*>(view_->indexWidget(index));
  if (editor != nullptr && showList) {
    editor->showPopup();
  }
}

QPushButton* PresetMatrixTab::button(const QString& name, const QString& caption) {
  auto* b = new QPushButton(caption, this);
  b->setObjectName(name);
  return b;
}

}  // namespace tarvik
