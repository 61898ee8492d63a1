#include <cstdlib>

#include "tirasse/midi/system_midi_ports.h"

namespace tirasse {

namespace {

bool loopIsSet() {
  const char* loop = std::getenv("PLENUM_LOOP");
  return loop != nullptr && *loop != '\0';
}

std::vector<std::string> withSimulatedLoop(std::vector<std::string> names) {
  if (names.empty() && loopIsSet()) {
    names.push_back(std::string("Simulated module loop (PLENUM_LOOP=") +
                    std::getenv("PLENUM_LOOP") + ")");
  }
  return names;
}

}  // namespace

std::vector<std::string> SystemMidiDeviceLists::inputNames() const {
  return withSimulatedLoop(systemMidiDeviceNames(plenum::MidiDirection::Input));
}

std::vector<std::string> SystemMidiDeviceLists::outputNames() const {
  return withSimulatedLoop(systemMidiDeviceNames(plenum::MidiDirection::Output));
}

bool SystemMidiDeviceLists::simulatedLoop() const {
  return loopIsSet() && (systemMidiDeviceNames(plenum::MidiDirection::Input).empty() ||
                         systemMidiDeviceNames(plenum::MidiDirection::Output).empty());
}

}  // namespace tirasse
