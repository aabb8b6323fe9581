// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

namespace tarvik {

// What the MIDI system's libraries write about themselves ("Cannot connect to server socket",
// "ALSA lib seq_hw.c:466:(...) open /dev/snd/seq failed"), one message a line, on whichever
// thread the library wrote it. It is for whoever helps with a failure: the front ends show it
// with --verbose and in the detail of the next failure, not as a line of its own.
inline constexpr char kMidiLibraryCategory[] = "tarvik.midi.library";
Q_DECLARE_LOGGING_CATEGORY(midiLibraryLog)

// Points the libraries' own hooks (JACK's error and info functions, ALSA's error handler) at the
// category, once per process; before it, they write to standard error.
void routeLibraryOutput();

}  // namespace tarvik
