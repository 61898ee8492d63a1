#pragma once
// The MIDI devices that plenum's port would open, numbered as -i and -o take them, for
// plenum --devices. The lists come from the same functions the port itself reads before its
// device choice, so the numbers shown are the numbers opened.

#include <string>
#include <vector>

#ifdef _WIN32
#include "plenum/midi/win_midi_api.h"
#endif

namespace plenum {

struct MidiDeviceLists {
  std::string system;  // the MIDI system the devices belong to; empty when none is reached
  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
};

// The devices of the MIDI system the port uses: RtMidi's chosen system, or the Windows
// multimedia interface in the Windows build.
MidiDeviceLists portDeviceLists();

#ifdef _WIN32
MidiDeviceLists winMidiDeviceLists(WinMidiApi& api);
#endif

// The system, then each list with the device choice's own "Input device number N is NAME"
// lines, then how -i and -o pick from them.
void printMidiDevices(const MidiDeviceLists& lists);

}  // namespace plenum
