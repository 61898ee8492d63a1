// The device lists of the Windows build, straight from the multimedia MIDI interface.
#include "plenum/midi/device_list.h"

#include "plenum/midi/win_midi.h"

namespace plenum {

std::vector<std::string> midiInputDeviceNames() { return winMidiInputNames(systemWinMidiApi()); }

std::vector<std::string> midiOutputDeviceNames() { return winMidiOutputNames(systemWinMidiApi()); }

}  // namespace plenum
