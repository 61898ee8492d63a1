// Whether a module's program fits its program area, and how many memory banks (stored
// registrations) fit after it.

#include <cstdio>

#include "plenum/model/nv_mod.h"
#include "plenum/runtime/memory_map.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {
constexpr int LastRelayWorkByte = 72;
}  // namespace

int NvPbusMod::programArea() const {
  // A letter the map does not know sizes like type A, as it always has.
  const ModuleMemoryMap* own = memoryMapOf(typeLetter());
  const ModuleMemoryMap& map = own != nullptr ? *own : *memoryMapOf('A');
  return (functionUseMask & UseCombinationAction) ? map.programAreaCombination : map.programArea;
}

void NvPbusMod::checkSizes() {
  const bool trace = settings().debug(DebugPages);
  const int length = static_cast<int>(program.image().size());
  const int page = pageSize();
  const int rounded = (length + page - 1) / page * page;

  if (hasRelayStatements && typeLetter() != 'B' && isWorkByteUsed(LastRelayWorkByte)) {
    reportAt(*this, "There are too many relay-type statements in this module");
    reportAt(*this, "Note: The extended memory version allows more");
  }
  const int area = programArea();
  if (rounded > area) reportAt(*this, "Program is too big for available memory!");
  if (trace) std::printf("Checking program size: P length is %d\n", rounded);

  const int bankSize = program.pistons * program.pistonSize;
  if (trace) std::printf("Size of each memory bank is %d\n", bankSize);
  if (bankSize != 0) {
    // A program that overflows its area leaves room for no bank, not for fewer than none.
    const int maxBanks = rounded > area ? 0 : (area - rounded) / bankSize;
    if (trace) {
      std::printf("Max memory banks = %d\n", maxBanks);
      std::printf("Current memory banks = %d\n", program.memBanks);
    }
    if (program.memBanks > maxBanks) {
      std::printf("\n*** Insufficient memory for %d memory banks\n", program.memBanks);
      std::printf("*** Limiting to %d memory banks\n\n", maxBanks);
      setBanks(maxBanks);
    }
  }
  if (trace) std::printf("\n");
}

}  // namespace plenum
