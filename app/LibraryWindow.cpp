// SPDX-License-Identifier: MIT
#include "app/LibraryWindow.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "app/LibraryHolder.h"
#include "app/NamedButton.h"
#include "app/SetListPane.h"
#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"

namespace tarvik {
namespace {

// The local files among dropped URLs; empty when any of them is not one.
QStringList localFiles(const QMimeData* mime) {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) return {};
    paths << url.toLocalFile();
  }
  return paths;
}

QWidget* titled(const QString& title, QWidget* content, QWidget* above = nullptr) {
  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(title, box);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  label->setBuddy(above != nullptr ? above : content);
  layout->addWidget(label);
  if (above != nullptr) layout->addWidget(above);
  layout->addWidget(content);
  return box;
}

}  // namespace

LibraryWindow::LibraryWindow(LibraryHolder& holder, Dialogs& dialogs, ConfiguratorCore& core,
                             EditTracking& edits, FullBackupActions& fullBackup, QWidget* parent)
    : QWidget(parent, Qt::Window),
      holder_(holder),
      core_(core),
      actions_(*this, holder, dialogs, core, edits, fullBackup) {
  setObjectName(QStringLiteral("LibraryWindow"));
  setWindowTitle(tr("Library"));
  setAcceptDrops(true);
  resize(840, 460);

  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("libraryFilter"));
  filter_->setPlaceholderText(tr("Filter by name or note"));
  filter_->setClearButtonEnabled(true);
  setupView_ = makeView("setupList", setups_);
  historyView_ = makeView("historyList", snapshots_);
  // The times take what their text needs; the names and notes share the rest.
  setupView_->header()->resizeSection(kSetupName, 180);
  setupView_->header()->resizeSection(
      kSetupChanged,
      setupView_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16);
  historyView_->header()->resizeSection(kSnapshotTime,
                                        setupView_->header()->sectionSize(kSetupChanged));

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(titled(tr("&Setups"), setupView_, filter_));
  splitter->addWidget(titled(tr("Device &history"), historyView_));
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({520, 300});
  problem_ = new QLabel;
  problem_->setObjectName(QStringLiteral("libraryProblem"));
  problem_->setWordWrap(true);
  problem_->setAlignment(Qt::AlignCenter);
  problem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  setLists_ = new SetListPane(holder, dialogs, core, edits, [this] { return current_; });
  setLists_->setObjectName(QStringLiteral("setListPane"));

  store_ = namedButton(this, "storeButton", tr("Store..."),
                       tr("Store what the editors hold (not the device itself) as a new setup, "
                          "or in place of the setup of the name you give"),
                       [this] { actions_.store(); });
  open_ = namedButton(this, "openButton", tr("Open"),
                      tr("Put the selected setup or snapshot into the editors, as one step that "
                         "Undo takes back"),
                      [this] { actions_.open(); });
  send_ = namedButton(this, "sendButton", tr("Send to Tarvik"),
                      tr("Restore the selected setup or snapshot to the connected Tarvik and "
                         "check that it holds it"),
                      [this] { actions_.send(); });
  rename_ = namedButton(this, "renameButton", tr("Rename..."),
                        tr("Give the selected setup another name"), [this] { actions_.rename(); });
  duplicate_ = namedButton(this, "duplicateButton", tr("Duplicate..."),
                           tr("Copy the selected setup under another name"),
                           [this] { actions_.duplicate(); });
  delete_ = namedButton(this, "deleteButton", tr("Delete..."), tr("Delete the selected setup"),
                        [this] { actions_.remove(); });
  import_ = namedButton(this, "importButton", tr("Import..."),
                        tr("Store .tvk and backup files as setups named after them, all or none; "
                           "files dropped on this window are imported too"),
                        [this] { actions_.importChosen(); });
  export_ = namedButton(this, "exportButton", tr("Export..."),
                        tr("Write the selected setup as a backup file"),
                        [this] { actions_.exportSetup(); });
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {store_, open_, send_, rename_, duplicate_, delete_}) {
    buttons->addWidget(button);
  }
  buttons->addStretch();
  buttons->addWidget(import_);
  buttons->addWidget(export_);

  // The buttons act on the setups and snapshots, so they stand on their tab: the set lists have
  // buttons of their own.
  auto* setupsPage = new QWidget;
  setupsPage->setObjectName(QStringLiteral("setupsPage"));
  auto* setupsLayout = new QVBoxLayout(setupsPage);
  setupsLayout->addWidget(splitter, 1);
  setupsLayout->addLayout(buttons);
  // A tab of their own: the window keeps the size it had before there were set lists.
  auto* tabs = new QTabWidget;
  tabs->setObjectName(QStringLiteral("libraryTabs"));
  tabs->addTab(setupsPage, tr("Setups and history"));
  tabs->addTab(setLists_, tr("Set lists"));
  pages_ = new QStackedWidget(this);
  pages_->addWidget(tabs);
  pages_->addWidget(problem_);

  file_ = new QLabel(this);
  file_->setObjectName(QStringLiteral("libraryFile"));
  file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_, 1);
  layout->addWidget(file_);

  auto* removeKey =
      new QShortcut(QKeySequence::Delete, setupView_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(removeKey, &QShortcut::activated, this, [this] { actions_.remove(); });
  auto* renameKey =
      new QShortcut(QKeySequence(Qt::Key_F2), setupView_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(renameKey, &QShortcut::activated, this, [this] { actions_.rename(); });

  connect(filter_, &QLineEdit::textChanged, this, &LibraryWindow::filterSetups);
  connect(&holder_, &LibraryHolder::changed, this, &LibraryWindow::refresh);
  connect(&holder_, &LibraryHolder::opened, this, &LibraryWindow::refresh);
  connect(&core_, &ConfiguratorCore::busyChanged, this, &LibraryWindow::updateButtons);
  refresh();
}

LibraryWindow::~LibraryWindow() = default;

QTreeView* LibraryWindow::makeView(const char* name, QAbstractItemModel& model) {
  auto* view = new QTreeView(this);
  view->setObjectName(QString::fromLatin1(name));
  view->setModel(&model);
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  // One line a row: the view lays out ten thousand rows without asking for each.
  view->setUniformRowHeights(true);
  view->setAllColumnsShowFocus(true);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this, view] { takeSelection(view); });
  connect(view, &QTreeView::doubleClicked, this, [this] { actions_.open(); });
  connect(view, &QWidget::customContextMenuRequested, this,
          [this, view](const QPoint& at) { showMenu(view, at); });
  return view;
}

void LibraryWindow::refresh() {
  const SetupLibrary* library = holder_.library();
  filter_->setEnabled(library != nullptr);
  setLists_->refresh();
  if (library == nullptr) {
    problem_->setText(holder_.path().isEmpty()
                          ? holder_.problem()
                          : tr("The library of setups cannot be used:\n%1\n\nThe program works "
                               "on without it. Another file can be named with the option "
                               "--library FILE or the environment variable TARVIK_LIBRARY.")
                                .arg(holder_.problem()));
    pages_->setCurrentWidget(problem_);
    file_->clear();
    setups_.setRows({});
    snapshots_.setRows({});
    current_ = {};
    updateButtons();
    return;
  }
  pages_->setCurrentIndex(0);
  file_->setText(tr("Library: %1").arg(QDir::toNativeSeparators(holder_.path())));
  const Result<QList<SnapshotSummary>> snapshots = library->history().list();
  // A list that cannot be read says why where the file is named; what was listed stays.
  if (snapshots.ok()) {
    snapshots_.setRows(*snapshots.value);
  } else {
    file_->setText(snapshots.error);
  }
  filterSetups();
}

void LibraryWindow::filterSetups() {
  const SetupLibrary* library = holder_.library();
  if (library == nullptr) return;
  const Result<QList<SetupSummary>> setups = library->setups().list(filter_->text());
  if (setups.ok()) {
    setups_.setRows(*setups.value);
  } else {
    file_->setText(setups.error);
  }
  select(current_);
}

void LibraryWindow::select(const LibraryItem& item) {
  const int setupRow = item.isSetup() ? setups_.rowOf(item.name) : -1;
  const int snapshotRow = item.isSnapshot() ? snapshots_.rowOf(item.id) : -1;
  selecting_ = true;
  for (auto [view, row] : {std::pair{setupView_, setupRow}, std::pair{historyView_, snapshotRow}}) {
    if (row < 0) {
      view->clearSelection();
      continue;
    }
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
  }
  selecting_ = false;
  current_ = setupRow >= 0 || snapshotRow >= 0 ? item : LibraryItem{};
  updateButtons();
}

void LibraryWindow::takeSelection(QTreeView* from) {
  if (selecting_) return;
  const QModelIndexList rows = from->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    // Only what the user unselected is gone; the other list's selection stays what it was.
    if ((from == setupView_) == current_.isSetup()) current_ = {};
  } else if (from == setupView_) {
    current_ = LibraryItem::setup(setups_.rows().at(rows.first().row()).name);
  } else {
    current_ = LibraryItem::snapshot(snapshots_.rows().at(rows.first().row()));
  }
  // One item at a time: the other list lets go of its selection.
  select(current_);
}

void LibraryWindow::updateButtons() {
  const bool library = holder_.library() != nullptr;
  const bool idle = library && !core_.busy();
  const bool setup = library && current_.isSetup();
  store_->setEnabled(idle);
  open_->setEnabled(idle && !current_.isNone());
  send_->setEnabled(idle && !current_.isNone() && core_.portsOpen());
  for (QPushButton* button : {rename_, duplicate_, delete_, export_}) button->setEnabled(setup);
  import_->setEnabled(library);
}

void LibraryWindow::showMenu(QTreeView* view, const QPoint& at) {
  const QModelIndex index = view->indexAt(at);
  if (!index.isValid()) return;
  view->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  QMenu menu(this);
  QList<QPushButton*> entries{open_, send_};
  if (view == setupView_) entries << store_ << rename_ << duplicate_ << delete_ << export_;
  for (QPushButton* button : entries) {
    QAction* action = menu.addAction(button->text(), button, &QPushButton::click);
    action->setEnabled(button->isEnabled());
  }
  menu.exec(view->viewport()->mapToGlobal(at));
}

void LibraryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

void LibraryWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
  // Coming back to the window is asking for the library: one that was refused is tried again
  // (which reads the lists when it opens).
  if (holder_.library() == nullptr && !holder_.path().isEmpty()) {
    holder_.retry();
  } else {
    refresh();
  }
}

void LibraryWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (holder_.library() != nullptr && !localFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void LibraryWindow::dropEvent(QDropEvent* event) {
  const QStringList paths = localFiles(event->mimeData());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  // The drop's own loop ends before any box of the import opens.
  QMetaObject::invokeMethod(
      this, [this, paths] { actions_.importFiles(paths); }, Qt::QueuedConnection);
}

}  // namespace tarvik
