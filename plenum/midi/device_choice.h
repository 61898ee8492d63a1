#pragma once
// Which of the system's MIDI devices a port opens, from the -i / -o number and the list of
// device names. Kept apart from the devices themselves so that the rules can be tried on
// any list.

#include <string>
#include <vector>

namespace plenum {

enum class MidiDirection { Input, Output };

// Ends the run (status 1) when there is no device at all.
void requireSomeDevice(MidiDirection direction, const std::vector<std::string>& names);

// The device number to open. With one device a negative request means device 0; with
// several, a negative request lists them and ends the run (status 1). Any other request is
// returned unchanged: a number out of range is for the open call to refuse.
int chooseDevice(MidiDirection direction, int requested, const std::vector<std::string>& names);

}  // namespace plenum
