// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;

// "Try again carefully": the window's transfers start through here, so that the one started last
// can be started again as it was (the same file's contents, the same answer to the connect's
// question), with no question asked again. When a transfer fails because replies were lost on
// the way (ConfiguratorCore::lastTransferLostReplies), its error box offers to run it once more
// with TransferCare::careful() and says where the setting for every transfer is. A transfer that
// starts any other way (the link test, the backup before a flash) is not what the box would start
// again: it offers nothing then.
class CarefulRetry : public QObject {
  Q_OBJECT
 public:
  // Starts a transfer; false when the core refused it (nothing was sent).
  using Transfer = std::function<bool()>;

  using Log = std::function<void(const QString&)>;

  // The core must outlive this object. `log` takes the line that says a careful try begins.
  CarefulRetry(Dialogs& dialogs, QWidget* owner, ConfiguratorCore& core, Log log,
               QObject* parent = nullptr);

  // Runs `transfer`; once it has started, it is the one a careful try starts again. Returns what
  // `transfer` returned. A transfer started inside another one's `transfer` (the connect's send
  // of the editors) gives way to the outer one.
  bool start(Transfer transfer);
  // The error box of the transfer that has just failed. With lost replies and a transfer to start
  // again it offers "Try again carefully" beside OK; pressed, the transfer starts again with the
  // careful care, once the link is free.
  void error(const QString& caption, const QString& text, const QStringList& detail = {});

  // What the box adds to the failure's text.
  static QString offerText();

 private:
  void busyChanged(bool busy);
  void startAgainWhenIdle();

  Dialogs& dialogs_;
  QWidget* owner_;
  ConfiguratorCore& core_;
  Log log_;
  Transfer again_;
  int starting_ = 0;
  bool wasBusy_ = false;
  bool againPending_ = false;
};

}  // namespace tarvik
