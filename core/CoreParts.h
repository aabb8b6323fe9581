// SPDX-License-Identifier: MIT
#pragma once

#include "core/ConfiguratorCore.h"
#include "firmware/ServerFile.h"
#include "link/DeviceLink.h"
#include "link/FramePacer.h"

namespace tarvik {

// The core's parts, for tests and benchmarks that shorten their waits, watch the traffic or spy
// on them. Front ends use the core's operations (a suite check keeps this out of app/ and cli/).
struct CoreParts {
  static DeviceLink& link(ConfiguratorCore& core) { return *core.link_; }
  static TransferMachine& machine(ConfiguratorCore& core) { return core.machine_; }
  static Flasher& flasher(ConfiguratorCore& core) { return core.flasher_; }
  static ServerFile& firmwareDownload(ConfiguratorCore& core) { return *core.firmwareDownload_; }
  static ServerFile& updateCheck(ConfiguratorCore& core) { return *core.updateCheck_; }
  static FullDownload& fullDownload(ConfiguratorCore& core) { return core.fullDownload_; }
  static RestoreCheck& restoreCheck(ConfiguratorCore& core) { return core.restoreCheck_; }
  static PortWatcher& portWatcher(ConfiguratorCore& core) { return core.portWatcher_; }
  static ChangeMarks& marks(ConfiguratorCore& core) { return core.marks_; }
  static LinkTest& linkTest(ConfiguratorCore& core) { return core.linkTest_; }
  static FramePacer& pacer(ConfiguratorCore& core) { return *core.pacer_; }
};

}  // namespace tarvik
