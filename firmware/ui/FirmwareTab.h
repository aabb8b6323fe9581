// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tarvik {

// Contents of the "Firmware update" tab: the update check with its change log, and the flash
// button and progress. The tab decides nothing about the device; the window runs the update check
// when checkRequested() comes, and confirms and starts the flash when flashRequested() comes.
class FirmwareTab : public QWidget {
  Q_OBJECT
 public:
  explicit FirmwareTab(QWidget* parent = nullptr);

  // The update check the check button (Button6) asked for runs; its change log fills the tab.
  void setCheckRunning(bool running);
  void showChangeLog(const QByteArray& body);

  void setCurrentVersion(const QString& version);
  QString latestVersion() const;
  QString changeLog() const;

  void setFlashButtonEnabled(bool enabled);
  // The setup is always kept in the device history before a flash; ticked, also in a file.
  QCheckBox* backupFileBox() const { return backupFile_; }
  void setProgress(int page, int pageCount);
  void hideProgress();
  // While a flash or a transfer owns the link, neither button may start anything. A check that
  // ends meanwhile still decides the flash button, which shows that decision once the link is
  // free; a flash overrides it by calling setFlashButtonEnabled() when it ends, before it frees
  // the link.
  void setLinkBusy(bool busy);

 Q_SIGNALS:
  void checkRequested();
  void flashRequested();

 private:
  void updateButtons();

  QPushButton* checkButton_;
  QLabel* currentVersion_;
  QLabel* latestVersion_;
  QPlainTextEdit* changeLog_;
  QPushButton* flashButton_;
  QCheckBox* backupFile_;
  QProgressBar* progress_;
  bool checkRunning_ = false;
  bool linkBusy_ = false;
  bool flashWanted_ = false;  // what the last check or the last flash decided for Button7
};

}  // namespace tarvik
