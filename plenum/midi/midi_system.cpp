#include "plenum/midi/midi_system.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

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

// Number of devices of the system, or -1 when it cannot be reached.
int deviceCount(RtMidi::Api api) {
  try {
    RtMidiIn in(api, "plenum probe");
    RtMidiOut out(api, "plenum probe");
    return static_cast<int>(in.getPortCount() + out.getPortCount());
  } catch (const RtMidiError&) {
    return -1;
  }
}

template <typename Port>
std::unique_ptr<Port> makePort(const std::string& clientName) {
  const std::optional<RtMidi::Api> api = chooseMidiSystem();
  if (!api) return nullptr;
  try {
    return std::make_unique<Port>(*api, clientName);
  } catch (const RtMidiError&) {
    return nullptr;  // the system went away since it was chosen
  }
}

}  // namespace

std::optional<RtMidi::Api> chooseMidiSystem() {
  if (std::optional<RtMidi::Api> forced = forcedSystem()) return forced;
  std::vector<RtMidi::Api> compiled;
  RtMidi::getCompiledApi(compiled);
  std::optional<RtMidi::Api> reachable;
  for (RtMidi::Api api : compiled) {
    if (api == RtMidi::RTMIDI_DUMMY) continue;
    const int count = deviceCount(api);
    if (count > 0) return api;
    if (count == 0 && !reachable) reachable = api;
  }
  return reachable;
}

std::unique_ptr<RtMidiIn> makeMidiIn(const std::string& clientName) {
  return makePort<RtMidiIn>(clientName);
}

std::unique_ptr<RtMidiOut> makeMidiOut(const std::string& clientName) {
  return makePort<RtMidiOut>(clientName);
}

}  // namespace plenum
