#pragma once
// The compile that comes before any traffic with the modules' programs: the file parsed,
// listed and generated for the module types the loop reported, as the download and the
// console check both need it.

#include <string>

namespace plenum {

class Configuration;

// Parses `fileName` into `configuration` and generates every module program, with the
// listings the debug bits ask for. Errors in the file end the run with status 1; with -t
// the run ends here with status 0.
void compileForLoop(Configuration& configuration, const std::string& fileName);

}  // namespace plenum
