#include "plenum/midi/device_list.h"

#include <RtMidi.h>

namespace plenum {

namespace {

template <typename Port>
std::vector<std::string> portNames() {
  std::vector<std::string> names;
  try {
    Port port;
    const unsigned count = port.getPortCount();
    for (unsigned i = 0; i < count; ++i) names.push_back(port.getPortName(i));
  } catch (const RtMidiError&) {
    // No MIDI system at all (no ALSA sequencer, no JACK server): no devices.
  }
  return names;
}

}  // namespace

std::vector<std::string> midiInputDeviceNames() { return portNames<RtMidiIn>(); }
std::vector<std::string> midiOutputDeviceNames() { return portNames<RtMidiOut>(); }

}  // namespace plenum
