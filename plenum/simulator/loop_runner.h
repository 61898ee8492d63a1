#pragma once
// Runs a module chain on its own thread, as a real loop runs beside the host: messages
// sent into it are answered after they have travelled (optionally at MIDI wire speed),
// and what comes back is handed to an output from that thread, as a driver would.

#include <atomic>
#include <cstdint>
#include <semaphore>
#include <thread>
#include <vector>

#include "plenum/midi/midi.h"
#include "plenum/midi/ring_queue.h"
#include "plenum/simulator/module_chain.h"

namespace plenum {

// Where a running loop delivers what comes back; called on the loop's thread only.
class LoopOutput {
 public:
  virtual ~LoopOutput() = default;
  virtual void deliverSysex(const Frame& frame) = 0;
  virtual void deliverShort(const Frame& message) = 0;
  virtual void signalInputError() = 0;
};

class LoopRunner {
 public:
  // 31,250 baud at 10 bits a byte.
  static constexpr auto kByteTime = std::chrono::microseconds(320);

  LoopRunner(ModuleChain& chain, LoopOutput& output, bool wireSpeed);
  ~LoopRunner();  // stops the thread; what has not come back by then is lost
  LoopRunner(const LoopRunner&) = delete;
  LoopRunner& operator=(const LoopRunner&) = delete;

  // Sends a message into the loop; from one thread only. A message longer than a
  // module's receive buffer is dropped by the first module.
  void send(const std::uint8_t* bytes, std::size_t length);

 private:
  struct Message {
    std::size_t length = 0;
    std::uint8_t bytes[kSysexBufferSize];
  };
  struct Arrival {
    LoopClock::time_point due;
    Frame bytes;  // empty: only an input error arrives
    bool sysex = true;
    bool inputError = false;
  };

  void run();
  void take(const Message& message, LoopClock::time_point now);
  void schedule(Arrival arrival);
  void deliverDue(LoopClock::time_point now);

  ModuleChain& chain_;
  LoopOutput& output_;
  const bool wireSpeed_;
  RingQueue<Message, 64> sent_;
  std::counting_semaphore<1 << 20> wake_{0};
  std::atomic<bool> stopping_{false};
  // Touched by the loop thread only.
  std::vector<Arrival> arrivals_;  // in order of arrival time
  LoopClock::time_point wireFreeAt_{};
  std::thread thread_;  // last: starts when everything above exists
};

}  // namespace plenum
