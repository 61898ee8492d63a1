#pragma once
// Where the program turns to the simulated loop: with PLENUM_LOOP set when the port opens,
// the process-wide port is a loop of simulated modules instead of the system's devices.

namespace plenum {

// Puts the simulated loop in front of the devices for the rest of the run. The variable is
// read at each opening; malformed text ends the run at the first one (ExitRequest, 1).
void useSimulatedLoopWhenSet();

}  // namespace plenum
