#pragma once
// The executive, the firmware that runs a module's user program: checking it against a
// firmware file (-v, -w and the download's stage X) and replacing it (-% and -^).

#include <string>

namespace plenum {

// Results of verifyExecutive.
enum ExecutiveCheck : int {
  ExecutiveVerified = 0,
  ExecutiveDiffers = 1,
  ExecutiveFileUnreadable = 2,
};

// Compares the executive of loop module `module` (every module when negative) with a
// firmware file: `fileName`, or the standard files for each type when it is empty.
// Type B modules also have the block 0x480 to 0x4FF compared; type C modules are skipped.
int verifyExecutive(int module, const std::string& fileName);

// Installs a new executive in loop module `module` (every module when negative) from
// `fileName`, or from the standard file for each module's type when it is empty: the new
// top block and the low snippet go into spare memory, a flasher chosen by the module's
// executive version is programmed and started, and the module is awaited until it
// answers again. Returns 0, or 1 when a module could not be reprogrammed (its message is
// printed and the modules after it are left alone).
int programExecutive(int module, const std::string& fileName);

}  // namespace plenum
