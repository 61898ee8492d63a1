#pragma once
// The code area of a module: what a relay or code file puts below the executive's top
// block, and the pages it is written and compared in. Shared by the download, the code
// programming and the console check, so that all three cut the same pages.

#include <cstdint>
#include <string>
#include <vector>

#include "plenum/protocol/firmware_image.h"
#include "plenum/runtime/memory_map.h"

namespace plenum {

class NvPbusMod;

// Code files program below the executive's top block and must hold all of it.
inline constexpr std::uint32_t kCodeAreaEnd = kExecutiveTop;

// Reads a relay or code file and keeps its part below the code area's end in `low`.
// Returns 0, or the reader's non-zero result after its message; a file of the wrong shape
// (an unlikely start, a top block that is not 0x800 bytes) ends the run with status 1.
int readCodeFile(const std::string& fileName, FirmwareImage& low);

struct CodePage {
  std::uint32_t address;
  std::uint32_t length;
};

// The pages of the code area that `low` is written in: from its first segment's start in
// steps of the page size, the last one cut at the end of the code area; pages that no
// byte of `low` falls in are left out (nothing is sent for them).
std::vector<CodePage> codeAreaPages(const FirmwareImage& low, std::uint32_t pageSize);

// The relay file a download programs into a definition module of type `type`, or nullptr
// for a type C module, which takes none.
const char* relayFileFor(char type, const NvPbusMod& module);

}  // namespace plenum
