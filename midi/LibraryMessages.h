// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tarvik {

// What the MIDI system's libraries write about themselves ("ALSA lib seq_hw.c:466:(...) open
// /dev/snd/seq failed", "Cannot connect to server socket ...") would otherwise land on standard
// error, eight lines of it ahead of the program's own one-line report when no MIDI system runs.
// Their own hooks (ALSA's snd_lib_error_set_handler, JACK's error and info functions) send each
// line here instead, on whichever thread the library wrote it, and the sink gets them on the
// thread of `context` a burst at a time: the lines written before that thread next serves its
// event loop come together. Until a sink is set they are held, so that an owner that sets it
// after start-up still gets what the libraries said while the MIDI system was being reached.
//
// The process has one: the newest takes the lines from the hooks, which stay installed; lines
// written while there is none are dropped, those at the program's end included.
class LibraryMessages {
 public:
  using Sink = std::function<void(const std::vector<std::string>& lines)>;

  // Takes the lines from now on; the context must outlive it.
  explicit LibraryMessages(QObject& context);
  // Once it returns, no line comes here any more, from any thread.
  ~LibraryMessages();
  LibraryMessages(const LibraryMessages&) = delete;
  LibraryMessages& operator=(const LibraryMessages&) = delete;

  // On the context's thread. The lines held so far go to `sink` before this returns.
  void setSink(Sink sink);

  // What the hooks call, one line at a time (trailing line ends removed, several lines split).
  static void deliver(const std::string& text);

 private:
  void take(std::string line);
  void flush();

  QObject& context_;
  std::mutex mutex_;
  std::vector<std::string> held_;
  bool flushPosted_ = false;
  // Context's thread only.
  Sink sink_;
};

}  // namespace tarvik
