#pragma once
// What runs on every way out of plenum: a normal return, an exit with a status, Ctrl-C.

namespace plenum {

// Closes the MIDI port at exit, and on Ctrl-C closes it and ends the run with status 0.
// `closePort` is handed in because the port lives in a layer above this one.
void installPortHandlers(void (*closePort)());

// From now on every exit first asks the user to press Enter (-P), so a console window
// opened just for this run stays readable. Installing it twice pauses once.
void installPauseAtExit();

// Ctrl-C taken on a thread other than the main one (the Windows C runtime runs the handler
// on a thread of its own). The port must not be closed there, the main thread may be inside
// it: this asks the main thread to close it and end the run at its next wait, and returns
// once it has taken that over. A main thread that reaches no wait within a second (reading
// the console, compiling) is ended from here with the same status, the port left to the
// system. Only the first call counts.
void handleInterruptFromOtherThread();

// Called by the main thread where it waits (replies, the monitor, pauses, opening the port):
// if a Ctrl-C is pending, closes the port and ends the run with status 0.
void serviceInterrupt();

// Tests: what ends an interrupted run instead of exit(0) (null: exit(0) again); also forgets
// an earlier interrupt.
void setInterruptEndForTest(void (*end)());

}  // namespace plenum
