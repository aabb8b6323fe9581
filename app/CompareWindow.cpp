// SPDX-License-Identifier: MIT
#include "app/CompareWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/CompareSidePicker.h"
#include "app/DifferenceTexts.h"
#include "app/EditTracking.h"
#include "app/NamedButton.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {
namespace {

using Kind = CompareSource::Kind;

}  // namespace

CompareWindow::CompareWindow(Dialogs& dialogs, ConfiguratorCore& core, EditTracking& edits,
                             std::function<QString()> lastFile, QWidget* parent)
    : QWidget(parent, Qt::Window),
      core_(core),
      edits_(edits),
      lastFile_(std::move(lastFile)),
      summary_(new QLabel(this)),
      view_(new QTreeView(this)) {
  setObjectName(QStringLiteral("CompareWindow"));
  setWindowTitle(tr("Compare"));
  resize(640, 480);

  auto* pickers = new QGridLayout;
  const std::array<QString, 2> names = {QStringLiteral("left"), QStringLiteral("right")};
  const std::array<QString, 2> labels = {tr("Left:"), tr("Right:")};
  const std::array<QString, 2> opens = {tr("Open left into the editors"),
                                        tr("Open right into the editors")};
  const std::array<const char*, 2> openNames = {"openLeftButton", "openRightButton"};
  for (int i = 0; i < 2; ++i) {
    SideState& side = sides_[i];
    side.picker = new CompareSidePicker(names[i], dialogs, core_, this);
    auto* label = new QLabel(labels[i], this);
    label->setBuddy(side.picker->kindBox());
    pickers->addWidget(label, i, 0);
    pickers->addWidget(side.picker, i, 1);
    side.open = namedButton(this, openNames[i], opens[i]);
    connect(side.picker, &CompareSidePicker::sourceChanged, this, [this, &side] {
      if (refreshing_) return;
      readSide(side);
      compare();
    });
    const Side which = Side(i);
    connect(side.open, &QPushButton::clicked, this, [this, which] { openSide(which); });
  }
  pickers->setColumnStretch(1, 1);

  summary_->setObjectName(QStringLiteral("compareSummary"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  view_->setObjectName(QStringLiteral("compareResult"));
  view_->setModel(&model_);
  view_->setUniformRowHeights(true);
  view_->setAllColumnsShowFocus(true);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setAccessibleName(tr("Differences"));
  view_->header()->setSectionResizeMode(QHeaderView::Stretch);
  view_->header()->setSectionsMovable(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(sides_[kLeft].open);
  buttons->addStretch(1);
  buttons->addWidget(sides_[kRight].open);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pickers);
  layout->addWidget(summary_);
  layout->addWidget(view_, 1);
  layout->addLayout(buttons);

  connect(&core_.configuration(), &Configuration::changeFinished, this,
          [this] { followChange(Kind::Editors); });
  connect(&core_, &ConfiguratorCore::busyChanged, this, [this](bool busy) {
    updateOpenButtons();
    // A download makes the device's side available and adds to the device history.
    if (!busy && isVisible()) refreshSides(false);
  });

  // What a comparison is mostly for: what the editors changed since the device's contents.
  // Showing the window reads both sides.
  refreshing_ = true;
  chooseOtherSide();
  refreshing_ = false;
}

void CompareWindow::chooseOtherSide() {
  const CompareSource editors = CompareSource::editors();
  if (sides_[kLeft].picker->source() != editors || sides_[kRight].picker->source() != editors)
    return;
  const QString file = lastFile_ ? lastFile_() : QString();
  if (core_.deviceBlocks().complete()) {
    sides_[kLeft].picker->choose(CompareSource::device());
  } else if (!file.isEmpty() && QFileInfo(file).isFile()) {
    sides_[kLeft].picker->choose(CompareSource::file(file));
  }
}

void CompareWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refreshSides(true);
}

void CompareWindow::readSide(SideState& side) {
  side.source = side.picker->source();
  side.contents = side.source ? side.source->read(core_) : Result<DiffSide>{};
}

void CompareWindow::followChange(Kind kind) {
  if (!isVisible()) return;
  bool read = false;
  for (SideState& side : sides_) {
    if (!side.source || side.source->kind() != kind) continue;
    readSide(side);
    read = true;
  }
  if (read) compare();
}

void CompareWindow::refreshSides(bool all) {
  refreshing_ = true;
  for (SideState& side : sides_) side.picker->refreshChoices();
  chooseOtherSide();
  refreshing_ = false;
  bool read = false;
  for (SideState& side : sides_) {
    const bool device = side.source && side.source->kind() == Kind::Device;
    if (!all && !device && side.picker->source() == side.source) continue;
    readSide(side);
    read = true;
  }
  if (read) compare();
}

void CompareWindow::compare() {
  const SideState& left = sides_[kLeft];
  const SideState& right = sides_[kRight];
  model_.setSideTitles(left.picker->title(), right.picker->title());
  if (left.contents.ok() && right.contents.ok()) {
    // The device and its history keep no labels: there the other side's name the pedals.
    const std::optional<LoopLabels>& leftLabels = left.contents.value->labels;
    const std::optional<LoopLabels>& rightLabels = right.contents.value->labels;
    model_.setSideLabels(leftLabels.value_or(rightLabels.value_or(LoopLabels())),
                         rightLabels.value_or(leftLabels.value_or(LoopLabels())));
    model_.setDifferences(ConfigDiff::compare(*left.contents.value, *right.contents.value));
  } else {
    model_.setDifferences({});
  }
  for (int row = 0; row < model_.rowCount(); ++row) view_->setFirstColumnSpanned(row, {}, true);
  view_->expandAll();
  summary_->setText(summaryText());
  updateOpenButtons();
}

QString CompareWindow::summaryText() const {
  QStringList lines;
  for (int i = 0; i < 2; ++i) {
    const SideState& side = sides_[i];
    if (side.contents.ok()) continue;
    const QString why = side.source ? side.contents.error : side.picker->missingText();
    lines << (i == kLeft ? tr("Left: %1").arg(why) : tr("Right: %1").arg(why));
  }
  if (!lines.isEmpty()) return lines.join(QLatin1Char('\n'));
  if (sides_[kLeft].source == CompareSource::editors() &&
      sides_[kRight].source == CompareSource::editors()) {
    return tr(
        "Both sides are the editors: choose another side to compare them with (the "
        "device's last download once Tarvik has been read, a setup, a snapshot or a "
        "file).");
  }

  const qsizetype count = model_.differences().size();
  QString text = count == 0   ? tr("The two are the same.")
                 : count == 1 ? tr("1 difference.")
                              : tr("%1 differences.").arg(count);
  const bool leftSettings = sides_[kLeft].contents.value->bytes.settings.has_value();
  const bool rightSettings = sides_[kRight].contents.value->bytes.settings.has_value();
  if (!leftSettings || !rightSettings) {
    text += QLatin1Char(' ') +
            (leftSettings    ? tr("The settings are not compared: the right side has none.")
             : rightSettings ? tr("The settings are not compared: the left side has none.")
                             : tr("The settings are not compared: neither side has them."));
  }
  return text + keptText();
}

QString CompareWindow::keptText() const {
  // Values no one changed: the device holds them, the editors cannot, and both sides are
  // compared as they would be sent. A device may hold many; the first few say what happens.
  constexpr int kShown = 5;
  QStringList lines;
  int notShown = 0;
  for (int i = 0; i < 2; ++i) {
    const std::vector<BackupContents::Change>& kept = sides_[i].contents.value->keptOtherwise;
    if (kept.empty() || (i == kRight && sides_[kLeft].contents.value->keptOtherwise == kept)) {
      continue;
    }
    for (const BackupContents::Change& change : kept) {
      if (lines.size() == kShown) {
        ++notShown;
        continue;
      }
      const QString line = DifferenceTexts::keptText(change);
      lines << (i == kLeft ? tr("Left: %1").arg(line) : tr("Right: %1").arg(line));
    }
  }
  if (lines.isEmpty()) return {};
  if (notShown > 0) lines << tr("and %1 more").arg(notShown);
  return QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

void CompareWindow::updateOpenButtons() {
  for (const SideState& side : sides_) {
    side.open->setEnabled(!core_.busy() && side.contents.ok() && side.source &&
                          side.source->kind() != Kind::Editors);
  }
}

void CompareWindow::openSide(Side which) {
  SideState& side = sides_[which];
  if (core_.busy() || !side.contents.ok() || !side.source || side.source->kind() == Kind::Editors) {
    return;
  }
  const QString beforeWhat =
      which == kLeft ? tr("before opening the left side") : tr("before opening the right side");
  if (!edits_.mayDiscard(beforeWhat)) return;
  // A copy: the editors' change that follows reads the sides anew.
  const DiffSide contents = *side.contents.value;
  edits_.open(side.picker->stepText(), contents.bytes, contents.names, contents.labels,
              side.source->kind() == Kind::File);
}

}  // namespace tarvik
