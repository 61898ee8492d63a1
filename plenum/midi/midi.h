#pragma once
// The MIDI port: one input and one output device opened together. Everything plenum sends
// or receives goes through one object of this class (see current_port.h). Received data
// crosses from the driver's thread to the main thread only through lock-free queues, so
// every receive operation is a poll.

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace plenum {

class Midi {
 public:
  Midi() = default;
  Midi(const Midi&) = delete;
  Midi& operator=(const Midi&) = delete;
  virtual ~Midi();

  // Sends one complete SysEx message (0xF0 ... 0xF7); returns 0.
  virtual int sendSysex(const std::uint8_t* bytes, std::size_t length) = 0;

  // Sends one short message of 1 to 3 bytes.
  virtual void sendShort(const std::uint8_t* bytes, std::size_t length) = 0;

  // Takes one received SysEx message if one is waiting: fills buffer and length and returns
  // true, else false. When nothing is waiting it blocks up to waitMs milliseconds for one
  // to arrive (0: return at once). A message longer than capacity ends the process.
  virtual bool pollSysex(std::uint8_t* buffer, std::size_t capacity, std::size_t& length,
                         int waitMs) = 0;

  // Takes one received short message, packed status | d1 << 8 | d2 << 16.
  virtual bool pollShort(std::uint32_t& word) = 0;

  // Reports an input error signalled since the last call: prints "WinMidi error: %s\n"
  // unless quiet, clears it and returns true; returns false when there was none.
  bool takeError(bool quiet);

  // The monitor's one-line text of a packed short message. The text lives in one
  // process-wide buffer, valid until the next call.
  static const char* describeShort(std::uint32_t word);

 protected:
  // With debug bit 0x2: "Sending Sysex:" and every byte of a message about to be sent.
  static void traceSending(const std::uint8_t* bytes, std::size_t length);

  // Called from the receiving thread: text must be a constant that outlives the port.
  // A second error before the first is taken replaces it.
  void signalError(const char* text) { lastError_.store(text, std::memory_order_release); }

 private:
  std::atomic<const char*> lastError_{nullptr};
};

// The size of the receive buffers and the largest SysEx frame of the module protocol.
inline constexpr std::size_t kSysexBufferSize = 350;

// A received SysEx message did not fit the caller's buffer: prints "Buffer too short in
// winmidi: 379" and ends the run with status 1.
[[noreturn]] void endRunBufferTooShort();

}  // namespace plenum
