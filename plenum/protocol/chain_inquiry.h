#pragma once
// What the loop holds: how many modules, and each one's type letter and executive
// version. The type letters go into moduleTypes() for the compiler and the download.

#include <string>

namespace plenum {

// Version 0x1234 shows as "B.2.3.4": a letter for the top four bits, then three digits.
std::string formatFirmwareVersion(int version);

// The number of modules on the loop, from the 'L' inquiry. A failed or malformed reply
// ends the run (status 2) unless quiet, when it counts as 0. Expects the port open.
int countModules(bool quiet);

// The executive version of `module` and its type letter ('A' when the reply carries
// none). Failures throw a TextException. Expects the port open.
int queryVersion(int module, char& typeLetter);

// Fills moduleTypes() for a download that sends definition module startModule + i to loop
// module i: letter startModule + i is the type of loop module i, so every reader looks
// letters up by definition module number. Letters below the start are 'B', the type
// assumed for any module nothing is known about. startModule < 0 counts as 0, which makes
// definition and loop numbers the same. With -x nothing is asked and every module counts
// as type B. The list is rebuilt on each call, so it always describes the loop as it is.
void learnModuleTypes(int startModule);

// The line -V prints first: the program and the executive version it targets.
const char* programVersionLine();

// What -V does: the version line, then one line per module.
void reportModuleVersions();

}  // namespace plenum
