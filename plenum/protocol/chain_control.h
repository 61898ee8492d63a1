#pragma once
// The simple control actions of the command line: halt (-H), execute (-E), MIDI reset (-R).

#include <string_view>

namespace plenum {

// Sends `text` ("H" or "E") to `module`, or to every module of the loop when it is
// negative. No reply is asked for, but whatever comes back for the commands is taken off
// the input, so that the next option's exchange does not take it for its own reply.
void broadcastCommand(int module, std::string_view text);

// What -R does (and main after a download): a MIDI System Reset, the one byte 0xFF.
void sendSystemReset();

}  // namespace plenum
