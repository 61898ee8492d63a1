// The front end's ports over RtMidi, through plenum's choice of MIDI system.

#include <RtMidi.h>

#include <stdexcept>

#include "plenum/midi/midi_system.h"
#include "plenum/runtime/exits.h"
#include "tirasse/midi/system_midi_ports.h"

namespace tirasse {

namespace {

// Opens a port through plenum's MIDI system; throws std::runtime_error with the reason.
template <typename Open>
auto openOrThrow(Open open) {
  std::string reason;
  try {
    if (auto port = open(reason)) return port;
  } catch (const plenum::ExitRequest&) {
    reason = "PLENUM_MIDI_API names no MIDI system known here";
  }
  throw std::runtime_error(reason);
}

class RtMidiOutputSink : public MidiSink {
 public:
  explicit RtMidiOutputSink(std::unique_ptr<RtMidiOut> out) : out_(std::move(out)) {}
  void send(const Bytes& message) override {
    try {
      out_->sendMessage(&message);
    } catch (const RtMidiError&) {
      // A device unplugged while playing: the player goes on silently, the user hears it.
    }
  }

 private:
  std::unique_ptr<RtMidiOut> out_;
};

class RtMidiInputPort : public MidiInput {
 public:
  RtMidiInputPort(int port, MidiInputHandler handler) : handler_(std::move(handler)) {
    in_ = openOrThrow([this, port](std::string& reason) {
      return plenum::openMidiInput(
          port, "tirasse", "tirasse recorder",
          [this](RtMidiIn& in) {
            // Keep SysEx; drop timing clock and active sensing.
            in.ignoreTypes(false, true, true);
            in.setCallback(&RtMidiInputPort::arrived, this);
          },
          reason);
    });
  }
  ~RtMidiInputPort() override {
    in_->closePort();
    in_->cancelCallback();
  }

 private:
  static void arrived(double, std::vector<unsigned char>* message, void* self) {
    if (message) static_cast<RtMidiInputPort*>(self)->handler_(*message);
  }

  MidiInputHandler handler_;
  std::unique_ptr<RtMidiIn> in_;
};

}  // namespace

// A front end has no run to end: a bad PLENUM_MIDI_API (reported on standard output) leaves
// it without devices.
std::vector<std::string> systemMidiDeviceNames(plenum::MidiDirection direction) {
  try {
    return plenum::midiDeviceNames(direction);
  } catch (const plenum::ExitRequest&) {
    return {};
  }
}

std::unique_ptr<MidiSink> openSystemOutput(int port) {
  return std::make_unique<RtMidiOutputSink>(openOrThrow([port](std::string& reason) {
    return plenum::openMidiOutput(port, "tirasse", "tirasse player", reason);
  }));
}

std::unique_ptr<MidiInput> openSystemInput(int port, MidiInputHandler handler) {
  return std::make_unique<RtMidiInputPort>(port, std::move(handler));
}

}  // namespace tirasse
