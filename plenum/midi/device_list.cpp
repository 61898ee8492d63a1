#include "plenum/midi/device_list.h"

#include <cstdio>

#include "plenum/midi/device_choice.h"
#ifdef _WIN32
#include "plenum/midi/win_midi.h"
#else
#include "plenum/midi/midi_system.h"
#endif

namespace plenum {

namespace {

void printList(MidiDirection direction, const std::vector<std::string>& names) {
  const char* heading = direction == MidiDirection::Input ? "MIDI input devices, for -i:"
                                                          : "MIDI output devices, for -o:";
  if (names.empty()) {
    std::printf("%s none\n", heading);
    return;
  }
  std::printf("%s\n", heading);
  printDeviceNumbers(direction, names);
}

}  // namespace

#ifdef _WIN32
MidiDeviceLists winMidiDeviceLists(WinMidiApi& api) {
  return {"Windows multimedia MIDI", winMidiInputNames(api), winMidiOutputNames(api)};
}

MidiDeviceLists portDeviceLists() { return winMidiDeviceLists(systemWinMidiApi()); }
#else
MidiDeviceLists portDeviceLists() {
  MidiDeviceLists lists;
  const std::optional<RtMidi::Api> system = chooseMidiSystem();
  if (!system) return lists;
  lists.system = RtMidi::getApiName(*system);
  lists.inputs = midiDeviceNames(MidiDirection::Input);
  lists.outputs = midiDeviceNames(MidiDirection::Output);
  return lists;
}
#endif

void printMidiDevices(const MidiDeviceLists& lists) {
  std::printf("MIDI system: %s\n", lists.system.empty() ? "none can be reached" : lists.system.c_str());
  printList(MidiDirection::Input, lists.inputs);
  printList(MidiDirection::Output, lists.outputs);
  if (lists.inputs.empty() || lists.outputs.empty()) return;
  // The device choice's rule, so that nobody looks for numbers that are not needed.
  const bool chooseInput = lists.inputs.size() > 1;
  const bool chooseOutput = lists.outputs.size() > 1;
  if (chooseInput && chooseOutput) {
    std::puts("Give -i and -o with these numbers before the first option that uses MIDI.");
  } else if (chooseInput) {
    std::puts("Give -i with one of these numbers; the only output device needs no -o.");
  } else if (chooseOutput) {
    std::puts("Give -o with one of these numbers; the only input device needs no -i.");
  } else {
    std::puts("With one device each way plenum uses them without -i and -o.");
  }
}

}  // namespace plenum
