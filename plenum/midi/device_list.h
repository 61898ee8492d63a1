#pragma once
// Names of the system's MIDI devices, numbered from 0 as the -i and -o options count them.

#include <string>
#include <vector>

namespace plenum {

std::vector<std::string> midiInputDeviceNames();
std::vector<std::string> midiOutputDeviceNames();

}  // namespace plenum
