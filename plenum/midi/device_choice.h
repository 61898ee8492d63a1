#pragma once
// Which of the system's MIDI devices to use, for plenum (from the -i / -o number) and for
// its front end (from the device remembered by an earlier run), over the device names that
// midi_system.h lists. Kept apart from the devices themselves so that the rules can be
// tried on any list.

#include <cstddef>
#include <string>
#include <vector>

namespace plenum {

enum class MidiDirection { Input, Output };

// One line per device, "Input device number N is NAME", N the number -i / -o take.
void printDeviceNumbers(MidiDirection direction, const std::vector<std::string>& names);

// Ends the run (status 1) when there is no device at all.
void requireSomeDevice(MidiDirection direction, const std::vector<std::string>& names);

// The device number to open. With one device a negative request means device 0; with
// several, a negative request lists them and ends the run (status 1). Any other request is
// returned unchanged: a number out of range is for the open call to refuse.
int chooseDevice(MidiDirection direction, int requested, const std::vector<std::string>& names);

// Why device `number` cannot be opened when `count` devices exist and it is not one of
// them: "there is no MIDI output device 5 (they are numbered 0 to 1)".
std::string noSuchDeviceReason(MidiDirection direction, int number, std::size_t count);

// The front end's rule: the remembered device while it still exists under the same name,
// the only one when there is just one, otherwise the user chooses.
struct RememberedDevice {
  int number = -1;  // -1: not chosen
  std::string name;
};

enum class DeviceOutcome {
  NoDevices,  // nothing to choose from: the program cannot work
  Chosen,     // use `device`
  AskUser,    // show the device list, first line selected
};

struct RememberedChoice {
  DeviceOutcome outcome = DeviceOutcome::NoDevices;
  RememberedDevice device;
};

RememberedChoice chooseRememberedDevice(const std::vector<std::string>& names,
                                        const RememberedDevice& remembered);

}  // namespace plenum
