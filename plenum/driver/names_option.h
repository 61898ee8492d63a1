#pragma once
// --names FILE: the monitor (-L) follows each message's line with what the configuration
// file calls that message, so a key pressed on the console shows its name.

#include <cstdint>
#include <string>

#include "plenum/midi/monitor.h"

namespace plenum {

class MidiNames;

// Compiles the file without MIDI traffic and keeps its names for every -L after it. A
// file with errors ends the run with status 1, as for a download.
void loadMonitorNames(const char* fileName);

// The namer for -L: empty until --names has been given.
MessageNamer monitorNamer();

// Forgets the names; for tests that run several command lines in one process.
void forgetMonitorNames();

// What follows a monitor line: "   Swell key 25 (C4)" (several names joined by " / "), or
// "   (not in the configuration)" for a channel message the configuration does not name.
// System messages get nothing: no configuration names them.
std::string monitorSuffix(const MidiNames& names, std::uint32_t word);

}  // namespace plenum
