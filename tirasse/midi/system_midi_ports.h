#pragma once
// The system's MIDI devices for the front ends: the device lists and the ports of the
// player and the recorder all come from plenum's one MIDI system (plenum/midi: RtMidi's
// systems on Linux and macOS, the Windows multimedia interface on Windows), so a device
// number means the same device to both programs and every window.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plenum/midi/device_choice.h"
#include "tirasse/midi/midi_player.h"

namespace tirasse {

// The system's MIDI device names, numbered as plenum's -i and -o count them.
class MidiDeviceLists {
 public:
  virtual ~MidiDeviceLists() = default;
  virtual std::vector<std::string> inputNames() const = 0;
  virtual std::vector<std::string> outputNames() const = 0;
  // True when the lists stand for plenum's simulated module loop, which has no MIDI
  // devices to play a file to or record one from.
  virtual bool simulatedLoop() const { return false; }
};

// plenum's device lists. When PLENUM_LOOP is set plenum talks to its simulated module loop
// whatever the device numbers, so an empty list is then shown as one simulated device
// instead of ending the program.
class SystemMidiDeviceLists : public MidiDeviceLists {
 public:
  std::vector<std::string> inputNames() const override;
  std::vector<std::string> outputNames() const override;
  bool simulatedLoop() const override;
};

// The names of the system's real devices; empty when there is no MIDI system.
std::vector<std::string> systemMidiDeviceNames(plenum::MidiDirection direction);

// Throws std::runtime_error with the reason when the port cannot be opened.
std::unique_ptr<MidiSink> openSystemOutput(int port);

using MidiInputHandler = std::function<void(const Bytes& message)>;

class MidiInput {
 public:
  virtual ~MidiInput() = default;
};

// Calls `handler` on a thread of the port for every message (timing clock and active
// sensing are dropped); closes when destroyed. Throws std::runtime_error when the port
// cannot be opened.
std::unique_ptr<MidiInput> openSystemInput(int port, MidiInputHandler handler);

// How a window opens its input; tests give their own.
using InputPortOpener = std::function<std::unique_ptr<MidiInput>(int port, MidiInputHandler handler)>;

}  // namespace tirasse
