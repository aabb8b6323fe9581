// SPDX-License-Identifier: MIT
#include "firmware/ui/FirmwareTab.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "firmware/UpdateCheck.h"

namespace tarvik {

namespace {
// The view shows the change log's lines; how the server ended them is of no interest there.
QString displayText(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}
}  // namespace

FirmwareTab::FirmwareTab(QWidget* parent)
    : QWidget(parent),
      Button6(new QPushButton(QStringLiteral("check for updates "), this)),
      currentVersion_(new QLabel(this)),
      latestVersion_(new QLabel(this)),
      Memo1(new QPlainTextEdit(this)),
      Button7(new QPushButton(QStringLiteral("download new firmware and flash into Tarvik"), this)),
      progress_(new QProgressBar(this)) {
  Button6->setObjectName(QStringLiteral("Button6"));
  currentVersion_->setObjectName(QStringLiteral("currentVersion"));
  latestVersion_->setObjectName(QStringLiteral("latestVersion"));
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Button7->setObjectName(QStringLiteral("Button7"));
  progress_->setObjectName(QStringLiteral("flashProgress"));

  Memo1->setReadOnly(true);
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  Memo1->setFont(font);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  Button7->setEnabled(false);
  progress_->setVisible(false);

  auto* versions = new QGridLayout;
  versions->addWidget(new QLabel(QStringLiteral("current version:"), this), 0, 0);
  versions->addWidget(currentVersion_, 0, 1);
  versions->addWidget(new QLabel(QStringLiteral("latest version:"), this), 1, 0);
  versions->addWidget(latestVersion_, 1, 1);
  versions->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Button6, 0, Qt::AlignLeft);
  layout->addLayout(versions);
  layout->addWidget(new QLabel(QStringLiteral("change log:"), this));
  layout->addWidget(Memo1, 1);
  layout->addWidget(Button7, 0, Qt::AlignLeft);
  layout->addWidget(progress_);

  connect(Button6, &QPushButton::clicked, this, [this] {
    if (check_ && !linkBusy_) {
      check_->start();
    }
  });
  connect(Button7, &QPushButton::clicked, this, &FirmwareTab::flashRequested);
  updateButtons();
}

void FirmwareTab::setUpdateCheck(UpdateCheck* check) {
  if (check_) {
    check_->disconnect(this);
  }
  check_ = check;
  if (check_) {
    connect(check_, &UpdateCheck::runningChanged, this, &FirmwareTab::updateButtons);
    connect(check_, &UpdateCheck::finished, this, &FirmwareTab::onCheckFinished);
    connect(check_, &UpdateCheck::failed, this, &FirmwareTab::error);
  }
  updateButtons();
}

void FirmwareTab::setCurrentVersion(const QString& version) { currentVersion_->setText(version); }

QString FirmwareTab::currentVersion() const { return currentVersion_->text(); }

QString FirmwareTab::latestVersion() const { return latestVersion_->text(); }

QString FirmwareTab::changeLog() const { return Memo1->toPlainText(); }

void FirmwareTab::setFlashButtonEnabled(bool enabled) {
  flashWanted_ = enabled;
  updateButtons();
}

bool FirmwareTab::flashButtonEnabled() const { return Button7->isEnabled(); }

void FirmwareTab::setProgress(int page, int pageCount) {
  progress_->setRange(0, pageCount);
  progress_->setValue(page);
  progress_->setFormat(QStringLiteral("%v / %m"));
  progress_->setVisible(true);
}

void FirmwareTab::hideProgress() { progress_->setVisible(false); }

void FirmwareTab::setLinkBusy(bool busy) {
  linkBusy_ = busy;
  updateButtons();
}

void FirmwareTab::onCheckFinished(const QString& latestVersion, const QString& changeLog) {
  Memo1->setPlainText(displayText(changeLog));
  latestVersion_->setText(latestVersion);
  // Recorded even while the link is busy, so that the button follows this check once the link is
  // free; a flash that ends after it decides again (see setLinkBusy).
  flashWanted_ = UpdateCheck::flashAllowed(latestVersion, currentVersion_->text());
  updateButtons();
}

void FirmwareTab::updateButtons() {
  Button6->setEnabled(check_ && !check_->running() && !linkBusy_);
  Button7->setEnabled(flashWanted_ && !linkBusy_);
}

}  // namespace tarvik
