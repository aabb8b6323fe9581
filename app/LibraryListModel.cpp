// SPDX-License-Identifier: MIT
#include "app/LibraryListModel.h"

#include <QCoreApplication>

#include "app/LibraryTime.h"

namespace tarvik {
namespace {

struct Texts {
  Q_DECLARE_TR_FUNCTIONS(LibraryListModel)

 public:
  static QStringList setupHeadings() { return {tr("Name"), tr("Last change"), tr("Note")}; }
  static QStringList snapshotHeadings() { return {tr("Time"), tr("Event")}; }
  // The event as the list shows it ("download" -> "read from Tarvik").
  static QString event(const QString& event) {
    if (event == QLatin1String("download")) return tr("read from Tarvik");
    if (event == QLatin1String("submit")) return tr("sent to Tarvik");
    if (event == QLatin1String("restore")) return tr("restored, verified");
    if (event == QLatin1String("unverified restore")) return tr("restored, not verified");
    // An event of a newer program: its own word.
    return event;
  }
};

}  // namespace

template <>
QStringList SetupListModel::headings() {
  return Texts::setupHeadings();
}

template <>
QVariant SetupListModel::cell(const SetupSummary& setup, int column, int role) {
  if (role == Qt::ToolTipRole && column == kSetupNote && !setup.note.isEmpty()) return setup.note;
  if (role != Qt::DisplayRole) return {};
  switch (column) {
    case kSetupName:
      return setup.name;
    case kSetupChanged:
      return LibraryTime::text(setup.changed);
    case kSetupNote:
      // A note may hold line breaks; the row shows its first line, the tooltip all of it.
      return setup.note.section(QLatin1Char('\n'), 0, 0);
    default:
      return {};
  }
}

template <>
QStringList SnapshotListModel::headings() {
  return Texts::snapshotHeadings();
}

template <>
QVariant SnapshotListModel::cell(const SnapshotSummary& snapshot, int column, int role) {
  if (role != Qt::DisplayRole) return {};
  switch (column) {
    case kSnapshotTime:
      return LibraryTime::text(snapshot.time);
    case kSnapshotEvent:
      return Texts::event(snapshot.event);
    default:
      return {};
  }
}

}  // namespace tarvik
