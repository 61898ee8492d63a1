#include "plenum/midi/midi.h"

#include <cstdio>

#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

namespace plenum {

Midi::~Midi() = default;

bool Midi::takeError(bool quiet) {
  const char* text = lastError_.exchange(nullptr, std::memory_order_acq_rel);
  if (text == nullptr) return false;
  if (!quiet) std::printf("WinMidi error: %s\n", text);
  return true;
}

void Midi::traceSending(const std::uint8_t* bytes, std::size_t length) {
  if (!settings().debug(DebugSysexSent)) return;
  std::printf("Sending Sysex:");
  for (std::size_t i = 0; i < length; ++i) std::printf(" 0x%02x", bytes[i]);
  std::printf("\n");
}

void endRunBufferTooShort() {
  // The same fixed text whichever port received the message.
  std::printf("Buffer too short in %s: %d\n", "winmidi", 379);
  exitWith(1);
}

}  // namespace plenum
