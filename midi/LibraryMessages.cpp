// SPDX-License-Identifier: MIT
#include "midi/LibraryMessages.h"

#include <jack/jack.h>

#include <cstdarg>
#include <cstdio>

#if defined(__linux__)
#include <alsa/asoundlib.h>
#endif

namespace tarvik {

namespace {

struct Taker {
  std::mutex mutex;
  LibraryMessages* messages = nullptr;
};

// Never destroyed: JACK writes from its own destructors at the program's end, after the
// statics of this file may have gone.
Taker& taker() {
  static auto* one = new Taker;
  return *one;
}

void fromJack(const char* text) { LibraryMessages::deliver(text != nullptr ? text : ""); }

#if defined(__linux__)
// ALSA's own handler writes "ALSA lib FILE:LINE:(FUNCTION) TEXT[: ERROR]"; the line keeps that
// form, so that it reads as it would have on the terminal.
void fromAlsa(const char* file, int line, const char* function, int err, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::string message = std::string("ALSA lib ") + (file ? file : "?") + ":" +
                        std::to_string(line) + ":(" + (function ? function : "?") + ") " + text;
  if (err != 0) message += std::string(": ") + snd_strerror(err);
  LibraryMessages::deliver(message);
}
#endif

}  // namespace

LibraryMessages::LibraryMessages(QObject& context) : context_(context) {
  static std::once_flag installed;
  std::call_once(installed, [] {
    jack_set_error_function(&fromJack);
    jack_set_info_function(&fromJack);
#if defined(__linux__)
    snd_lib_error_set_handler(&fromAlsa);
#endif
  });
  std::lock_guard lock(taker().mutex);
  taker().messages = this;
}

LibraryMessages::~LibraryMessages() {
  std::lock_guard lock(taker().mutex);
  if (taker().messages == this) taker().messages = nullptr;
}

void LibraryMessages::deliver(const std::string& text) {
  std::lock_guard lock(taker().mutex);
  if (taker().messages == nullptr) return;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Blank lines are what separates messages on a terminal; they carry nothing here.
    if (!line.empty()) taker().messages->take(std::move(line));
    start = end + 1;
  }
}

void LibraryMessages::take(std::string line) {
  std::lock_guard lock(mutex_);
  held_.push_back(std::move(line));
  if (flushPosted_) return;
  flushPosted_ = true;
  // Dropped unrun should the context go first; this goes with it (see the service).
  QMetaObject::invokeMethod(
      &context_, [this] { flush(); }, Qt::QueuedConnection);
}

void LibraryMessages::flush() {
  std::vector<std::string> lines;
  {
    std::lock_guard lock(mutex_);
    flushPosted_ = false;
    if (!sink_) return;
    lines.swap(held_);
  }
  if (!lines.empty()) sink_(lines);
}

void LibraryMessages::setSink(Sink sink) {
  sink_ = std::move(sink);
  flush();
}

}  // namespace tarvik
