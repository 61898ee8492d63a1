#include "plenum/midi/received_traffic.h"

#include <algorithm>
#include <cstring>

namespace plenum {

bool ReceivedTraffic::pushShort(std::uint32_t word) { return shortMessages_.push(word); }

bool ReceivedTraffic::pushSysex(const std::uint8_t* bytes, std::size_t length) {
  bool allStored = true;
  do {
    const std::size_t piece = std::min(length, kSysexBufferSize);
    SysexBuffer* slot = sysexMessages_.slotToFill();
    if (slot == nullptr) {
      allStored = false;
    } else {
      std::memcpy(slot->bytes, bytes, piece);
      slot->length = piece;
      sysexMessages_.publish();
    }
    bytes += piece;
    length -= piece;
  } while (length > 0);
  return allStored;
}

bool ReceivedTraffic::popSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                               int waitMs) {
  const SysexBuffer* message = sysexMessages_.front(waitMs);
  if (message == nullptr) return false;
  if (message->length > capacity) endRunBufferTooShort();
  std::memcpy(buffer, message->bytes, message->length);
  length = message->length;
  sysexMessages_.release();
  return true;
}

}  // namespace plenum
