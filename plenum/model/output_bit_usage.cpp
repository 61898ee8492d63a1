#include "plenum/model/output_bit_usage.h"

#include <algorithm>

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
  long long room = (board.module->outputBytes - board.outputOffset) * 8LL;
  long long last = static_cast<long long>(first) + count - 1;
  if (last > room) reportAt(rank, "The rank extends beyond the end of the output board(s)");
  // Only the bits that have an entry in the table are looked at.
  long long chainStart = board.outputOffset * 8LL;
  long long from = std::max<long long>(first, 1 - chainStart);
  long long to = std::min<long long>(last, OutputChainBits - chainStart);
  for (long long bit = from; bit <= to; ++bit) {
    std::uint8_t* use = usageOf(board, static_cast<int>(bit));
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
