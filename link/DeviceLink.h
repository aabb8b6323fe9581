// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "link/Framing.h"
#include "link/TrafficTap.h"

namespace tarvik {

class MidiPorts;
class TMidiDevices;

// The program's line to the device: the input and output port that the last connect opened.
// Every byte for the device goes to that output, whatever the port lists show meanwhile, and
// the input lists' messages come out of here as signals on the owner's thread.
//
// Messages from every open input port are passed on, as the device may answer on any of them
// after a connect with another input; the port index says which.
class DeviceLink : public QObject, public LinkPort {
  Q_OBJECT
 public:
  // The port lists must outlive the link.
  explicit DeviceLink(MidiPorts& ports, QObject* parent = nullptr);
  ~DeviceLink() override;

  // Becomes the handler of short and SysEx messages of every input list the ports hold, now and
  // later (until destroyed).
  void listen();

  // Opens the input, then the output, and makes the pair the link's. A port of the pair that is
  // open already is closed and opened again: its device may have been unplugged and plugged back
  // in under the same name since (quicker than the port lists look, or unseen where the MIDI
  // system cannot tell), and the old connection would reach nothing. Raises TMidiError when
  // either fails; the link then has no pair if it was using one of the two ports, else keeps its
  // own.
  void open(int inputPort, int outputPort);
  // Closes the link's input, then its output; the link has no ports afterwards. Raises
  // TMidiError; an output is not closed when closing the input failed.
  void close();
  bool isOpen() const { return outputPort_ >= 0; }
  int outputPort() const { return outputPort_; }
  // The pair's names as the lists showed them when it was opened.
  const std::string& inputName() const { return inputName_; }
  const std::string& outputName() const { return outputName_; }

  // The port lists were enumerated anew: the link's ports are followed to their new indices. A
  // link port that is gone is dropped from the link (the lists have closed it) and reported
  // through portLost, the input first.
  void followRescan(const std::vector<int>& inputMoves, const std::vector<int>& outputMoves);

  // One nibble frame to the link's output; raises TMidiError (out of bounds when no port is
  // open, the service's text when the send fails).
  void SendByte(std::uint8_t value) override;
  // A short message to any output port (the test controller's), opening it when it is closed;
  // raises TMidiError. It goes through here so that the traffic tap sees it.
  void sendShort(int outputPort, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

  // Every message sent or received from now on goes to the tap as well; nullptr detaches it.
  // Without a tap the link does nothing extra. The tap must stay alive while attached.
  void setTrafficTap(TrafficTap* tap) { tap_ = tap; }
  TrafficTap* trafficTap() const { return tap_; }

 Q_SIGNALS:
  // `name` as the port list showed it.
  void portLost(const QString& name);
  void sysExReceived(int port, const std::vector<std::uint8_t>& frame);
  void shortReceived(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

 private:
  static void reopen(TMidiDevices& list, int port);

  MidiPorts& ports_;
  TrafficTap* tap_ = nullptr;
  // Whether the ports' handlers are this link's, to be taken back when it goes.
  bool listening_ = false;
  int inputPort_ = -1;
  int outputPort_ = -1;
  // The names of the link's ports, for the report when one goes.
  std::string inputName_;
  std::string outputName_;
};

}  // namespace tarvik
