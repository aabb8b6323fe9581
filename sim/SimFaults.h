// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace tarvik {

// Misbehaviours the simulated device can be told to show, each independent of the others. The
// defaults describe a healthy device.
struct SimFaults {
  // No SysEx reply at all (short-message echo still works).
  bool silent = false;
  // Only the first N commands are answered; later ones are consumed without a reply. Negative:
  // no limit.
  int answerFirst = -1;
  // How long the device takes before each reply. The model only carries the value; whoever moves
  // the frames (the in-process runner, the executable) waits.
  int replyDelayMs = 0;
  // Status item of replies 4 and 5; 0xFF is success.
  std::uint8_t submitStatus = 0xFF;
  // Every N-th reply the device would send is lost on its way back (the 5th, 10th ... for 5):
  // the command was carried out all the same. Counted, not drawn by chance, so that a test knows
  // exactly how many go missing. 0: never.
  int loseReplyEvery = 0;
  // Every N-th SysEx message that arrives is lost before the device sees it, as on a link that
  // drops frames. 0: never.
  int loseFrameEvery = 0;
  // An interface with a small buffer between program and device: it holds kOverrunFrames SysEx
  // messages and passes one on every N ms; a message that arrives while it is full is lost.
  // Short commands and their round trips pass, a block sent back to back overruns it, and only a
  // sender that keeps a gap of N ms or more loses nothing. The times are the device's clock's
  // (TarvikDevice::setClock). 0: never.
  static constexpr int kOverrunFrames = 32;
  int dropFastMs = 0;
  // Every N-th item byte of the replies the device sends (the nibbles between the code and F7,
  // counted over all replies) has its lowest bit flipped on the way back. The frame keeps its
  // F0, code and F7 and every byte stays a nibble, so it still reads as a reply to its command,
  // only with a wrong item: the mangling that no frame check can catch and only a comparison
  // with the source can. Replies without items pass whole and count nothing; junk frames are not
  // counted. Counted, not drawn by chance. 0: never.
  int corruptReplyEvery = 0;
  // The first submit the device hears (SubmitConfig, SubmitPresets, SubmitCcMap or
  // SubmitPcRemap), as a device busy just after waking might drop it: taken in whole but neither
  // stored nor answered; every later submit is handled as usual.
  bool ignoreFirstSubmit = false;
  // Every reply goes out as F0, code, F7 only, without its items.
  bool shortFrames = false;
  // Before each real reply, frames the program must drop: one without the F0 start and one each
  // with the codes 0, 10, 16, 20 and 255.
  bool junkFrames = false;
  // The read-back of this page number differs from what was uploaded. Negative: never.
  int badReadbackPage = -1;
  // EnterBootloader is answered with reply 9 (a page read-back of zeros) instead of reply 8.
  bool reply9ForBootloader = false;
  // A submit with this command byte (4, 5, 7 or 19) is stored with item alteredItem's lowest
  // bit flipped, and still confirmed as stored: a device that keeps something else than it was
  // sent. 0: never.
  std::uint8_t alterStoredCommand = 0;
  int alteredItem = 0;
  // After this many UploadFlashPage replies the device answers nothing more. Negative: never.
  int stopAfterPages = -1;
  // WriteRamToFlash is carried out but never confirmed (no reply 17), as by a device that hangs
  // while it writes.
  bool silentOnWrite = false;
};

}  // namespace tarvik
