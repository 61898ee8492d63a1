#include "plenum/midi/device_choice.h"

#include <cstdio>

#include "plenum/runtime/exits.h"

namespace plenum {

void printDeviceNumbers(MidiDirection direction, const std::vector<std::string>& names) {
  const bool input = direction == MidiDirection::Input;
  for (std::size_t i = 0; i < names.size(); ++i)
    std::printf(input ? "Input device number %d is %s\n" : "Output device number %d is %s\n",
                static_cast<int>(i), names[i].c_str());
}

void requireSomeDevice(MidiDirection direction, const std::vector<std::string>& names) {
  if (!names.empty()) return;
  std::puts(direction == MidiDirection::Input ? "Oh my, I can't find any MIDI input devices!"
                                              : "Oh my, I can't find any MIDI output devices!");
  exitWith(1);
}

int chooseDevice(MidiDirection direction, int requested, const std::vector<std::string>& names) {
  if (requested >= 0) return requested;
  if (names.size() == 1) return 0;
  const bool input = direction == MidiDirection::Input;
  std::printf(input ? "There are %d MIDI input devices:\n" : "There are %d MIDI output devices:\n",
              static_cast<int>(names.size()));
  printDeviceNumbers(direction, names);
  std::puts(input ? "Please select one of them with the -i option"
                  : "Please select one of them with the -o option");
  exitWith(1);
}

RememberedChoice chooseRememberedDevice(const std::vector<std::string>& names,
                                        const RememberedDevice& remembered) {
  if (names.empty()) return {DeviceOutcome::NoDevices, {}};
  RememberedDevice device = remembered;
  // Device numbers shift when hardware is added or removed: a number is trusted only while
  // it still names the device it named when it was chosen.
  const int count = static_cast<int>(names.size());
  if (device.number < 0 || device.number >= count || names[device.number] != device.name) {
    device = {};
  }
  if (count == 1) return {DeviceOutcome::Chosen, {0, names[0]}};
  if (device.number < 0) return {DeviceOutcome::AskUser, {}};
  return {DeviceOutcome::Chosen, device};
}

std::string noSuchDeviceReason(MidiDirection direction, int number, std::size_t count) {
  std::string text = std::string("there is no MIDI ") +
                     (direction == MidiDirection::Input ? "input" : "output") + " device " +
                     std::to_string(number);
  if (count == 0) return text + " (there are none)";
  return text + " (they are numbered 0 to " + std::to_string(count - 1) + ")";
}

}  // namespace plenum
