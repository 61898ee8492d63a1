#include "plenum/protocol/registration_blocks.h"

#include <cstdio>

namespace plenum {

std::string framePayload(const Bytes& frame) {
  if (frame.size() < 3) return {};
  return std::string(frame.begin() + 2, frame.end() - 1);
}

void BlockProgress::step() {
  if (++blocks_ % kBlocksPerStep == 0) {
    std::printf(" %ld", blocks_ / kBlocksPerStep);
    std::fflush(stdout);
  }
}

void BlockProgress::finish() const {
  if (blocks_ >= kBlocksPerStep) std::printf("\n");
}

}  // namespace plenum
