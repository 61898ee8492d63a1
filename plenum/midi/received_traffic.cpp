#include "plenum/midi/received_traffic.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "plenum/runtime/exits.h"

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
      sysexArrived_.release();
    }
    bytes += piece;
    length -= piece;
  } while (length > 0);
  return allStored;
}

bool ReceivedTraffic::popSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                               int waitMs) {
  const SysexBuffer* message = sysexMessages_.front();
  if (message == nullptr && waitMs > 0) {
    // Tokens may outnumber waiting messages after polls that did not wait; a token without
    // a message only ends this wait early.
    if (sysexArrived_.try_acquire_for(std::chrono::milliseconds(waitMs))) message = sysexMessages_.front();
  } else if (message != nullptr) {
    (void)sysexArrived_.try_acquire();  // keep the tokens in step with the messages
  }
  if (message == nullptr) return false;
  if (message->length > capacity) {
    std::printf("Buffer too short in %s: %d\n", "winmidi", 379);
    exitWith(1);
  }
  std::memcpy(buffer, message->bytes, message->length);
  length = message->length;
  sysexMessages_.release();
  return true;
}

}  // namespace plenum
