// SPDX-License-Identifier: MIT
#include "firmware/ui/FirmwareTab.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "firmware/ChangeLog.h"

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
      checkButton_(new QPushButton(tr("check for updates "), this)),
      currentVersion_(new QLabel(this)),
      latestVersion_(new QLabel(this)),
      changeLog_(new QPlainTextEdit(this)),
      flashButton_(new QPushButton(tr("download new firmware and flash into Tarvik"), this)),
      backupFile_(new QCheckBox(tr("also keep the backup from before the update in a file"), this)),
      progress_(new QProgressBar(this)) {
  backupFile_->setObjectName(QStringLiteral("backupFileBox"));
  checkButton_->setObjectName(QStringLiteral("Button6"));
  currentVersion_->setObjectName(QStringLiteral("currentVersion"));
  latestVersion_->setObjectName(QStringLiteral("latestVersion"));
  changeLog_->setObjectName(QStringLiteral("Memo1"));
  flashButton_->setObjectName(QStringLiteral("Button7"));
  progress_->setObjectName(QStringLiteral("flashProgress"));

  changeLog_->setReadOnly(true);
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  changeLog_->setFont(font);
  changeLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
  changeLog_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  changeLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  flashButton_->setEnabled(false);
  progress_->setVisible(false);

  auto* versions = new QGridLayout;
  versions->addWidget(new QLabel(tr("current version:"), this), 0, 0);
  versions->addWidget(currentVersion_, 0, 1);
  versions->addWidget(new QLabel(tr("latest version:"), this), 1, 0);
  versions->addWidget(latestVersion_, 1, 1);
  versions->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(checkButton_, 0, Qt::AlignLeft);
  layout->addLayout(versions);
  auto* changeLogLabel = new QLabel(tr("change log:"), this);
  changeLogLabel->setBuddy(changeLog_);
  layout->addWidget(changeLogLabel);
  layout->addWidget(changeLog_, 1);
  layout->addWidget(flashButton_, 0, Qt::AlignLeft);
  layout->addWidget(backupFile_, 0, Qt::AlignLeft);
  layout->addWidget(progress_);

  connect(checkButton_, &QPushButton::clicked, this, &FirmwareTab::checkRequested);
  connect(flashButton_, &QPushButton::clicked, this, &FirmwareTab::flashRequested);
  updateButtons();
}

void FirmwareTab::setCheckRunning(bool running) {
  checkRunning_ = running;
  updateButtons();
}

void FirmwareTab::setCurrentVersion(const QString& version) { currentVersion_->setText(version); }

QString FirmwareTab::latestVersion() const { return latestVersion_->text(); }

QString FirmwareTab::changeLog() const { return changeLog_->toPlainText(); }

void FirmwareTab::setFlashButtonEnabled(bool enabled) {
  flashWanted_ = enabled;
  updateButtons();
}

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

void FirmwareTab::showChangeLog(const QByteArray& body) {
  const ChangeLog log = ChangeLog::parse(body);
  changeLog_->setPlainText(displayText(log.text));
  latestVersion_->setText(log.latestVersion);
  // Recorded even while the link is busy, so that the button follows this check once the link is
  // free; a flash that ends after it decides again (see setLinkBusy).
  flashWanted_ = ChangeLog::flashAllowed(log.latestVersion, currentVersion_->text());
  updateButtons();
}

void FirmwareTab::updateButtons() {
  checkButton_->setEnabled(!checkRunning_ && !linkBusy_);
  flashButton_->setEnabled(flashWanted_ && !linkBusy_);
}

}  // namespace tarvik
