#include "plenum/midi/midi_system.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "plenum/midi/quiet_midi_libraries.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

// RtMidi prints its warnings on std::cerr until an error callback is set, and a constructor
// may warn before one can be: what it prints meanwhile is caught here instead. A system that
// cannot be reached (a JACK server that is not running) only warns.
class CaughtRtMidiWarnings {
 public:
  CaughtRtMidiWarnings() : saved_(std::cerr.rdbuf(caught_.rdbuf())) { silenceMidiLibraries(); }
  ~CaughtRtMidiWarnings() { std::cerr.rdbuf(saved_); }
  CaughtRtMidiWarnings(const CaughtRtMidiWarnings&) = delete;
  CaughtRtMidiWarnings& operator=(const CaughtRtMidiWarnings&) = delete;
  bool any() const { return !caught_.str().empty(); }

 private:
  std::ostringstream caught_;
  std::streambuf* saved_;
};

void keepMidiError(RtMidiError::Type type, const std::string& text, void* reason) {
  if (type != RtMidiError::DEBUG_WARNING) *static_cast<std::string*>(reason) = text;
}

void dropMidiError(RtMidiError::Type, const std::string&, void*) {}

std::optional<RtMidi::Api> forcedSystem() {
  const char* name = std::getenv("PLENUM_MIDI_API");
  if (name == nullptr || *name == '\0') return std::nullopt;
  std::vector<RtMidi::Api> compiled;
  RtMidi::getCompiledApi(compiled);
  for (RtMidi::Api api : compiled)
    if (RtMidi::getApiName(api) == name) return api;
  std::printf("PLENUM_MIDI_API names no MIDI system known here: %s\n", name);
  exitWith(1);
}

// The port, or nullptr when the system cannot be reached.
template <typename Port>
std::unique_ptr<Port> makeQuietPort(RtMidi::Api api, const std::string& clientName) {
  CaughtRtMidiWarnings warnings;
  try {
    auto port = std::make_unique<Port>(api, clientName);
    port->setErrorCallback(&dropMidiError, nullptr);
    if (warnings.any()) return nullptr;
    return port;
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

template <typename Port>
std::vector<std::string> namesOf(Port* port) {
  std::vector<std::string> names;
  if (port == nullptr) return names;
  std::string failure;
  port->setErrorCallback(&keepMidiError, &failure);
  const unsigned count = port->getPortCount();
  for (unsigned i = 0; i < count && failure.empty(); ++i) names.push_back(port->getPortName(i));
  port->setErrorCallback(&dropMidiError, nullptr);
  if (!failure.empty()) names.clear();  // the system went away while it was being asked
  return names;
}

// Number of devices of the system, or -1 when it cannot be reached.
int deviceCount(RtMidi::Api api) {
  std::unique_ptr<RtMidiIn> in = makeQuietPort<RtMidiIn>(api, "plenum probe");
  std::unique_ptr<RtMidiOut> out = makeQuietPort<RtMidiOut>(api, "plenum probe");
  if (!in || !out) return -1;
  return static_cast<int>(in->getPortCount() + out->getPortCount());
}

template <typename Port>
std::unique_ptr<Port> makePort(const std::string& clientName) {
  const std::optional<RtMidi::Api> api = chooseMidiSystem();
  if (!api) return nullptr;
  return makeQuietPort<Port>(*api, clientName);  // null: the system went away since
}

template <typename Port>
std::unique_ptr<Port> openDevice(MidiDirection direction, int number, const std::string& clientName,
                                 const std::string& portName,
                                 const std::function<void(Port&)>& prepare, std::string& reason) {
  reason.clear();
  std::unique_ptr<Port> port = makePort<Port>(clientName);
  const std::size_t count = namesOf(port.get()).size();
  // RtMidi only warns about a number past the end and opens a port connected to nothing.
  if (number < 0 || static_cast<std::size_t>(number) >= count) {
    reason = noSuchDeviceReason(direction, number, count);
    return nullptr;
  }
  std::string failure;
  port->setErrorCallback(&keepMidiError, &failure);
  if (prepare) prepare(*port);
  try {
    port->openPort(static_cast<unsigned>(number), portName);
  } catch (const RtMidiError& error) {
    failure = error.getMessage();
  }
  port->setErrorCallback(&dropMidiError, nullptr);
  if (failure.empty() && !port->isPortOpen()) failure = "the device did not open";
  if (!failure.empty()) {
    reason = failure;
    return nullptr;
  }
  return port;
}

}  // namespace

std::optional<RtMidi::Api> chooseMidiSystem() {
  if (std::optional<RtMidi::Api> forced = forcedSystem()) return forced;
  // A system found with devices stays the choice: the device lists and the ports opened
  // later by their numbers must be of one system. Without devices the next call looks again.
  static std::optional<RtMidi::Api> settled;
  if (settled) return settled;
  std::vector<RtMidi::Api> compiled;
  RtMidi::getCompiledApi(compiled);
  std::optional<RtMidi::Api> chosen;
  std::optional<RtMidi::Api> reachable;
  std::string tried;
  for (RtMidi::Api api : compiled) {
    if (api == RtMidi::RTMIDI_DUMMY) continue;
    const int count = deviceCount(api);
    tried += (tried.empty() ? "" : ", ") + RtMidi::getApiName(api) +
             (count < 0 ? " (cannot be reached)" : " (" + std::to_string(count) + " devices)");
    if (count > 0) {
      chosen = settled = api;
      break;
    }
    if (count == 0 && !reachable) reachable = api;
  }
  if (!chosen) chosen = reachable;
  static bool told = false;
  if (settings().debug(DebugProgress) && !told) {
    told = true;
    std::printf("MIDI systems tried: %s; using %s\n", tried.empty() ? "none" : tried.c_str(),
                chosen ? RtMidi::getApiName(*chosen).c_str() : "none");
  }
  return chosen;
}

std::unique_ptr<RtMidiIn> makeMidiIn(const std::string& clientName) {
  return makePort<RtMidiIn>(clientName);
}

std::unique_ptr<RtMidiOut> makeMidiOut(const std::string& clientName) {
  return makePort<RtMidiOut>(clientName);
}

std::vector<std::string> midiDeviceNames(MidiDirection direction) {
  if (direction == MidiDirection::Input) return namesOf(makeMidiIn("plenum").get());
  return namesOf(makeMidiOut("plenum").get());
}

std::unique_ptr<RtMidiIn> openMidiInput(int number, const std::string& clientName,
                                        const std::string& portName,
                                        const std::function<void(RtMidiIn&)>& prepare,
                                        std::string& reason) {
  return openDevice<RtMidiIn>(MidiDirection::Input, number, clientName, portName, prepare, reason);
}

std::unique_ptr<RtMidiOut> openMidiOutput(int number, const std::string& clientName,
                                          const std::string& portName, std::string& reason) {
  return openDevice<RtMidiOut>(MidiDirection::Output, number, clientName, portName, {}, reason);
}

}  // namespace plenum
