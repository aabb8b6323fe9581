// SPDX-License-Identifier: MIT
#include "midi/LibraryMessages.h"

#include <jack/jack.h>

#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>

#if defined(__linux__)
#include <alsa/asoundlib.h>
#endif

namespace tarvik {

namespace {

struct Listeners {
  // Recursive: a listener that makes a library speak again must not lock itself out.
  std::recursive_mutex mutex;
  std::map<int, LibraryMessages::Listener> byId;
  int lastId = 0;
};

// Never destroyed: JACK writes from its own destructors at the program's end, after the
// statics of this file may have gone.
Listeners& listeners() {
  static auto* all = new Listeners;
  return *all;
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

void installHooks() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    jack_set_error_function(&fromJack);
    jack_set_info_function(&fromJack);
#if defined(__linux__)
    snd_lib_error_set_handler(&fromAlsa);
#endif
  });
}

}  // namespace

int LibraryMessages::listen(Listener listener) {
  installHooks();
  Listeners& all = listeners();
  std::lock_guard lock(all.mutex);
  const int id = ++all.lastId;
  all.byId.emplace(id, std::move(listener));
  return id;
}

void LibraryMessages::stopListening(int id) {
  Listeners& all = listeners();
  std::lock_guard lock(all.mutex);
  all.byId.erase(id);
}

void LibraryMessages::deliver(const std::string& text) {
  Listeners& all = listeners();
  std::lock_guard lock(all.mutex);
  // A listener may take itself off while it is called.
  const std::map<int, Listener> called = all.byId;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Blank lines are what separates messages on a terminal; they carry nothing here.
    if (!line.empty())
      for (const auto& [id, listener] : called) listener(line);
    start = end + 1;
  }
}

}  // namespace tarvik
