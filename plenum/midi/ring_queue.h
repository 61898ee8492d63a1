#pragma once
// Single-producer, single-consumer queue over a fixed array, without locks. One thread
// pushes, one other thread pops. A queue of N slots holds at most N - 1 values: the slot
// before the read index stays free so that "full" and "empty" can be told apart.
//
// Each index is written by one side only. The producer fills the slot before it publishes
// the new write index (release); the consumer reads the slot before it releases the new
// read index (release), and each side acquires the other's index before using the slot.
//
// Large elements can be filled and read in place (slotToFill/publish, front/release) so
// that a driver callback never copies a whole buffer through the stack nor allocates.

#include <array>
#include <atomic>
#include <cstddef>

namespace plenum {

template <typename T, std::size_t Slots>
class RingQueue {
  static_assert(Slots >= 2, "a ring queue needs at least two slots to hold one value");

 public:
  static constexpr std::size_t capacity() { return Slots - 1; }

  // Producer side.
  bool push(const T& value) {
    T* slot = slotToFill();
    if (slot == nullptr) return false;
    *slot = value;
    publish();
    return true;
  }

  // The free slot at the write index, or nullptr when the queue is full. The value written
  // there becomes visible to the consumer only with publish().
  T* slotToFill() {
    const std::size_t write = write_.load(std::memory_order_relaxed);
    if (next(write) == read_.load(std::memory_order_acquire)) return nullptr;
    return &slots_[write];
  }

  void publish() {
    const std::size_t write = write_.load(std::memory_order_relaxed);
    write_.store(next(write), std::memory_order_release);
  }

  // Consumer side.
  bool pop(T& out) {
    const T* slot = front();
    if (slot == nullptr) return false;
    out = *slot;
    release();
    return true;
  }

  // The oldest value, or nullptr when the queue is empty; it stays in place until release().
  const T* front() const {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (read == write_.load(std::memory_order_acquire)) return nullptr;
    return &slots_[read];
  }

  void release() {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    read_.store(next(read), std::memory_order_release);
  }

  // A snapshot; exact only when neither side is active.
  bool empty() const {
    return read_.load(std::memory_order_acquire) == write_.load(std::memory_order_acquire);
  }

 private:
  static constexpr std::size_t next(std::size_t index) { return index + 1 == Slots ? 0 : index + 1; }

  std::array<T, Slots> slots_{};
  std::atomic<std::size_t> write_{0};
  std::atomic<std::size_t> read_{0};
};

}  // namespace plenum
