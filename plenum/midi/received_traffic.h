#pragma once
// What a port has received and not yet handed to the main thread: short messages and
// SysEx messages, each in its own single-producer single-consumer queue. The receiving
// thread (a driver callback, or the simulated loop's thread) is the only producer; the
// main thread is the only consumer. The producer side never allocates, locks or prints.

#include <cstddef>
#include <cstdint>

#include "plenum/midi/midi.h"
#include "plenum/midi/ring_queue.h"
#include "plenum/midi/signalled_queue.h"

namespace plenum {

class ReceivedTraffic {
 public:
  // 400 slots let a burst of short messages wait while the monitor sleeps between polls;
  // 4 SysEx slots mirror the four receive buffers a MIDI driver is given.
  static constexpr std::size_t kShortSlots = 400;
  static constexpr std::size_t kSysexSlots = 4;

  // Producer side. A message that finds its queue full is dropped; returns false then.
  bool pushShort(std::uint32_t word);
  // A SysEx message longer than one receive buffer arrives as several buffers of
  // kSysexBufferSize bytes, each counted as a message, just as a driver hands it over.
  bool pushSysex(const std::uint8_t* bytes, std::size_t length);

  // Consumer side.
  bool popShort(std::uint32_t& word) { return shortMessages_.pop(word); }
  // Waits up to waitMs for a SysEx message when none is waiting. A message longer than
  // capacity ends the run with "Buffer too short in winmidi: 379" (status 1).
  bool popSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length, int waitMs);

 private:
  struct SysexBuffer {
    std::size_t length = 0;
    std::uint8_t bytes[kSysexBufferSize];
  };

  RingQueue<std::uint32_t, kShortSlots> shortMessages_;
  SignalledQueue<SysexBuffer, kSysexSlots> sysexMessages_;
};

}  // namespace plenum
