#pragma once
// The simple control actions of the command line: halt (-H), execute (-E), MIDI reset (-R).

#include <string_view>

namespace plenum {

// Sends `text` ("H" or "E") to `module`, or to every module of the loop when it is
// negative. Nothing is awaited: the commands come back round the loop and the next
// exchange reports them as unexpected.
void broadcastCommand(int module, std::string_view text);

// What -R does (and main after a download): a MIDI System Reset, the one byte 0xFF.
void sendSystemReset();

}  // namespace plenum
