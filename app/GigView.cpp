// SPDX-License-Identifier: MIT
#include "app/GigView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <exception>

#include "core/ConfiguratorCore.h"

namespace tarvik {

namespace {

// Points at a scale factor of 1: the song is read from two metres, what it turns on nearly so.
constexpr int kSongPoints = 44;
constexpr int kMainPoints = 30;
constexpr int kSidePoints = 20;

QLabel* part(QWidget* parent, const char* objectName, const QString& accessibleName, int points,
             bool bold = false) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(objectName));
  label->setAccessibleName(accessibleName);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignCenter);
  QFont font = label->font();
  font.setPointSize(points);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

// Buttons take no focus, so that Space always steps the set instead of pressing the last
// button clicked.
QPushButton* button(QWidget* parent, const char* objectName, const QString& text) {
  auto* pushButton = new QPushButton(text, parent);
  pushButton->setObjectName(QLatin1String(objectName));
  pushButton->setFocusPolicy(Qt::NoFocus);
  return pushButton;
}

}  // namespace

GigView::GigView(ConfiguratorCore& core, const SetList& setList, const LoopLabels& labels,
                 QWidget* parent)
    : QWidget(parent, Qt::Window), core_(core), follower_(setList, labels) {
  setObjectName(QStringLiteral("gigView"));
  setWindowTitle(tr("Gig view - %1").arg(setList.name));
  setAttribute(Qt::WA_DeleteOnClose);
  setFocusPolicy(Qt::StrongFocus);

  song_ = part(this, "gigSong", tr("Current song"), kSongPoints, true);
  place_ = part(this, "gigPlace", tr("Place"), kMainPoints);
  preset_ = part(this, "gigPreset", tr("Preset"), kMainPoints);
  loops_ = part(this, "gigLoops", tr("Loops"), kMainPoints, true);
  programChange_ = part(this, "gigProgramChange", tr("Program change"), kMainPoints);
  note_ = part(this, "gigNote", tr("Note"), kSidePoints);
  next_ = part(this, "gigNextSong", tr("Next song"), kSidePoints);
  warning_ = part(this, "gigWarning", tr("Warning"), kSidePoints / 2 + 4, true);
  state_ = part(this, "gigState", tr("Foot controller"), kSidePoints / 2 + 2);
  // Subdued beside the song, in the palette's own colour so that a dark theme keeps it legible.
  next_->setForegroundRole(QPalette::PlaceholderText);

  previous_ = button(this, "gigPrevious", tr("Previous"));
  forward_ = button(this, "gigNext", tr("Next"));
  fullScreen_ = button(this, "gigFullScreen", tr("Full screen"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(previous_);
  buttons->addWidget(forward_);
  buttons->addStretch();
  buttons->addWidget(fullScreen_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(warning_);
  layout->addStretch();
  layout->addWidget(song_);
  layout->addWidget(place_);
  layout->addWidget(preset_);
  layout->addWidget(loops_);
  layout->addWidget(programChange_);
  layout->addWidget(note_);
  layout->addStretch();
  layout->addWidget(next_);
  layout->addWidget(state_);
  layout->addLayout(buttons);

  connect(previous_, &QPushButton::clicked, this, [this] { step(-1); });
  connect(forward_, &QPushButton::clicked, this, [this] { step(+1); });
  connect(fullScreen_, &QPushButton::clicked, this, &GigView::toggleFullScreen);
  connect(&core_, &ConfiguratorCore::programChangeReceived, this, &GigView::selected);
  connect(&core_, &ConfiguratorCore::presetPlayed, this, &GigView::selected);
  connect(&core_, &ConfiguratorCore::connectedChanged, this, &GigView::showState);
  connect(&core_, &ConfiguratorCore::busyChanged, this, &GigView::showState);
  // A download or a submit changes what the device holds.
  connect(&core_, &ConfiguratorCore::transferFinished, this, &GigView::showState);
  resize(900, 640);
  showTexts();
  showState();
}

void GigView::step(int by) {
  const int row = by > 0   ? follower_.nextRow()
                  : by < 0 ? follower_.previousRow()
                           : follower_.firstRow();
  if (row < 0) return;
  why_.clear();
  try {
    if (!core_.playPreset(row)) why_ = tr("Tarvik is busy: the preset was not played.");
  } catch (const std::exception& error) {
    why_ = tr("The preset was not played: %1").arg(QString::fromLocal8Bit(error.what()));
  }
  showState();
}

void GigView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Right:
    case Qt::Key_PageDown:
      if (forward_->isEnabled()) step(+1);
      return;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
      if (previous_->isEnabled()) step(-1);
      return;
    case Qt::Key_Home:
      if (forward_->isEnabled()) step(0);
      return;
    case Qt::Key_F11:
      toggleFullScreen();
      return;
    case Qt::Key_Escape:
      if (isFullScreen())
        showNormal();
      else
        close();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void GigView::selected(int row) {
  follower_.select(row);
  showTexts();
}

void GigView::showTexts() {
  const SetFollower::Texts texts = follower_.texts();
  song_->setText(texts.song);
  // A screen reader announces the song that now plays, not only that a song is shown.
  song_->setAccessibleName(tr("Current song: %1").arg(texts.song));
  place_->setText(texts.place);
  preset_->setText(texts.preset);
  // A loop's number stays on the line of its label when the list wraps.
  QString loops = texts.loops;
  static const QRegularExpression numbered(QStringLiteral("(^|, )(LOOP )?(\\d) "));
  loops.replace(numbered, QStringLiteral("\\1\\2\\3\u00A0"));
  loops.replace(QStringLiteral("LOOP "), QStringLiteral("LOOP\u00A0"));
  loops_->setText(loops);
  programChange_->setText(texts.programChange);
  note_->setText(texts.note);
  note_->setVisible(!texts.note.isEmpty());
  next_->setText(texts.next);
}

void GigView::showState() {
  const QString warning = SetFollower::deviceWarning(follower_.setList(), core_.deviceBlocks());
  warning_->setText(warning);
  warning_->setVisible(!warning.isEmpty());
  const bool playable = core_.connected() && !core_.busy();
  previous_->setEnabled(playable);
  forward_->setEnabled(playable);
  QString state = why_;
  if (!core_.connected())
    state = tr("Connect to Tarvik in the main window to step through the set from here.");
  else if (core_.busy())
    state = tr("Tarvik is busy: the set steps on once the transfer has ended.");
  state_->setText(state);
  state_->setVisible(!state.isEmpty());
}

void GigView::toggleFullScreen() {
  if (isFullScreen())
    showNormal();
  else
    showFullScreen();
}

}  // namespace tarvik
