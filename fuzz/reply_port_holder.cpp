// The process-wide port holder of the reply fuzz target. It stands in for the library's
// holder at link time (the archive member is then never pulled in), so every port that
// an operation opens or re-opens is a ReplyPort, never a real device.

#include <memory>

#include "plenum/midi/current_port.h"
#include "reply_port.h"

namespace plenum {

namespace {
std::unique_ptr<Midi>& openPort() {
  static std::unique_ptr<Midi> port;
  return port;
}
}  // namespace

Midi& currentPort() {
  std::unique_ptr<Midi>& port = openPort();
  if (!port) port = std::make_unique<fuzz::ReplyPort>();
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
