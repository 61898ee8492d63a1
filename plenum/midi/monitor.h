#pragma once
// The -L action: print every message that arrives at the MIDI input, one line each, until
// a key (Enter) is read from keys.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "plenum/midi/midi.h"

namespace plenum {

// Text added after a short message's line (its blank included), or empty for none: what
// a configuration calls the message.
using MessageNamer = std::function<std::string(std::uint32_t word)>;

// Each line as it has always been; with a namer, what it returns follows the line.
void monitorMidi(Midi& port, std::FILE* keys = stdin, const MessageNamer& namer = {});

}  // namespace plenum
