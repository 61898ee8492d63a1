#pragma once
// Who uses each bit of a module's output chain. Ranks may share bits with ranks and
// output bits; an output bit may share only with ranks; a stop-tab magnet shares with
// nothing. Bits are 1-based on their board; a bit beyond the 128 of the chain (or
// before its start) is neither tested nor marked.

#include "plenum/model/element.h"

namespace plenum {

class PbusDev;

enum OutputBitUser : unsigned char {
  OutputBitFree = 0,
  OutputBitRank = 1,
  OutputBitOutput = 2,
  OutputBitMagnet = 4,
};

// The bit's place in the usage table, or -1 outside it.
int outputUsageEntry(const PbusDev& board, int bit);

// The bits first .. first + count - 1 of a rank on board: they must fit the room from
// the board to the end of the chain, and stop at the first magnet bit.
void markRankBits(const Element& rank, const PbusDev& board, int first, int count);

// An output bit: reports a bit already used by an output bit or a magnet.
void markOutputBit(const Element& output, const PbusDev& board, int bit);

// A stop-tab magnet: reports alreadyUsed (at the tab) when anything uses the bit.
void markTabMagnet(const Element& tab, const PbusDev& board, int bit, const char* alreadyUsed);

}  // namespace plenum
