#pragma once
// The system's MIDI devices for the front end: the device lists and the ports of the player
// and the recorder all come from plenum's one MIDI system (plenum/midi/midi_system.h), so a
// device number means the same device to both programs and every window.

#include <QStringList>
#include <functional>
#include <memory>

#include "tirasse/midi/midi_player.h"

namespace tirasse {

// The system's MIDI device names, numbered as plenum's -i and -o count them.
class MidiDeviceLists {
 public:
  virtual ~MidiDeviceLists() = default;
  virtual QStringList inputNames() const = 0;
  virtual QStringList outputNames() const = 0;
  // True when the lists stand for plenum's simulated module loop, which has no MIDI
  // devices to play a file to or record one from.
  virtual bool simulatedLoop() const { return false; }
};

// plenum's device lists. When PLENUM_LOOP is set plenum talks to its simulated module loop
// whatever the device numbers, so an empty list is then shown as one simulated device
// instead of ending the program.
class SystemMidiDeviceLists : public MidiDeviceLists {
 public:
  QStringList inputNames() const override;
  QStringList outputNames() const override;
  bool simulatedLoop() const override;
};

// Throws std::runtime_error with the reason when the port cannot be opened.
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
