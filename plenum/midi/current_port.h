#pragma once
// The one process-wide MIDI port. It is opened on first use with the device numbers that
// hold in settings() at that moment, unless the program has put a port source in front of
// the devices (plenum's main does, for the simulated loop of PLENUM_LOOP).

#include <functional>
#include <memory>
#include <string>

#include "plenum/midi/midi.h"

namespace plenum {

// The port, opened now if it is not open. Opening failures end the run (ExitRequest).
Midi& currentPort();

// Whether a port is open at the moment.
bool currentPortIsOpen();

// Deletes the port; the next currentPort() opens a fresh one. Received data not yet
// polled is lost. Safe to call when no port is open.
void closeCurrentPort();

// Deletes the port and opens a new one at once (operations that must restart the devices
// between modules). Returns the new port.
Midi& replaceCurrentPort();

// Makes `port` the current port, deleting any open one; for tests that need a port
// prepared in a particular way (a simulated loop with chosen modules and faults).
void installCurrentPort(std::unique_ptr<Midi> port);

// For tests of operations that re-create the port between modules: every port opened
// from now on comes from `factory` instead of the port source or the devices. An empty
// factory restores the usual ports.
void setPortFactory(std::function<std::unique_ptr<Midi>()> factory);

// Asked first on every opening, after a test's factory: a port it returns is used, a null
// one means the system's devices. This layer knows nothing of what stands behind it.
void setPortSource(std::function<std::unique_ptr<Midi>()> source);

// What the port source will stand in for the devices with, said in a few words for the
// device listing (plenum --devices); "" while it leaves the port to the devices.
void setPortSourceDescription(std::function<std::string()> describe);
std::string portSourceDescription();

}  // namespace plenum
