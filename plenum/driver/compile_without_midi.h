#pragma once
// The compile of the options that read a configuration file for what it says, not to
// download it (--chart, --xref, --names): no MIDI traffic, every module counts as type B.

#include <string>

namespace plenum {

class Configuration;

// Prints "Parsing file NAME" and compiles; a file with errors has been reported by the
// compiler and ends the run with status 1.
void compileWithoutMidi(Configuration& configuration, const std::string& fileName);

}  // namespace plenum
