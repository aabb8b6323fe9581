// SPDX-License-Identifier: MIT
// Any stream of SysEx messages into the simulated device: it must never crash, and whatever it
// answers must be a well-formed reply frame the configurator could read.
#include "FuzzInput.h"
#include "link/Framing.h"
#include "sim/TarvikDevice.h"

using namespace tarvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TarvikDevice device(TarvikContents::fromSeed(3));
  // The first byte switches faults on; the rest is the stream of messages.
  if (size > 0 && (data[0] & 1U)) {
    SimFaults faults;
    faults.junkFrames = (data[0] & 2U) != 0;
    faults.shortFrames = (data[0] & 4U) != 0;
    faults.submitStatus = (data[0] & 8U) ? 0x00 : 0xFF;
    // A mangled reply must still read as one: only its items are wrong.
    faults.corruptReplyEvery = (data[0] & 16U) ? 1 + (data[0] >> 6) : 0;
    faults.ignoreFirstSubmit = (data[0] & 32U) != 0;
    device.setFaults(faults);
  }
  const bool junk = device.faults().junkFrames;
  const bool cut = device.faults().shortFrames;
  device.setReplySink([junk, cut](std::vector<std::uint8_t> frame) {
    fuzz::require(frame.size() >= 3 && frame.back() == 0xF7, "every frame ends its SysEx");
    const bool reply = frame[0] == 0xF0 && itemsRead(frame[1]).has_value();
    if (!reply) {
      fuzz::require(junk, "frames the program drops come only with the junk fault");
      return;
    }
    if (!cut) fuzz::require(parseReply(frame).has_value(), "a reply long enough for its code");
  });
  if (size == 0) return 0;
  for (const auto& message : fuzz::messages(data + 1, size - 1)) device.receiveSysEx(message);
  return 0;
}
