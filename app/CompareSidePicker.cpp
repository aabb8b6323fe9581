// SPDX-License-Identifier: MIT
#include "app/CompareSidePicker.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <algorithm>

#include "app/Dialogs.h"
#include "app/LibraryTime.h"
#include "app/TablesFile.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"

namespace tarvik {
namespace {

using Kind = CompareSource::Kind;

// The detail page of each kind, in the kinds' order: nothing more to pick for the device and
// the editors.
constexpr int kPageOf[] = {0, 0, 1, 2, 3};

}  // namespace

CompareSidePicker::CompareSidePicker(const QString& name, Dialogs& dialogs,
                                     const ConfiguratorCore& core, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      core_(core),
      kind_(new QComboBox(this)),
      detail_(new QStackedWidget(this)),
      setups_(new QComboBox(detail_)),
      snapshots_(new QComboBox(detail_)),
      file_(new QLabel(detail_)),
      chooseFile_(new QPushButton(tr("Choose..."), detail_)) {
  setObjectName(name);
  kind_->setObjectName(name + QStringLiteral("Kind"));
  setups_->setObjectName(name + QStringLiteral("Setup"));
  snapshots_->setObjectName(name + QStringLiteral("Snapshot"));
  chooseFile_->setObjectName(name + QStringLiteral("ChooseFile"));
  // In the order of CompareSource::Kind, which is each item's index.
  kind_->addItems({tr("The device's last download"), tr("The editors"),
                   tr("A setup of the library"), tr("A snapshot of the device history"),
                   tr("A file")});
  kind_->setCurrentIndex(int(Kind::Editors));
  kind_->setAccessibleName(tr("Side to compare"));
  setups_->setAccessibleName(tr("Setup"));
  snapshots_->setAccessibleName(tr("Snapshot"));

  auto* filePage = new QWidget(detail_);
  auto* fileRow = new QHBoxLayout(filePage);
  fileRow->setContentsMargins(0, 0, 0, 0);
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(chooseFile_);
  detail_->addWidget(new QWidget(detail_));
  detail_->addWidget(setups_);
  detail_->addWidget(snapshots_);
  detail_->addWidget(filePage);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(kind_);
  row->addWidget(detail_, 1);

  connect(kind_, &QComboBox::currentIndexChanged, this, &CompareSidePicker::onKindChosen);
  for (QComboBox* list : {setups_, snapshots_}) {
    connect(list, &QComboBox::currentIndexChanged, this, [this, list] {
      if (filling_) return;
      gone_.remove(list);
      Q_EMIT sourceChanged();
    });
  }
  connect(chooseFile_, &QPushButton::clicked, this, &CompareSidePicker::chooseFile);
  refreshChoices();
}

Kind CompareSidePicker::kind() const { return Kind(kind_->currentIndex()); }

std::optional<CompareSource> CompareSidePicker::source() const {
  switch (kind()) {
    case Kind::Device:
      return CompareSource::device();
    case Kind::Editors:
      return CompareSource::editors();
    case Kind::Setup:
      if (setups_->currentIndex() < 0) return std::nullopt;
      return CompareSource::setup(setups_->currentText());
    case Kind::Snapshot:
      if (snapshots_->currentIndex() < 0) return std::nullopt;
      return CompareSource::snapshot(snapshots_->currentData().toLongLong());
    case Kind::File:
      if (filePath_.isEmpty()) return std::nullopt;
      return CompareSource::file(filePath_);
  }
  return std::nullopt;
}

void CompareSidePicker::choose(const CompareSource& source) {
  const std::optional<CompareSource> before = this->source();
  filling_ = true;
  switch (source.kind()) {
    case Kind::Setup:
      setups_->setCurrentIndex(setups_->findText(source.name(), Qt::MatchExactly));
      gone_.remove(setups_);
      break;
    case Kind::Snapshot:
      snapshots_->setCurrentIndex(snapshots_->findData(source.snapshotId()));
      gone_.remove(snapshots_);
      break;
    case Kind::File:
      setFile(source.name());
      break;
    case Kind::Device:
    case Kind::Editors:
      break;
  }
  kind_->setCurrentIndex(int(source.kind()));
  filling_ = false;
  if (this->source() != before) Q_EMIT sourceChanged();
}

void CompareSidePicker::onKindChosen() {
  detail_->setCurrentIndex(kPageOf[int(kind())]);
  if (filling_) return;
  // Choosing "A file" asks for one at once; a cancelled dialog leaves the side to be picked.
  if (kind() == Kind::File && filePath_.isEmpty()) {
    chooseFile();
    if (!filePath_.isEmpty()) return;
  }
  Q_EMIT sourceChanged();
}

void CompareSidePicker::chooseFile() {
  const QString path = fileFilter_.isEmpty()
                           ? dialogs_.openFileName(this, TablesFile::filter(), TablesFile::suffix)
                           : dialogs_.openFileName(this, fileFilter_, fileSuffix_);
  if (path.isEmpty()) return;
  setFile(path);
  Q_EMIT sourceChanged();
}

void CompareSidePicker::setFile(const QString& path) {
  filePath_ = path;
  file_->setText(QFileInfo(path).fileName());
  file_->setToolTip(path);
}

QString CompareSidePicker::title() const {
  const std::optional<CompareSource> side = source();
  switch (kind()) {
    case Kind::Device:
      return tr("Device");
    case Kind::Editors:
      return tr("Editors");
    case Kind::Setup:
      return side ? tr("Setup %1").arg(side->name()) : tr("Setup");
    case Kind::Snapshot:
      return side ? tr("Snapshot %1").arg(snapshots_->currentText()) : tr("Snapshot");
    case Kind::File:
      return side ? QFileInfo(side->name()).fileName() : tr("File");
  }
  return {};
}

QString CompareSidePicker::stepText() const {
  const std::optional<CompareSource> side = source();
  if (!side) return {};
  switch (side->kind()) {
    case Kind::Device:
      return tr("open the last download from Tarvik");
    case Kind::Editors:
      return {};
    case Kind::Setup:
      return tr("open setup %1").arg(side->name());
    case Kind::Snapshot:
      return tr("open snapshot %1").arg(snapshots_->currentText());
    case Kind::File:
      return tr("load %1").arg(QFileInfo(side->name()).fileName());
  }
  return {};
}

QString CompareSidePicker::missingText() const {
  if (source()) return {};
  switch (kind()) {
    case Kind::Setup:
      if (gone_.contains(setups_)) {
        return tr("The setup \"%1\" is no longer in the library. Choose another.")
            .arg(gone_.value(setups_).text);
      }
      return setups_->count() == 0 ? tr("The library holds no setup.") : tr("Choose a setup.");
    case Kind::Snapshot:
      if (gone_.contains(snapshots_)) {
        return tr("The snapshot %1 is no longer in the device history. Choose another.")
            .arg(gone_.value(snapshots_).text);
      }
      return snapshots_->count() == 0 ? tr("The device history is empty.")
                                      : tr("Choose a snapshot.");
    case Kind::File:
      return tr("Choose a file.");
    case Kind::Device:
    case Kind::Editors:
      break;
  }
  return {};
}

void CompareSidePicker::setAvailable(Kind kind, bool available, const QString& why) {
  auto* items = qobject_cast<QStandardItemModel*>(kind_->model());
  QStandardItem* item = items->item(int(kind));
  item->setEnabled(available);
  item->setToolTip(available ? QString() : why);
}

void CompareSidePicker::refreshChoices() {
  const bool library = core_.library() != nullptr;
  setAvailable(Kind::Device, core_.deviceBlocks().complete(),
               tr("Nothing has been read from the Tarvik yet."));
  setAvailable(Kind::Setup, library, tr("No library is open, so there are no setups to compare."));
  setAvailable(Kind::Snapshot, library,
               tr("No library is open, so there is no device history to compare."));
  const std::optional<CompareSource> before = source();
  filling_ = true;
  fill(setups_, [this] {
    const Result<QList<SetupSummary>> setups = core_.library()->setups().list();
    if (!setups.ok()) return false;
    for (const SetupSummary& setup : *setups.value) setups_->addItem(setup.name, setup.name);
    return true;
  });
  fill(snapshots_, [this] {
    const Result<QList<SnapshotSummary>> snapshots = core_.library()->history().list();
    if (!snapshots.ok()) return false;
    for (const SnapshotSummary& snapshot : *snapshots.value) {
      snapshots_->addItem(
          QStringLiteral("%1  %2").arg(LibraryTime::text(snapshot.time), snapshot.event),
          snapshot.id);
    }
    return true;
  });
  filling_ = false;
  if (source() != before) Q_EMIT sourceChanged();
}

void CompareSidePicker::fill(QComboBox* list, const std::function<bool()>& addItems) {
  // The item chosen, or the one that went: the first of the list only while none was chosen.
  const Gone chosen = list->currentIndex() >= 0 ? Gone{list->currentData(), list->currentText()}
                                                : gone_.value(list);
  list->clear();
  if (core_.library() == nullptr || !addItems()) return;
  const int row = chosen.data.isValid() ? list->findData(chosen.data) : 0;
  if (row < 0) {
    gone_.insert(list, chosen);
  } else {
    gone_.remove(list);
  }
  list->setCurrentIndex(row);
}

}  // namespace tarvik
