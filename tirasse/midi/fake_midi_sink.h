#pragma once
// A MIDI output for tests: remembers what was sent and lets a test wait for it.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "tirasse/midi/midi_player.h"

namespace tirasse {

class FakeMidiSink : public MidiSink {
 public:
  void send(const Bytes& message) override {
    std::lock_guard lock(mutex_);
    sent_.push_back(message);
    arrived_.notify_all();
  }
  std::vector<Bytes> sent() {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  // Waits (generously) until `count` messages have been sent; false if they never come.
  bool waitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(20), [&] { return sent_.size() >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Bytes> sent_;
};

}  // namespace tirasse
