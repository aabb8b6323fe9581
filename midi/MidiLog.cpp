// SPDX-License-Identifier: MIT
#include "midi/MidiLog.h"

#include <jack/jack.h>

#include <QString>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#if defined(__linux__)
#include <alsa/asoundlib.h>
#endif

namespace tarvik {

Q_LOGGING_CATEGORY(midiLibraryLog, kMidiLibraryCategory, QtInfoMsg)

namespace {

void say(const QString& text) {
  // Blank lines are what separates messages on a terminal; they carry nothing here.
  for (QString line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (!line.isEmpty()) qCInfo(midiLibraryLog).noquote() << line;
  }
}

#if defined(__linux__)
// ALSA's own handler writes "ALSA lib FILE:LINE:(FUNCTION) TEXT[: ERROR]"; the line keeps that
// form, so that it reads as it would have on the terminal.
void fromAlsa(const char* file, int line, const char* function, int err, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  QString message = QString::asprintf("ALSA lib %s:%d:(%s) %s", file ? file : "?", line,
                                      function ? function : "?", text);
  if (err != 0) message += QString::asprintf(": %s", snd_strerror(err));
  say(message);
}
#endif

}  // namespace

void routeLibraryOutput() {
  static std::once_flag routed;
  std::call_once(routed, [] {
    const auto fromJack = [](const char* text) { say(QString::fromLocal8Bit(text)); };
    jack_set_error_function(fromJack);
    jack_set_info_function(fromJack);
#if defined(__linux__)
    snd_lib_error_set_handler(&fromAlsa);
#endif
  });
}

}  // namespace tarvik
