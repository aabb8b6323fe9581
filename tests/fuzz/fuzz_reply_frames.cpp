// SPDX-License-Identifier: MIT
// Any SysEx frames into the reply parser and the transfer machine, whatever chain is running or
// whether a flash owns the link: nothing may crash or read past a frame, and the machine must
// stay consistent with what it reports.
#include "FuzzInput.h"
#include "link/Framing.h"
#include "link/TransferMachine.h"

#include <QCoreApplication>

using namespace tarvik;

namespace {

class NullLink : public LinkPort {
 public:
  void SendByte(std::uint8_t) override { ++sent; }
  long sent = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // The machine's timers want an application object; none of them fires within one input.
  static QCoreApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  NullLink link;
  Configuration configuration;
  TransferMachine machine(link, configuration);
  // The first byte picks the state the frames find the machine in.
  switch (data[0] % 5) {
    case 1: machine.startConnect(); break;
    case 2: machine.startSubmitConfig(); break;
    case 3: machine.startSubmitPresets(); break;
    case 4: machine.setFlashOwnsLink(true); break;
    default: break;
  }
  for (const auto& frame : fuzz::messages(data + 1, size - 1)) {
    const std::optional<Reply> reply = parseReply(frame);
    if (reply) {
      fuzz::require(frame.size() >= 2 && frame[0] == 0xF0, "a reply starts with F0 and a code");
      const std::optional<int> items = itemsRead(reply->code);
      fuzz::require(items && int(reply->items.size()) == *items, "exactly the code's items");
      fuzz::require(frame.size() >= std::size_t(2 + 2 * *items), "no item read past the frame");
    }
    const long sentBefore = link.sent;
    machine.DoSysExData(frame);
    if (machine.flashOwnsLink()) {
      fuzz::require(link.sent == sentBefore, "nothing but the flash talks to the bootloader");
    }
    fuzz::require(machine.identifyCount() >= 0 && machine.identifyCount() <= 6,
                  "the identify burst is counted to six");
    for (int row = 0; row < PresetTables::kRows; ++row) {
      const PresetTables& tables = configuration.tables();
      fuzz::require(tables.cc(row) >= -1 && tables.cc(row) < PresetTables::kCcItems &&
                        tables.pcRemap(row) >= -1 &&
                        tables.pcRemap(row) < PresetTables::kPcRemapItems,
                    "received selectors hold an item index or none");
    }
  }
  return 0;
}
