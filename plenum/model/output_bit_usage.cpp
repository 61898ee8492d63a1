#include "plenum/model/output_bit_usage.h"

#include "plenum/model/nv_mod.h"
#include "plenum/model/pbus_dev.h"

namespace plenum {

namespace {
std::uint8_t* usageOf(const PbusDev& board, int bit) {
  int entry = outputUsageEntry(board, bit);
  return entry < 0 ? nullptr : &board.module->outputBitUse[static_cast<std::size_t>(entry)];
}
}  // namespace

int outputUsageEntry(const PbusDev& board, int bit) {
  if (!board.module) return -1;
  int entry = board.outputOffset * 8 + bit - 1;
  return entry >= 0 && entry < OutputChainBits ? entry : -1;
}

void markRankBits(const Element& rank, const PbusDev& board, int first, int count) {
  int room = (board.module->outputBytes - board.outputOffset) * 8;
  if (first + count - 1 > room) reportAt(rank, "The rank extends beyond the end of the output board(s)");
  for (int bit = first; bit < first + count; ++bit) {
    std::uint8_t* use = usageOf(board, bit);
    if (!use) continue;
    if (*use & OutputBitMagnet) {
      reportAt(rank, "Rank overlaps with magnet output(s)");
      return;
    }
    // Marks are kept together so that a rank laid over an output bit does not hide it
    // from a later output bit on the same pin.
    *use |= OutputBitRank;
  }
}

void markOutputBit(const Element& output, const PbusDev& board, int bit) {
  std::uint8_t* use = usageOf(board, bit);
  if (!use) return;
  if (*use & (OutputBitOutput | OutputBitMagnet)) reportAt(output, "This bit has been used previously");
  *use |= OutputBitOutput;
}

void markTabMagnet(const Element& tab, const PbusDev& board, int bit, const char* alreadyUsed) {
  std::uint8_t* use = usageOf(board, bit);
  if (!use) return;
  if (*use != OutputBitFree) reportAt(tab, "%s", alreadyUsed);
  *use |= OutputBitMagnet;
}

}  // namespace plenum
