// SPDX-License-Identifier: MIT
#include <QTest>

#include "core/PortPreselection.h"

using tarvik::preselectPorts;

Q_DECLARE_METATYPE(std::vector<std::string>)

class PortPreselectionTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void choosesPair_data() {
    QTest::addColumn<std::vector<std::string>>("inputs");
    QTest::addColumn<std::vector<std::string>>("outputs");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");

    QTest::newRow("no inputs leave both lists unselected even with outputs")
        << std::vector<std::string>{} << std::vector<std::string>{"USB MIDI Interface"} << -1 << -1;
    QTest::newRow("first input that names midi wins; output matched ignoring case")
        << std::vector<std::string>{"Line In", "USB MIDI Interface", "Midi Thru"}
        << std::vector<std::string>{"Speakers", "usb midi INTERFACE", "USB MIDI Interface"} << 1
        << 1;
    QTest::newRow("no output of the same name leaves the output unselected")
        << std::vector<std::string>{"Line In", "USB MIDI Interface", "Midi Thru"}
        << std::vector<std::string>{"Midi Thru", "USB MIDI Interface 2"} << 1 << -1;
    QTest::newRow("German audio device without midi in its name")
        << std::vector<std::string>{"Line In", "USB-Audiogerät"}
        << std::vector<std::string>{"usb-audiogerät"} << 1 << 0;
    QTest::newRow("capital umlaut is not lowered, so the name does not match")
        << std::vector<std::string>{"USB-AUDIOGERÄT"} << std::vector<std::string>{"USB-AUDIOGERÄT"}
        << -1 << -1;
    QTest::newRow("substring inside another word still matches")
        << std::vector<std::string>{"Admidio"} << std::vector<std::string>{"ADMIDIO"} << 0 << 0;
    QTest::newRow("nothing offered when no input fits")
        << std::vector<std::string>{"Line In", "Microphone"} << std::vector<std::string>{"Line In"}
        << -1 << -1;
    QTest::newRow("JACK client names differing only in case pair up")
        << std::vector<std::string>{"system:capture_1", "tarvik-sim:Tarvik MIDI"}
        << std::vector<std::string>{"system:playback_1", "TARVIK-SIM:Tarvik MIDI"} << 1 << 1;
    QTest::newRow("ALSA loop-back Midi Through is passed over for the interface after it")
        << std::vector<std::string>{"Midi Through:Midi Through Port-0 14:0",
                                    "UM-ONE:UM-ONE MIDI 1 24:0"}
        << std::vector<std::string>{"Midi Through:Midi Through Port-0 14:0",
                                    "UM-ONE:UM-ONE MIDI 1 24:0"}
        << 1 << 1;
    QTest::newRow("ALSA loop-back alone offers nothing")
        << std::vector<std::string>{"Midi Through:Midi Through Port-0 14:0"}
        << std::vector<std::string>{"Midi Through:Midi Through Port-0 14:0"} << -1 << -1;
    QTest::newRow("ALSA interface with in and out of one name pairs wherever its output is")
        << std::vector<std::string>{"Midi Through:Midi Through Port-0 14:0",
                                    "USB Uno MIDI Interface:USB Uno MIDI Interface MIDI 1 20:0"}
        << std::vector<std::string>{"USB Uno MIDI Interface:USB Uno MIDI Interface MIDI 1 20:0",
                                    "Midi Through:Midi Through Port-0 14:0"}
        << 1 << 0;
    QTest::newRow("ALSA second port of an interface pairs with its own number, not the first")
        << std::vector<std::string>{"UM-2:UM-2 MIDI 2 24:1"}
        << std::vector<std::string>{"UM-2:UM-2 MIDI 1 24:0", "UM-2:UM-2 MIDI 2 24:1"} << 0 << 1;
    QTest::newRow("a Windows port named Midi Thru is no loop-back of ALSA's and still counts")
        << std::vector<std::string>{"Midi Thru"} << std::vector<std::string>{"MIDI THRU"} << 0 << 0;
  }

  void choosesPair() {
    QFETCH(std::vector<std::string>, inputs);
    QFETCH(std::vector<std::string>, outputs);
    QFETCH(int, input);
    QFETCH(int, output);
    const auto [in, out] = preselectPorts(inputs, outputs);
    QCOMPARE(in, input);
    QCOMPARE(out, output);
  }

  void rememberedPairWinsWhenListed_data() {
    QTest::addColumn<std::vector<std::string>>("inputs");
    QTest::addColumn<std::vector<std::string>>("outputs");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    const std::string um = "UM-ONE:UM-ONE MIDI 1 24:0";
    const std::string tarvik = "tarvik-sim:Tarvik MIDI";
    QTest::newRow("both listed: the remembered pair, not the first that fits the rule")
        << std::vector<std::string>{um, "Keys", tarvik} << std::vector<std::string>{tarvik, um} << 2
        << 0;
    QTest::newRow("its output missing: the start-up rule")
        << std::vector<std::string>{um, tarvik} << std::vector<std::string>{um} << 0 << 0;
    QTest::newRow("its input missing: the start-up rule")
        << std::vector<std::string>{um} << std::vector<std::string>{tarvik, um} << 0 << 1;
    QTest::newRow("a name of another case is another port")
        << std::vector<std::string>{um, "TARVIK-SIM:Tarvik MIDI"}
        << std::vector<std::string>{tarvik, um} << 0 << 1;
  }

  void rememberedPairWinsWhenListed() {
    QFETCH(std::vector<std::string>, inputs);
    QFETCH(std::vector<std::string>, outputs);
    QFETCH(int, input);
    QFETCH(int, output);
    const tarvik::RememberedPorts remembered{"tarvik-sim:Tarvik MIDI", "tarvik-sim:Tarvik MIDI"};
    const auto [in, out] = preselectPorts(inputs, outputs, remembered);
    QCOMPARE(in, input);
    QCOMPARE(out, output);
  }
};

QTEST_APPLESS_MAIN(PortPreselectionTest)
#include "test_port_preselection.moc"
