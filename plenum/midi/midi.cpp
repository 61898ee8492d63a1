#include "plenum/midi/midi.h"

#include <cstdio>

namespace plenum {

Midi::~Midi() = default;

bool Midi::takeError(bool quiet) {
  const char* text = lastError_.exchange(nullptr, std::memory_order_acq_rel);
  if (text == nullptr) return false;
  if (!quiet) std::printf("WinMidi error: %s\n", text);
  return true;
}

}  // namespace plenum
