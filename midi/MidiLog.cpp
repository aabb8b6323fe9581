// SPDX-License-Identifier: MIT
#include "midi/MidiLog.h"

#include <jack/jack.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#if defined(__linux__)
#include <alsa/asoundlib.h>
#endif

namespace tarvik {

Q_LOGGING_CATEGORY(midiLibraryLog, kMidiLibraryCategory, QtInfoMsg)

namespace {

void say(const std::string& text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Blank lines are what separates messages on a terminal; they carry nothing here.
    if (!line.empty()) qCInfo(midiLibraryLog).noquote() << QString::fromStdString(line);
    start = end + 1;
  }
}

void fromJack(const char* text) { say(text != nullptr ? text : ""); }

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
  say(message);
}
#endif

}  // namespace

void routeLibraryOutput() {
  static std::once_flag routed;
  std::call_once(routed, [] {
    jack_set_error_function(&fromJack);
    jack_set_info_function(&fromJack);
#if defined(__linux__)
    snd_lib_error_set_handler(&fromAlsa);
#endif
  });
}

}  // namespace tarvik
