// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtTest>

#include "midi/RtMidiService.h"

// RtMidi prefers an ALSA sequencer where there is one, and the JACK ports are not on it: such a
// machine skips. Without one the platform service must have found the test's JACK server.
#define TARVIK_SKIP_UNLESS_ON_JACK(service)                                                    \
  do {                                                                                         \
    const QString api = QString::fromStdString((service).apiName());                           \
    if (api == QStringLiteral("ALSA"))                                                         \
      QSKIP("the MIDI service runs on the ALSA sequencer, not on JACK");                       \
    QVERIFY2(api == QStringLiteral("Jack"),                                                    \
             qPrintable(QStringLiteral("the MIDI service runs on \"%1\", not on JACK: %2")     \
                            .arg(api, QString::fromStdString((service).startupProblem()))));   \
  } while (false)
