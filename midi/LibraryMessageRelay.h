// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tarvik {

// Brings what the MIDI libraries write (LibraryMessages) to the thread of `context`, a burst at
// a time: the lines written before that thread next serves its event loop come together. Until
// a sink is set they are held, so that an owner that sets it after start-up still gets what the
// libraries said while the MIDI system was being reached.
class LibraryMessageRelay {
 public:
  using Sink = std::function<void(const std::vector<std::string>& lines)>;

  // Listens from now on; the context must outlive the relay.
  explicit LibraryMessageRelay(QObject& context);
  ~LibraryMessageRelay();
  LibraryMessageRelay(const LibraryMessageRelay&) = delete;
  LibraryMessageRelay& operator=(const LibraryMessageRelay&) = delete;

  // On the context's thread. The lines held so far go to `sink` before this returns.
  void setSink(Sink sink);

 private:
  void take(const std::string& line);
  void flush();

  QObject& context_;
  std::mutex mutex_;
  std::vector<std::string> held_;
  bool flushPosted_ = false;
  // Context's thread only.
  Sink sink_;
  int listener_ = 0;
};

}  // namespace tarvik
