#pragma once
// Collects the messages that arrive on a MIDI input, with their arrival times, and turns
// them into a format 0 MIDI file. add() is called from the MIDI driver's thread; the rest
// from the window.

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "tirasse/midi/midi_file.h"

namespace tirasse {

class MidiRecorder {
 public:
  using Clock = std::chrono::steady_clock;

  void start(Clock::time_point now = Clock::now());
  void stop(Clock::time_point now = Clock::now());
  // Keeps channel messages and SysEx; clock ticks, active sensing and other system bytes
  // are not music and are dropped.
  void add(const Bytes& message, Clock::time_point arrival = Clock::now());

  bool isRecording() const { return recording_.load(); }
  std::size_t eventCount() const { return count_.load(); }
  double elapsedSeconds(Clock::time_point now = Clock::now()) const;
  bool isEmpty() const { return eventCount() == 0; }

  // 480 ticks per quarter note at 120 beats per minute: a tick is just over a millisecond.
  MidiFile toMidiFile() const;

 private:
  struct Arrival {
    double microseconds;
    Bytes bytes;
  };

  mutable std::mutex mutex_;
  std::vector<Arrival> arrivals_;
  Clock::time_point startedAt_{};
  Clock::time_point stoppedAt_{};
  std::atomic<bool> recording_{false};
  std::atomic<std::size_t> count_{0};
};

constexpr std::uint16_t kRecordingDivision = 480;
constexpr std::uint32_t kRecordingTempo = 500000;  // microseconds per quarter note

}  // namespace tirasse
