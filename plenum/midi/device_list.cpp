#include "plenum/midi/device_list.h"

#include "plenum/midi/midi_system.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

template <typename Port>
std::vector<std::string> portNames(std::unique_ptr<Port> port) {
  std::vector<std::string> names;
  if (!port) return names;
  try {
    const unsigned count = port->getPortCount();
    for (unsigned i = 0; i < count; ++i) names.push_back(port->getPortName(i));
  } catch (const RtMidiError&) {
    names.clear();  // the system went away while it was being asked
  }
  return names;
}

}  // namespace

// A front end has no run to end: a bad PLENUM_MIDI_API (reported on standard output) leaves
// it without devices.
std::vector<std::string> midiInputDeviceNames() {
  try {
    return portNames(makeMidiIn("plenum"));
  } catch (const ExitRequest&) {
    return {};
  }
}

std::vector<std::string> midiOutputDeviceNames() {
  try {
    return portNames(makeMidiOut("plenum"));
  } catch (const ExitRequest&) {
    return {};
  }
}

}  // namespace plenum
