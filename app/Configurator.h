// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <functional>
#include <optional>

#include "firmware/UpdateServerUrl.h"

class QTextStream;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class RememberedState;
class TForm1;

// The program's run, from the platform MIDI service to the last port closed: the window is
// created over the program's core, centred, shown and served until the user closes it.
// `beforeShow` lets a caller watch the window and the core (the start-up benchmark ends at the
// window's first frame). `file`, when given, is opened once the window is shown, as "Load from
// File" opens it. `remembered` (nullptr: nothing) is what the last run left and this one keeps.
// `library` is the --library option as given (empty: SetupLibrary::path looks further), and
// the library is opened once the window is on screen; without it (nothing at all, as for the
// start-up benchmark) the window has no library. With `verbose` (--verbose), what the MIDI
// system's libraries say goes to standard error as they say it. A QApplication must exist.
int runConfigurator(Dialogs& dialogs, const QUrl& updateServer = updateServerBaseUrl(),
                    const std::function<void(TForm1&, ConfiguratorCore&)>& beforeShow = {},
                    const QString& file = {}, RememberedState* remembered = nullptr,
                    const std::optional<QString>& library = std::nullopt, bool verbose = false);

// --verbose: the core's log lines (the transfer machine's and the flash's) also go to `log`
// (standard error), one a line, as the event log shows them without its time stamp: a session
// can be followed, or kept, from the terminal that started the window. `log` must outlive the
// core.
void mirrorMachineLog(ConfiguratorCore& core, QTextStream& log);

}  // namespace tarvik
