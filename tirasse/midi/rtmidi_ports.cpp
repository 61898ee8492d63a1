#include "tirasse/midi/rtmidi_ports.h"

#include <RtMidi.h>

#include <cstdlib>
#include <stdexcept>

#include "plenum/midi/device_list.h"

namespace tirasse {

namespace {

QStringList withSimulatedLoop(const std::vector<std::string>& names) {
  QStringList list;
  for (const std::string& name : names) list << QString::fromStdString(name);
  const char* loop = std::getenv("PLENUM_LOOP");
  if (list.isEmpty() && loop && *loop) {
    list << QStringLiteral("Simulated module loop (PLENUM_LOOP=%1)").arg(QString::fromLocal8Bit(loop));
  }
  return list;
}

class RtMidiOutputSink : public MidiSink {
 public:
  explicit RtMidiOutputSink(int port) {
    if (port < 0 || static_cast<unsigned>(port) >= out_.getPortCount()) {
      throw std::runtime_error("there is no MIDI output device " + std::to_string(port));
    }
    out_.openPort(static_cast<unsigned>(port), "tirasse player");
  }
  void send(const Bytes& message) override {
    try {
      out_.sendMessage(&message);
    } catch (const RtMidiError&) {
      // A device unplugged while playing: the player goes on silently, the user hears it.
    }
  }

 private:
  RtMidiOut out_;
};

class RtMidiInputPort : public MidiInput {
 public:
  RtMidiInputPort(int port, MidiInputHandler handler) : handler_(std::move(handler)) {
    if (port < 0 || static_cast<unsigned>(port) >= in_.getPortCount()) {
      throw std::runtime_error("there is no MIDI input device " + std::to_string(port));
    }
    in_.ignoreTypes(false, true, true);  // keep SysEx; drop timing clock and active sensing
    in_.setCallback(&RtMidiInputPort::arrived, this);
    in_.openPort(static_cast<unsigned>(port), "tirasse recorder");
  }
  ~RtMidiInputPort() override {
    in_.closePort();
    in_.cancelCallback();
  }

 private:
  static void arrived(double, std::vector<unsigned char>* message, void* self) {
    if (message) static_cast<RtMidiInputPort*>(self)->handler_(*message);
  }

  RtMidiIn in_;
  MidiInputHandler handler_;
};

}  // namespace

QStringList SystemMidiDeviceLists::inputNames() const {
  return withSimulatedLoop(plenum::midiInputDeviceNames());
}

QStringList SystemMidiDeviceLists::outputNames() const {
  return withSimulatedLoop(plenum::midiOutputDeviceNames());
}

std::unique_ptr<MidiSink> openSystemOutput(int port) {
  try {
    return std::make_unique<RtMidiOutputSink>(port);
  } catch (const RtMidiError& error) {
    throw std::runtime_error(error.getMessage());
  }
}

std::unique_ptr<MidiInput> openSystemInput(int port, MidiInputHandler handler) {
  try {
    return std::make_unique<RtMidiInputPort>(port, std::move(handler));
  } catch (const RtMidiError& error) {
    throw std::runtime_error(error.getMessage());
  }
}

}  // namespace tirasse
