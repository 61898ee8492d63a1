#pragma once
// What the registration fetch and store share: the text of a reply for the debug trace,
// and the progress numbers printed while many blocks go by.

#include <string>

#include "plenum/protocol/sysex_exchange.h"

namespace plenum {

// The characters between the manufacturer byte and 0xF7; empty for a frame too short.
std::string framePayload(const Bytes& frame);

// Prints " N" after every 32nd block and, once at least one number stood, ends the line.
class BlockProgress {
 public:
  static constexpr long kBlocksPerStep = 32;
  void step();
  void finish() const;

 private:
  long blocks_ = 0;
};

}  // namespace plenum
