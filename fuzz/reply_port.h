#pragma once
// For the reply fuzz target: a MIDI port whose replies are written by the fuzz input.
// Each SysEx sent gets the reply a sound module would give, changed as the next byte of
// the input says: lost, cut short, corrupted, replaced by raw bytes (also longer than a
// receive buffer), doubled, preceded by a short message or by an input error. Time is a
// counter that moves only while the exchange waits, so timeouts cost nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "plenum/midi/midi.h"
#include "plenum/midi/received_traffic.h"

namespace plenum::fuzz {

// What the loop behind the port looks like, and the input that bends its replies.
struct ReplyScript {
  int modules = 2;
  std::string types = "BB";  // letter per module
  int version = 0x0310;
  InputBytes* input = nullptr;
};

// The script every port of the process answers from; set before each run.
ReplyScript& replyScript();

// The exchange clock while a ReplyPort is in use.
std::int64_t replyClock();

class ReplyPort final : public Midi {
 public:
  int sendSysex(const std::uint8_t* bytes, std::size_t length) override;
  void sendShort(const std::uint8_t* bytes, std::size_t length) override;
  bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                 int waitMs) override;
  bool pollShort(std::uint32_t& word) override;

 private:
  void deliver(const std::vector<std::uint8_t>& frame);
  ReceivedTraffic received_;
};

}  // namespace plenum::fuzz
