#pragma once
// What runs on every way out of plenum: a normal return, an exit with a status, Ctrl-C.

namespace plenum {

// Closes the MIDI port at exit, and on Ctrl-C closes it and ends the run with status 0.
// `closePort` is handed in because the port lives in a layer above this one.
void installPortHandlers(void (*closePort)());

// From now on every exit first asks the user to press Enter (-P), so a console window
// opened just for this run stays readable. Installing it twice pauses once.
void installPauseAtExit();

}  // namespace plenum
