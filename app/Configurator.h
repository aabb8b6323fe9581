// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <functional>

#include "firmware/UpdateServerUrl.h"

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class TForm1;

// The program's run, from the platform MIDI service to the last port closed: the window is
// created over the program's core, centred, shown and served until the user closes it.
// `beforeShow` lets a caller watch the window and the core (the start-up benchmark ends at the
// window's first frame). A QApplication must exist.
int runConfigurator(Dialogs& dialogs, const QUrl& updateServer = updateServerBaseUrl(),
                    const std::function<void(TForm1&, ConfiguratorCore&)>& beforeShow = {});

}  // namespace tarvik
