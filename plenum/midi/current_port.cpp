#include "plenum/midi/current_port.h"

#include "plenum/runtime/exit_handlers.h"
#include "plenum/runtime/settings.h"
#ifdef _WIN32
#include "plenum/midi/win_midi.h"
#else
#include "plenum/midi/rtmidi_port.h"
#endif

namespace plenum {

namespace {

// The holders are never destroyed: the exit handlers close the port after static
// destructors may already have run, and a destroyed holder would delete the port twice.
std::unique_ptr<Midi>& openPort() {
  static auto* port = new std::unique_ptr<Midi>();
  return *port;
}

std::function<std::unique_ptr<Midi>()>& portFactory() {
  static auto* factory = new std::function<std::unique_ptr<Midi>()>();
  return *factory;
}

std::function<std::unique_ptr<Midi>()>& portSource() {
  static auto* source = new std::function<std::unique_ptr<Midi>()>();
  return *source;
}

std::function<std::string()>& sourceDescription() {
  static auto* describe = new std::function<std::string()>();
  return *describe;
}

std::unique_ptr<Midi> makePort() {
  if (portFactory()) return portFactory()();
  if (portSource()) {
    if (std::unique_ptr<Midi> port = portSource()()) return port;
  }
#ifdef _WIN32
  return std::make_unique<WinMidi>(settings().inputDevice, settings().outputDevice);
#else
  return std::make_unique<RtMidiPort>(settings().inputDevice, settings().outputDevice);
#endif
}

}  // namespace

Midi& currentPort() {
  serviceInterrupt();  // between uses of the port, where closing it cannot race
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

void setPortFactory(std::function<std::unique_ptr<Midi>()> factory) {
  portFactory() = std::move(factory);
}

void setPortSource(std::function<std::unique_ptr<Midi>()> source) {
  portSource() = std::move(source);
}

void setPortSourceDescription(std::function<std::string()> describe) {
  sourceDescription() = std::move(describe);
}

std::string portSourceDescription() {
  return sourceDescription() ? sourceDescription()() : std::string();
}

}  // namespace plenum
