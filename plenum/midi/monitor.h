#pragma once
// The -L action: print every message that arrives at the MIDI input, one line each, until
// a key (Enter) is read from keys.

#include <cstdio>

#include "plenum/midi/midi.h"

namespace plenum {

void monitorMidi(Midi& port, std::FILE* keys = stdin);

}  // namespace plenum
