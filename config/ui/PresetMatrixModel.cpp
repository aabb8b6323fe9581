// SPDX-License-Identifier: MIT
#include "config/ui/PresetMatrixModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include "config/ChangeMarks.h"
#include "config/ui/Contrast.h"
#include "config/ui/SelectorItems.h"

namespace tarvik {
namespace {

QString itemText(const QStringList& items, int index) {
  return index >= 0 && index < items.size() ? items[index] : QString();
}

// A changed value is tinted amber; in the interlock group's red columns a deeper orange, which
// stays apart from both the red and the plain tint. Under a dark theme the same hues come
// darkened, so that a tinted cell sits among its neighbours as a light one does in a light
// theme, and the check mark, drawn in its box on the view's base, reads in the cell's text
// colour: black or white, whichever stands out more on the tint.
struct Tints {
  QBrush changed;
  QBrush changedInterlock;
  QBrush interlock;
};

// A repaint asks for them for every visible cell: they are chosen again only when the
// application's palette has changed since.
const Tints& tints() {
  static qint64 paletteKey = 0;
  static Tints chosen;
  const QPalette palette = QGuiApplication::palette();
  if (palette.cacheKey() != paletteKey || chosen.changed.style() == Qt::NoBrush) {
    paletteKey = palette.cacheKey();
    if (isDark(palette.color(QPalette::Base))) {
      chosen = {QColor(125, 95, 10), QColor(170, 75, 0), QColor(150, 0, 0)};
    } else {
      chosen = {QColor(255, 224, 130), QColor(255, 150, 40), QColor(Qt::red)};
    }
  }
  return chosen;
}
// The text colour of a tinted cell; nothing for one on the view's base, which keeps the
// palette's own text colour.
QVariant textOn(const QVariant& background) {
  if (!background.isValid()) return {};
  return QBrush(readableOn(background.value<QBrush>().color()));
}
const QVariant& boldFont() {
  static const QVariant font = [] {
    QFont bold;
    bold.setBold(true);
    return QVariant(bold);
  }();
  return font;
}

}  // namespace

PresetMatrixModel::PresetMatrixModel(Configuration& configuration, QObject* parent)
    : QAbstractTableModel(parent),
      configuration_(configuration),
      lockMask_(configuration.record().lockMask) {
  connect(&configuration_, &Configuration::changed, this, &PresetMatrixModel::onChanged);
  connect(&configuration_, &Configuration::namesChanged, this, &PresetMatrixModel::onNamesChanged);
  connect(&configuration_, &Configuration::labelsChanged, this, [this] {
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kLoopColumns - 1);
    Q_EMIT dataChanged(index(0, kCcColumn), index(PresetTables::kRows - 1, kCcColumn),
                       {Qt::DisplayRole});
  });
}

int PresetMatrixModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : PresetTables::kRows;
}

int PresetMatrixModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant PresetMatrixModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return {};
  }
  const int row = index.row();
  const int column = index.column();
  if (role == ChangedRole) {
    return changed(row, column);
  }
  if (role == Qt::AccessibleTextRole) {
    return accessibleName(row, column);
  }
  if (role == Qt::AccessibleDescriptionRole) {
    return accessibleDescription(row, column);
  }
  if (column == kNameColumn) {
    // The tip shows in full a name the column cuts short.
    const bool text = role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole;
    return text ? QVariant(configuration_.names().name(row)) : QVariant();
  }
  if (column < kLoopColumns) {
    const bool interlock = (lockMask_ >> column) & 1U;
    switch (role) {
      case Qt::CheckStateRole:
        return tables().loopOn(row, column) ? Qt::Checked : Qt::Unchecked;
      case Qt::BackgroundRole:
        if (changed(row, column)) return interlock ? tints().changedInterlock : tints().changed;
        return interlock ? QVariant(tints().interlock) : QVariant();
      case Qt::ForegroundRole:
        return textOn(data(index, Qt::BackgroundRole));
      default:
        return {};
    }
  }
  const int selected = column == kCcColumn ? tables().cc(row) : tables().pcRemap(row);
  switch (role) {
    case Qt::DisplayRole:
      return itemText(column == kCcColumn ? SelectorItems::loops(configuration_.labels())
                                          : SelectorItems::programs(),
                      selected);
    case Qt::EditRole:
      return selected;
    case Qt::BackgroundRole:
      return changed(row, column) ? QVariant(tints().changed) : QVariant();
    case Qt::ForegroundRole:
      return textOn(data(index, Qt::BackgroundRole));
    case Qt::FontRole:
      return changed(row, column) ? boldFont() : QVariant();
    default:
      return {};
  }
}

QVariant PresetMatrixModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= 0 &&
      section < kLoopColumns && !configuration_.labels().label(section).isEmpty()) {
    // A label longer than its column shows cut short in the heading; here it is whole.
    return configuration_.labels().heading(section);
  }
  if (role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (orientation == Qt::Vertical) {
    return section + 1;
  }
  if (section < kLoopColumns) {
    // The device's name of the loop stays; the user's label goes under it.
    return configuration_.labels().heading(section);
  }
  if (section == kCcColumn) {
    return tr("Controll Change (IAM over Midi)");
  }
  if (section == kPcRemapColumn) {
    return tr("Programm Change Output");
  }
  if (section == kNameColumn) {
    return tr("Name");
  }
  return {};
}

Qt::ItemFlags PresetMatrixModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return index.column() < kLoopColumns ? base | Qt::ItemIsUserCheckable : base | Qt::ItemIsEditable;
}

bool PresetMatrixModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!editable_ || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return false;
  }
  const int row = index.row();
  const int column = index.column();
  if (column == kNameColumn) {
    // A refused name changes nothing, and the editor's text is not taken.
    return role == Qt::EditRole && configuration_.renamePreset(row, value.toString()).isEmpty();
  }
  if (column < kLoopColumns) {
    if (role != Qt::CheckStateRole) {
      return false;
    }
    const bool wantOn = value.value<Qt::CheckState>() == Qt::Checked;
    if (wantOn != tables().loopOn(row, column)) {
      configuration_.clickLoop(row, column);
    }
    return true;
  }
  if (role != Qt::EditRole) {
    return false;
  }
  bool ok = false;
  const int selected = value.toInt(&ok);
  if (!ok) {
    return false;
  }
  if (column == kCcColumn) {
    configuration_.chooseCc(row, selected);
  } else {
    configuration_.choosePcRemap(row, selected);
  }
  return true;
}

void PresetMatrixModel::setChangeMarks(const ChangeMarks* marks) {
  if (marks_ != nullptr) disconnect(marks_, nullptr, this, nullptr);
  marks_ = marks;
  if (marks_ != nullptr) {
    connect(marks_, &ChangeMarks::marksChanged, this, &PresetMatrixModel::onMarksChanged);
  }
  Q_EMIT dataChanged(
      index(0, 0), index(PresetTables::kRows - 1, kColumns - 1),
      {Qt::BackgroundRole, Qt::FontRole, ChangedRole, Qt::AccessibleDescriptionRole});
}

bool PresetMatrixModel::changed(int row, int column) const {
  // Names never reach the device, so there is nothing to differ from.
  if (marks_ == nullptr || column == kNameColumn) return false;
  if (column < kLoopColumns) return (marks_->difference(Block::Presets, row) >> column) & 1U;
  return marks_->difference(column == kCcColumn ? Block::CcMap : Block::PcRemap, row) != 0;
}

QString PresetMatrixModel::accessibleName(int row, int column) const {
  const QString preset = QString::number(row + 1);
  if (column < kLoopColumns) {
    return tr("Preset %1 Loop %2").arg(preset, configuration_.labels().numbered(column));
  }
  const QString heading = headerData(column, Qt::Horizontal).toString();
  const QString value = data(index(row, column), Qt::DisplayRole).toString();
  if (value.isEmpty()) return tr("Preset %1 %2").arg(preset, heading);
  return tr("Preset %1 %2: %3").arg(preset, heading, value);
}

QString PresetMatrixModel::accessibleDescription(int row, int column) const {
  if (!changed(row, column)) return {};
  return tr("changed; the Tarvik holds %1").arg(deviceValueText(row, column));
}

// A marked cell's device contents are known: marks are only measured against them.
QString PresetMatrixModel::deviceValueText(int row, int column) const {
  if (column < kLoopColumns) {
    const QByteArray& masks = marks_->device(Block::Presets);
    const bool on = row < masks.size() && (static_cast<quint8>(masks[row]) >> column) & 1U;
    return on ? tr("on") : tr("off");
  }
  const bool cc = column == kCcColumn;
  const QByteArray& bytes = marks_->device(cc ? Block::CcMap : Block::PcRemap);
  const int item = row < bytes.size() ? static_cast<quint8>(bytes[row]) : -1;
  // The wire byte of an entry is its item's index; 255 is no selection.
  const QString text = itemText(
      cc ? SelectorItems::loops(configuration_.labels()) : SelectorItems::programs(), item);
  return text.isEmpty() ? tr("no selection") : text;
}

void PresetMatrixModel::onMarksChanged(Block block, int firstRow, int lastRow) {
  if (block == Block::Record) return;
  // A loop box's mark is its tint alone; a selector's text turns bold too.
  const bool loops = block == Block::Presets;
  const int column = block == Block::CcMap ? kCcColumn : kPcRemapColumn;
  QList<int> roles{Qt::BackgroundRole, ChangedRole, Qt::AccessibleDescriptionRole};
  if (!loops) roles << Qt::FontRole;
  Q_EMIT dataChanged(index(firstRow, loops ? 0 : column),
                     index(lastRow, loops ? kLoopColumns - 1 : column), roles);
}

void PresetMatrixModel::onNamesChanged(int firstRow, int lastRow) {
  Q_EMIT dataChanged(index(firstRow, kNameColumn), index(lastRow, kNameColumn),
                     {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole, Qt::AccessibleTextRole});
}

void PresetMatrixModel::onChanged(Block block, int firstRow, int lastRow) {
  if (block == Block::Presets) {
    Q_EMIT dataChanged(index(firstRow, 0), index(lastRow, kLoopColumns - 1), {Qt::CheckStateRole});
  } else if (block != Block::Record) {
    const int column = block == Block::CcMap ? kCcColumn : kPcRemapColumn;
    Q_EMIT dataChanged(index(firstRow, column), index(lastRow, column),
                       {Qt::DisplayRole, Qt::EditRole, Qt::AccessibleTextRole});
  } else if (const quint8 mask = configuration_.record().lockMask; mask != lockMask_) {
    lockMask_ = mask;
    Q_EMIT dataChanged(index(0, 0), index(PresetTables::kRows - 1, kLoopColumns - 1),
                       {Qt::BackgroundRole});
  }
}

}  // namespace tarvik
