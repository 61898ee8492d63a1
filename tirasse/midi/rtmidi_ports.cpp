#include "tirasse/midi/rtmidi_ports.h"

#include <RtMidi.h>

#include <cstdlib>
#include <stdexcept>

#include "plenum/midi/midi_system.h"
#include "plenum/runtime/exits.h"

namespace tirasse {

namespace {

bool loopIsSet() {
  const char* loop = std::getenv("PLENUM_LOOP");
  return loop != nullptr && *loop != '\0';
}

QStringList withSimulatedLoop(const std::vector<std::string>& names) {
  QStringList list;
  for (const std::string& name : names) list << QString::fromStdString(name);
  if (list.isEmpty() && loopIsSet()) {
    list << QStringLiteral("Simulated module loop (PLENUM_LOOP=%1)")
                .arg(QString::fromLocal8Bit(std::getenv("PLENUM_LOOP")));
  }
  return list;
}

// A front end has no run to end: a bad PLENUM_MIDI_API (reported on standard output) leaves
// it without devices.
std::vector<std::string> deviceNames(plenum::MidiDirection direction) {
  try {
    return plenum::midiDeviceNames(direction);
  } catch (const plenum::ExitRequest&) {
    return {};
  }
}

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

QStringList SystemMidiDeviceLists::inputNames() const {
  return withSimulatedLoop(deviceNames(plenum::MidiDirection::Input));
}

QStringList SystemMidiDeviceLists::outputNames() const {
  return withSimulatedLoop(deviceNames(plenum::MidiDirection::Output));
}

bool SystemMidiDeviceLists::simulatedLoop() const {
  return loopIsSet() && (deviceNames(plenum::MidiDirection::Input).empty() ||
                         deviceNames(plenum::MidiDirection::Output).empty());
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
