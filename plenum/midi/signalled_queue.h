#pragma once
// A RingQueue whose consumer can wait for the next value instead of polling: the producer
// releases a semaphore token with every value it publishes, and a consumer that finds the
// queue empty blocks on it. The producer side still never allocates or locks.

#include <chrono>
#include <cstddef>
#include <semaphore>

#include "plenum/midi/ring_queue.h"

namespace plenum {

template <typename T, std::size_t Slots>
class SignalledQueue {
 public:
  static constexpr std::size_t capacity() { return Slots - 1; }

  // Producer side.
  T* slotToFill() { return queue_.slotToFill(); }
  void publish() {
    queue_.publish();
    arrived_.release();
  }
  bool push(const T& value) {
    T* slot = slotToFill();
    if (slot == nullptr) return false;
    *slot = value;
    publish();
    return true;
  }

  // Consumer side: the oldest value, waiting up to waitMs milliseconds for one when the
  // queue is empty (0: not at all); nullptr when none came. It stays in place until
  // release().
  const T* front(int waitMs) {
    const T* value = queue_.front();
    if (value == nullptr && waitMs > 0) {
      // Tokens may outnumber waiting values after takes that did not wait; a token without
      // a value only ends this wait early.
      if (arrived_.try_acquire_for(std::chrono::milliseconds(waitMs))) value = queue_.front();
    } else if (value != nullptr) {
      (void)arrived_.try_acquire();  // keep the tokens in step with the values
    }
    return value;
  }
  void release() { queue_.release(); }

  bool pop(T& out, int waitMs) {
    const T* value = front(waitMs);
    if (value == nullptr) return false;
    out = *value;
    release();
    return true;
  }

 private:
  RingQueue<T, Slots> queue_;
  std::counting_semaphore<1 << 20> arrived_{0};
};

}  // namespace plenum
