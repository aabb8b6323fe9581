// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "app/Configurator.h"
#include "app/GigView.h"
#include "app/TForm1.h"
#include "core/CoreParts.h"
#include "support/ConnectLog.h"
#include "support/FakeDialogs.h"
#include "support/JackRig.h"
#include "support/ListTexts.h"
#include "support/ServerRig.h"

namespace tarvik::testing {

// What the simulator (started with --echo) and the window show of the session below.
inline const QString kEchoedProgramChange =
    QStringLiteral("[MIDI IN] ProgrammChange - MidiChannel: 16 - ProgrammNr: 128");
inline const QByteArray kProgramChangeAtSimulator = "short message: CF 7F (2 bytes)\n";
// What a command sent again writes to the log ("Identify: no reply, try 2 of 3").
inline const QString kRetryLine = QStringLiteral(": no reply, try ");

struct EntrySession {
  int status = -1;
  // The event log's messages from the last press of connect on.
  QStringList log;
  // Every error box, as "caption: text".
  QStringList errors;
  // The song a gig view, opened once the download was complete, showed at the end.
  QString gigSong;

  // Empty when the session went through: the connect's lines first, the echo in the log, the
  // program change at the simulator; else what it lacked, with what was seen.
  QString shortfall(const QByteArray& simulatorOutput) const {
    // A reply the server lost to a late cycle on a loaded machine is sent again, and says so in
    // the log: that is the program at work, not a lack.
    QStringList connectLog = log;
    connectLog.removeIf([](const QString& line) { return line.contains(kRetryLine); });
    if (connectLog.size() != log.size())
      qWarning().noquote() << "the connect was retried:" << log.filter(kRetryLine);
    QString lacking;
    if (connectLog.mid(0, kCompleteConnectLog.size()) != kCompleteConnectLog)
      lacking = QStringLiteral("the connect's lines");
    else if (!log.contains(kEchoedProgramChange))
      lacking = QStringLiteral("the echoed program change in the log");
    else if (!simulatorOutput.contains(kProgramChangeAtSimulator))
      lacking = QStringLiteral("the program change at the simulator");
    else if (gigSong != QStringLiteral("Preset 128 is not in this set"))
      lacking = QStringLiteral("the echo in the gig view (it showed \"%1\")").arg(gigSong);
    else
      return {};
    return QStringLiteral("no %1; boxes: %2; log: %3; tarvik-sim said: %4")
        .arg(lacking, errors.join(QStringLiteral(" / ")), log.join(QStringLiteral(" / ")),
             QString::fromLocal8Bit(simulatorOutput));
  }
};

// The program's own start-up (runConfigurator, as `main` runs it; the platform module from
// TARVIK_PLATFORM_MODULE) over the rig's server with tarvik-sim on it, driven through the
// window's controls as a user would: once the lists offer the simulator's pair, connect; once
// the download is complete, send the test controller's program change on channel 16, which the
// simulator logs and echoes. Ends when the echo is in the log and the simulator printed the
// message, at an error box after the one failed connect that is forgiven, or after `giveUpMs`.
inline EntrySession runEntrySession(ServerRig& rig, int giveUpMs) {
  // A JACK round trip on a loaded machine under the sanitizers can take longer than the
  // program's second; the chains' own time-outs still end a connect that is not answered.
  constexpr int kDeviceTimeoutMs = 30000;
  FakeDialogs dialogs;
  EntrySession session;
  auto drive = [&](TForm1& form, ConfiguratorCore& core) {
    CoreParts::machine(core).setConnectTimeout(kDeviceTimeoutMs);
    CoreParts::machine(core).setReplyWatchdog(kDeviceTimeoutMs);
    auto find = [&form](const char* name) {
      QWidget* widget = form.findChild<QWidget*>(QString::fromLatin1(name));
      if (widget == nullptr) qFatal("no control named %s", name);
      return widget;
    };
    auto* log = static_cast<QListWidget*>(find("ListBox1"));
    // Queued: a press is the user's next step, not part of the handler that made it possible.
    auto press = [&form, find](const char* name, const std::function<void()>& before) {
      QMetaObject::invokeMethod(
          &form,
          [button = static_cast<QPushButton*>(find(name)), before] {
            before();
            QTest::mouseClick(button, Qt::LeftButton);
          },
          Qt::QueuedConnection);
    };
    auto connectFrom = std::make_shared<int>(-1);
    auto pressConnect = [press, connectFrom, log] {
      press("Button1", [connectFrom, log] { *connectFrom = log->count(); });
    };
    auto sent = std::make_shared<bool>(false);
    auto advance = [&, find, log, press, pressConnect, connectFrom, sent] {
      if (*connectFrom < 0) {
        if (selectedName(static_cast<QListWidget*>(find("inputDevices"))) ==
                JackRig::deviceOutputPort &&
            selectedName(static_cast<QListWidget*>(find("outputDevices"))) ==
                JackRig::deviceInputPort) {
          *connectFrom = log->count();
          pressConnect();
        }
        return;
      }
      session.log = logMessages(log).mid(*connectFrom);
      if (!*sent && session.log.contains(kCompleteConnectLog.constLast())) {
        *sent = true;
        // A set of one song: the echoed program change selects a preset beyond it.
        auto* gig = new GigView(core, SetList{QStringLiteral("Entry"), {SetSong{}}}, {}, &form);
        gig->show();
        press("Button4", [find] {
          static_cast<QTabWidget*>(find("PageControl1"))->setCurrentWidget(find("TabSheet5"));
          static_cast<QComboBox*>(find("ComboBox2"))->setCurrentIndex(15);
          static_cast<QComboBox*>(find("ComboBox3"))->setCurrentIndex(127);
        });
      } else if (session.log.contains(kEchoedProgramChange) &&
                 rig.simulatorOutput().contains(kProgramChangeAtSimulator)) {
        // Once the handlers of the echo have all run.
        QMetaObject::invokeMethod(
            &form,
            [&form, &session] {
              if (auto* song = form.findChild<QLabel*>(QStringLiteral("gigSong")))
                session.gigSong = song->text();
              QCoreApplication::quit();
            },
            Qt::QueuedConnection);
      }
    };
    // After the window's own handlers: the lists are filled, the line is in the log.
    QObject::connect(&core, &ConfiguratorCore::portsChanged, &form, advance);
    QObject::connect(log->model(), &QAbstractItemModel::rowsInserted, &form, advance);
    QObject::connect(&rig.simulator(), &QProcess::readyRead, &form, advance);
    // A box shown while the program winds down has no window to answer.
    auto ended = std::make_shared<bool>(false);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &form, [ended] { *ended = true; });
    dialogs.errorShown = [&, pressConnect, sent, ended] {
      session.errors << dialogs.errors.back().caption + QStringLiteral(": ") +
                            dialogs.errors.back().text;
      if (*ended) return;
      // A reply lost to a late cycle (an xrun) on a loaded machine costs one more connect, as a
      // user would press it; any other box ends the session.
      if (session.errors.size() > 1 || *sent) {
        QCoreApplication::quit();
        return;
      }
      qWarning().noquote() << "first connect failed, retrying once:" << session.errors;
      pressConnect();
    };
    QTimer::singleShot(giveUpMs, &form, [] { QCoreApplication::quit(); });
  };
  session.status =
      runConfigurator(dialogs, QUrl(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/")), drive);
  return session;
}

}  // namespace tarvik::testing
