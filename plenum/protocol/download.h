#pragma once
// Putting code into the modules: the download of a compiled configuration (the file named
// on the command line) and the programming of a code file (-p).

#include <cstdint>
#include <string>

#include "plenum/protocol/firmware_image.h"

namespace plenum {

// Compiles the configuration file and downloads it, definition module startModule + i
// (startModule < 0 counts as 0) into loop module i: types checked, modules halted,
// executives checked, relay code and module programs written, modules started. Returns
// only after a complete download; every failure ends the run with a non-zero status and
// says which module and stage failed.
void downloadConfiguration(const std::string& fileName, int startModule);

// Programs and verifies the code area (below 0xF800) of loop module `module`, or of every
// module when it is negative, from a firmware file; with -u only the pages that do not
// verify as they are get programmed and verified. Returns 0, or the reader's non-zero
// result when the file cannot be read; a file of the wrong shape ends the run (status 1),
// a block the module does not acknowledge ends it with status 2.
int programCodeFile(int module, const std::string& fileName);

// Writes or compares the image's bytes from `address` for `length` bytes (0xFF where the
// image has none) with code command letters. A range the image does not touch at all is
// not sent and counts as done ('G').
char programRange(int module, std::uint32_t address, const FirmwareImage& image,
                  std::uint32_t length, char typeLetter);
char verifyRange(int module, std::uint32_t address, const FirmwareImage& image,
                 std::uint32_t length, char typeLetter);

// During a download the type list is indexed by definition module; the code and
// executive operations address loop modules. This scope learns the loop's letters by loop
// number and puts the previous list back when it ends.
class LoopNumberedTypes {
 public:
  LoopNumberedTypes();
  ~LoopNumberedTypes();
  LoopNumberedTypes(const LoopNumberedTypes&) = delete;
  LoopNumberedTypes& operator=(const LoopNumberedTypes&) = delete;

 private:
  std::string saved_;
};

}  // namespace plenum
