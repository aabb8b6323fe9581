// SPDX-License-Identifier: MIT
#include "midi/MidiSystemChoice.h"

#include <QCoreApplication>
#include <vector>

#if defined(__linux__)
#include <alsa/asoundlib.h>
#endif

namespace tarvik {

namespace {

#if defined(__linux__)
// RtMidi writes its own failure to open the sequencer to standard error before it throws, and
// no error callback can be set before its constructor runs: the sequencer is tried here first.
// Empty when it opens, else why not.
std::string alsaSequencerProblem() {
  snd_seq_t* sequencer = nullptr;
  const int result = snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
  if (result < 0)
    return QCoreApplication::translate("MidiSystemChoice",
                                       "the ALSA sequencer cannot be opened: %1")
        .arg(QString::fromLocal8Bit(snd_strerror(result)))
        .toStdString();
  snd_seq_close(sequencer);
  return {};
}
#endif

}  // namespace

MidiSystemChoice MidiSystemChoice::reach(const std::string& clientName, bool openingSoon) {
  MidiSystemChoice choice;
#if defined(__linux__)
  const std::vector<RtMidi::Api> candidates{RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK};
#else
  const std::vector<RtMidi::Api> candidates{RtMidi::UNSPECIFIED};
#endif
  std::string problems;
  auto note = [&problems](const std::string& problem) {
    if (!problems.empty()) problems += "; ";
    problems += problem;
  };
  for (RtMidi::Api candidate : candidates) {
    if (candidate == RtMidi::UNIX_JACK) {
      // Under JACK every RtMidi object is a client of its own; one plain client lists the ports
      // and tells when an opened port carries data.
      std::string warning;
      choice.jack = JackClock::connect(clientName, warning);
      if (choice.jack) {
        choice.api = RtMidi::UNIX_JACK;
        // Made while the ports are listed below; started only now that a server answers, since
        // RtMidi would write its failure to reach none to standard error.
        if (openingSoon) choice.spares = std::make_unique<JackSpareClients>(choice.api, clientName);
        // The first listing of a process walks the server's whole port table, pages it has not
        // touched yet; done here, it is not done on the thread that later lists the ports.
        choice.jack->sendingPorts();
        return choice;
      }
      note(warning);
      choice.problem = QCoreApplication::translate(
                           "MidiSystemChoice",
                           "No MIDI ports are available: no MIDI system is running (%1). Start a "
                           "JACK server and restart the program to use MIDI ports.")
                           .arg(QString::fromStdString(problems))
                           .toStdString();
      return choice;
    }
#if defined(__linux__)
    if (candidate == RtMidi::LINUX_ALSA) {
      const std::string closed = alsaSequencerProblem();
      if (!closed.empty()) {
        note(closed);
        continue;
      }
    }
#endif
    try {
      choice.inProbe = std::make_unique<RtMidiIn>(candidate, clientName);
      choice.outProbe = std::make_unique<RtMidiOut>(candidate, clientName);
      choice.api = choice.inProbe->getCurrentApi();
      return choice;
    } catch (const RtMidiError& error) {
      choice.inProbe.reset();
      choice.outProbe.reset();
      note(error.getMessage());
    }
  }
  choice.problem =
      QCoreApplication::translate(
          "MidiSystemChoice", "No MIDI ports are available: no MIDI system could be reached (%1).")
          .arg(QString::fromStdString(problems))
          .toStdString();
  return choice;
}

}  // namespace tarvik
