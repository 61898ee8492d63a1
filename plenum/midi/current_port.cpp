#include "plenum/midi/current_port.h"

#include <cstdlib>

#include "plenum/driver/settings.h"
#include "plenum/midi/rtmidi_port.h"
#include "plenum/midi/simulated_loop.h"

namespace plenum {

namespace {

std::unique_ptr<Midi>& openPort() {
  static std::unique_ptr<Midi> port;
  return port;
}

// The simulated modules live for the whole run, like hardware, whatever happens to the port.
std::shared_ptr<SimulatedModules>& simulatedModules() {
  static std::shared_ptr<SimulatedModules> modules;
  return modules;
}

std::unique_ptr<Midi> makePort() {
  if (const char* loop = std::getenv("PLENUM_LOOP")) {
    std::shared_ptr<SimulatedModules>& modules = simulatedModules();
    if (!modules) modules = simulatedModulesFrom(loop);
    return std::make_unique<SimulatedLoop>(modules);
  }
  return std::make_unique<RtMidiPort>(settings().inputDevice, settings().outputDevice);
}

}  // namespace

Midi& currentPort() {
  std::unique_ptr<Midi>& port = openPort();
  if (!port) port = makePort();
  return *port;
}

bool currentPortIsOpen() { return openPort() != nullptr; }

void closeCurrentPort() { openPort().reset(); }

Midi& replaceCurrentPort() {
  closeCurrentPort();
  return currentPort();
}

void installCurrentPort(std::unique_ptr<Midi> port) { openPort() = std::move(port); }

}  // namespace plenum
