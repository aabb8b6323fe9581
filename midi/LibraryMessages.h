// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

namespace tarvik {

// What the MIDI system's libraries write about themselves ("ALSA lib seq_hw.c:466:(...) open
// /dev/snd/seq failed", "Cannot connect to server socket ...") would otherwise land on standard
// error, eight lines of it ahead of the program's own one-line report when no MIDI system runs.
// Their own hooks (ALSA's snd_lib_error_set_handler, JACK's error and info functions) send each
// line here instead, and every listener gets it: on whichever thread the library wrote it,
// possibly while the listener's owner is busy, so a listener only stores or posts the line.
//
// The hooks are the process's: once installed they stay, and lines written while nobody listens
// are dropped, those at the program's end included.
class LibraryMessages {
 public:
  using Listener = std::function<void(const std::string& line)>;

  // Installs the hooks on first use and adds a listener; the number takes it off again.
  static int listen(Listener listener);
  // Once it returns the listener is not called any more, on any thread.
  static void stopListening(int id);
  // What the hooks call, one line at a time (trailing line ends removed, several lines split).
  static void deliver(const std::string& text);
};

}  // namespace tarvik
