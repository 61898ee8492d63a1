#pragma once
// The system's MIDI devices through RtMidi: the device lists (shared with plenum, so the
// numbers mean the same to both programs), an output for the player and an input for the
// recorder.

#include <functional>
#include <memory>

#include "tirasse/core/device_choice.h"
#include "tirasse/midi/midi_player.h"

namespace tirasse {

// plenum's device lists. When PLENUM_LOOP is set plenum talks to its simulated module loop
// whatever the device numbers, so an empty list is then shown as one simulated device
// instead of ending the program.
class SystemMidiDeviceLists : public MidiDeviceLists {
 public:
  QStringList inputNames() const override;
  QStringList outputNames() const override;
};

// Throws std::runtime_error with RtMidi's reason when the port cannot be opened.
std::unique_ptr<MidiSink> openSystemOutput(int port);

using MidiInputHandler = std::function<void(const Bytes& message)>;

class MidiInput {
 public:
  virtual ~MidiInput() = default;
};

// Calls `handler` on the driver's thread for every message; closes when destroyed. Throws
// std::runtime_error when the port cannot be opened.
std::unique_ptr<MidiInput> openSystemInput(int port, MidiInputHandler handler);

}  // namespace tirasse
