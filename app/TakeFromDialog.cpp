// SPDX-License-Identifier: MIT
#include "app/TakeFromDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "app/CompareSidePicker.h"

namespace tarvik {
namespace {

QSpinBox* rowBox(QWidget* parent, const QString& name, int value) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setRange(1, kTableSize);
  box->setValue(value);
  return box;
}

}  // namespace

TakeFromDialog::TakeFromDialog(Dialogs& dialogs, const ConfiguratorCore& core, QWidget* parent)
    : QDialog(parent),
      picker_(new CompareSidePicker(QStringLiteral("takeFrom"), dialogs, core, this)),
      presets_(new QCheckBox(tr("Presets (loops, program change and name)"), this)),
      presetsFrom_(rowBox(this, QStringLiteral("presetsFrom"), 1)),
      presetsTo_(rowBox(this, QStringLiteral("presetsTo"), kTableSize)),
      ccMap_(new QCheckBox(tr("CC map rows"), this)),
      ccMapFrom_(rowBox(this, QStringLiteral("ccMapFrom"), 1)),
      ccMapTo_(rowBox(this, QStringLiteral("ccMapTo"), kTableSize)),
      settings_(new QCheckBox(tr("The 20 settings"), this)),
      labels_(new QCheckBox(tr("The loops' labels"), this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setWindowTitle(tr("Take from"));
  presets_->setObjectName(QStringLiteral("takePresets"));
  ccMap_->setObjectName(QStringLiteral("takeCcMap"));
  settings_->setObjectName(QStringLiteral("takeSettings"));
  labels_->setObjectName(QStringLiteral("takeLabels"));
  presets_->setChecked(true);
  buttons_->button(QDialogButtonBox::Ok)->setText(tr("Take into the editors"));

  // The editors over themselves would take nothing; a CSV of the presets is a source too.
  if (auto* kinds = qobject_cast<QStandardItemModel*>(picker_->kindBox()->model()))
    kinds->item(int(CompareSource::Kind::Editors))->setEnabled(false);
  picker_->setFileFilter(tr("Tarvik Config File or CSV (*.tvk *.csv)"), QStringLiteral("tvk"));
  picker_->choose(CompareSource::file({}));
  picker_->kindBox()->setAccessibleName(tr("Take from"));

  auto* grid = new QGridLayout;
  const auto addRange = [&](int row, QCheckBox* box, QSpinBox* from, QSpinBox* to) {
    grid->addWidget(box, row, 0);
    grid->addWidget(from, row, 1);
    auto* dash = new QLabel(tr("to"), this);
    dash->setBuddy(to);
    grid->addWidget(dash, row, 2);
    grid->addWidget(to, row, 3);
    from->setAccessibleName(tr("%1: first row").arg(box->text()));
    to->setAccessibleName(tr("%1: last row").arg(box->text()));
    // A range never runs backwards: the last row follows the first.
    connect(from, &QSpinBox::valueChanged, to, [to](int first) { to->setMinimum(first); });
    connect(box, &QCheckBox::toggled, from, &QWidget::setEnabled);
    connect(box, &QCheckBox::toggled, to, &QWidget::setEnabled);
    from->setEnabled(box->isChecked());
    to->setEnabled(box->isChecked());
  };
  addRange(0, presets_, presetsFrom_, presetsTo_);
  addRange(1, ccMap_, ccMapFrom_, ccMapTo_);
  grid->addWidget(settings_, 2, 0, 1, 4);
  grid->addWidget(labels_, 3, 0, 1, 4);

  auto* page = new QVBoxLayout(this);
  page->addWidget(picker_);
  page->addLayout(grid);
  page->addWidget(buttons_);

  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(picker_, &CompareSidePicker::sourceChanged, this, &TakeFromDialog::update);
  for (QCheckBox* box : {presets_, ccMap_, settings_, labels_})
    connect(box, &QCheckBox::toggled, this, &TakeFromDialog::update);
  update();
}

std::optional<TakeFromChoice> TakeFromDialog::choice() const {
  const std::optional<CompareSource> source = picker_->source();
  if (!source) return std::nullopt;
  TakeFromChoice choice{*source, picker_->title(), {}, labels_->isChecked()};
  using Kind = RestoreParts::Kind;
  if (presets_->isChecked())
    choice.parts.add({Kind::Presets, presetsFrom_->value() - 1, presetsTo_->value() - 1});
  if (ccMap_->isChecked())
    choice.parts.add({Kind::CcMap, ccMapFrom_->value() - 1, ccMapTo_->value() - 1});
  if (settings_->isChecked()) choice.parts.add({Kind::Settings, 0, kTableSize - 1});
  // The labels alone are something to take too: a board's pedals named once, for every setup.
  if (choice.parts.isEmpty() && !choice.labels) return std::nullopt;
  return choice;
}

void TakeFromDialog::update() {
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(choice().has_value());
}

}  // namespace tarvik
